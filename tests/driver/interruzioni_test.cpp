// The real program killed (SIGKILL) at random moments of a run, in a
// directory holding the outputs of an earlier run: after every kill each
// output is the earlier one or the new one, whole, never missing nor cut; a
// source or a temporary the kill left behind is harmless, and the next normal
// run completes with every output new. The moments come from a fixed seed.
#if !defined(_WIN32)

#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "avvio_programma.h"
#include "cartella_prova.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/nomi_file.h"
#include "sources/scrittore_testo.h"
#include "uscite_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using namespace prova;

void attendi(std::chrono::nanoseconds d) {
  timespec t{static_cast<time_t>(d.count() / 1000000000),
             static_cast<long>(d.count() % 1000000000)};
  while (nanosleep(&t, &t) != 0) {
  }
}

// How the directory looks after a kill.
struct dopo_uccisione {
  size_t nuove = 0;  // outputs already replaced
  bool temporanei = false;
  bool sorgenti = false;
};

// Every output the earlier one or the new one, byte for byte; a source left
// behind is whole too (it is replaced the same way); any other file is a
// temporary of ours or the program itself.
dopo_uccisione controlla_cartella(const fs::path& cartella,
                                  const std::map<std::string, std::string>& nuove) {
  dopo_uccisione d;
  const nomi_file n = nomi_file::predefiniti();
  const std::map<std::string, std::string> sorgenti = {
      {n.sorgente_linea(), componi_testo(righe_linea())},
      {n.sorgente_treno(), componi_testo(righe_treno())}};
  for (const std::string& u : uscite_predefinite()) {
    SCOPED_TRACE(u);
    if (!fs::is_regular_file(cartella / u)) {
      ADD_FAILURE() << "output missing";
      continue;
    }
    const std::string c = leggi(cartella / u);
    if (c == precedente(u)) continue;
    EXPECT_EQ(c.size(), nuove.at(u).size()) << "output cut";
    EXPECT_TRUE(c == nuove.at(u)) << "neither the earlier nor the new output";
    ++d.nuove;
  }
  for (const auto& v : fs::directory_iterator(cartella)) {
    const std::string nome = v.path().filename().string();
    if (v.path().extension() == ".nuovo" || v.path().extension() == ".vecchio" ||
        nome == ".compila_scenario.blocco") {
      // A temporary, or the lock file of a run killed while holding it.
      d.temporanei = true;
    } else if (auto s = sorgenti.find(nome); s != sorgenti.end()) {
      d.sorgenti = true;
      EXPECT_EQ(leggi(v.path()), s->second) << nome << " left cut";
    } else {
      EXPECT_TRUE(nome == "compila_scenario" || nuove.count(nome) != 0)
          << "unexpected file " << nome;
    }
  }
  return d;
}

TEST(Interruzioni, UnaRunUccisaInQualunqueMomentoNonLasciaUsciteRotte) {
  cartella_unica c;
  const fs::path cartella = c / "programma";
  const fs::path eseguibile = copia_programma(cartella);
  const fs::path errori = c / "errori.txt";

  // A complete run gives the new outputs, and the span over which to kill.
  const auto inizio = std::chrono::steady_clock::now();
  const prova::esito_processo prima = prova::esegui_programma(eseguibile, errori);
  const auto durata = std::chrono::steady_clock::now() - inizio;
  ASSERT_EQ(prima.stato, 0) << prima.errori;
  std::map<std::string, std::string> nuove;
  for (const std::string& u : uscite_predefinite()) nuove[u] = leggi(cartella / u);

  std::mt19937 caso(20240611);
  std::uniform_int_distribution<int64_t> momento(
      0, std::chrono::duration_cast<std::chrono::nanoseconds>(durata).count() * 5 / 4);
  constexpr int uccisioni_volute = 120;
  int uccisioni = 0;
  // Some kill fell while the run was writing: it left outputs half replaced,
  // or temporaries, or the sources (the outputs are now replaced as one set
  // in a few renames at the end, so a kill rarely falls between them).
  bool a_meta = false;
  for (int prova_n = 0; uccisioni < uccisioni_volute; ++prova_n) {
    ASSERT_LT(prova_n, 20 * uccisioni_volute) << "the kills keep missing the run";
    posa_precedenti(cartella);
    const std::chrono::nanoseconds attesa(momento(caso));
    SCOPED_TRACE("kill after " + std::to_string(attesa.count()) + " ns");

    prova::processo_avviato p(prova::avvio_predefinito(eseguibile, errori));
    attendi(attesa);
    p.segnala(SIGKILL);
    const prova::esito_processo f = p.attendi();

    if (f.uscito) {
      // The kill came after the end: a complete run.
      EXPECT_EQ(f.stato, 0) << f.errori;
    } else {
      ASSERT_EQ(f.segnale, SIGKILL);
      ++uccisioni;
    }
    const dopo_uccisione d = controlla_cartella(cartella, nuove);
    if ((d.nuove > 0 && d.nuove < uscite_predefinite().size()) || d.temporanei || d.sorgenti)
      a_meta = true;
    if (f.uscito) {
      EXPECT_EQ(d.nuove, uscite_predefinite().size());
    }

    // Whatever the kill left, the next run goes through and replaces all.
    const prova::esito_processo dopo = prova::esegui_programma(eseguibile, errori);
    ASSERT_EQ(dopo.stato, 0) << dopo.errori;
    EXPECT_TRUE(prova::messaggi_errore(dopo.errori).empty()) << dopo.errori;
    const dopo_uccisione pulita = controlla_cartella(cartella, nuove);
    EXPECT_EQ(pulita.nuove, uscite_predefinite().size());
    EXPECT_FALSE(pulita.temporanei);
    EXPECT_FALSE(pulita.sorgenti);
    if (::testing::Test::HasFatalFailure()) return;
  }
  // Otherwise every kill fell before or after the writing, and proved nothing.
  EXPECT_TRUE(a_meta) << "no kill fell while the run was writing";
}

}  // namespace
}  // namespace scenario

#endif  // !_WIN32
