// export: the two built-in sources exactly as the default run writes them;
// an author's sources already there are kept unless replacing is asked for.
#include "strumenti/esporta.h"

#include <gtest/gtest.h>

#include <sstream>

#include "strumenti/predefinito_prova.h"

namespace scenario {
namespace {

class disco_pieno : public disco_memoria {
 public:
  esito_io sostituisci(const std::string& nome, std::string_view) override {
    return esito_io::fallito("pieno/" + nome, "No space left on device");
  }
};

TEST(Esporta, ScriveISorgentiComeLaRunPredefinita) {
  disco_memoria d;
  std::ostringstream err;
  EXPECT_EQ(esporta(d, false, "", err), esito_strumento::fatto);
  disco_memoria atteso;
  prova::metti_sorgenti_predefinite(atteso);
  EXPECT_EQ(d.file, atteso.file);
  EXPECT_EQ(err.str(), "");
}

TEST(Esporta, NonSostituisceISorgentiDiUnAutoreSenzaForce) {
  const nomi_file n = prova::nomi_predefiniti();
  struct caso {
    const char* nome;
    std::vector<std::string> presenti;
    std::string messaggi;
  };
  const std::vector<caso> casi = {
      {"la linea",
       {n.sorgente_linea()},
       "compila_scenario: mia/" + n.sorgente_linea() + " esiste gia' (--force per sostituirlo)\n"},
      {"entrambi",
       {n.sorgente_linea(), n.sorgente_treno()},
       "compila_scenario: mia/" + n.sorgente_linea() + " esiste gia' (--force per sostituirlo)\n" +
           "compila_scenario: mia/" + n.sorgente_treno() +
           " esiste gia' (--force per sostituirlo)\n"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    disco_memoria d;
    for (const std::string& f : c.presenti) d.file[f] = "lavoro dell'autore";
    const auto prima = d.file;
    std::ostringstream err;
    EXPECT_EQ(esporta(d, false, "mia/", err), esito_strumento::file_esistenti);
    EXPECT_EQ(d.file, prima);
    EXPECT_EQ(err.str(), c.messaggi);

    std::ostringstream err_forzato;
    EXPECT_EQ(esporta(d, true, "mia/", err_forzato), esito_strumento::fatto);
    disco_memoria atteso;
    prova::metti_sorgenti_predefinite(atteso);
    EXPECT_EQ(d.file, atteso.file);
  }
}

TEST(Esporta, UnGuastoDelDiscoNominaIlFile) {
  disco_pieno d;
  std::ostringstream err;
  EXPECT_EQ(esporta(d, false, "", err), esito_strumento::guasto_disco);
  EXPECT_EQ(err.str(), "compila_scenario: pieno/" + prova::nomi_predefiniti().sorgente_linea() +
                           ": No space left on device\n");
}

}  // namespace
}  // namespace scenario
