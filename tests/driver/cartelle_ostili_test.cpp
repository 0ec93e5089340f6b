// The real program in folders an attacker or a second user prepared: links
// and FIFOs planted at the names older versions used for their temporaries
// or at the outputs themselves, a file-size limit, runs at the same time in
// one folder. Nothing outside the folder is ever written, no run hangs,
// every output is whole and every set of outputs comes from one run.
#if !defined(_WIN32)

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "avvio_programma.h"
#include "cartella_prova.h"
#include "driver/file_programma.h"
#include "sources/nomi_file.h"
#include "strumenti/processo_prova.h"
#include "temporanei_prova.h"
#include "uscite_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using namespace prova;

const nomi_file nomi = nomi_file::predefiniti();

std::vector<std::string> compilati() {
  return {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()};
}

std::map<std::string, std::string> contenuti(const fs::path& cartella,
                                             const std::vector<std::string>& nomi_file) {
  std::map<std::string, std::string> m;
  for (const std::string& n : nomi_file)
    m[n] = fs::is_regular_file(fs::symlink_status(cartella / n)) ? leggi(cartella / n) : "";
  return m;
}

// `timeout` in front of a run: a run that blocks ends with 124, not never.
fs::path comando_timeout() {
  const fs::path t = sul_percorso("timeout");
  if (t.empty()) ADD_FAILURE() << "timeout(1) is not on the PATH";
  return t;
}

// Links planted at the fixed temporary names of older versions, and at an
// output itself, are not followed: the file outside stays as it was, every
// output is a plain file of the new bytes; a FIFO at such a name does not
// block, and a FIFO at an output is refused at once, before anything is written.
TEST(CartelleOstili, LinkEFifoPiantatiNonSiSeguono) {
  cartella_unica c;
  const fs::path riferimento = c / "riferimento";
  ASSERT_EQ(esegui_programma(copia_programma(riferimento), c / "e.txt").stato, 0);
  const std::map<std::string, std::string> attese = contenuti(riferimento, uscite_predefinite());
  const fs::path t = comando_timeout();
  const std::string fuori = "non toccare\n";

  // The default run.
  {
    const fs::path p = c / "predefinita";
    const fs::path eseguibile = copia_programma(p);
    scrivi(c / "fuori_note", fuori);
    scrivi(c / "fuori_scheda", fuori);
    fs::create_symlink(c / "fuori_note", p / (nomi.note() + ".nuovo"));
    fs::create_symlink(c / "fuori_scheda", p / nomi.scheda_treno());
    ASSERT_EQ(mkfifo((p / (nomi.sorgente_linea() + ".nuovo")).c_str(), 0600), 0);
    const esito_processo r = avvia(t, {"30", eseguibile.string()}, c.percorso(), c.percorso());
    EXPECT_EQ(r.stato, 0) << r.errori;
    EXPECT_EQ(leggi(c / "fuori_note"), fuori);
    EXPECT_EQ(leggi(c / "fuori_scheda"), fuori);
    for (const std::string& u : uscite_predefinite()) {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(p / u))) << u;
      EXPECT_TRUE(leggi(p / u) == attese.at(u)) << u;
    }
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(p / (nomi.note() + ".nuovo"))))
        << "a link that is not ours stays";
    EXPECT_TRUE(temporanei_in(p).empty());
    EXPECT_FALSE(fs::exists(p / ".compila_scenario.blocco"));
  }
  // compile into a folder prepared the same way.
  {
    const fs::path s = c / "sorgenti";
    ASSERT_EQ(avvia(SCENARIO_PROGRAMMA, {"export", s.string()}, c.percorso(), c.percorso()).stato,
              0);
    const fs::path o = c / "uscita";
    fs::create_directories(o);
    scrivi(c / "fuori_sim", fuori);
    fs::create_symlink(c / "fuori_sim", o / (nomi.treno_compilato() + ".nuovo"));
    ASSERT_EQ(mkfifo((o / (nomi.linea_compilata() + ".nuovo")).c_str(), 0600), 0);
    const esito_processo r = avvia(t,
                                   {"30", SCENARIO_PROGRAMMA, "compile", nomi.nome_linea,
                                    nomi.nome_treno, "-C", s.string(), "--output-dir", o.string()},
                                   c.percorso(), c.percorso());
    EXPECT_EQ(r.stato, 0) << r.errori;
    EXPECT_EQ(leggi(c / "fuori_sim"), fuori);
    for (const std::string& u : compilati()) {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(o / u))) << u;
      EXPECT_TRUE(leggi(o / u) == attese.at(u)) << u;
    }
    EXPECT_TRUE(temporanei_in(o).empty());
  }
  // A FIFO at an output: refused, nothing replaced, nothing left.
  {
    const fs::path p = c / "fifo";
    const fs::path eseguibile = copia_programma(p);
    posa_precedenti(p);
    fs::remove(p / nomi.treno_compilato());
    ASSERT_EQ(mkfifo((p / nomi.treno_compilato()).c_str(), 0600), 0);
    const esito_processo r = avvia(t, {"30", eseguibile.string()}, c.percorso(), c.percorso());
    EXPECT_EQ(r.stato, 2) << r.errori;
    EXPECT_EQ(
        messaggi_errore(r.errori),
        std::vector<std::string>{"compila_scenario: " + (p / nomi.treno_compilato()).string() +
                                 ": non e' un file regolare"});
    for (const std::string& u : uscite_predefinite()) {
      if (u != nomi.treno_compilato()) {
        EXPECT_EQ(leggi(p / u), precedente(u)) << u;
      }
    }
    EXPECT_TRUE(temporanei_in(p).empty());
  }
}

