// draw on in-memory disks: both pictures of the built-in scenario are
// well-formed SVG naming its stations and tunnels; names full of odd bytes
// and plans of nonsense still give well-formed pictures; a missing or broken
// compiled file writes nothing. Also the line thinning and the XML check the
// tests rely on.
#include "strumenti/disegna.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>

#include "compiler/uscita.h"
#include "strumenti/disegna_pianta.h"
#include "strumenti/predefinito_prova.h"
#include "strumenti/xml_prova.h"

namespace scenario {
namespace {

const std::string pianta = "Brossalenta_Morla_iR31457_pianta.svg";
const std::string profilo = "Brossalenta_Morla_iR31457_profilo.svg";

TEST(Disegna, LePictureDelloScenarioPredefinito) {
  disco_memoria ingresso = prova::compilati_predefiniti();
  disco_memoria uscita;
  std::ostringstream err;
  ASSERT_EQ(disegna(ingresso, uscita, "Brossalenta_Morla", "iR31457", "", err),
            esito_strumento::fatto);
  EXPECT_EQ(err.str(), "");
  ASSERT_EQ(uscita.file.size(), 2u);
  for (const std::string& nome : {pianta, profilo}) {
    SCOPED_TRACE(nome);
    const std::string& svg = uscita.file.at(nome);
    EXPECT_EQ(prova::errore_xml(svg), "");
    for (const char* stazione :
         {"BROSSALENTA", "TALMES", "P.M. Km 11.959", "S.ROMOLO ALTO", "MORLA"}) {
      EXPECT_NE(svg.find(std::string(">") + stazione + "</text>"), std::string::npos) << stazione;
    }
    EXPECT_NE(svg.find("class=\"galleria\""), std::string::npos);
    EXPECT_NE(svg.find("class=\"segnale\""), std::string::npos);
  }
  // The first station, at 0 m, stands on the first point of the track.
  const std::string& p = uscita.file.at(pianta);
  const size_t linea = p.find("<polyline points=\"");
  const size_t stazione = p.find("class=\"stazione\"", p.find("<circle cx=\"", linea));
  ASSERT_NE(linea, std::string::npos);
  ASSERT_NE(stazione, std::string::npos);
  const std::string primo = p.substr(linea + 18, p.find(' ', linea + 18) - linea - 18);
  const size_t cx = p.rfind("<circle cx=\"", stazione) + 12;
  const std::string centro =
      p.substr(cx, p.find('"', cx) - cx) + "," +
      p.substr(p.find("cy=\"", cx) + 4,
               p.find('"', p.find("cy=\"", cx) + 4) - p.find("cy=\"", cx) - 4);
  EXPECT_EQ(primo, centro);
  EXPECT_NE(uscita.file.at(pianta).find(">10 km</text>"), std::string::npos) << "the scale bar";
  EXPECT_NE(uscita.file.at(profilo).find(">COLMA</text>"), std::string::npos)
      << "the longest tunnel is named";
  EXPECT_NE(uscita.file.at(profilo).find(">15</text>"), std::string::npos)
      << "the slowest slowdown";
}

TEST(Disegna, NomiStraniEPianiInsensatiDannoSvgBenFormati) {
  tabella t{};
  t[1].nome = std::string("A<&>\"'\x01\x7F\x85\xE8 \0Z", 13);
  t[1].tipo = 12;
  t[1].posizione = 100;
  t[80].nome = "(Galleria)(<&>)(99999999999 m.)";
  t[riga_treno].fine = 2000;
  std::vector<cella> g(200);
  g[5].tipo_cella = cartello_indicatore;
  g[5].valore1 = 80;
  g[6].tipo_cella = segnale;
  for (cella& c : g) c.pendenza = 255;
  tracciato p;
  p.crea(2100);
  for (int32_t m = 0; m <= 2100; ++m) {
    p.imposta_doppio(m, 0,
                     m % 7 == 0 ? std::numeric_limits<double>::quiet_NaN() : std::sin(m) * 1e12);
    p.imposta_doppio(m, 1, m % 11 == 0 ? -std::numeric_limits<double>::infinity() : m * 1e-9);
  }
  disco_memoria ingresso;
  ingresso.file["L_linea.dat"] = immagine_linea(p);
  ingresso.file["L_T.sim"] = immagine_treno(t);
  ingresso.file["L_T.dat"] = immagine_griglia(g);
  disco_memoria uscita;
  std::ostringstream err;
  ASSERT_EQ(disegna(ingresso, uscita, "L", "T", "", err), esito_strumento::fatto) << err.str();
  for (const auto& [nome, svg] : uscita.file) {
    EXPECT_EQ(prova::errore_xml(svg), "") << nome;
    EXPECT_EQ(svg.find("nan"), std::string::npos) << nome;
    EXPECT_EQ(svg.find("inf"), std::string::npos) << nome;
  }
  EXPECT_NE(
      uscita.file.at("L_T_pianta.svg").find(">A&lt;&amp;&gt;&quot;&apos;???\xC3\xA8 ?Z</text>"),
      std::string::npos);
}

TEST(Disegna, UnPianoSenzaPuntiLoDice) {
  disco_memoria ingresso = prova::compilati_predefiniti();
  tracciato vuoto;
  vuoto.crea(5);
  ingresso.file["Brossalenta_Morla_linea.dat"] = immagine_linea(vuoto);
  disco_memoria uscita;
  std::ostringstream err;
  ASSERT_EQ(disegna(ingresso, uscita, "Brossalenta_Morla", "iR31457", "", err),
            esito_strumento::fatto);
  EXPECT_EQ(prova::errore_xml(uscita.file.at(pianta)), "");
  EXPECT_NE(uscita.file.at(pianta).find("non ha punti da disegnare"), std::string::npos);
}

TEST(Disegna, UnFileMancanteORottoNonScriveNulla) {
  const nomi_file n = prova::nomi_predefiniti();
  struct caso {
    const char* nome;
    std::string file;
    std::optional<std::string> contenuto;  // none: removed
    esito_strumento esito;
    std::string messaggio;
  };
  const std::vector<caso> casi = {
      {"griglia mancante", n.griglia_compilata(), std::nullopt, esito_strumento::guasto_disco,
       "compila_scenario: " + n.griglia_compilata() + ": file inesistente\n"},
      {"tabella troncata", n.treno_compilato(), std::string(40, '\0'),
       esito_strumento::file_malformato,
       "compila_scenario: dir/" + n.treno_compilato() +
           ": file non valido (tabella) all'offset 34: riga 1 troncata: 6 byte dove ne servono "
           "almeno 34\n"},
      {"piano con un tipo sconosciuto", n.linea_compilata(), std::string("\x03\x00", 2),
       esito_strumento::file_malformato,
       "compila_scenario: dir/" + n.linea_compilata() +
           ": file non valido (piano) all'offset 0: tipo di valore sconosciuto 3 (ammessi 0, 2 e "
           "5)\n"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    disco_memoria ingresso = prova::compilati_predefiniti();
    if (c.contenuto) {
      ingresso.file[c.file] = *c.contenuto;
    } else {
      ingresso.file.erase(c.file);
    }
    disco_memoria uscita;
    std::ostringstream err;
    EXPECT_EQ(disegna(ingresso, uscita, n.nome_linea, n.nome_treno, "dir/", err), c.esito);
    EXPECT_EQ(err.str(), c.messaggio);
    EXPECT_TRUE(uscita.file.empty());
  }
}

TEST(Sfoltisci, TieneSoloCioCheSiVede) {
  std::vector<punto_svg> retta;
  for (int i = 0; i <= 1000; ++i) retta.push_back({i * 1.0, i * 0.5});
  EXPECT_EQ(sfoltisci(retta, 0.3).size(), 2u);

  std::vector<punto_svg> angolo;
  for (int i = 0; i <= 100; ++i) angolo.push_back({i * 1.0, 0});
  for (int i = 1; i <= 100; ++i) angolo.push_back({100, i * 1.0});
  const std::vector<punto_svg> a = sfoltisci(angolo, 0.3);
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[1].x, 100);
  EXPECT_EQ(a[1].y, 0);

  // Every point of a circle stays within the tolerance of the thinned line.
  std::vector<punto_svg> cerchio;
  for (int i = 0; i <= 3600; ++i)
    cerchio.push_back(
        {100 * std::cos(i * std::numbers::pi / 1800), 100 * std::sin(i * std::numbers::pi / 1800)});
  const std::vector<punto_svg> c = sfoltisci(cerchio, 0.5);
  EXPECT_LT(c.size(), 200u);
  for (const punto_svg& q : cerchio) {
    double vicina = 1e9;
    for (size_t k = 1; k < c.size(); ++k) {
      const double dx = c[k].x - c[k - 1].x, dy = c[k].y - c[k - 1].y;
      const double t = std::clamp(
          ((q.x - c[k - 1].x) * dx + (q.y - c[k - 1].y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
      vicina = std::min(vicina, std::hypot(q.x - c[k - 1].x - t * dx, q.y - c[k - 1].y - t * dy));
    }
    EXPECT_LE(vicina, 0.5 + 1e-9);
  }

  // Back and forth along one line, past both ends: the turning points stay.
  const std::vector<punto_svg> avanti_indietro{{0, 0}, {10, 0}, {-5, 0}, {5, 0}};
  EXPECT_EQ(sfoltisci(avanti_indietro, 0.3).size(), 4u);

  // Far more points than the search takes: thinned first, ends kept.
  std::vector<punto_svg> tanti(100001);
  for (size_t i = 0; i < tanti.size(); ++i) tanti[i] = {static_cast<double>(i), (i % 2) * 1000.0};
  const std::vector<punto_svg> t = sfoltisci(tanti, 0.3, 1000);
  EXPECT_LE(t.size(), 1001u);
  EXPECT_EQ(t.back().x, 100000);
}

TEST(VerificaXml, RiconosceIDocumentiMalFormati) {
  const struct {
    const char* documento;
    bool buono;
  } casi[] = {
      {"<a/>", true},
      {"<?xml version=\"1.0\"?>\n<a x=\"1\" y='2'><b>t &amp; &#233;</b><!-- c --></a>\n", true},
      {"<a><b></a></b>", false},
      {"<a>", false},
      {"<a/><b/>", false},
      {"<a x=1/>", false},
      {"<a x=\"1\" x=\"2\"/>", false},
      {"<a>1 < 2</a>", false},
      {"<a>R&D</a>", false},
      {"<a>&eacute;</a>", false},
      {"<a>\x01</a>", false},
      {"<a>\xE8</a>", false},
      {"<a>\xC3\xA8</a>", true},
      {"<a x=\"<\"/>", false},
  };
  for (const auto& c : casi)
    EXPECT_EQ(prova::errore_xml(c.documento).empty(), c.buono) << c.documento;
}

}  // namespace
}  // namespace scenario
