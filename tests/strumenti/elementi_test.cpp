// What the drawings read back from the compiled built-in scenario, and what
// they make of files that hold little or nonsense.
#include "strumenti/elementi.h"

#include <gtest/gtest.h>

#include "strumenti/decodifica.h"
#include "strumenti/predefinito_prova.h"

namespace scenario {
namespace {

scenario_compilato predefinito() {
  const disco_memoria d = prova::compilati_predefiniti();
  const nomi_file n = prova::nomi_predefiniti();
  scenario_compilato s;
  EXPECT_FALSE(decodifica_griglia(d.file.at(n.griglia_compilata()), s.griglia));
  EXPECT_FALSE(decodifica_tabella(d.file.at(n.treno_compilato()), s.righe));
  EXPECT_FALSE(decodifica_piano(d.file.at(n.linea_compilata()), s.piano));
  return s;
}

TEST(Elementi, LoScenarioPredefinito) {
  const elementi_linea e = elementi_di(predefinito());
  EXPECT_EQ(e.lunghezza, 96000);

  ASSERT_EQ(e.stazioni.size(), 18u);
  EXPECT_EQ(e.stazioni.front().nome, "BROSSALENTA");
  EXPECT_EQ(e.stazioni.front().posizione, 0);
  EXPECT_EQ(e.stazioni[3].nome, "P.M. Km 11.959");
  EXPECT_EQ(e.stazioni[3].posizione, 11950);
  EXPECT_EQ(e.stazioni.back().nome, "MORLA");
  EXPECT_EQ(e.stazioni.back().posizione, 95900);

  ASSERT_EQ(e.segnali.size(), 23u);
  EXPECT_EQ(e.segnali.front(), 10700);
  EXPECT_EQ(e.segnali.back(), 94950);

  const std::vector<rallentamento_linea> rallentamenti = {{7900, 7950, 30},
                                                          {18900, 19300, 40},
                                                          {50050, 50150, 15},
                                                          {61450, 61850, 30},
                                                          {93200, 93700, 50}};
  EXPECT_EQ(e.rallentamenti, rallentamenti);

  const std::vector<gradino> limiti = {{0, 24600, 80},
                                       {24600, 31750, 40},
                                       {31750, 33750, 80},
                                       {33750, 35200, 40},
                                       {35200, 96000, 80}};
  EXPECT_EQ(e.limiti, limiti);

  // The first gradient row, 3 per mille, holds from 500 m: 0.15 m a cell.
  ASSERT_EQ(e.quote.size(), 96000u / 50 + 1);
  EXPECT_EQ(e.quote[10].posizione, 500);
  EXPECT_EQ(e.quote[10].metri, 0);
  EXPECT_DOUBLE_EQ(e.quote[11].metri, 0.15);
}

TEST(Elementi, GallerieDaiCartelliEDalleCelle) {
  const elementi_linea e = elementi_di(predefinito());
  const struct {
    const char* nome;
    double da, a;
  } nominate[] = {{"TORNO", 17350, 18862},
                  {"CRESTA ROSSA", 31700, 33700},
                  {"COLMA", 57400, 60614},
                  {"MORLA", 93800, 93896}};
  for (const auto& g : nominate) {
    SCOPED_TRACE(g.nome);
    const auto it = std::find_if(e.gallerie.begin(), e.gallerie.end(),
                                 [&](const tratto_linea& t) { return t.nome == g.nome; });
    ASSERT_NE(it, e.gallerie.end());
    EXPECT_EQ(it->da, g.da);
    EXPECT_EQ(it->a, g.a);
  }
  // The short tunnels either side of Ulmide (10350-11250, 11550-11800) have
  // no sign: they come from the cells of mountain type 1.
  for (const double da : {10350.0, 11550.0}) {
    EXPECT_TRUE(std::any_of(e.gallerie.begin(), e.gallerie.end(), [&](const tratto_linea& t) {
      return t.da == da && t.nome.empty();
    })) << da;
  }
  for (size_t i = 1; i < e.gallerie.size(); ++i) EXPECT_LE(e.gallerie[i - 1].da, e.gallerie[i].da);
}

TEST(Elementi, FilePoveriOInsensati) {
  scenario_compilato poco;
  poco.griglia.resize(2);
  const elementi_linea e = elementi_di(poco);
  EXPECT_EQ(e.lunghezza, 50);
  EXPECT_TRUE(e.stazioni.empty());
  EXPECT_EQ(e.quote.size(), 2u);

  scenario_compilato strano;
  strano.griglia.resize(300);
  strano.righe[riga_treno].fine = -5;
  strano.righe[3].posizione = 1000000;  // a station past the end: not drawn
  strano.righe[3].nome = "LONTANA";
  strano.griglia[10].tipo_cella = cartello_indicatore;
  strano.griglia[10].valore1 = 32000;                    // no such row
  strano.griglia[20].tipo_cella = inizio_rallentamento;  // no end cell
  strano.griglia[20].valore1 = -40;
  const elementi_linea f = elementi_di(strano);
  EXPECT_EQ(f.lunghezza, 299 * 50 - 7000);
  EXPECT_TRUE(f.stazioni.empty());
  ASSERT_EQ(f.rallentamenti.size(), 1u);
  EXPECT_EQ(f.rallentamenti[0].da, 950);
  EXPECT_EQ(f.rallentamenti[0].a, 1000);
}

TEST(Elementi, IlRuoloDelleRighe) {
  voce_scenario stazione;
  stazione.nome = "A";
  stazione.tipo = 22;
  voce_scenario cartello;
  cartello.nome = "(Galleria)";
  const struct {
    size_t r;
    voce_scenario v;
    const char* ruolo;
  } casi[] = {{0, {}, nullptr},        {1, stazione, "stazione"}, {80, cartello, "cartello"},
              {81, {}, "progressiva"}, {84, {}, "treno"},         {85, stazione, "linea"},
              {86, {}, "servizio"}};
  for (const auto& c : casi) {
    const char* r = ruolo_riga(c.r, c.v);
    EXPECT_EQ(r == nullptr ? std::string("-") : std::string(r), c.ruolo == nullptr ? "-" : c.ruolo)
        << c.r;
  }
}

}  // namespace
}  // namespace scenario
