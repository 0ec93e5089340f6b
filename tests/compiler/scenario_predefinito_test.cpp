// The built-in scenario compiled whole from its two sources: no error, the
// sources gone, and the three compiled files of the sizes the route implies.
#include <gtest/gtest.h>

#include <string>

#include "compiler/scenario_predefinito_prova.h"

namespace scenario {
namespace {

TEST(ScenarioPredefinito, CompilaSenzaErrori) {
  prova::predefinito_compilato p = prova::compila_predefinito();
  const nomi_file& nomi = p.nomi;
  disco_memoria& d = p.d;
  const stato& s = p.s;
  const esito_compilazione& e = p.esito;
  ASSERT_TRUE(e.io.ok) << e.io.file << ": " << e.io.motivo;
  EXPECT_EQ(e.errore_fatale, 0);
  EXPECT_EQ(s.codice_errore, 0) << "alla posizione " << s.posizione_errore;
  EXPECT_FALSE(d.esiste(nomi.sorgente_linea()));
  EXPECT_FALSE(d.esiste(nomi.sorgente_treno()));

  EXPECT_EQ(s.ultima_cella, 2060);
  EXPECT_EQ(s.fine_tracciato, 103000);
  EXPECT_EQ(d.file.at(nomi.griglia_compilata()).size(), 30915u);
  EXPECT_EQ(d.file.at(nomi.linea_compilata()).size(), 2059964u);
  size_t nomi_totali = 0;
  for (const voce_scenario& r : s.tabella_scenario) nomi_totali += r.nome.size();
  EXPECT_EQ(d.file.at(nomi.treno_compilato()).size(), 87u * 34 + nomi_totali);

  // 18 stations from row 1, 16 sign texts from row 80 down, row 0 empty.
  EXPECT_EQ(s.tabella_scenario[0], voce_scenario{});
  EXPECT_EQ(s.tabella_scenario[1].nome, "BROSSALENTA");
  EXPECT_EQ(s.tabella_scenario[18].nome, "MORLA");
  EXPECT_TRUE(s.tabella_scenario[19].nome.empty());
  EXPECT_FALSE(s.tabella_scenario[65].nome.empty());
  EXPECT_TRUE(s.tabella_scenario[64].nome.empty());
  EXPECT_EQ(s.tabella_scenario[85].orario, 33412);  // codice_gara_st
  EXPECT_EQ(s.percorso[1].valore2, 2407);           // codice_gara_og
}

}  // namespace
}  // namespace scenario