// Past a file-size limit a write fails like a full disk: one line, status 2,
// no temporary left, and the sources not deleted (the outputs are not all in
// place), where the signal used to kill the run silently halfway.
TEST(CartelleOstili, UnLimiteAllaDimensioneDeiFileEUnGuastoDelDisco) {
  cartella_unica c;
  const fs::path p = c / "programma";
  const fs::path eseguibile = copia_programma(p);
  posa_precedenti(p);
  // 100 blocks of 512 bytes: the sources and documents fit, the plan does not.
  const esito_processo r =
      avvia("/bin/sh", {"-c", "ulimit -f 100 && exec \"$0\"", eseguibile.string()}, c.percorso(),
            c.percorso());
  EXPECT_EQ(r.stato, 2) << r.errori;
  const std::vector<std::string> m = messaggi_errore(r.errori);
  ASSERT_EQ(m.size(), 1u) << r.errori;
  const std::string coda = std::string(": ") + std::strerror(EFBIG);
  EXPECT_EQ(m[0].substr(m[0].size() - std::min(m[0].size(), coda.size())), coda) << m[0];
  for (const std::string& u : uscite_predefinite()) EXPECT_EQ(leggi(p / u), precedente(u)) << u;
  EXPECT_TRUE(fs::is_regular_file(p / nomi.sorgente_linea()));
  EXPECT_TRUE(fs::is_regular_file(p / nomi.sorgente_treno()));
  EXPECT_TRUE(temporanei_in(p).empty());
  EXPECT_FALSE(fs::exists(p / ".compila_scenario.blocco"));
}

std::string cambia(std::string testo, const std::string& vecchio, const std::string& nuovo) {
  const size_t i = testo.find(vecchio);
  EXPECT_NE(i, std::string::npos) << vecchio;
  if (i != std::string::npos) testo.replace(i, vecchio.size(), nuovo);
  return testo;
}

// Two runs started together; each must end by itself with status 0.
void a_coppia(const avvio& prima, const avvio& seconda) {
  processo_avviato a(prima);
  processo_avviato b(seconda);
  for (const esito_processo& e : {a.attendi(), b.attendi()})
    EXPECT_EQ(e.stato, 0) << "signal " << e.segnale << "; " << e.errori;
}

