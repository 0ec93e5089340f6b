// The built-in sources read back row by row: every fixed line, every row kind's
// layout, counts, ranges and orders, and the relations the documents rely on.
// A slip in the authored content fails here, before the compiler sees it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/scrittore_testo.h"

namespace scenario {
namespace {

std::vector<std::string> linee(const tabella_righe& t) {
  std::vector<std::string> out;
  for (size_t i = 0; i < tabella_righe::capacita && t[i] != fine_del_file; ++i)
    out.emplace_back(t[i]);
  return out;
}

// Lines first..last (1-based, inclusive).
std::vector<std::string> tratto(const std::vector<std::string>& v, size_t first, size_t last) {
  return {v.begin() + static_cast<long>(first - 1), v.begin() + static_cast<long>(last)};
}

// The captured groups of every row (group 0 is the whole row); a row that does
// not match fails the test and yields empty groups.
using gruppi_riga = std::vector<std::string>;
std::vector<gruppi_riga> confronta(const std::vector<std::string>& righe, const std::regex& re) {
  std::vector<gruppi_riga> out;
  for (const auto& r : righe) {
    std::smatch m;
    const bool ok = std::regex_match(r, m, re);
    EXPECT_TRUE(ok) << "row: [" << r << "]";
    gruppi_riga g(re.mark_count() + 1, "0");
    if (ok)
      for (size_t i = 0; i < m.size(); ++i) g[i] = m[i].str();
    out.push_back(g);
  }
  return out;
}

int num(const std::string& s) { return std::stoi(s); }

class SorgentePredefinita : public ::testing::Test {
 protected:
  std::vector<std::string> linea = linee(righe_linea());
  std::vector<std::string> treno = linee(righe_treno());
};

TEST_F(SorgentePredefinita, BothFilesEndEveryLineWithCrLf) {
  for (const auto& t : {righe_linea(), righe_treno()}) {
    const std::string testo = componi_testo(t);
    size_t crlf = 0;
    for (size_t i = 0; i + 1 < testo.size(); ++i) crlf += testo[i] == '\r' && testo[i + 1] == '\n';
    EXPECT_EQ(testo.substr(testo.size() - 8), "[fine]\r\n");
    EXPECT_EQ(crlf, linee(t).size());
    EXPECT_EQ(std::count(testo.begin(), testo.end(), '\n'), static_cast<long>(crlf));
  }
}

TEST_F(SorgentePredefinita, LineSourceFixedLines) {
  ASSERT_EQ(linea.size(), 312u);
  const std::map<size_t, std::string> fisse = {
      {1, "[generale]"},
      {2, "lunghezza percorso,    96000"},
      {3, "progressiva chilometrica uno,    0,    0,    0"},
      {4, "progressiva chilometrica due,    14700,    99500,    1"},
      {5, "progressiva chilometrica tre,    87900,    95900,    1"},
      {6, "sfondo uno,    78700"},
      {7, "sfondo due,    1"},
      {8, "sfondo tre,    3600"},
      {9, "ripetizione segnali 4 codici,    0    ,0"},
      {10, "[curve]"},
      {11, "curvas4,  250,  400"},
      {170, "curvad5,  94700,  400"},
      {171, "[pendenze]"},
      {172, "- Altitudine iniziale Brossalenta = 9 m."},
      {173, "pendenza,   0,    0"},
      {212, "pendenza,  95200,   0"},
      {213, "[montagne]"},
      {214, "montagna,   2450,  2600,  12"},
      {288, "montagna,   93850,  95100,  12"},
      {289, "[cartelli]"},
      {290, "indicatori_vmax,  550,  80,  80,  80,  0,  ,  ,  ,  0"},
      {291, "indicatori_vmax,  24550,  40,  40,  40,  0,  ,  ,  ,  0"},
      {292, "indicatori_vmax,  31750,  80,  80,  80,  0,  ,  ,  ,  0"},
      {293, "indicatori_vmax,  33700,  40,  40,  40,  0,  ,  ,  ,  0"},
      {294, "indicatori_vmax,  35200,  80,  80,  80,  0,  ,  ,  ,  0"},
      {295, "[indicazioni]"},
      {312, "[fine]"},
  };
  for (const auto& [n, testo] : fisse) EXPECT_EQ(linea[n - 1], testo) << "line " << n;
  for (const char* r : {"pendenza,  500,   3", "pendenza,  66300,   -27",
                        "montagna,   27750,  27800,  1", "montagna,   26850,  26900,  2",
                        "cartello_indicatore,  19750,   (Galleria)( VELMO  )(1186 m. )"})
    EXPECT_NE(std::find(linea.begin(), linea.end(), r), linea.end()) << r;
  const auto dopo = std::find(linea.begin(), linea.end(), "curvas5,  4100,  200");
  ASSERT_NE(dopo, linea.end());
  EXPECT_EQ(*(dopo + 1), "curvad5,  4300,  250");
}

TEST_F(SorgentePredefinita, CurveRows) {
  const auto m =
      confronta(tratto(linea, 11, 170), std::regex(R"(curva([sd])([1-6]),  (\d+),  (\d+))"));
  std::map<std::string, int> lati;
  std::map<int, int> classi;
  int contigue = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    ++lati[m[i][1]];
    ++classi[num(m[i][2])];
    const int a = num(m[i][3]), l = num(m[i][4]);
    EXPECT_EQ(a % 50, 0);
    EXPECT_TRUE(l >= 50 && l <= 2450 && l % 50 == 0) << l;
    if (i + 1 < m.size()) {
      const int prossima = num(m[i + 1][3]);
      EXPECT_LT(a, prossima);
      EXPECT_LE(a + l, prossima) << "curve at " << a << " reaches past the next one";
      contigue += a + l == prossima;
    }
  }
  EXPECT_EQ(lati["s"], 77);
  EXPECT_EQ(lati["d"], 83);
  EXPECT_EQ(classi, (std::map<int, int>{{3, 4}, {4, 34}, {5, 95}, {6, 27}}));
  EXPECT_EQ(contigue, 10);
}

TEST_F(SorgentePredefinita, GradientRows) {
  const auto m = confronta(tratto(linea, 174, 212), std::regex(R"(pendenza,  (\d+),   (-?\d+))"));
  int zeri = 1, precedente = 0;  // the first row, "pendenza,   0,    0", is a zero
  for (const auto& r : m) {
    const int p = num(r[1]), q = num(r[2]);
    EXPECT_GT(p, precedente);
    EXPECT_EQ(p % 50, 0);
    EXPECT_TRUE(q >= -27 && q <= 23) << q;
    EXPECT_FALSE(q < 0 && p < 66300) << p;
    EXPECT_FALSE(q > 0 && p > 58100) << p;
    zeri += q == 0;
    precedente = p;
  }
  EXPECT_EQ(zeri, 18);
}

TEST_F(SorgentePredefinita, TerrainRows) {
  const auto m =
      confronta(tratto(linea, 214, 288), std::regex(R"(montagna,   (\d+),  (\d+),  (\d+))"));
  std::map<int, int> tipi;
  int fine_precedente = -1;
  for (const auto& r : m) {
    const int a = num(r[1]), b = num(r[2]), t = num(r[3]);
    EXPECT_GT(a, fine_precedente) << "span at " << a;
    EXPECT_TRUE(b - a >= 50 && b - a <= 8100) << a;
    EXPECT_TRUE(a % 50 == 0 && b % 50 == 0) << a;
    if (t == 1 || t == 2) {
      EXPECT_EQ(b - a, 50) << a;
    }
    ++tipi[t];
    fine_precedente = b;
  }
  EXPECT_EQ(tipi, (std::map<int, int>{{1, 2}, {2, 3}, {11, 41}, {12, 29}}));
}

TEST_F(SorgentePredefinita, SignRows) {
  const auto m = confronta(tratto(linea, 296, 311),
                           std::regex(R"(cartello_indicatore,  (\d+),   ((\([^()]*\)){1,3}))"));
  std::map<std::string, int> generi;
  int precedente = 0, larghezza_max = 0, larghezza_min = 99;
  const std::regex gruppo(R"(\(([^()]*)\))");
  for (const auto& r : m) {
    const int p = num(r[1]);
    EXPECT_GT(p, precedente);
    precedente = p;
    std::vector<std::string> gruppi;
    const std::string testo = r[2];
    for (std::sregex_iterator it(testo.begin(), testo.end(), gruppo), fine; it != fine; ++it)
      gruppi.push_back((*it)[1].str());
    for (const auto& g : gruppi) EXPECT_EQ(g.size(), gruppi[0].size()) << testo;
    larghezza_max = std::max(larghezza_max, static_cast<int>(gruppi[0].size()));
    larghezza_min = std::min(larghezza_min, static_cast<int>(gruppi[0].size()));
    auto pulito = [](std::string s) {
      s.erase(0, s.find_first_not_of(' '));
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    };
    const std::string genere = pulito(gruppi[0]);
    const bool maiuscolo = std::none_of(gruppi.back().begin(), gruppi.back().end(), ::islower);
    if (gruppi.size() == 3) {
      EXPECT_TRUE(genere == "Galleria" || genere == "Gall.elic.") << testo;
      EXPECT_TRUE(std::regex_match(pulito(gruppi[2]), std::regex(R"(\d+ m\.)"))) << testo;
      ++generi[genere == "Galleria" ? "galleria" : "elicoidale"];
    } else if (gruppi.size() == 2) {
      EXPECT_EQ(genere, "Viadotto");
      EXPECT_TRUE(maiuscolo) << testo;
      ++generi["viadotto"];
    } else {
      EXPECT_TRUE(maiuscolo) << testo;
      ++generi["confine"];
    }
  }
  EXPECT_EQ(num(m.front()[1]), 14700);
  EXPECT_EQ(num(m.back()[1]), 93800);
  EXPECT_EQ(generi["galleria"] + generi["elicoidale"], 12);
  EXPECT_EQ(generi["elicoidale"], 4);  // one for each helical spiral
  EXPECT_EQ(generi["viadotto"], 2);
  EXPECT_EQ(generi["confine"], 2);
  EXPECT_EQ(larghezza_min, 6);
  EXPECT_EQ(larghezza_max, 12);
  EXPECT_NE(std::find_if(linea.begin(), linea.end(),
                         [](const std::string& s) { return s.find("(  Galleria  )") != s.npos; }),
            linea.end());
}

TEST_F(SorgentePredefinita, TrainSourceFixedLines) {
  ASSERT_EQ(treno.size(), 70u);
  const std::vector<std::string> aderenze = {"aderenza,   0,    100",    "aderenza,    6950,    90",
                                             "aderenza,   19850,    80", "aderenza,   31850,    70",
                                             "aderenza,   66200,    80", "aderenza,   75450,    90",
                                             "aderenza,   79100,   100"};
  const std::vector<std::string> velocita = {"velocita,       0,    80", "velocita,   24600,    40",
                                             "velocita,   31750,    80", "velocita,   33750,    40",
                                             "velocita,   35200,    80"};
  const std::vector<std::string> rallentamenti = {"rallentamento,    7900,    30,   50, 0,  1,  0",
                                                  "rallentamento,   18900,    40,  400, 0,  1,  0",
                                                  "rallentamento,   50050,    15,  100, 1,  0,  0",
                                                  "rallentamento,   61450,    30,  400, 0,  1,  0",
                                                  "rallentamento,   93200,    50,  500, 0,  1,  0"};
  EXPECT_EQ(tratto(treno, 1, 6),
            (std::vector<std::string>{
                "[generale]", "numero vetture,    4", "percentuale massa frenata,    120",
                "sabbia,    300", "orologio,    17              33            30 ", "[aderenze]"}));
  EXPECT_EQ(tratto(treno, 7, 13), aderenze);
  EXPECT_EQ(treno[13], "[vel_limite]");
  EXPECT_EQ(tratto(treno, 15, 19), velocita);
  EXPECT_EQ(treno[19], "[stazioni]");
  EXPECT_EQ(treno[38], "[rallentamenti]");
  EXPECT_EQ(tratto(treno, 40, 44), rallentamenti);
  EXPECT_EQ(treno[44], "[segnali]");
  EXPECT_EQ(tratto(treno, 69, 70), (std::vector<std::string>{"[codici]", "[fine]"}));
}

// A station row: sixteen right-aligned fields of fixed widths, then the name.
struct stazione {
  std::vector<int> campi;
  std::string nome;
};

std::vector<stazione> stazioni(const std::vector<std::string>& treno) {
  static const int larghezze[] = {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2};
  std::vector<stazione> out;
  for (const auto& r : tratto(treno, 21, 38)) {
    stazione s;
    size_t pos = std::string("stazione,").size();
    EXPECT_EQ(r.substr(0, pos), "stazione,");
    for (int w : larghezze) {
      const std::string campo = r.substr(pos, static_cast<size_t>(w));
      EXPECT_TRUE(std::regex_match(campo, std::regex(R"( *-?\d+)"))) << r << " [" << campo << "]";
      EXPECT_EQ(r[pos + static_cast<size_t>(w)], ',') << r;
      s.campi.push_back(std::stoi(campo));
      pos += static_cast<size_t>(w) + 1;
    }
    EXPECT_EQ(r[pos], ' ') << r;
    s.nome = r.substr(pos + 1);
    out.push_back(s);
  }
  return out;
}

TEST_F(SorgentePredefinita, StationRows) {
  EXPECT_EQ(treno[20],
            "stazione,       0, 12,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,  17,34, 0, BROSSALENTA");
  EXPECT_EQ(treno[21],
            "stazione,    4900, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, TALMES");
  EXPECT_EQ(treno[22],
            "stazione,   11400, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,  17,47, 0, ULMIDE");
  EXPECT_EQ(
      treno[23],
      "stazione,   11950, 26,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, P.M. Km 11.959");
  EXPECT_EQ(treno[37],
            "stazione,   95900,  2,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,  19,29, 0, MORLA");
  const auto st = stazioni(treno);
  std::map<int, int> tipi;
  for (size_t i = 0; i < st.size(); ++i) {
    const auto& c = st[i].campi;
    SCOPED_TRACE(st[i].nome);
    ++tipi[c[1]];
    EXPECT_EQ(c[0] % 50, 0);
    EXPECT_EQ(c[2] % 100, 0);
    if (i > 0) {
      EXPECT_GE(c[0] - c[2] / 2 - 350, st[i - 1].campi[0] + st[i - 1].campi[2] / 2);
    }
    EXPECT_TRUE(st[i].nome.size() >= 5 && st[i].nome.size() <= 18);
    EXPECT_EQ(st[i].nome.find(','), std::string::npos);
    const int fermata = c[12];
    const bool orario = c[13] != 0 || c[14] != 0;
    if (i == 0) {
      EXPECT_EQ(fermata, 1);
    } else if (i + 1 < st.size()) {
      EXPECT_TRUE(fermata == 0 || fermata == 30 || fermata == 60 || fermata == 230);
    }
    if (i + 1 < st.size()) {
      EXPECT_EQ(orario, fermata != 0);
    }
    EXPECT_EQ(c[15], 0);
  }
  EXPECT_EQ(tipi, (std::map<int, int>{{2, 1}, {12, 4}, {22, 6}, {26, 1}, {27, 2}, {28, 4}}));
  EXPECT_EQ(st.back().campi[1], 2);
  EXPECT_EQ(st[0].campi[1], 12);
}

TEST_F(SorgentePredefinita, SignalRows) {
  const std::regex riga(
      R"(segnale,( {0,7}\d+),( {0,3}\d),( \d),( \d),( {0,2}\d),( \d),( {0,4}\d),( {0,2}\d),(\d),(\d), (\d+))");
  const auto m = confronta(tratto(treno, 46, 68), riga);
  std::vector<int> tempi;
  int precedente = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    const int p = num(m[i][1]), sx = num(m[i][2]);
    EXPECT_GT(p, precedente);
    precedente = p;
    EXPECT_EQ(m[i][1].size(), 8u);
    EXPECT_TRUE(sx == 1 || sx == 2);
    if (sx == 1) {
      ASSERT_LT(i + 1, m.size());
      EXPECT_EQ(num(m[i + 1][2]), 2) << "row " << i + 1;
    } else if (i != 2) {
      EXPECT_EQ(num(m[i - 1][2]), 1) << "row " << i + 1 << " stands alone";
    }
    if (num(m[i][5]) != 0) {
      EXPECT_EQ(p, 21050);  // the only non-zero s3
    }
    if (num(m[i][7]) != 0 || num(m[i][8]) != 0) {
      EXPECT_EQ(p, 12000);  // the only non-zero dx and d1
    }
    if (num(m[i][11]) != 0) tempi.push_back(num(m[i][11]));
  }
  EXPECT_EQ(num(m.front()[1]), 10700);
  EXPECT_EQ(num(m.back()[1]), 94950);
  EXPECT_EQ(tempi, (std::vector<int>{240, 230, 230, 220}));
  EXPECT_EQ(treno[45], "segnale,   10700,   1, 3, 1,  0, 0,    0,  0,0,0, 0");
  EXPECT_EQ(treno[46], "segnale,   11450,   2, 3, 1,  0, 0,    0,  0,0,0, 240");
  EXPECT_EQ(treno[67], "segnale,   94950,   2, 2, 3,  0, 0,    0,  0,0,0, 0");
  for (const char* r : {"segnale,   12000,   2, 4, 0,  0, 0,    2,  2,0,0, 230",
                        "segnale,   21050,   2, 2, 3,  1, 0,    0,  0,0,0, 230",
                        "segnale,   82350,   2, 3, 1,  0, 0,    0,  0,0,0, 220"})
    EXPECT_NE(std::find(treno.begin(), treno.end(), r), treno.end()) << r;
}

TEST_F(SorgentePredefinita, RelationsTheDocumentsRelyOn) {
  const auto st = stazioni(treno);
  auto posizione = [&](size_t n) { return st[n - 1].campi[0]; };  // station n, 1-based
  EXPECT_EQ(posizione(18), 95900);
  EXPECT_EQ(posizione(17), 87450);
  // The first kilometric change (line 4's 14700) lies between stations 5 and 6,
  // the second between stations 16 and 17.
  EXPECT_LT(posizione(5), 14700);
  EXPECT_GT(posizione(6), 14700);
  EXPECT_LT(posizione(16), posizione(17));
  // Each slowdown starts between the two stations the slow-order form names.
  const std::vector<std::pair<int, size_t>> rallentamenti = {
      {7900, 2}, {18900, 6}, {50050, 11}, {61450, 12}, {93200, 17}};
  for (const auto& [x, prima] : rallentamenti) {
    EXPECT_LT(posizione(prima), x) << x;
    EXPECT_GT(posizione(prima + 1), x) << x;
  }
}

}  // namespace
}  // namespace scenario
