// draw on in-memory disks: both pictures of the built-in scenario are
// well-formed SVG naming its stations and tunnels, with labels that cover
// nothing (also on a crowded route of long names); names full of odd bytes
// give well-formed pictures; a plan of absurd coordinates is refused; huge
// hostile inputs give pictures bounded in size; a missing or broken
// compiled file writes nothing. Also the line thinning and the XML check the
// tests rely on.
#include "strumenti/disegna.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>

#include "compiler/uscita.h"
#include "strumenti/compila_sorgenti.h"
#include "strumenti/disegna_pianta.h"
#include "strumenti/predefinito_prova.h"
#include "strumenti/svg_prova.h"
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

// The three compiled files of a route of `celle` grid cells, with `piano` as its plan.
disco_memoria compilati(const tabella& t, const std::vector<cella>& g, const tracciato& piano) {
  disco_memoria d;
  d.file["L_linea.dat"] = immagine_linea(piano);
  d.file["L_T.sim"] = immagine_treno(t);
  d.file["L_T.dat"] = immagine_griglia(g);
  return d;
}

// A plan that winds in a circle of about 3 km, one point a metre.
tracciato piano_circolare(int32_t fine) {
  tracciato p;
  p.crea(fine);
  for (int32_t m = 0; m <= fine; ++m) {
    p.imposta_doppio(m, 0, 3000 * std::cos(m / 3000.0) + m * 0.01);
    p.imposta_doppio(m, 1, 3000 * std::sin(m / 3000.0));
  }
  return p;
}

TEST(Disegna, NomiStraniDannoSvgBenFormati) {
  tabella t{};
  t[1].nome = std::string("A<&>\"'\x01\x7F\x85\xE8 \0Z", 13);
  t[1].tipo = 12;
  t[1].posizione = 100;
  t[2].nome = std::string(60000, 'W');  // a name far wider than any picture
  t[2].tipo = 12;
  t[2].posizione = 1000;
  t[80].nome = "(Galleria)(<&>)(99999999999 m.)";
  t[riga_treno].fine = 2000;
  std::vector<cella> g(200);
  g[5].tipo_cella = cartello_indicatore;
  g[5].valore1 = 80;
  g[6].tipo_cella = segnale;
  for (cella& c : g) c.pendenza = 255;
  disco_memoria ingresso = compilati(t, g, piano_circolare(2100));
  disco_memoria uscita;
  std::ostringstream err;
  ASSERT_EQ(disegna(ingresso, uscita, "L", "T", "", err), esito_strumento::fatto) << err.str();
  for (const auto& [nome, svg] : uscita.file) {
    EXPECT_EQ(prova::errore_xml(svg), "") << nome;
    EXPECT_EQ(prova::collisioni_etichette(svg), std::vector<std::string>{}) << nome;
    EXPECT_LT(svg.size(), 60000u) << nome << ": the long name is cut, in tooltips too";
  }
  // Windows-1252: 0x85 is the ellipsis, 0xE8 "è"; controls show as "?".
  EXPECT_NE(uscita.file.at("L_T_pianta.svg")
                .find(">A&lt;&amp;&gt;&quot;&apos;??\xE2\x80\xA6\xC3\xA8 ?Z</text>"),
            std::string::npos);
  EXPECT_NE(uscita.file.at("L_T_profilo.svg").find(">+155\xE2\x80\xB0</text>"), std::string::npos)
      << "the gradient in per mille";
}

TEST(Disegna, CoordinateAssurdeRifiutate) {
  const disco_memoria predefiniti = prova::compilati_predefiniti();
  const std::string piano = "Brossalenta_Morla_linea.dat";
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct caso {
    const char* nome;
    std::vector<std::pair<int32_t, double>> x;  // metre, value; the rest at 0
    std::string messaggio;                      // empty: drawn
  };
  const std::string davanti = "compila_scenario: dir/" + piano + ": file non valido (piano) ";
  const std::vector<caso> casi = {
      {"x a 1e17 in un piano di 20 byte",
       {{0, 1e17}},
       davanti + "all'offset 0: coordinata x del punto 0 (metro 0) assurda: 1e+17 m (ammesse "
                 "fino a 10000000 m dall'origine)\n"},
      {"1000 punti a 1e19",
       {},
       davanti + "all'offset 0: coordinata x del punto 0 (metro 0) assurda: 1e+19 m (ammesse "
                 "fino a 10000000 m dall'origine)\n"},
      {"NaN",
       {{1, nan}},
       davanti + "all'offset 10: coordinata x del punto 1 (metro 1) non finita (nan)\n"},
      {"-inf",
       {{1, -inf}},
       davanti + "all'offset 10: coordinata x del punto 1 (metro 1) non finita (-inf)\n"},
      {"al limite", {{0, -1e7}, {1, 1e7}}, ""},
      {"vicino al limite, passi minimi", {{0, 9999999}, {1, 9999999.000001}}, ""},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    tracciato p;
    if (std::string(c.nome) == "1000 punti a 1e19") {
      p.crea(999);
      for (int32_t m = 0; m <= 999; ++m) {
        p.imposta_doppio(m, 0, 1e19 + m * 4096.0);
        p.imposta_doppio(m, 1, 1e19);
      }
    } else {
      p.crea(1);
      p.imposta_doppio(0, 0, 0);
      p.imposta_intero(1, 0, 0);
      p.imposta_intero(0, 1, 0);
      for (const auto& [m, v] : c.x) p.imposta_doppio(m, 0, v);
    }
    disco_memoria ingresso = predefiniti;
    ingresso.file[piano] = immagine_linea(p);
    if (std::string(c.nome) == "x a 1e17 in un piano di 20 byte") {
      EXPECT_EQ(ingresso.file[piano].size(), 20u);
    }
    disco_memoria uscita;
    std::ostringstream err;
    const esito_strumento esito =
        disegna(ingresso, uscita, "Brossalenta_Morla", "iR31457", "dir/", err);
    EXPECT_EQ(err.str(), c.messaggio);
    if (c.messaggio.empty()) {
      EXPECT_EQ(esito, esito_strumento::fatto);
      for (const auto& [nome, svg] : uscita.file) {
        EXPECT_EQ(prova::errore_xml(svg), "") << nome;
        EXPECT_LT(svg.size(), 200000u) << nome;
      }
    } else {
      EXPECT_EQ(esito, esito_strumento::file_malformato);
      EXPECT_TRUE(uscita.file.empty());
    }
  }
}

