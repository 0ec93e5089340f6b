// The real program where its surroundings fail it: standard output full or
// closed, standard descriptors closed, compiled files and sources far larger
// than their kind can be, too little memory, file names full of control
// bytes. Each ends with its own line and status, never a success that lost
// output, never a crash, never a read of a file it should have refused.
// POSIX only: the children get closed or full descriptors and memory limits.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/uscita.h"
#include "driver/avvio_programma.h"
#include "strumenti/json_prova.h"
#include "strumenti/predefinito_prova.h"
#include "strumenti/processo_prova.h"

#if defined(__SANITIZE_ADDRESS__)
#define SCENARIO_CON_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCENARIO_CON_ASAN 1
#endif
#endif

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::leggi;
using prova::scrivi;

enum class verso { file, pieno, chiuso };

struct figlio {
  std::vector<std::string> argomenti;
  verso uscita = verso::file;
  verso errori = verso::file;
  rlim_t memoria = 0;  // RLIMIT_AS in bytes; 0 leaves it alone
};

using prova::esito_processo;

// Runs the program (or `programma`) in `cartella` as `f` asks; what it
// writes goes to two files beside that folder.
esito_processo avvia(const figlio& f, const fs::path& cartella,
                     const fs::path& programma = SCENARIO_PROGRAMMA) {
  const auto file = [&](verso v, const char* nome) -> fs::path {
    return v == verso::pieno ? "/dev/full" : cartella.parent_path() / nome;
  };
  return prova::esegui({.programma = programma,
                        .argomenti = f.argomenti,
                        .cartella = cartella,
                        .uscita = file(f.uscita, "uscita.txt"),
                        .errori = file(f.errori, "errori.txt"),
                        .uscita_chiusa = f.uscita == verso::chiuso,
                        .errori_chiusi = f.errori == verso::chiuso,
                        .memoria = f.memoria});
}

// A folder "lavoro" of the test's own holding the built-in scenario's three
// compiled files in "s", where the children run.
class banco {
 public:
  banco() {
    fs::create_directories(lavoro() / "s");
    for (const auto& [nome, byte] : prova::compilati_predefiniti().file) scrivi(s() / nome, byte);
  }
  fs::path lavoro() const { return c_ / "lavoro"; }
  fs::path s() const { return lavoro() / "s"; }
  esito_processo avvia(const figlio& f) const { return scenario::avvia(f, lavoro()); }

 private:
  prova::cartella_prova c_;
};

const nomi_file nomi = prova::nomi_predefiniti();

// A plan of the longest route, every point a double: the largest plan there
// is, some 20 MB.
std::string piano_massimo() {
  tracciato p;
  p.crea(punti_massimi_piano() - 1);
  for (int32_t m = 0; m < punti_massimi_piano(); ++m) {
    p.imposta_doppio(m, 0, 5000 * std::cos(m / 5000.0));
    p.imposta_doppio(m, 1, 5000 * std::sin(m / 5000.0));
  }
  return immagine_linea(p);
}

TEST(ProgrammaOstile, UscitaStandardPienaOChiusaEUnGuasto) {
  banco b;
  const std::string tabella = "s/" + nomi.treno_compilato();
  const std::string griglia = "s/" + nomi.griglia_compilata();
  const std::string piano = "s/" + nomi.linea_compilata();
  const std::vector<std::vector<std::string>> righe = {
      {"--help"},
      {"--version"},
      {"inspect", griglia},
      {"inspect", "--json", tabella},
      // Megabytes of output: the failure meets a write, not only the flush.
      {"inspect", "--json", "--all", piano},
  };
  const struct {
    verso uscita;
    std::string motivo;
  } versi[] = {{verso::pieno, std::strerror(ENOSPC)}, {verso::chiuso, std::strerror(EBADF)}};
  for (const auto& riga : righe) {
    SCOPED_TRACE(riga.front() + " " + riga.back());
    const esito_processo bene = b.avvia({riga});
    EXPECT_EQ(bene.stato, 0) << bene.errori;
    EXPECT_FALSE(bene.uscita.empty());
    for (const auto& v : versi) {
      const esito_processo r = b.avvia({riga, v.uscita});
      EXPECT_EQ(r.stato, 2);
      EXPECT_EQ(r.errori, "compila_scenario: uscita standard: " + v.motivo + "\n");
    }
  }
}

