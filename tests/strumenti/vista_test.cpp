// view and compile --view/--draw on in-memory disks: the page holds draw's
// own two pictures, the table of every object, and the marks' positions that
// land on what the pictures draw; names are escaped Windows-1252 text; made
// from sources it lists the compile's messages with file and line, and shows
// what compiled in memory even when nothing was written. (The page's script
// is tested in a real browser: tests/strumenti/browser.)
#include "strumenti/vista.h"

#include <gtest/gtest.h>

#include <sstream>

#include "compiler/sorgenti_prova.h"
#include "strumenti/compila_sorgenti.h"
#include "strumenti/disegna.h"
#include "strumenti/disegna_pianta.h"
#include "strumenti/disegna_profilo.h"
#include "strumenti/oggetti.h"
#include "strumenti/predefinito_prova.h"

namespace scenario {
namespace {

const nomi_file predefiniti = prova::nomi_predefiniti();

scenario_compilato decodificato(disco& d, const nomi_file& n) {
  scenario_compilato s;
  std::ostringstream err;
  EXPECT_FALSE(carica_compilati(d, n, "", s, err)) << err.str();
  return s;
}

size_t conta(const std::string& testo, const std::string& cosa) {
  size_t n = 0;
  for (size_t i = testo.find(cosa); i != std::string::npos; i = testo.find(cosa, i + 1)) ++n;
  return n;
}

// The numbers of an attribute of every element that has the class, in order.
std::vector<double> attributi(const std::string& svg, const std::string& elemento,
                              const std::string& classe, const std::string& nome) {
  std::vector<double> r;
  for (size_t i = svg.find("<" + elemento + " "); i != std::string::npos;
       i = svg.find("<" + elemento + " ", i + 1)) {
    const std::string t = svg.substr(i, svg.find('>', i) - i);
    const size_t a = t.find(" " + nome + "=\"");
    if (t.find("class=\"" + classe + "\"") == std::string::npos || a == std::string::npos) continue;
    r.push_back(std::stod(t.substr(a + nome.size() + 3)));
  }
  return r;
}

TEST(Vista, LaPaginaDelloScenarioPredefinito) {
  disco_memoria ingresso = prova::compilati_predefiniti();
  disco_memoria uscita;
  std::ostringstream err;
  ASSERT_EQ(vista(ingresso, uscita, predefiniti.nome_linea, predefiniti.nome_treno, "", err),
            esito_strumento::fatto);
  EXPECT_EQ(err.str(), "");
  ASSERT_EQ(uscita.file.size(), 1u);
  const std::string& h = uscita.file.at(predefiniti.vista());

  // draw's two pictures, whole, each in a shadow root of its own.
  disco_memoria disegni;
  ASSERT_EQ(disegna(ingresso, disegni, predefiniti.nome_linea, predefiniti.nome_treno, "", err),
            esito_strumento::fatto);
  for (const std::string& nome : {predefiniti.pianta(), predefiniti.profilo()}) {
    std::string svg = disegni.file.at(nome);
    svg.erase(0, svg.find('\n') + 1);  // the XML declaration
    EXPECT_NE(h.find(svg), std::string::npos) << nome;
  }
  EXPECT_EQ(conta(h, "<template shadowrootmode=\"open\">"), 2u);

  // Nothing to fetch: no address but the SVG namespace's and an empty
  // icon, and a policy that forbids fetching.
  EXPECT_NE(h.find("default-src 'none'"), std::string::npos);
  EXPECT_EQ(conta(h, "http"), conta(h, "http://www.w3.org/2000/svg") + conta(h, "http-equiv"));
  EXPECT_EQ(conta(h, "href="), 1u);
  EXPECT_NE(h.find("<link rel=\"icon\" href=\"data:,\">"), std::string::npos);
  for (const char* fuori : {" src=", "@import", "url(", "fetch(", "XMLHttpRequest"})
    EXPECT_EQ(h.find(fuori), std::string::npos) << fuori;
  EXPECT_EQ(conta(h, "<script"), 2u) << "the data and the script, both inline";

  // One row an object: the 18 stations and 23 signals among them; no
  // compile, no messages.
  EXPECT_EQ(conta(h, "<td>stazione</td>"), 18u);
  EXPECT_EQ(conta(h, "<td>segnale</td>"), 23u);
  EXPECT_NE(h.find("<tr data-m=\"57400\" data-fino=\"60614\"><td class=\"km\">57.400</td>"
                   "<td>galleria</td><td>lunga 3214 m</td><td>COLMA</td></tr>"),
            std::string::npos);
  EXPECT_EQ(h.find("id=\"diagnostica\""), std::string::npos);
  EXPECT_NE(h.find("<html lang=\"it\">"), std::string::npos);
}

// The marks the page puts at a position land where the pictures draw what
// stands there: a station's circle on the plan, its line on the profile.
TEST(Vista, LePosizioniDeiSegniSonoQuelleDeiDisegni) {
  disco_memoria d = prova::compilati_predefiniti();
  const scenario_compilato s = decodificato(d, predefiniti);
  const elementi_linea e = elementi_di(s);
  const disegni_scenario disegni = disegni_di(s, e, predefiniti);
  std::vector<double> metri;
  for (const stazione_linea& st : e.stazioni) metri.push_back(st.posizione);
  ASSERT_EQ(metri.size(), 18u);

  const std::vector<punto_svg> pianta = posizioni_pianta(s, e, metri);
  const std::vector<double> cx = attributi(disegni.pianta, "circle", "stazione", "cx");
  const std::vector<double> cy = attributi(disegni.pianta, "circle", "stazione", "cy");
  ASSERT_EQ(pianta.size(), metri.size());
  ASSERT_EQ(cx.size(), metri.size() + 1) << "the stations and the legend's";
  for (size_t i = 0; i < metri.size(); ++i) {
    EXPECT_NEAR(pianta[i].x, cx[i], 0.006) << e.stazioni[i].nome;
    EXPECT_NEAR(pianta[i].y, cy[i], 0.006) << e.stazioni[i].nome;
  }

  const posizioni_profilo_linea profilo = posizioni_profilo(e, metri);
  const std::vector<double> x = attributi(disegni.profilo, "line", "stazione", "x1");
  const std::vector<double> y1 = attributi(disegni.profilo, "line", "stazione", "y1");
  const std::vector<double> y2 = attributi(disegni.profilo, "line", "stazione", "y2");
  ASSERT_GE(x.size(), metri.size());
  for (size_t i = 0; i < metri.size(); ++i) {
    EXPECT_NEAR(profilo.punti[i].x, x[i], 0.006) << e.stazioni[i].nome;
    EXPECT_GE(profilo.punti[i].y, profilo.alto) << "on the altitude panel";
    EXPECT_LE(profilo.punti[i].y, profilo.basso);
  }
  EXPECT_NEAR(profilo.alto, y1[0], 0.006);
  EXPECT_NEAR(profilo.basso, y2[0], 0.006);
  // The altitude line starts at the first station, BROSSALENTA at 0 m.
  const std::string& p = disegni.profilo;
  const size_t quota = p.find("\" class=\"quota\"");
  const size_t inizio = p.rfind("points=\"", quota) + 8;
  const std::string primo = p.substr(inizio, p.find(' ', inizio) - inizio);
  EXPECT_EQ(numero_svg(profilo.punti[0].x) + "," + numero_svg(profilo.punti[0].y), primo);
}

// A scenario whose names hold what HTML must escape and bytes only
// Windows-1252 gives meaning to.
TEST(Vista, INomiSonoTestoWindows1252Protetto) {
  disco_memoria d = prova::compilati_predefiniti();
  scenario_compilato s = decodificato(d, predefiniti);
  struct caso {
    std::string nome;
    std::string mostrato;
  };
  const std::vector<caso> casi = {
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"A&B \"C\" 'D'", "A&amp;B &quot;C&quot; &#39;D&#39;"},
      {"CITT\xC0 \x80 \x93X\x94", "CITT\xC3\x80 \xE2\x82\xAC \xE2\x80\x9CX\xE2\x80\x9D"},
      {std::string("A\x01\x81\x9D\x7F", 5) + "B", "A????B"},
  };
  for (size_t i = 0; i < casi.size(); ++i) s.righe[i + 1].nome = casi[i].nome;
  const std::string h = pagina_vista({"L<1>", "T&2"}, &s, nullptr);
  for (const caso& c : casi) {
    EXPECT_NE(h.find("<td>" + c.mostrato + "</td></tr>"), std::string::npos) << c.mostrato;
  }
  EXPECT_NE(h.find("<title>L&lt;1&gt; (T&amp;2): vista della linea</title>"), std::string::npos);
  EXPECT_EQ(h.find("<script>alert"), std::string::npos);
}

TEST(Oggetti, OgniOggettoConIValoriDellAutore) {
  disco_memoria d = prova::compilati_predefiniti();
  scenario_compilato s = decodificato(d, predefiniti);
  // A few cells made into every kind the table names.
  struct caso {
    uint8_t tipo;
    int16_t v1, v2, v3, v4;
    std::string atteso_tipo;
    std::string atteso_valori;
  };
  const std::vector<caso> casi = {
      {indicatore_velocita, 1600, 1215, -3, 2, "indicatore di velocit\u00E0",
       "A 80/0 km/h, B 60/75 km/h, C -3, strisce 2"},
      {avviso_rallentamento, 30, 0, 0, 0, "avviso di rallentamento", "30 km/h"},
      {fine_rallentamento, 30, 0, 0, 0, "fine rallentamento", "30 km/h"},
      {punto_valore, 180, 0, 0, 0, "punto codice", "valore 180"},
      {punto_abbattimento, 0, 0, 0, 0, "abbattimento", ""},
      {segnale, 30, 10, 0, 3, "segnale", "s1d1 30, s2d2 10, s3d3 0, rapp*10+sx*3+dx 3, tempo 0"},
      {cartello_indicatore, 200, 0, 0, 0, "cartello", "riga 200"},
      {9, 1, 2, 3, 4, "sconosciuto", "tipo 9, valori 1 2 3 4"},
  };
  constexpr size_t prima = 1001;  // 50 km on: cells with nothing placed
  for (size_t i = 0; i < casi.size(); ++i) {
    cella& c = s.griglia[prima + 2 * i];
    ASSERT_TRUE(libera(c)) << i;
    c = {casi[i].tipo,    casi[i].v1,   casi[i].v2, casi[i].v3, casi[i].v4, 0, 0,
         c.tipo_montagna, c.vel_limite, c.pendenza, c.aderenza};
  }
  const std::vector<oggetto_linea> o = oggetti_di(s, elementi_di(s));
  for (size_t i = 0; i < casi.size(); ++i) {
    const double m = (static_cast<double>(prima + 2 * i) - 1) * 50;
    const auto x = std::find_if(o.begin(), o.end(), [&](const oggetto_linea& y) {
      return y.metri == m && y.tipo == casi[i].atteso_tipo;
    });
    ASSERT_NE(x, o.end()) << casi[i].atteso_tipo << " at " << m;
    EXPECT_EQ(x->valori, casi[i].atteso_valori);
  }
  EXPECT_TRUE(std::is_sorted(o.begin(), o.end(),
                             [](const auto& a, const auto& b) { return a.metri < b.metri; }));
  // The slowdowns as stretches, each from its start to its end cell.
  size_t rallentamenti = 0;
  for (const oggetto_linea& x : o) {
    if (x.tipo != "rallentamento") continue;
    ++rallentamenti;
    ASSERT_TRUE(x.fino.has_value());
    EXPECT_GT(*x.fino, x.metri);
  }
  EXPECT_EQ(rallentamenti, 5u);
  EXPECT_EQ(km_testo(-50), "km -0.050");
  EXPECT_EQ(km_testo(57400), "km 57.400");
}

// ---- compile --view and --draw ----

struct compilazione_in_memoria {
  disco_memoria sorgenti;
  disco_memoria uscita;
  std::ostringstream err;
  esito_strumento esito{};