// Hostile grids far beyond any route: the pictures stay bounded in size by
// what they can show, and stay the same size when the input doubles.
TEST(Disegna, IngressiEnormiDannoDisegniLimitati) {
  constexpr size_t limite = 1500000;  // bytes a picture
  struct caso {
    const char* nome;
    size_t celle;
    std::string cartello;
    bool alterne;  // tunnel cells and sign cells in turn; else every cell a sign
  };
  const std::vector<caso> casi = {
      // The larger is about the largest grid a compile writes (20141 cells).
      {"10k celle alterne galleria/cartello", 10000, "(Galleria)( NOME )", true},
      {"20k celle alterne galleria/cartello", 20000, "(Galleria)( NOME )", true},
      {"8000 cartelli (Galleria)(999999 m.)", 8000, "(Galleria)(999999 m.)", false},
  };
  std::vector<size_t> misure;
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    tabella t{};
    t[80].nome = c.cartello;
    t[1].nome = "A";
    t[1].tipo = 12;
    std::vector<cella> g(c.celle);
    for (size_t i = 0; i < g.size(); ++i) {
      g[i].vel_limite = i % 2 == 0 ? 16 : 8;
      g[i].pendenza = static_cast<uint8_t>(100 + i % 3);
      if (c.alterne && i % 2 == 0) {
        g[i].tipo_montagna = 1;
      } else {
        g[i].tipo_cella = i % 4 == 1   ? segnale
                          : i % 4 == 3 ? inizio_rallentamento
                                       : cartello_indicatore;
        g[i].valore1 = i % 4 == 3 ? 30 : 80;
      }
      if (!c.alterne) {
        g[i].tipo_cella = cartello_indicatore;
        g[i].valore1 = 80;
      }
    }
    disco_memoria ingresso = compilati(t, g, piano_circolare(100000));
    disco_memoria uscita;
    std::ostringstream err;
    ASSERT_EQ(disegna(ingresso, uscita, "L", "T", "", err), esito_strumento::fatto) << err.str();
    size_t totale = 0;
    for (const auto& [nome, svg] : uscita.file) {
      EXPECT_EQ(prova::errore_xml(svg), "") << nome;
      EXPECT_LT(svg.size(), limite) << nome;
      totale += svg.size();
    }
    misure.push_back(totale);
  }
  // Twice the cells, not twice the picture.
  EXPECT_LT(misure[1], misure[0] * 5 / 4);
}