// With standard output and error closed, the files the run opens would take
// descriptors 1 and 2, and the messages of the compile would go into the
// plan being written. They must go nowhere, and the files stay exact.
TEST(ProgrammaOstile, DescrittoriStandardChiusiNonToccanoIFileScritti) {
  banco b;
  ASSERT_EQ(b.avvia({{"export", "e"}}).stato, 0);
  const fs::path treno = b.lavoro() / "e" / nomi.sorgente_treno();
  std::string testo = leggi(treno);
  const size_t i = testo.find("segnale,   11450,");
  ASSERT_NE(i, std::string::npos);
  testo.replace(i, 7, "segnael");  // a warning, printed after the plan is written
  scrivi(treno, testo);
  const std::vector<std::string> compila = {"compile", nomi.nome_linea, nomi.nome_treno, "-C", "e"};
  const esito_processo aperti = b.avvia({compila});
  ASSERT_EQ(aperti.stato, 0);
  ASSERT_NE(aperti.errori.find("avviso"), std::string::npos) << aperti.errori;
  std::vector<std::string> attesi;
  for (const std::string& n :
       {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()}) {
    attesi.push_back(leggi(b.lavoro() / "e" / n));
    fs::remove(b.lavoro() / "e" / n);
  }
  const esito_processo chiusi = b.avvia({compila, verso::chiuso, verso::chiuso});
  EXPECT_EQ(chiusi.stato, 0);
  size_t k = 0;
  for (const std::string& n :
       {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()}) {
    EXPECT_TRUE(leggi(b.lavoro() / "e" / n) == attesi[k++]) << n;
  }
}

// Sparse files of gigabytes: refused by their size before a byte is read,
// with the name, the size and the limit. Where the memory can be limited the
// children get far less than the files would take, so a read would show.
TEST(ProgrammaOstile, FileTroppoGrandiRifiutatiPrimaDiLeggerli) {
  banco b;
  const auto gonfia = [](const fs::path& p, uint64_t byte) {
    if (!fs::exists(p)) scrivi(p, "");
    std::error_code ec;
    fs::resize_file(p, byte, ec);
    return !ec;
  };
  const fs::path g = b.lavoro() / "g";
  fs::create_directories(g);
  for (const auto& [nome, byte] : prova::compilati_predefiniti().file) scrivi(g / nome, byte);
  if (!gonfia(g / nomi.linea_compilata(), uint64_t{4} << 30) ||
      !gonfia(b.lavoro() / "x.sim", uint64_t{2} << 30) ||
      !gonfia(b.lavoro() / "x.dat", uint64_t{1} << 30))
    GTEST_SKIP() << "no sparse files here";
  const fs::path e = b.lavoro() / "e";
  ASSERT_EQ(b.avvia({{"export", "e"}}).stato, 0);
  ASSERT_TRUE(gonfia(e / nomi.sorgente_linea(), uint64_t{2} << 30));

  rlim_t memoria = 256 << 20;
#ifdef SCENARIO_CON_ASAN
  memoria = 0;  // the sanitizer's shadow memory needs the whole address space
#endif
  const std::string piano = "g/" + nomi.linea_compilata();
  const struct {
    std::vector<std::string> riga;
    int stato;
    std::string errori;
  } casi[] = {
      {{"inspect", piano},
       65,
       "compila_scenario: " + piano +
           ": file non valido (piano) all'offset 20140020: file di 4294967296 byte, oltre il "
           "massimo di 20140020\n"},
      {{"inspect", "--json", "x.sim"},
       65,
       "compila_scenario: x.sim: file non valido (tabella) all'offset 5704503: file di "
       "2147483648 byte, oltre il massimo di 5704503\n"},
      {{"inspect", "x.dat"},
       65,
       "compila_scenario: x.dat: file non valido (griglia) all'offset 302115: file di "
       "1073741824 byte, oltre il massimo di 302115\n"},
      {{"draw", nomi.nome_linea, nomi.nome_treno, "-C", "g"},
       65,
       "compila_scenario: " + piano +
           ": file non valido (piano) all'offset 20140020: file di 4294967296 byte, oltre il "
           "massimo di 20140020\n"},
      {{"compile", nomi.nome_linea, nomi.nome_treno, "-C", "e"},
       2,
       "compila_scenario: e/" + nomi.sorgente_linea() +
           ": file di 2147483648 byte, oltre il massimo di 67108864\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.riga.front() + " " + c.riga[1]);
    const esito_processo r = b.avvia({c.riga, verso::file, verso::file, memoria});
    EXPECT_EQ(r.stato, c.stato);
    EXPECT_EQ(r.errori, c.errori);
    EXPECT_EQ(r.uscita, "");
  }
  // The largest plan there is still goes through, in that memory.
  scrivi(g / nomi.linea_compilata(), piano_massimo());
  const esito_processo r = b.avvia({{"inspect", piano, "--from", "1000", "--to", "1000.001"},
                                    verso::file,
                                    verso::file,
                                    memoria});
  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.uscita.substr(0, r.uscita.find('\n')), "piano " + piano + ": 1007001 punti");
}