  compilazione_in_memoria(const nomi_file& n, prodotti_compilazione p,
                          const std::map<std::string, std::string>& testi = {}) {
    if (testi.empty()) {
      prova::metti_sorgenti_predefinite(sorgenti);
    } else {
      sorgenti.file = testi;
    }
    esito = compila_sorgenti(sorgenti, uscita, n.nome_linea, n.nome_treno, "mio/", err,
                             trattamento_avvisi::mostra, p);
  }
};

TEST(CompilaVista, PulitaScriveICompilatiIDisegniELaPagina) {
  compilazione_in_memoria c(predefiniti, {true, true});
  ASSERT_EQ(c.esito, esito_strumento::fatto) << c.err.str();
  EXPECT_EQ(c.err.str(), "");
  disco_memoria attesi = prova::compilati_predefiniti();
  ASSERT_EQ(disegna(attesi, attesi, predefiniti.nome_linea, predefiniti.nome_treno, "", c.err),
            esito_strumento::fatto);
  for (const auto& [nome, contenuto] : attesi.file) {
    EXPECT_TRUE(c.uscita.file.count(nome) && c.uscita.file.at(nome) == contenuto)
        << nome << ": the compiled files and the drawings as compile and draw write them";
  }
  ASSERT_EQ(c.uscita.file.size(), 6u);
  const std::string& h = c.uscita.file.at(predefiniti.vista());
  EXPECT_NE(h.find("<section id=\"diagnostica\" class=\"pulita\">\n<h2>Compilazione: 0 errori, "
                   "0 avvisi</h2>\n<p>File compilati scritti.</p>"),
            std::string::npos);
  disco_memoria sola_vista;
  ASSERT_EQ(vista(attesi, sola_vista, predefiniti.nome_linea, predefiniti.nome_treno, "", c.err),
            esito_strumento::fatto);
  const std::string& da_compilati = sola_vista.file.at(predefiniti.vista());
  EXPECT_EQ(h.substr(h.find("<p class=\"sommario_linea\">")),
            da_compilati.substr(da_compilati.find("<p class=\"sommario_linea\">")))
      << "the same page below the messages";

  compilazione_in_memoria solo_disegni(predefiniti, {false, true});
  EXPECT_EQ(solo_disegni.uscita.file.size(), 5u);
  EXPECT_EQ(solo_disegni.uscita.file.count(predefiniti.vista()), 0u);
}

TEST(CompilaVista, ConErroriLaPaginaLiElencaENonScriveAltro) {
  const nomi_file n{"L", "T"};
  const std::string segnale = "segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0";
  const std::map<std::string, std::string> testi = {
      {n.sorgente_linea(), prova::linea({})},
      {n.sorgente_treno(), prova::treno({segnale, "segnal, 6000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
                                         "segnale, 5000, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0 <&>"})}};
  compilazione_in_memoria c(n, {true, true}, testi);
  EXPECT_EQ(c.esito, esito_strumento::errore_compilazione);
  ASSERT_EQ(c.uscita.file.size(), 1u) << "the page alone";
  const std::string& h = c.uscita.file.at(n.vista());
  EXPECT_NE(h.find("class=\"con_errori\""), std::string::npos);
  EXPECT_NE(h.find("<h2>Compilazione: 1 errore, 2 avvisi</h2>"), std::string::npos);
  EXPECT_NE(h.find("Nessun file compilato scritto: i disegni e la tabella mostrano"),
            std::string::npos);
  EXPECT_NE(h.find("<li class=\"avviso\" data-file=\"mio/L_T-.txt\" data-riga=\"3\"><span "
                   "class=\"luogo\">mio/L_T-.txt:3:1</span>: <span class=\"testo\">avviso: "
                   "parola chiave sconosciuta &quot;segnal&quot;"),
            std::string::npos);
  EXPECT_NE(h.find("<li class=\"errore\" data-file=\"mio/L_T-.txt\" data-riga=\"4\"><span "
                   "class=\"luogo\">mio/L_T-.txt:4:1</span>: <span class=\"testo\">errore 16: "
                   "segnale su una cella occupata</span><pre>segnale, 5000, 2, 3, 1, 0, 0, 0, 0, "
                   "0, 0, 0 &lt;&amp;&gt;\n^\n</pre></li>"),
            std::string::npos);
  EXPECT_NE(h.find("<td>segnale</td>"), std::string::npos) << "what compiled, drawn";
  EXPECT_NE(h.find("id=\"pianta\""), std::string::npos);
  // The messages are the report's, one for one.
  EXPECT_EQ(conta(h, "<li class="), conta(c.err.str(), "mio/L_"));
}

TEST(CompilaVista, UnErroreFataleDaUnaPaginaSenzaDisegni) {
  const nomi_file n{"L", "T"};
  const std::map<std::string, std::string> testi = {
      {n.sorgente_linea(), prova::testo({"[generale]", "sfondo uno, 1", "[fine]"})},
      {n.sorgente_treno(), prova::treno({})}};
  compilazione_in_memoria c(n, {true, false}, testi);
  EXPECT_EQ(c.esito, esito_strumento::errore_compilazione);
  ASSERT_EQ(c.uscita.file.size(), 1u);
  const std::string& h = c.uscita.file.at(n.vista());
  EXPECT_NE(h.find("la compilazione non ha prodotto nulla da disegnare"), std::string::npos);
  EXPECT_NE(h.find("<li class=\"errore\""), std::string::npos);
  EXPECT_EQ(h.find("<script"), std::string::npos);
  EXPECT_EQ(h.find("id=\"pianta\""), std::string::npos);
}

TEST(Vista, UnCompilatoMancanteORottoNonScriveNulla) {
  for (const std::string& via : {predefiniti.griglia_compilata(), predefiniti.linea_compilata()}) {
    disco_memoria ingresso = prova::compilati_predefiniti();
    ingresso.file.erase(via);
    disco_memoria uscita;
    std::ostringstream err;
    EXPECT_EQ(vista(ingresso, uscita, predefiniti.nome_linea, predefiniti.nome_treno, "c/", err),
              esito_strumento::guasto_disco);
    EXPECT_TRUE(uscita.file.empty());
    EXPECT_NE(err.str().find(via), std::string::npos) << err.str();
  }
  disco_memoria ingresso = prova::compilati_predefiniti();
  ingresso.file.at(predefiniti.treno_compilato()).resize(100);
  disco_memoria uscita;
  std::ostringstream err;
  EXPECT_EQ(vista(ingresso, uscita, predefiniti.nome_linea, predefiniti.nome_treno, "c/", err),
            esito_strumento::file_malformato);
  EXPECT_TRUE(uscita.file.empty());
}

}  // namespace
}  // namespace scenario
