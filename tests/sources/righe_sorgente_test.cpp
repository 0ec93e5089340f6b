// The one table of row kinds: the parser's keyword tests, the nearest
// keyword for a slip, and docs/sorgenti.md, which must list exactly the
// keywords the parser knows.
#include "sources/righe_sorgente.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace scenario {
namespace {

// A row kind as the reference lists it: its section, words, exactness, and
// the example written beside it.
struct riga_doc {
  sezione_sorgente sezione;
  std::set<std::string> parole;
  bool esatto;
  std::string esempio;
};

std::vector<std::string> tra_apici(const std::string& t) {
  std::vector<std::string> v;
  for (size_t i = t.find('`'); i != std::string::npos; i = t.find('`', i)) {
    const size_t j = t.find('`', i + 1);
    if (j == std::string::npos) break;
    v.push_back(t.substr(i + 1, j - i - 1));
    i = j + 1;
  }
  return v;
}

std::vector<riga_doc> righe_del_riferimento() {
  std::ifstream f(std::string(SCENARIO_RADICE) + "/docs/sorgenti.md");
  EXPECT_TRUE(f.good());
  std::vector<riga_doc> v;
  std::optional<sezione_sorgente> sezione;
  std::string riga;
  while (std::getline(f, riga)) {
    if (riga.rfind("#", 0) == 0) {
      sezione.reset();
      if (riga == "### Rows of [generale] (line source)")
        sezione = sezione_sorgente::generale_linea;
      if (riga == "### Rows of the body (line source)") sezione = sezione_sorgente::corpo_linea;
      if (riga == "### Rows of the train-run source") sezione = sezione_sorgente::corpo_treno;
    }
    if (!sezione || riga.rfind("| `", 0) != 0) continue;
    const size_t fine_prima = riga.find(" | ", 2);
    const size_t fine_seconda = riga.find(" | ", fine_prima + 3);
    const std::string prima = riga.substr(2, fine_prima - 2);
    const std::vector<std::string> parole = tra_apici(prima);
    const std::vector<std::string> esempio =
        tra_apici(riga.substr(fine_prima, fine_seconda - fine_prima));
    v.push_back({*sezione,
                 {parole.begin(), parole.end()},
                 prima.find("(exact)") != std::string::npos,
                 esempio.empty() ? std::string() : esempio[0]});
  }
  return v;
}

TEST(RigheSorgente, IlRiferimentoElencaEsattamenteLeParoleDelParser) {
  using chiave = std::tuple<sezione_sorgente, std::set<std::string>, bool>;
  std::set<chiave> attese;
  for (const tipo_riga& t : tipi_riga) {
    std::set<std::string> parole;
    for (const std::string_view p : t.parole) {
      if (!p.empty()) parole.insert(std::string(p));
    }
    attese.insert({t.sezione, parole, t.esatto});
  }
  std::set<chiave> lette;
  for (const riga_doc& r : righe_del_riferimento()) {
    EXPECT_TRUE(lette.insert({r.sezione, r.parole, r.esatto}).second) << r.esempio;
    // The example row starts with a keyword field that its own section reads.
    EXPECT_TRUE(riconosciuta(r.esempio.substr(0, r.esempio.find(',')), r.sezione)) << r.esempio;
  }
  EXPECT_EQ(lette, attese);
}

TEST(RigheSorgente, OgniScrittaELaSuaRiga) {
  for (const tipo_riga& t : tipi_riga) {
    EXPECT_TRUE(riconosce(t.scritta, t.quale)) << t.scritta;
    EXPECT_EQ(&tipo_di(t.quale), &t);
  }
}

TEST(RigheSorgente, LaParolaPiuVicinaAUnoSbaglio) {
  struct caso {
    std::string campo;
    sezione_sorgente sezione;
    std::string attesa;  // empty: nothing close
  };
  const caso casi[] = {
      {"segnael", sezione_sorgente::corpo_treno, "segnale"},
      {"stazoine", sezione_sorgente::corpo_treno, "stazione"},
      {"pendneza", sezione_sorgente::corpo_linea, "pendenza"},
      {"cruvad5", sezione_sorgente::corpo_linea, "curvad5"},
      {"velocta", sezione_sorgente::corpo_treno, "velocita"},
      {"numero vettrue", sezione_sorgente::corpo_treno, "numero vetture"},
      {"lungheza percorso", sezione_sorgente::generale_linea, "lunghezza percorso"},
      {"Sfondo uno", sezione_sorgente::generale_linea, "sfondo uno"},
      {"banana", sezione_sorgente::corpo_treno, ""},
      {"segnale", sezione_sorgente::corpo_linea, ""},
      {std::string(10000, 'x'), sezione_sorgente::corpo_linea, ""},
  };
  for (const caso& c : casi) EXPECT_EQ(piu_vicina(c.campo, c.sezione), c.attesa) << c.campo;
  EXPECT_EQ(intestazione_piu_vicina("[generle]", false), "[generale]");
  EXPECT_EQ(intestazione_piu_vicina("[pendnze]", true), "[pendenze]");
  EXPECT_EQ(intestazione_piu_vicina("[qualcosa]", true), "");
}

}  // namespace
}  // namespace scenario
