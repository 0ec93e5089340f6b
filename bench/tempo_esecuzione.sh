#!/usr/bin/env bash
# Times the whole default run, headless, against copying the same output bytes
# with cp, and reports the peak memory of one run. Usage:
#   bench/tempo_esecuzione.sh [path/to/compila_scenario] [runs]
set -euo pipefail
prog=$(realpath "${1:-build/release/compila_scenario}")
runs=${2:-50}
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cp "$prog" "$lavoro/"
cd "$lavoro"
env -u DISPLAY -u WAYLAND_DISPLAY ./compila_scenario 2>/dev/null
mkdir copia
uscite=(Brossalenta_Morla_*)

secondi() {  # runs "$@" $runs times, prints the mean in milliseconds
  local t0 t1
  t0=$(date +%s%N)
  for ((i = 0; i < runs; i++)); do "$@"; done
  t1=$(date +%s%N)
  echo "scale=3; ($t1 - $t0) / $runs / 1000000" | bc
}
esegui() { env -u DISPLAY -u WAYLAND_DISPLAY ./compila_scenario 2>/dev/null; }
copia() { cp "${uscite[@]}" copia/; }

t_run=$(secondi esegui)
t_cp=$(secondi copia)
echo "default run: ${t_run} ms   cp of the same ${#uscite[@]} files ($(cat "${uscite[@]}" | wc -c) bytes): ${t_cp} ms"
echo "ratio: $(echo "scale=2; $t_run / $t_cp" | bc)"
/usr/bin/time -f "peak memory of one run: %M KiB" env -u DISPLAY ./compila_scenario 2>&1 >/dev/null | tail -1
