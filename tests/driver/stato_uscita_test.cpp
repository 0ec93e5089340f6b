// The one list of exit statuses and README.md's table of them say the same
// numbers in the same order, each once.
#include "driver/stato_uscita.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace scenario {
namespace {

// The numbers in the first column of the table under "## Exit status".
std::vector<int> stati_del_readme() {
  std::ifstream f(std::string(SCENARIO_RADICE) + "/README.md");
  std::vector<int> stati;
  bool dentro = false;
  for (std::string riga; std::getline(f, riga);) {
    if (riga.rfind("## ", 0) == 0) dentro = riga == "## Exit status";
    if (!dentro || riga.rfind("| ", 0) != 0 || riga.rfind("| status", 0) == 0) continue;
    stati.push_back(std::stoi(riga.substr(2)));
  }
  return stati;
}

TEST(StatoUscita, IlReadmeElencaOgniStatoDellaLista) {
  std::vector<int> lista;
  std::set<int> visti;
  for (const significato_uscita& u : significati_uscita) {
    lista.push_back(u.stato);
    EXPECT_TRUE(visti.insert(u.stato).second) << u.stato;
    EXPECT_FALSE(u.testo.empty()) << u.stato;
  }
  EXPECT_EQ(stati_del_readme(), lista);
}

}  // namespace
}  // namespace scenario
