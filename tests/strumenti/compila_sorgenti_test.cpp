// compile on in-memory disks: a clean compile writes exactly the default
// run's three compiled files and keeps the sources; a faulty one writes
// nothing and reports the file, line, column and number, with the line and
// a caret, or for a conflict of the finishing pass its objects.
#include "strumenti/compila_sorgenti.h"

#include <gtest/gtest.h>

#include <sstream>

#include "compiler/sorgenti_prova.h"
#include "strumenti/predefinito_prova.h"

namespace scenario {
namespace {

using prova::righe;

const std::string fine_rapporto = "compila_scenario: nessun file compilato scritto\n";

// Compiled files of an earlier, good compile, which a faulty one must leave.
std::map<std::string, std::string> vecchi_compilati(const nomi_file& n) {
  return {{n.linea_compilata(), "vecchio piano"},
          {n.treno_compilato(), "vecchia tabella"},
          {n.griglia_compilata(), "vecchia griglia"}};
}

TEST(CompilaSorgenti, UnaCompilazionePulitaScriveITreFileDellaRunPredefinita) {
  const nomi_file n = prova::nomi_predefiniti();
  disco_memoria sorgenti;
  prova::metti_sorgenti_predefinite(sorgenti);
  const auto testi = sorgenti.file;
  disco_memoria uscita;
  uscita.file = vecchi_compilati(n);
  std::ostringstream err;

  EXPECT_EQ(compila_sorgenti(sorgenti, uscita, n.nome_linea, n.nome_treno, "", err),
            esito_strumento::fatto);

  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(uscita.file, prova::compilati_predefiniti().file);
  EXPECT_EQ(sorgenti.file, testi) << "the author's sources stay";
}

struct caso_rapporto {
  const char* nome;
  std::string linea;
  std::string treno;
  std::string prefisso;
  std::string rapporto;
};

std::vector<caso_rapporto> casi_rapporto() {
  using prova::linea;
  using prova::treno;
  const std::string segnale = "segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0";
  return {
      {"un segnale su un altro", linea({}),
       treno({segnale, "segnale, 5000, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0"}), "",
       "L_T-.txt:3:1: errore 16: segnale su una cella occupata\n"
       "segnale, 5000, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0\n"
       "^\n"},
      {"la cartella davanti al nome", linea({}),
       treno({"x", "  rallentamento, 5000, 30, 100, 0, 0, 0", segnale}), "mia/cartella/",
       "mia/cartella/L_T-.txt:4:1: errore 16: segnale su una cella occupata\n" + segnale + "\n^\n"},
      {"il campo troppo largo, dopo una tabulazione", linea({}, {"\tsfondo uno, 99999999999"}),
       treno({}), "",
       "L_linea.txt:3:14: errore 25: errore di lettura o di esecuzione nel file sorgente\n"
       "\tsfondo uno, 99999999999\n"
       "\t            ^\n"},
      {"un quindici della linea fermato da un segnale",
       linea({"pendenza, 500, 3", "pendenza, 20000, 3"}), treno({segnale}), "",
       "L_linea.txt:5:1: errore 15: riga oltre la fine della griglia\n"
       "pendenza, 20000, 3\n"
       "^\n"},
      {"celle occupate prima dell'inizio di un rallentamento", linea({}),
       treno({"abbattimento, 4800, 0", "abbattimento, 4750, 0", "abbattimento, 4700, 60",
              "rallentamento, 5000, 30, 100, 0, 0, 0"}),
       "",
       "L_T-.txt:5:1: errore 12: celle occupate prima dell'inizio di un rallentamento (posizione "
       "5050 m)\n"
       "rallentamento, 5000, 30, 100, 0, 0, 0\n"
       "^\n"
       "L_T-.txt:5:1: nota: inizio del rallentamento nella cella 101 (5000 m)\n"
       "L_T-.txt:2:1: nota: cella 96 occupata: punto abbattimento\n"
       "abbattimento, 4800, 0\n"
       "^\n"
       "L_T-.txt:3:1: nota: cella 95 occupata: punto abbattimento\n"
       "abbattimento, 4750, 0\n"
       "^\n"
       "L_T-.txt:4:1: nota: cella 94 occupata: punto valore\n"
       "abbattimento, 4700, 60\n"
       "^\n"},
      {"il segnale dopo la fine di un rallentamento", linea({}),
       treno({"abbattimento, 5250, 0", "abbattimento, 5200, 0",
              "rallentamento, 5000, 30, 100, 0, 0, 0",
              "segnale, 5250, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"}),
       "",
       "L_T-.txt:4:1: errore 13: celle occupate nel rallentamento o prima del segnale che lo segue "
       "(posizione 5150 m)\n"
       "rallentamento, 5000, 30, 100, 0, 0, 0\n"
       "^\n"
       "L_T-.txt:5:1: nota: segnale nella cella 106 (5250 m)\n"
       "segnale, 5250, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0\n"
       "^\n"
       "L_T-.txt:4:1: nota: inizio del rallentamento nella cella 101 (5000 m)\n"
       "L_T-.txt:4:1: nota: fine del rallentamento nella cella 103 (5100 m)\n"
       "L_T-.txt:2:1: nota: cella 105 occupata: punto abbattimento\n"
       "abbattimento, 5250, 0\n"
       "^\n"
       "L_T-.txt:3:1: nota: cella 104 occupata: punto abbattimento\n"
       "abbattimento, 5200, 0\n"
       "^\n"},
      {"un cartello nella cella dei valori di intestazione", linea({"cartello_indicatore, 0, (A)"}),
       treno({}), "",
       "L_linea.txt:4:1: errore 1250: valori di intestazione gia' presenti\n"
       "cartello_indicatore, 0, (A)\n"
       "^\n"
       "L_linea.txt:4:1: nota: la cella 1, che riceve i valori di intestazione, e' occupata: "
       "cartello indicatore\n"},
      {"nessuna griglia: la lunghezza oltre il massimo",
       linea({}, {}, "lunghezza percorso, 2000000"), treno({}), "",
       "L_linea.txt:2:1: errore 1: lunghezza del percorso oltre 1000000 m\n"
       "lunghezza percorso, 2000000\n"
       "^\n"},
  };
}

TEST(CompilaSorgenti, UnErroreNonScriveNullaEDiceDove) {
  const nomi_file n{"L", "T"};
  for (const caso_rapporto& c : casi_rapporto()) {
    SCOPED_TRACE(c.nome);
    disco_memoria sorgenti;
    if (!c.linea.empty()) sorgenti.file[n.sorgente_linea()] = c.linea;
    sorgenti.file[n.sorgente_treno()] = c.treno;
    const auto testi = sorgenti.file;
    disco_memoria uscita;
    uscita.file = vecchi_compilati(n);
    std::ostringstream err;

    // The warnings of these sources have their own table.
    EXPECT_EQ(
        compila_sorgenti(sorgenti, uscita, "L", "T", c.prefisso, err, trattamento_avvisi::silenzia),
        esito_strumento::errore_compilazione);

    EXPECT_EQ(err.str(), c.rapporto + fine_rapporto);
    EXPECT_EQ(uscita.file, vecchi_compilati(n)) << "earlier compiled files stay as they were";
    EXPECT_EQ(sorgenti.file, testi) << "the author's sources stay";
  }
}

// A disk that cannot read, or cannot write.
class disco_rotto : public disco_memoria {
 public:
  explicit disco_rotto(bool lettura) : lettura_(lettura) {}
  esito_io leggi(const std::string& nome, std::string& contenuto) override {
    if (lettura_) return esito_io::fallito("rotto/" + nome, "Input/output error");
    return disco_memoria::leggi(nome, contenuto);
  }
  esito_io sostituisci_insieme(const std::vector<file_nuovo>& f) override {
    if (!lettura_)
      return esito_io::fallito("rotto/" + f.front().nome + ".nuovo", "No space left on device");
    return disco_memoria::sostituisci_insieme(f);
  }

 private:
  bool lettura_;
};

TEST(CompilaSorgenti, UnGuastoDelDiscoNominaIlFile) {
  const nomi_file n = prova::nomi_predefiniti();
  {
    disco_rotto sorgenti(true);
    prova::metti_sorgenti_predefinite(sorgenti);
    disco_memoria uscita;
    std::ostringstream err;
    EXPECT_EQ(compila_sorgenti(sorgenti, uscita, n.nome_linea, n.nome_treno, "", err),
              esito_strumento::guasto_disco);
    EXPECT_EQ(err.str(),
              "compila_scenario: rotto/" + n.sorgente_linea() + ": Input/output error\n");
    EXPECT_TRUE(uscita.file.empty());
  }
  {
    disco_memoria sorgenti;
    prova::metti_sorgenti_predefinite(sorgenti);
    disco_rotto uscita(false);
    std::ostringstream err;
    EXPECT_EQ(compila_sorgenti(sorgenti, uscita, n.nome_linea, n.nome_treno, "", err),
              esito_strumento::guasto_disco);
    EXPECT_EQ(err.str(), "compila_scenario: rotto/" + n.linea_compilata() +
                             ".nuovo: No space left on device\n");
  }
}

}  // namespace
}  // namespace scenario
