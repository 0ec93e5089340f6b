// compile --watch as a user runs it: the real program started as a child on
// a scratch folder, its standard error read while it runs. A source saved
// (written whole, or by rename as editors do) gives a new compile within a
// bounded time; a fault is reported and leaves the compiled files alone, its
// fix replaces them; the sources are never touched; SIGINT and SIGTERM end it
// with status 0. The same with the system's notices and with --poll.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "compiler/sorgenti_prova.h"
#include "strumenti/processo_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using prova::leggi;

constexpr auto entro = 10s;  // how long a compile may take to follow a save

// The program watching, its standard error going to a file.
class sorveglianza {
 public:
  sorveglianza(const fs::path& cartella, const std::vector<std::string>& opzioni)
      : p_(avvio_di(cartella, opzioni)) {}

  std::string log() const { return p_.errori_finora(); }

  // True when the log holds `quante` times `testo` within the time allowed.
  bool attendi(const std::string& testo, size_t quante) const {
    const auto fine = std::chrono::steady_clock::now() + entro;
    while (std::chrono::steady_clock::now() < fine) {
      const std::string l = log();
      size_t n = 0;
      for (size_t i = l.find(testo); i != std::string::npos; i = l.find(testo, i + 1)) ++n;
      if (n >= quante) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }

  // The exit status after the signal, or -1 when it did not end in time.
  int ferma(int segnale) {
    p_.segnala(segnale);
    const std::optional<prova::esito_processo> e = p_.attendi_entro(5s);
    if (!e) return -1;
    return e->uscito ? e->stato : 128 + e->segnale;
  }

 private:
  static prova::avvio avvio_di(const fs::path& cartella, const std::vector<std::string>& opzioni) {
    prova::avvio a{.programma = SCENARIO_PROGRAMMA,
                   .argomenti = {"compile", "L", "T", "-C", cartella.string(), "--watch"},
                   .errori = cartella.parent_path() / "stderr.txt"};
    a.argomenti.insert(a.argomenti.end(), opzioni.begin(), opzioni.end());
    return a;
  }

  prova::processo_avviato p_;
};

// Saved as an editor does: a new file renamed over the old one.
void salva_per_rinomina(const fs::path& p, const std::string& testo) {
  prova::scrivi(p.string() + ".salvataggio", testo);
  fs::rename(p.string() + ".salvataggio", p);
}

struct caso_sorveglianza {
  const char* nome;
  std::vector<std::string> opzioni;
  int segnale;

