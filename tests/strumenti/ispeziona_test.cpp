// inspect: the dumps of small files line by line, in text and in JSON; a
// broken file gives one line naming it and the offset, and no dump.
#include "strumenti/ispeziona.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "compiler/uscita.h"
#include "strumenti/predefinito_prova.h"

namespace scenario {
namespace {

struct caso_dump {
  const char* nome;
  std::string dati;
  tipo_file tipo;
  bool json;
  std::string atteso;
};

std::vector<cella> due_celle() {
  cella segn;
  segn.tipo_cella = segnale;
  segn.valore1 = 31;
  segn.valore4 = -3;
  segn.vel_limite = 16;
  segn.pendenza = 103;
  segn.aderenza = 100;
  return {cella{}, segn};
}

tracciato tre_punti() {
  tracciato t;
  t.crea(2);
  t.imposta_intero(0, 0, 0);
  t.imposta_intero(0, 1, -7);
  t.imposta_doppio(1, 0, -0.001);
  t.imposta_doppio(1, 1, std::numeric_limits<double>::infinity());
  return t;
}

tabella una_stazione() {
  tabella t{};
  t[1].tipo = 12;
  t[1].posizione = 4900;
  t[1].nome = "S.\"A\xE8\x01";
  t[80].nome = "(X)";
  t[85].nome = "L";
  t[85].dato4 = 610;
  return t;
}

std::string riga_vuota(int r) {
  return "riga " + std::to_string(r) +
         ": tipo=0 inizio=0 fine=0 posizione=0 dato1=0 nome=\"\" dato4=0 dato5=0 dato7=0 dato8=0 "
         "dato9=0 dato6=0 "
         "dato10=0 dato3=0 dato2=0 orario=0\n";
}

TEST(Ispeziona, DumpDiFilePiccoli) {
  const std::vector<caso_dump> casi = {
      {"griglia in testo", immagine_griglia(due_celle()), tipo_file::griglia, false,
       "griglia g.dat: 2 celle\n"
       "cella 0: tipo_cella=0 (libera) valore1=0 valore2=0 valore3=0 valore4=0 tempo_segnale=0 "
       "avvicinamento=0 "
       "tipo_montagna=0 vel_limite=0 pendenza=0 aderenza=0\n"
       "cella 1: tipo_cella=1 (segnale) valore1=31 valore2=0 valore3=0 valore4=-3 tempo_segnale=0 "
       "avvicinamento=0 "
       "tipo_montagna=0 vel_limite=16 pendenza=103 aderenza=100\n"},
      {"griglia in JSON", immagine_griglia(due_celle()), tipo_file::griglia, true,
       "{\"file\":\"g.dat\",\"tipo\":\"griglia\",\"celle\":[\n"
       "{\"indice\":0,\"tipo_cella\":0,\"valore1\":0,\"valore2\":0,\"valore3\":0,\"valore4\":0,"
       "\"tempo_segnale\":0,"
       "\"avvicinamento\":0,\"tipo_montagna\":0,\"vel_limite\":0,\"pendenza\":0,\"aderenza\":0,"
       "\"nome_tipo\":\"libera\"},\n"
       "{\"indice\":1,\"tipo_cella\":1,\"valore1\":31,\"valore2\":0,\"valore3\":0,\"valore4\":-3,"
       "\"tempo_segnale\":0,"
       "\"avvicinamento\":0,\"tipo_montagna\":0,\"vel_limite\":16,\"pendenza\":103,\"aderenza\":"
       "100,\"nome_tipo\":"
       "\"segnale\"}\n"
       "]}\n"},
      {"piano in testo", immagine_linea(tre_punti()), tipo_file::piano, false,
       "piano g.dat: 3 punti\n"
       "punto 0: 0 (intero) -7 (intero)\n"
       "punto 1: -0.001 (doppio) inf (doppio)\n"
       "punto 2: vuoto vuoto\n"},
      {"piano in JSON", immagine_linea(tre_punti()), tipo_file::piano, true,
       "{\"file\":\"g.dat\",\"tipo\":\"piano\",\"punti\":[\n"
       "{\"m\":0,\"x\":0,\"tipo_x\":\"intero\",\"y\":-7,\"tipo_y\":\"intero\"},\n"
       "{\"m\":1,\"x\":-0.001,\"tipo_x\":\"doppio\",\"y\":\"inf\",\"tipo_y\":\"doppio\"},\n"
       "{\"m\":2,\"x\":null,\"tipo_x\":\"vuoto\",\"y\":null,\"tipo_y\":\"vuoto\"}\n"
       "]}\n"},
  };
  for (const caso_dump& c : casi) {
    SCOPED_TRACE(c.nome);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(ispeziona(c.dati, c.tipo, "g.dat", c.json, out, err), esito_strumento::fatto);
    EXPECT_EQ(out.str(), c.atteso);
    EXPECT_EQ(err.str(), "");
  }
}

TEST(Ispeziona, LaTabellaNominaIRuoliEMostraIByteDeiNomi) {
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(ispeziona(immagine_treno(una_stazione()), tipo_file::tabella, "t.sim", false, out, err),
            esito_strumento::fatto);
  std::istringstream righe(out.str());
  std::vector<std::string> r;
  for (std::string l; std::getline(righe, l);) r.push_back(l + "\n");
  ASSERT_EQ(r.size(), 88u);
  EXPECT_EQ(r[0], "tabella t.sim: 87 righe\n");
  EXPECT_EQ(r[1], riga_vuota(0));
  EXPECT_EQ(r[2],
            "riga 1 (stazione): tipo=12 inizio=0 fine=0 posizione=4900 dato1=0 "
            "nome=\"S.\\\"A\\xE8\\x01\" dato4=0 "
            "dato5=0 dato7=0 dato8=0 dato9=0 dato6=0 dato10=0 dato3=0 dato2=0 orario=0\n");
  EXPECT_EQ(r[81],
            "riga 80 (cartello): tipo=0 inizio=0 fine=0 posizione=0 dato1=0 nome=\"(X)\" dato4=0 "
            "dato5=0 dato7=0 "
            "dato8=0 dato9=0 dato6=0 dato10=0 dato3=0 dato2=0 orario=0\n");
  EXPECT_EQ(r[86],
            "riga 85 (linea): tipo=0 inizio=0 fine=0 posizione=0 dato1=0 nome=\"L\" dato4=610 "
            "dato5=0 dato7=0 "
            "dato8=0 dato9=0 dato6=0 dato10=0 dato3=0 dato2=0 orario=0\n");

  std::ostringstream json;
  ASSERT_EQ(ispeziona(immagine_treno(una_stazione()), tipo_file::tabella, "t.sim", true, json, err),
            esito_strumento::fatto);
  EXPECT_NE(
      json.str().find(
          "{\"indice\":1,\"ruolo\":\"stazione\",\"tipo\":12,\"inizio\":0,\"fine\":0,\"posizione\":"
          "4900,\"dato1\":0,\"nome\":\"S.\\\"A\\u00E8\\u0001\",\"dato4\":0,"),
      std::string::npos)
      << json.str().substr(0, 600);
  EXPECT_NE(json.str().find("{\"indice\":0,\"ruolo\":null,"), std::string::npos);
}

TEST(Ispeziona, UnFileRottoUnaRigaENessunDump) {
  const std::string griglia = immagine_griglia(due_celle());
  const struct {
    tipo_file tipo;
    std::string dati;
    std::string messaggio;
  } casi[] = {
      {tipo_file::griglia, griglia.substr(0, 29),
       "compila_scenario: x.dat: file non valido (griglia) all'offset 15: cella 1 troncata: 14 "
       "byte su 15\n"},
      {tipo_file::tabella, griglia,
       // Bytes 14 and 15 are cell 0's adhesion and cell 1's type (1): a name of 256 bytes.
       "compila_scenario: x.dat: file non valido (tabella) all'offset 0: riga 0 troncata: 30 byte "
       "dove ne "
       "servono 34 + 256 (nome di 256 byte)\n"},
      {tipo_file::piano, "\x09",
       "compila_scenario: x.dat: file non valido (piano) all'offset 0: tipo del valore "
       "troncato: 1 byte su 2\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.messaggio);
    for (const bool json : {false, true}) {
      std::ostringstream out;
      std::ostringstream err;
      EXPECT_EQ(ispeziona(c.dati, c.tipo, "x.dat", json, out, err),
                esito_strumento::file_malformato);
      EXPECT_EQ(out.str(), "");
      EXPECT_EQ(err.str(), c.messaggio);
    }
  }
}

}  // namespace
}  // namespace scenario