// Under a limit on its memory the program either does its work or says that
// the memory ran out, with status 4: never a crash, never another failure
// named in its place. The limits swept go from the least the program starts
// in to past what the work needs. (The parser's own trap turns a failure
// while it reads into error 25, as for any failure there: the default run
// then ends with its error box.)
TEST(ProgrammaOstile, MemoriaEsauritaDettaComeTale) {
#ifdef SCENARIO_CON_ASAN
  GTEST_SKIP() << "the sanitizer's shadow memory cannot live under RLIMIT_AS";
#else
  banco b;
  const fs::path programma = b.lavoro() / "programma";
  fs::create_directories(programma);
  fs::copy_file(SCENARIO_PROGRAMMA, programma / "compila_scenario");

  // The least address space the program starts in, to 64 KiB.
  rlim_t base = 1 << 20;
  while (base < (256u << 20) && b.avvia({{"--version"}, verso::file, verso::file, base}).stato != 0)
    base += 64 << 10;
  ASSERT_LT(base, 256u << 20) << "the program never started";

  const std::string piano = "s/" + nomi.linea_compilata();
  const struct {
    const char* cosa;
    std::vector<std::string> riga;
    rlim_t fino_a;  // past what the work needs
    rlim_t passo;
  } casi[] = {
      {"esecuzione predefinita", {}, 4 << 20, 64 << 10},
      {"inspect --json --all del piano",
       {"inspect", "--json", "--all", piano},
       12 << 20,
       256 << 10},
      {"draw",
       {"draw", nomi.nome_linea, nomi.nome_treno, "-C", "s", "-o", "d"},
       24 << 20,
       512 << 10},
      // The parser's trap takes the failure as its error 25; the author must
      // still hear that memory ran out, not that a row is wrong.
      {"compile",
       {"compile", nomi.nome_linea, nomi.nome_treno, "-C", "e", "-o", "c"},
       6 << 20,
       64 << 10},
  };
  ASSERT_EQ(b.avvia({{"export", "e"}}).stato, 0);
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cosa);
    int esaurite = 0;
    int fatte = 0;
    for (rlim_t limite = base; limite <= base + c.fino_a; limite += c.passo) {
      SCOPED_TRACE(std::to_string(limite >> 10) + " KiB");
      const esito_processo r = c.riga.empty() ? avvia({{}, verso::file, verso::file, limite},
                                                      b.lavoro(), programma / "compila_scenario")
                                              : b.avvia({c.riga, verso::file, verso::file, limite});
      ASSERT_EQ(r.segnale, 0) << r.errori;
      const std::vector<std::string> righe = prova::messaggi_errore(r.errori);
      if (r.stato == 4) {
        EXPECT_EQ(righe, std::vector<std::string>{"compila_scenario: memoria esaurita"});
        ++esaurite;
      } else if (r.stato == 1 && c.riga.empty()) {
        EXPECT_EQ(righe, (std::vector<std::string>{
                             "compila_scenario: errore 25: errore di lettura o di esecuzione "
                             "nel file sorgente",
                             " Errore n. 25"}));
      } else {
        ASSERT_EQ(r.stato, 0) << r.errori;
        EXPECT_EQ(prova::messaggi_errore(r.errori), std::vector<std::string>{}) << r.errori;
        ++fatte;
      }
    }
    EXPECT_GT(esaurite, 0) << "no limit ran out of memory";
    EXPECT_GT(fatte, 0) << "no limit was enough";
  }