  friend void PrintTo(const caso_sorveglianza& c, std::ostream* os) { *os << c.nome; }
};

class Sorveglia : public ::testing::TestWithParam<caso_sorveglianza> {};

TEST_P(Sorveglia, RicompilaAOgniSalvataggioEFinisceConStato0) {
  prova::cartella_prova c;
  const fs::path cartella = c / "sorgenti";
  fs::create_directories(cartella);
  const nomi_file n{"L", "T"};
  const fs::path linea = cartella / n.sorgente_linea();
  const fs::path treno = cartella / n.sorgente_treno();
  const std::string segnale = "segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0";
  prova::scrivi(linea, prova::linea({}));
  prova::scrivi(treno, prova::treno({"velocita, 0, 80", segnale}));
  const bool con_vista = !GetParam().opzioni.empty() && GetParam().opzioni[0] == "--view";

  sorveglianza s(cartella, GetParam().opzioni);
  ASSERT_TRUE(s.attendi("in attesa di modifiche", 1)) << s.log();
  EXPECT_NE(s.log().find("compilazione riuscita: file scritti"), std::string::npos) << s.log();
  const std::string griglia_prima = leggi(cartella / n.griglia_compilata());
  ASSERT_FALSE(griglia_prima.empty());

  // A gradient in the line source, written in place: a new compile, a new grid.
  prova::scrivi(linea, prova::linea({"pendenza, 1000, 12"}));
  ASSERT_TRUE(s.attendi("compilazione riuscita: file scritti", 2)) << s.log();
  EXPECT_NE(s.log().find("] " + n.sorgente_linea() + " modificato: compilazione"),
            std::string::npos)
      << s.log();
  const std::string griglia_nuova = leggi(cartella / n.griglia_compilata());
  EXPECT_NE(griglia_nuova, griglia_prima);

  // A fault: reported at its row, the compiled files stay as they were.
  const std::string guasto = prova::treno({"velocita, 0, 80", segnale, segnale});
  salva_per_rinomina(treno, guasto);
  ASSERT_TRUE(s.attendi("errori nei sorgenti: i file compilati restano quelli di prima", 1))
      << s.log();
  EXPECT_NE(s.log().find(treno.string() + ":4:1: errore 16: segnale su una cella occupata"),
            std::string::npos)
      << s.log();
  EXPECT_EQ(leggi(cartella / n.griglia_compilata()), griglia_nuova);
  if (con_vista) {
    ASSERT_TRUE(s.attendi("in attesa di modifiche", 3)) << s.log();
    const std::string pagina = leggi(cartella / n.vista());
    EXPECT_NE(pagina.find(":4:1</span>: <span class=\"testo\">errore 16"), std::string::npos);
  }

  // Its fix: compiled again, written.
  const std::string corretto = prova::treno({"velocita, 0, 60", segnale});
  salva_per_rinomina(treno, corretto);
  ASSERT_TRUE(s.attendi("compilazione riuscita: file scritti", 3)) << s.log();
  EXPECT_NE(leggi(cartella / n.griglia_compilata()), griglia_nuova);
  if (con_vista) {
    EXPECT_EQ(leggi(cartella / n.vista()).find("errore 16"), std::string::npos);
  }

  // Other files in the folder (the compiled ones among them) start nothing.
  ASSERT_TRUE(s.attendi("in attesa di modifiche", 4)) << s.log();
  prova::scrivi(cartella / "appunti.txt", "x");
  std::this_thread::sleep_for(1200ms);
  EXPECT_EQ(s.log().find("appunti"), std::string::npos);

  EXPECT_EQ(s.ferma(GetParam().segnale), 0) << s.log();
  EXPECT_NE(s.log().find("sorveglianza finita"), std::string::npos) << s.log();
  EXPECT_EQ(leggi(treno), corretto) << "the sources are never touched";
  EXPECT_EQ(leggi(linea), prova::linea({"pendenza, 1000, 12"}));
  for (const auto& f : fs::directory_iterator(cartella))
    EXPECT_EQ(f.path().extension() == ".nuovo", false) << f.path();
}

INSTANTIATE_TEST_SUITE_P(
    Modi, Sorveglia,
    ::testing::Values(caso_sorveglianza{"avvisi_del_sistema", {}, SIGINT},
                      caso_sorveglianza{"lettura_periodica", {"--poll"}, SIGTERM},
                      caso_sorveglianza{"con_la_pagina", {"--view", "--draw"}, SIGINT}),
    [](const auto& i) { return std::string(i.param.nome); });

TEST(SorvegliaRiga, PollSenzaWatchEUnaCartellaMancante) {
  prova::cartella_prova c;
  const prova::esito_processo poll =
      prova::avvia(SCENARIO_PROGRAMMA, {"compile", "L", "T", "--poll"}, c.percorso(), c.percorso());
  EXPECT_EQ(poll.stato, 64);
  EXPECT_NE(poll.errori.find("l'opzione --poll vale solo con --watch"), std::string::npos);
  const prova::esito_processo manca =
      prova::avvia(SCENARIO_PROGRAMMA, {"compile", "L", "T", "--watch", "-C", "nessuna"},
                   c.percorso(), c.percorso());
  EXPECT_EQ(manca.stato, 2);
  EXPECT_EQ(manca.errori, "compila_scenario: nessuna: cartella inesistente\n");
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