TEST(Disegna, EtichetteSenzaCollisioniNelloScenarioPredefinito) {
  disco_memoria ingresso = prova::compilati_predefiniti();
  disco_memoria uscita;
  std::ostringstream err;
  ASSERT_EQ(disegna(ingresso, uscita, "Brossalenta_Morla", "iR31457", "", err),
            esito_strumento::fatto);
  for (const std::string& nome : {pianta, profilo}) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(prova::collisioni_etichette(uscita.file.at(nome)), std::vector<std::string>{});
  }
  const auto testi_di = [&](const std::string& nome, const std::string& classe) {
    std::vector<std::string> t;
    for (const prova::elemento_svg& e : prova::elementi_svg(uscita.file.at(nome)))
      if (e.nome == "text" && e.attributi.count("class") && e.attributi.at("class") == classe)
        t.push_back(e.testo);
    return t;
  };
  // Every station named whole on both; most tunnels named; kilometres and
  // signals labelled on the plan; gradients on the profile.
  for (const std::string& nome : {pianta, profilo}) {
    const std::vector<std::string> stazioni = testi_di(nome, "nome");
    for (const char* s :
         {"BROSSALENTA", "TALMES", "ULMIDE", "P.M. Km 11.959", "CORNASCO", "MOTTA-CRESTE",
          "S.ROMOLO ALTO", "VAL FIORITA", "ALPE GRANDA", "LAVINE", "SAVOGNO", "PONTRESSA", "CELERO",
          "SOMASSO", "CASCINE TORBE", "PRAVELLO", "CAMPELLA", "MORLA"}) {
      EXPECT_NE(std::find(stazioni.begin(), stazioni.end(), s), stazioni.end()) << nome << s;
    }
    EXPECT_GE(testi_di(nome, "galleria_nome").size(), 10u) << nome;
  }
  const std::vector<std::string> km = testi_di(pianta, "km");
  EXPECT_GE(km.size(), 7u);
  EXPECT_NE(std::find(km.begin(), km.end(), "km 50"), km.end());
  EXPECT_GE(testi_di(pianta, "segnale_nome").size(), 12u);
  EXPECT_NE(uscita.file.at(pianta).find("<g id=\"pianta_nomi_segnali\" class=\"nomi_segnali\">"),
            std::string::npos);
  EXPECT_GE(testi_di(profilo, "pendenza").size(), 15u);
  EXPECT_NE(uscita.file.at(profilo).find(">velocit\xC3\xA0 (km/h)</text>"), std::string::npos);
  EXPECT_EQ(uscita.file.at(profilo).find("velocita'"), std::string::npos);
}

// A crowded route: thirty stations 450 m apart, the first dozen on a coil with names of 33
// characters, a signal beside each, long tunnel names.
TEST(Disegna, EtichetteSenzaCollisioniSuUnaLineaAffollata) {
  std::string linea =
      "[generale]\r\nlunghezza percorso,    20000\r\n[curve]\r\ncurvas6,  500,  5000\r\n"
      "curvad4,  9000,  3000\r\n[pendenze]\r\npendenza,  0,   12\r\npendenza,  9000,   -8\r\n"
      "[montagne]\r\n[indicazioni]\r\n";
  for (int i = 0; i < 8; ++i) {
    linea += "cartello_indicatore,  " + std::to_string(1550 + i * 1200) +
             ",   (Galleria)( GALLERIA DEL MONTE LUNGHISSIMO " + std::to_string(i) +
             " )( 400 m. )\r\n";
  }
  linea += "[fine]\r\n";
  std::string treno =
      "[generale]\r\nnumero vetture,    4\r\n[vel_limite]\r\nvelocita,       0,    80\r\n"
      "[aderenze]\r\naderenza,   0,    100\r\n[stazioni]\r\n";
  for (int i = 0; i < 30; ++i) {
    std::string nome = "STAZIONE DI SAN ROMOLO ALTO N. " + std::to_string(10 + i);
    treno += "stazione,   " + std::to_string(1000 + i * 450) +
             ", 27,  100,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, " + nome + "\r\n";
  }
  treno += "[segnali]\r\n";
  for (int i = 0; i < 30; ++i) {
    treno +=
        "segnale,   " + std::to_string(1200 + i * 450) + ",   1, 3, 1,  0, 0,    0,  0,0,0, 0\r\n";
  }
  treno += "[fine]\r\n";
  const nomi_file n{"Linea_affollata_con_un_nome_lunghissimo_che_non_entra", "T"};
  disco_memoria sorgenti;
  sorgenti.file[n.sorgente_linea()] = linea;
  sorgenti.file[n.sorgente_treno()] = treno;
  disco_memoria compilati_;
  std::ostringstream err;
  ASSERT_EQ(compila_sorgenti(sorgenti, compilati_, n.nome_linea, n.nome_treno, "", err,
                             trattamento_avvisi::silenzia),
            esito_strumento::fatto)
      << err.str();
  disco_memoria uscita;
  ASSERT_EQ(disegna(compilati_, uscita, n.nome_linea, n.nome_treno, "", err),
            esito_strumento::fatto)
      << err.str();
  size_t stazioni = 0, accorciate = 0;
  for (const auto& [nome, svg] : uscita.file) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(prova::errore_xml(svg), "");
    EXPECT_EQ(prova::collisioni_etichette(svg), std::vector<std::string>{});
    for (const prova::elemento_svg& e : prova::elementi_svg(svg)) {
      if (e.nome != "text" || e.attributi.at("class") != "nome") continue;
      if (e.testo.rfind("STAZIONE", 0) != 0) continue;
      ++stazioni;
      if (e.testo.find("\xE2\x80\xA6") != std::string::npos) ++accorciate;
    }
    // A shortened name keeps its whole text in its tooltip.
    EXPECT_NE(svg.find("<title>STAZIONE DI SAN ROMOLO ALTO N. 10</title>"), std::string::npos);
  }
  EXPECT_GE(stazioni, 45u) << "most names find room on the plan, all on the profile";
  EXPECT_GE(accorciate, 30u) << "every name on the profile is cut to the room above it";
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
