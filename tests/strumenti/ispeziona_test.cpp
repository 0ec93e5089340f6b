// inspect: the dumps of small files line by line, in text and in JSON, in
// the author's units; free cells, empty points and empty rows left out
// unless asked for; the km range; a broken file gives one line naming it and
// the offset, and no dump.
#include "strumenti/ispeziona.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "compiler/uscita.h"

namespace scenario {
namespace {

// Cell 1 a signal; cell 2 nothing new (left out); cell 3 an approach mark.
std::vector<cella> quattro_celle() {
  cella segn;
  segn.tipo_cella = segnale;
  segn.valore1 = 31;
  segn.valore4 = -3;
  segn.vel_limite = 16;
  segn.pendenza = 73;
  segn.aderenza = 100;
  cella stessa;
  stessa.vel_limite = 16;
  stessa.pendenza = 73;
  stessa.aderenza = 100;
  cella segnata = stessa;
  segnata.avvicinamento = 31;
  return {cella{}, segn, stessa, segnata};
}

std::vector<cella> due_celle() {
  std::vector<cella> c = quattro_celle();
  c.resize(2);
  return c;
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
  t[1].inizio = 4800;
  t[1].fine = 5000;
  t[1].orario = 63240;  // 17:34:00
  t[1].dato10 = 1;
  t[1].dato4 = 4;
  t[1].nome = "S.\"A\xE8\x01";
  t[80].nome = "(X)";
  t[82].inizio = 14700;
  t[82].fine = 99600;
  t[82].posizione = 1;
  t[84].fine = 96000;
  t[84].dato9 = 7;  // no meaning in that row: shown by its name
  t[85].nome = "L";
  t[85].dato4 = 610;
  t[86].nome = "\x80";
  t[86].dato7 = 17;
  t[86].dato8 = 33;
  t[86].dato9 = 30;
  return t;
}

struct caso_dump {
  const char* nome;
  std::string dati;
  tipo_file tipo;
  opzioni_ispezione o;
  std::string atteso;
};

opzioni_ispezione opzioni(bool json, bool tutto, std::optional<double> da = {},
                          std::optional<double> a = {}) {
  return {json, tutto, da, a};
}

const opzioni_ispezione testo = opzioni(false, false);
const opzioni_ispezione json = opzioni(true, false);
const opzioni_ispezione tutto = opzioni(false, true);

const std::string cella_0 =
    "cella 0 a -50 m (km -0.050): limite 0 km/h, pendenza -100 per mille, aderenza 0\n";
const std::string cella_1 =
    "cella 1 a 0 m (km 0.000): segnale s1d1 31, s2d2 0, s3d3 0, rapp*10+sx*3+dx -3, tempo 0; "
    "limite 80 km/h, pendenza -27 per mille, aderenza 100\n";
const std::string cella_2 =
    "cella 2 a 50 m (km 0.050): limite 80 km/h, pendenza -27 per mille, aderenza 100\n";
const std::string cella_3 =
    "cella 3 a 100 m (km 0.100): limite 80 km/h, pendenza -27 per mille, aderenza 100, "
    "avvicinamento 31\n";

const std::string righe_fisse =
    "riga 81 (progressiva): da 0 m (km 0.000), valore 0 m, crescente\n"
    "riga 82 (progressiva): da 14700 m (km 14.700), valore 99600 m, decrescente\n"
    "riga 83 (progressiva): da 0 m (km 0.000), valore 0 m, crescente\n"
    "riga 84 (treno): massa frenata 0 %, lunghezza percorso 96000 m (km 96.000), vetture 0, dato9 "
    "7\n"
    "riga 85 (linea): \"L\", sfondo uno 0, sfondo due 0, sfondo tre 0, costante 610, "
    "codice_gara_st 0\n"
    "riga 86 (servizio): \"\xE2\x82\xAC\", ripetizione segnali da 0 a 0 m, codici 0, sabbia 0, "
    "orologio 17:33:30\n";
const std::string riga_stazione =
    "riga 1 (stazione): \"S.\\\"A\xC3\xA8\\x01\" a 4900 m (km 4.900), tipo 12, area da 4800 a 5000 "
    "m, orario 17:34:00, fermata 1, campi 4-12 0 0 0 4 0 0 0 0 0\n";

TEST(Ispeziona, DumpNelleUnitaDellAutore) {
  const std::vector<caso_dump> casi = {
      {"griglia: le celle libere e uguali alla precedente restano fuori",
       immagine_griglia(quattro_celle()), tipo_file::griglia, testo,
       "griglia g.dat: 4 celle\n" + cella_0 + cella_1 + cella_3},
      {"griglia: tutte con --all", immagine_griglia(quattro_celle()), tipo_file::griglia, tutto,
       "griglia g.dat: 4 celle\n" + cella_0 + cella_1 + cella_2 + cella_3},
      {"griglia: il tratto da 50 a 100 m; la prima cella del tratto si vede sempre",
       immagine_griglia(quattro_celle()), tipo_file::griglia, opzioni(false, false, 50, 100),
       "griglia g.dat: 4 celle\n" + cella_2 + cella_3},
      {"griglia in JSON: i valori scritti e quelli convertiti", immagine_griglia(quattro_celle()),
       tipo_file::griglia, opzioni(true, false, 0, 0),
       "{\"file\":\"g.dat\",\"tipo\":\"griglia\",\"celle\":[\n"
       "{\"indice\":1,\"tipo_cella\":1,\"valore1\":31,\"valore2\":0,\"valore3\":0,\"valore4\":-3,"
       "\"tempo_segnale\":0,\"avvicinamento\":0,\"tipo_montagna\":0,\"vel_limite\":16,"
       "\"pendenza\":73,\"aderenza\":100,\"nome_tipo\":\"segnale\",\"metri\":0,\"km\":0.000,"
       "\"limite_kmh\":80,\"pendenza_per_mille\":-27,\"descrizione\":\"segnale s1d1 31, s2d2 0, "
       "s3d3 0, rapp*10+sx*3+dx -3, tempo 0\"}\n"
       "]}\n"},
      {"piano: i punti vuoti restano fuori", immagine_linea(tre_punti()), tipo_file::piano, testo,
       "piano g.dat: 3 punti\n"
       "punto 0 (km 0.000): x 0, y -7\n"
       "punto 1 (km 0.001): x -0.001, y inf\n"},
      {"piano con --all", immagine_linea(tre_punti()), tipo_file::piano, tutto,
       "piano g.dat: 3 punti\n"
       "punto 0 (km 0.000): x 0, y -7\n"
       "punto 1 (km 0.001): x -0.001, y inf\n"
       "punto 2 (km 0.002): x vuoto, y vuoto\n"},
      {"piano in JSON, un tratto", immagine_linea(tre_punti()), tipo_file::piano,
       opzioni(true, true, 1),
       "{\"file\":\"g.dat\",\"tipo\":\"piano\",\"punti\":[\n"
       "{\"m\":1,\"km\":0.001,\"x\":-0.001,\"tipo_x\":\"doppio\",\"y\":\"inf\",\"tipo_y\":"
       "\"doppio\"},\n"
       "{\"m\":2,\"km\":0.002,\"x\":null,\"tipo_x\":\"vuoto\",\"y\":null,\"tipo_y\":\"vuoto\"}\n"
       "]}\n"},
      {"tabella: i campi per significato, le righe vuote fuori", immagine_treno(una_stazione()),
       tipo_file::tabella, testo,
       "tabella g.dat: 87 righe\n" + riga_stazione + "riga 80 (cartello): \"(X)\"\n" + righe_fisse},
      {"tabella: un tratto tiene le stazioni e le progressive che vi stanno",
       immagine_treno(una_stazione()), tipo_file::tabella, opzioni(false, false, 4900, 14700),
       "tabella g.dat: 87 righe\n" + riga_stazione +
           "riga 82 (progressiva): da 14700 m (km 14.700), valore 99600 m, decrescente\n"},
  };
  for (const caso_dump& c : casi) {
    SCOPED_TRACE(c.nome);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(ispeziona(c.dati, c.tipo, "g.dat", c.o, out, err), esito_strumento::fatto);
    EXPECT_EQ(out.str(), c.atteso);
    EXPECT_EQ(err.str(), "");
  }
}

TEST(Ispeziona, TabellaIntera) {
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(ispeziona(immagine_treno(una_stazione()), tipo_file::tabella, "t.sim", tutto, out, err),
            esito_strumento::fatto);
  std::istringstream righe(out.str());
  std::vector<std::string> r;
  for (std::string l; std::getline(righe, l);) r.push_back(l + "\n");
  ASSERT_EQ(r.size(), 88u);
  EXPECT_EQ(r[1], "riga 0: vuota\n");
  EXPECT_EQ(r[2], riga_stazione);
  EXPECT_EQ(r[3], "riga 2: vuota\n");

  std::ostringstream j;
  ASSERT_EQ(ispeziona(immagine_treno(una_stazione()), tipo_file::tabella, "t.sim", json, j, err),
            esito_strumento::fatto);
  EXPECT_NE(j.str().find("{\"indice\":1,\"ruolo\":\"stazione\",\"tipo\":12,\"inizio\":4800,"
                         "\"fine\":5000,\"posizione\":4900,\"dato1\":0,\"nome\":\"S.\\\"A\xC3\xA8"
                         "\\u0001\",\"nome_byte\":\"532E2241E801\",\"dato4\":4,"),
            std::string::npos)
      << j.str().substr(0, 600);
  EXPECT_NE(j.str().find(",\"orario\":63240,\"metri\":4900,\"km\":4.900,\"descrizione\":"),
            std::string::npos);
  EXPECT_EQ(j.str().find("{\"indice\":0,"), std::string::npos) << "empty rows stay out";
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
      opzioni_ispezione o;
      o.json = json;
      EXPECT_EQ(ispeziona(c.dati, c.tipo, "x.dat", o, out, err), esito_strumento::file_malformato);
      EXPECT_EQ(out.str(), "");
      EXPECT_EQ(err.str(), c.messaggio);
    }
  }
}

}  // namespace
}  // namespace scenario
