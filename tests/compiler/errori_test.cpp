// The one list of error numbers: each number once, each with a meaning, and
// README.md's table saying exactly what the list says.
#include "compiler/errori.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace scenario {
namespace {

struct riga_tabella {
  std::string numero;
  std::string testo;
  std::string di_chi;
  bool operator==(const riga_tabella&) const = default;
};

std::vector<std::string> celle(const std::string& riga) {
  std::vector<std::string> c;
  std::stringstream in(riga.substr(1));
  std::string pezzo;
  while (std::getline(in, pezzo, '|')) {
    const size_t a = pezzo.find_first_not_of(' ');
    const size_t b = pezzo.find_last_not_of(' ');
    c.push_back(a == std::string::npos ? "" : pezzo.substr(a, b - a + 1));
  }
  return c;
}

// The rows of the table under "## Error numbers" in README.md.
std::vector<riga_tabella> tabella_readme() {
  std::ifstream f(std::string(SCENARIO_RADICE) + "/README.md");
  std::vector<riga_tabella> righe;
  std::string riga;
  bool dentro = false;
  while (std::getline(f, riga)) {
    if (riga.rfind("## ", 0) == 0) dentro = riga == "## Error numbers";
    if (!dentro || riga.rfind("| ", 0) != 0 || riga.rfind("| number", 0) == 0) continue;
    const std::vector<std::string> c = celle(riga);
    if (c.size() == 3) righe.push_back({c[0], c[1], c[2]});
  }
  return righe;
}

TEST(Errori, OgniNumeroUnaVoltaConUnSignificato) {
  std::set<int32_t> visti;
  for (const significato_errore& e : elenco_errori) {
    EXPECT_TRUE(visti.insert(e.numero).second) << e.numero;
    EXPECT_FALSE(e.testo.empty()) << e.numero;
    EXPECT_EQ(descrizione_errore(e.numero), e.testo);
  }
  for (const int32_t mai : {0, 14, 23, 31, 100, 104, 1249, 1252, -1}) {
    EXPECT_TRUE(descrizione_errore(mai).empty()) << mai;
  }
}

TEST(Errori, LaTabellaDelReadmeEQuellaDellElenco) {
  std::vector<riga_tabella> attese;
  for (const significato_errore& e : elenco_errori) {
    attese.push_back(
        {std::to_string(e.numero), std::string(e.testo), e.proprio ? "ours" : "description"});
  }
  const std::vector<riga_tabella> lette = tabella_readme();
  ASSERT_EQ(lette.size(), attese.size());
  for (size_t i = 0; i < attese.size(); ++i) {
    EXPECT_EQ(lette[i], attese[i]) << "riga " << i << ": " << lette[i].numero;
  }
}

}  // namespace
}  // namespace scenario