#endif
}

// Control bytes and bytes outside UTF-8 in a file's name are escaped
// wherever it is shown: the dump's heading, the JSON (which must still
// parse), the report of a malformed or missing file, a compile's messages.
TEST(ProgrammaOstile, NomiConByteDiControlloMostratiEscapati) {
  banco b;
  const std::string strano = "a\x1B[2Jb\xFF\x01";
  const std::string mostrato = "a\\x1B[2Jb\\xFF\\x01";
  scrivi(b.lavoro() / (strano + ".sim"),
         prova::compilati_predefiniti().file.at(nomi.treno_compilato()));
  scrivi(b.lavoro() / (strano + ".dat"), std::string(16, '\0'));

  const esito_processo testo = b.avvia({{"inspect", strano + ".sim"}});
  EXPECT_EQ(testo.stato, 0);
  EXPECT_EQ(testo.uscita.substr(0, testo.uscita.find('\n')),
            "tabella " + mostrato + ".sim: 87 righe");
  const esito_processo json = b.avvia({{"inspect", "--json", strano + ".sim"}});
  EXPECT_EQ(json.stato, 0);
  EXPECT_EQ(prova::errore_json(json.uscita), "");
  EXPECT_EQ(json.uscita.rfind("{\"file\":\"a\\u001B[2Jb\\\\xFF\\u0001.sim\",", 0), 0u)
      << json.uscita.substr(0, 60);

  const struct {
    std::vector<std::string> riga;
    std::string errori;
  } casi[] = {
      {{"inspect", strano + ".dat"},
       "compila_scenario: " + mostrato +
           ".dat: file non valido (griglia) all'offset 15: cella 1 troncata: 1 byte su 15\n"},
      {{"inspect", strano + "_linea.dat"},
       "compila_scenario: " + mostrato + "_linea.dat: " + std::strerror(ENOENT) + "\n"},
      {{"draw", "L", "T", "-C", strano},
       "compila_scenario: " + mostrato + ": cartella inesistente\n"},
      {{"inspect", strano},
       "compila_scenario: tipo di file sconosciuto per " + mostrato +
           ": usare --kind=plan|table|grid\n"
           "Provare 'compila_scenario --help' per maggiori informazioni.\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.riga.front());
    EXPECT_EQ(b.avvia({c.riga}).errori, c.errori);
  }

  // A compile's report names its sources under the folder as given.
  ASSERT_EQ(b.avvia({{"export", strano}}).stato, 0);
  const fs::path treno = b.lavoro() / strano / nomi.sorgente_treno();
  std::string t = leggi(treno);
  t.replace(t.find("segnale,   11450,"), 17, "segnale,   10700,");
  scrivi(treno, t);
  const esito_processo compila =
      b.avvia({{"compile", nomi.nome_linea, nomi.nome_treno, "-C", strano}});
  EXPECT_EQ(compila.stato, 3);
  EXPECT_EQ(compila.errori.rfind(mostrato + "/" + nomi.sorgente_treno() + ":47:1: errore 16: ", 0),
            0u)
      << compila.errori;
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