// Pairs of runs at once in one folder take turns: both end with status 0,
// every output is whole and every set is one run's, and nothing is left
// behind (no source, no temporary, no lock file).
TEST(CartelleOstili, RunContemporaneeNellaStessaCartellaFannoATurno) {
  constexpr int coppie = 30;
  cartella_unica c;
  // The default run: both runs write the same set.
  {
    const fs::path p = c / "predefinita";
    const fs::path eseguibile = copia_programma(p);
    ASSERT_EQ(esegui_programma(eseguibile, c / "e.txt").stato, 0);
    const std::map<std::string, std::string> attese = contenuti(p, uscite_predefinite());
    for (int i = 0; i < coppie; ++i) {
      SCOPED_TRACE("default run pair " + std::to_string(i));
      posa_precedenti(p);
      a_coppia(avvio_predefinito(eseguibile, c / "ea.txt"),
               avvio_predefinito(eseguibile, c / "eb.txt"));
      EXPECT_TRUE(contenuti(p, uscite_predefinite()) == attese) << "an output torn or missing";
      EXPECT_FALSE(fs::exists(p / nomi.sorgente_linea()));
      EXPECT_FALSE(fs::exists(p / nomi.sorgente_treno()));
      EXPECT_TRUE(temporanei_in(p).empty());
      EXPECT_FALSE(fs::exists(p / ".compila_scenario.blocco"));
      if (::testing::Test::HasFailure()) return;
    }
  }
  // compile of two different source sets into one output folder.
  const fs::path s1 = c / "s1";
  const fs::path s2 = c / "s2";
  ASSERT_EQ(avvia(SCENARIO_PROGRAMMA, {"export", s1.string()}, c.percorso(), c.percorso()).stato,
            0);
  fs::create_directories(s2);
  scrivi(s2 / nomi.sorgente_linea(),
         cambia(leggi(s1 / nomi.sorgente_linea()), "curvas4,  250,  400", "curvad4,  250,  400"));
  scrivi(s2 / nomi.sorgente_treno(),
         cambia(leggi(s1 / nomi.sorgente_treno()), "BROSSALENTA", "BROSSALENTB"));
  std::map<std::string, std::string> insieme[2];
  for (int k = 0; k < 2; ++k) {
    const fs::path s = k == 0 ? s1 : s2;
    ASSERT_EQ(
        avvia(SCENARIO_PROGRAMMA, {"compile", nomi.nome_linea, nomi.nome_treno, "-C", s.string()},
              c.percorso(), c.percorso())
            .stato,
        0);
    insieme[k] = contenuti(s, compilati());
  }
  ASSERT_NE(insieme[0][nomi.linea_compilata()], insieme[1][nomi.linea_compilata()]);
  ASSERT_NE(insieme[0][nomi.treno_compilato()], insieme[1][nomi.treno_compilato()]);
  const fs::path o = c / "uscita";
  fs::create_directories(o);
  for (int i = 0; i < coppie; ++i) {
    SCOPED_TRACE("compile pair " + std::to_string(i));
    auto compila = [&](const fs::path& s, const fs::path& errori) -> avvio {
      return {.programma = SCENARIO_PROGRAMMA,
              .argomenti = {"compile", nomi.nome_linea, nomi.nome_treno, "-C", s.string(),
                            "--output-dir", o.string()},
              .cartella = c.percorso(),
              .errori = errori,
              .ambiente = ambiente_senza_schermo()};
    };
    a_coppia(compila(s1, c / "ea.txt"), compila(s2, c / "eb.txt"));
    const std::map<std::string, std::string> trovato = contenuti(o, compilati());
    EXPECT_TRUE(trovato == insieme[0] || trovato == insieme[1]) << "a mixed or torn set";
    EXPECT_TRUE(temporanei_in(o).empty());
    EXPECT_FALSE(fs::exists(o / ".compila_scenario.blocco"));
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace scenario

#endif  // !_WIN32
