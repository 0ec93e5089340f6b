#!/usr/bin/env python3
"""Whole processes against cp of their outputs, alternately, in one scratch folder.

(a) the default run (headless) against cp of its six outputs;
(b) `compile` of the built-in sources with the route length set to 1,000,000 m
    against cp of its three outputs; and, for scale, the 96 km `compile`.
Each pair is run alternately N times; the script prints each one's median, the
pairwise ratio of the medians and the peak resident memory (ru_maxrss of the
process, from wait4). On a loaded machine take many samples: the medians of
alternating samples see the same load.

Usage: bench/confronto_cp.py [path/to/compila_scenario] [samples]
"""
import os
import shutil
import statistics
import sys
import tempfile
import time


def esegui(argv, env):
    """Wall and CPU time (ms) of one process, started in the current folder."""
    t0 = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, env, file_actions=[
        (os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
        (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0),
    ])
    _, stato, uso = os.wait4(pid, 0)
    t1 = time.perf_counter_ns()
    if os.waitstatus_to_exitcode(stato) != 0:
        raise RuntimeError(f"{argv} ended with {os.waitstatus_to_exitcode(stato)}")
    return (t1 - t0) / 1e6, (uso.ru_utime + uso.ru_stime) * 1e3


def picco_rss(argv, env):
    """Peak RSS (KiB) of one run, through GNU time: a process spawned from this
    one would count this interpreter's pages, mapped until its exec."""
    with tempfile.NamedTemporaryFile() as f:
        esegui(["/usr/bin/time", "-f", "%M", "-o", f.name] + argv, env)
        return int(f.read().split()[-1])


def confronta(nome, prova, copia, campioni, argv_rss, env):
    tempi_p, tempi_c, cpu_p, cpu_c = [], [], [], []
    for _ in range(campioni):
        t, c = prova()
        tempi_p.append(t)
        cpu_p.append(c)
        t, c = copia()
        tempi_c.append(t)
        cpu_c.append(c)
    mp, mc = statistics.median(tempi_p), statistics.median(tempi_c)
    rss = max(picco_rss(argv_rss, env) for _ in range(3))
    print(f"{nome}:\n  {mp:.2f} ms (median of {campioni}; CPU {statistics.median(cpu_p):.2f} ms), "
          f"cp {mc:.2f} ms (CPU {statistics.median(cpu_c):.2f} ms), ratio {mp / mc:.2f}, "
          f"peak RSS {rss} KiB")


def main():
    prog = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else "build/release/compila_scenario")
    campioni = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    cp = shutil.which("cp")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    with tempfile.TemporaryDirectory() as lavoro:
        os.chdir(lavoro)
        eseguibile = os.path.join(lavoro, "compila_scenario")
        shutil.copy2(prog, eseguibile)
        for d in ("copia6", "s96", "o96", "s1000", "o1000", "copia3"):
            os.mkdir(d)
        esegui([eseguibile], env)
        sei = sorted(f for f in os.listdir(lavoro) if f.startswith("Brossalenta_Morla_"))
        esegui([eseguibile, "export", "s96"], env)
        esegui([eseguibile, "export", "s1000"], env)
        linea = os.path.join("s1000", "Brossalenta_Morla_linea.txt")
        with open(linea, "rb") as f:
            testo = f.read().replace(b"lunghezza percorso,    96000",
                                     b"lunghezza percorso,    1000000")
        with open(linea, "wb") as f:
            f.write(testo)

        def argv_compila(sorgenti, uscita):
            return [eseguibile, "compile", "Brossalenta_Morla", "iR31457", "--dir", sorgenti,
                    "--output-dir", uscita]

        def compila(sorgenti, uscita):
            return lambda: esegui(argv_compila(sorgenti, uscita), env)

        compila("s1000", "o1000")()
        tre = [os.path.join("o1000", f) for f in sorted(os.listdir("o1000"))]
        byte6 = sum(os.path.getsize(f) for f in sei)
        byte3 = sum(os.path.getsize(f) for f in tre)
        print(f"{campioni} alternating samples each, in {lavoro}")
        confronta(f"(a) default run, 6 outputs of {byte6} bytes",
                  lambda: esegui([eseguibile], env),
                  lambda: esegui([cp] + sei + ["copia6/"], env), campioni, [eseguibile], env)
        confronta(f"(b) 1000 km compile, 3 outputs of {byte3} bytes", compila("s1000", "o1000"),
                  lambda: esegui([cp] + tre + ["copia3/"], env), campioni,
                  argv_compila("s1000", "o1000"), env)
        compila("s96", "o96")()
        tre96 = [os.path.join("o96", f) for f in sorted(os.listdir("o96"))]
        confronta("(c) 96 km compile, 3 outputs", compila("s96", "o96"),
                  lambda: esegui([cp] + tre96 + ["copia3/"], env), max(20, campioni // 4),
                  argv_compila("s96", "o96"), env)


if __name__ == "__main__":
    main()
