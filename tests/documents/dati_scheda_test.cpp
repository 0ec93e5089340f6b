// The train card: the file it writes, its fixed lines, the geometry and time
// placings of its table, and its agreement with the built-in sources, computed
// from their rows: stations and speed changes in route order, kilometric values
// in the three stretches, timetabled times and speed limits.
#include "documents/dati_scheda.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documenti_prova.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/lettore_campi.h"
#include "sources/nomi_file.h"

namespace scenario {
namespace {

using namespace prova;

constexpr size_t righe_scheda_attese = 42;
constexpr size_t prima_del_corpo = 15;
constexpr size_t ultima_del_corpo = 38;

// ---- The written lines ------------------------------------------------------

std::vector<std::string> scheda() { return righe_del_file(componi_testo(righe_scheda())); }

bool spazi(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

// ---- Cells of a body row ----------------------------------------------------

// A speed cell: blank (0), or a number right-aligned in 4 columns and a space.
// -1 for anything else.
int velocita_cella(std::string_view c) {
  if (c.size() != 5 || c[4] != ' ') return -1;
  if (spazi(c)) return 0;
  const size_t primo = c.find_first_not_of(' ');
  const std::string_view cifre = c.substr(primo, 4 - primo);
  int v = 0;
  for (char x : cifre) {
    if (!std::isdigit(static_cast<unsigned char>(x))) return -1;
    v = v * 10 + (x - '0');
  }
  return v;
}

// A kilometric cell: kilometres, a dot and three digits of metres,
// right-aligned in 8 columns, then two spaces. The value in metres.
std::optional<int> metri_cella(std::string_view c) {
  if (c.size() != 10 || c.substr(8) != "  ") return std::nullopt;
  const std::string_view v = c.substr(0, 8);
  const size_t inizio = v.find_first_not_of(' ');
  if (inizio == std::string_view::npos || v.size() - inizio < 5 || v[v.size() - 4] != '.')
    return std::nullopt;
  int metri = 0;
  for (size_t i = inizio; i < v.size(); ++i) {
    if (i == v.size() - 4) continue;
    if (!std::isdigit(static_cast<unsigned char>(v[i]))) return std::nullopt;
    metri = metri * 10 + (v[i] - '0');
  }
  return metri;
}

enum class posto { partenza, transito, fermata, arrivo };

// A time cell read back; times in half-minutes from midnight. A placing with
// one time carries it in both fields.
struct orario {
  posto tipo;
  int primo;
  int secondo;
};

// "hh.mm", or "hh.mm+" half a minute later.
std::optional<int> mezzi_minuti(std::string_view t) {
  if ((t.size() != 5 && t.size() != 6) || t[2] != '.') return std::nullopt;
  if (t.size() == 6 && t[5] != '+') return std::nullopt;
  for (size_t i : {0, 1, 3, 4})
    if (!std::isdigit(static_cast<unsigned char>(t[i]))) return std::nullopt;
  const int ore = (t[0] - '0') * 10 + (t[1] - '0');
  const int minuti = (t[3] - '0') * 10 + (t[4] - '0');
  if (ore > 23 || minuti > 59) return std::nullopt;
  return (ore * 60 + minuti) * 2 + (t.size() == 6 ? 1 : 0);
}

// The time token that starts at `da`, with its "+" when one follows.
std::optional<int> tempo_da(std::string_view c, size_t da, size_t& fine) {
  if (da + 5 > c.size()) return std::nullopt;
  const size_t lunghezza = da + 5 < c.size() && c[da + 5] == '+' ? 6 : 5;
  fine = da + lunghezza;
  return mezzi_minuti(c.substr(da, lunghezza));
}

// The four placings of the time cell; nothing when the cell fits none.
std::optional<orario> leggi_orario(std::string_view c) {
  if (c.size() != 19) return std::nullopt;
  size_t fine = 0;
  if (spazi(c.substr(0, 13)) && c[18] == ' ') {
    if (auto t = mezzi_minuti(c.substr(13, 5))) return orario{posto::partenza, *t, *t};
    return std::nullopt;
  }
  if (spazi(c.substr(0, 7))) {
    if (auto t = tempo_da(c, 7, fine); t && spazi(c.substr(fine)))
      return orario{posto::transito, *t, *t};
    return std::nullopt;
  }
  if (c[0] != ' ') return std::nullopt;
  const auto arrivo = tempo_da(c, 1, fine);
  if (!arrivo) return std::nullopt;
  if (spazi(c.substr(fine))) return orario{posto::arrivo, *arrivo, *arrivo};
  if (fine < 13 && spazi(c.substr(fine, 13 - fine)) && c[18] == ' ') {
    if (auto partenza = mezzi_minuti(c.substr(13, 5)))
      return orario{posto::fermata, *arrivo, *partenza};
  }
  return std::nullopt;
}

// The time the timetable fixes at a row: the departure, or the arrival at the
// terminal. Passing times are the card's own.
std::optional<int> orario_fissato(const orario& o) {
  if (o.tipo == posto::transito) return std::nullopt;
  return o.tipo == posto::arrivo ? o.primo : o.secondo;
}

struct riga_corpo {
  size_t numero = 0;  // line of the card
  bool separatore = false;
  int limite = 0;  // 0 where blank
  int marcia = 0;
  std::optional<int> metri;
  std::string localita;
  std::optional<orario> ora;
};

std::vector<riga_corpo> corpo_scheda() {
  const auto righe = scheda();
  std::vector<riga_corpo> corpo;
  for (size_t n = prima_del_corpo; n <= ultima_del_corpo && n <= righe.size(); ++n) {
    const auto c = celle(righe[n - 1]);
    riga_corpo r;
    r.numero = n;
    if (c.size() != 7) {
      ADD_FAILURE() << "riga " << n << ": " << c.size() << " celle";
      continue;
    }
    r.separatore = c[0] == "-----";
    if (!r.separatore) {
      r.limite = velocita_cella(c[0]);
      r.marcia = velocita_cella(c[1]);
      r.metri = metri_cella(c[2]);
      const size_t fine_nome = c[4].find_last_not_of(' ');
      r.localita = fine_nome == std::string::npos ? "" : c[4].substr(1, fine_nome);
      r.ora = leggi_orario(c[5]);
    }
    corpo.push_back(r);
  }
  return corpo;
}

std::vector<riga_corpo> righe_di_luogo(const std::vector<riga_corpo>& corpo) {
  std::vector<riga_corpo> luoghi;
  std::copy_if(corpo.begin(), corpo.end(), std::back_inserter(luoghi),
               [](const riga_corpo& r) { return !r.separatore; });
  return luoghi;
}

// ---- The sources, read back with the field reader ---------------------------

struct stazione {
  int posizione;
  std::string nome;
  std::optional<int> orario;  // half-minutes, where the row carries one
};

std::vector<stazione> stazioni() {
  std::vector<stazione> s;
  for (const auto& r : righe_sorgente(righe_treno(), "stazione", 16, true)) {
    const int ore = r.numeri[13], minuti = r.numeri[14];
    std::optional<int> ora;
    if (ore != 0 || minuti != 0) ora = (ore * 60 + minuti) * 2;
    s.push_back({r.numeri[0], r.testo, ora});
  }
  return s;
}

// A point of the route that the card lists: a station, or a change of the
// speed limit after the start.
struct punto {
  int posizione;
  bool e_stazione;
  std::string nome;
  std::optional<int> orario;
  int limite;
};

std::vector<punto> punti_del_percorso() {
  std::vector<punto> punti;
  for (const auto& s : stazioni()) punti.push_back({s.posizione, true, s.nome, s.orario, 0});
  for (const auto& v : righe_sorgente(righe_treno(), "velocita", 2, false))
    if (v.numeri[0] > 0) punti.push_back({v.numeri[0], false, "", std::nullopt, v.numeri[1]});
  std::stable_sort(punti.begin(), punti.end(),
                   [](const punto& a, const punto& b) { return a.posizione < b.posizione; });
  return punti;
}

// The card's own spellings folded away: case, " - " in double names, the space
// after a dot, and "+" for the dot of the block post's kilometre.
std::string normalizza(std::string_view nome) {
  std::string s = maiuscolo(nome);
  for (auto [da, a] : {std::pair<std::string_view, std::string_view>{" - ", "-"}, {". ", "."}}) {
    for (size_t i = s.find(da); i != std::string::npos; i = s.find(da, i))
      s.replace(i, da.size(), a);
  }
  std::replace(s.begin(), s.end(), '+', '.');
  return s;
}

bool e_cambio(std::string_view nome) {
  return nome.starts_with("Km ") || nome.starts_with("Imbocco gall. ") ||
         nome.starts_with("Uscita gall. ");
}

std::string km_piu_metri(int metri) {
  char testo[24];
  std::snprintf(testo, sizeof testo, "Km %d+%03d", metri / 1000, metri % 1000);
  return testo;
}

struct galleria {
  int inizio;
  int fine;
};

std::vector<galleria> gallerie() {
  std::vector<galleria> g;
  for (const auto& r : righe_sorgente(righe_linea(), "montagna", 3, false))
    g.push_back({r.numeri[0], r.numeri[1]});
  return g;
}

// The tunnel name of the last tunnel sign at or before `posizione`: the second
// bracketed group, trimmed, of a sign whose first group names a tunnel.
std::string galleria_segnalata(int posizione) {
  std::string nome;
  for (const auto& r : righe_sorgente(righe_linea(), "cartello_indicatore", 1, true)) {
    if (r.numeri[0] > posizione || r.testo.find("Gall") == std::string::npos) continue;
    const size_t a = r.testo.find(")(");
    const size_t b = a == std::string::npos ? a : r.testo.find(')', a + 2);
    if (b == std::string::npos) continue;
    const std::string gruppo = r.testo.substr(a + 2, b - a - 2);
    const size_t primo = gruppo.find_first_not_of(' ');
    nome = primo == std::string::npos
               ? ""
               : gruppo.substr(primo, gruppo.find_last_not_of(' ') - primo + 1);
  }
  return nome;
}

// ---- The file and its fixed lines -------------------------------------------

TEST(SchedaTreno, ScrittaNelFileDelTreno) {
  EXPECT_EQ(
      documento_scritto(dati_scheda, "Brossalenta_Morla_iR31457_scheda_treno.txt", righe_scheda())
          .size(),
      righe_scheda_attese);
}

TEST(SchedaTreno, RigheFisse) {
  const struct {
    size_t numero;
    std::string_view testo;
  } attese[] = {
      {1, "  ___________________                                                 ______________"},
      {2, " |                   |                    SCHEDA                     |              |"},
      {3, " |   TRENO n. 31457  |                   da: BROSSALENTA             |    V140 C    |"},
      {4, " |___________________|                    a: MORLA                   |     120%     |"},
      {5, "                                                                     |______________|"},
      {6, "  ___________________                ___________________"},
      {7, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
      {8, " |  INTERREGIONALE   |              |      280T         |"},
      {9, " |___________________|              |___________________|"},
      {10, ""},
      {11, "  ___________________________________________________________________________________"},
      {12,
       " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |      Orario       | Rec |"},
      {13,
       " | Lim.|Marc.|          |  Rs |                            |                   |     |"},
      {14,
       " |_____|_____|__________|_____|____________________________|___________________|_____|"},
      {15,
       " |  80 |  70 |   0.000  |     | BROSSALENTA                |             17.34 |     |"},
      {16,
       " |     |     |   4.900  |     | TALMES                     |       17.39       |     |"},
      {17,
       " |     |     |  11.400  |     | ULMIDE                     | 17.46+      17.47 |     |"},
      {18,
       " |     |     |  11.950  |     | P.M. Km 11+959             |       17.48       |     |"},
      {23,
       " |  40 |  35 |  74.900  |     | Km 74+900                  |       18.10       |     |"},
      {27,
       " |  80 |  70 |  64.300  |     | Km 64+300                  |       18.26+      |     |"},
      {38,
       " |     |     |   0.000  |     | MORLA                      | 19.29             |     |"},
      {39,
       " |_____|_____|__________|_____|____________________________|___________________|_____|"},
      {40, ""},
      {41, ""},
      {42, "Nota: Nella colonna Orario il simbolo '+' indica 'mezzo minuto'."},
  };
  const auto righe = scheda();
  ASSERT_EQ(righe.size(), righe_scheda_attese);
  for (const auto& a : attese) EXPECT_EQ(righe[a.numero - 1], a.testo) << "riga " << a.numero;
}

TEST(SchedaTreno, GeometriaDellaTabella) {
  const std::vector<size_t> barre = {2, 8, 14, 25, 31, 60, 80, 86};
  const auto righe = scheda();
  ASSERT_EQ(righe.size(), righe_scheda_attese);
  for (size_t n = 12; n <= 39; ++n) {
    EXPECT_EQ(righe[n - 1].size(), 86u) << "riga " << n;
    EXPECT_EQ(colonne_delle_barre(righe[n - 1]), barre) << "riga " << n;
  }
}

// Cells 1 and 2 and the time placing of every body row, as the card lays out
// the run; separators on lines 20 and 36 only.
TEST(SchedaTreno, CelleDelCorpo) {
  constexpr posto P = posto::partenza, T = posto::transito, F = posto::fermata, A = posto::arrivo;
  const struct {
    size_t numero;
    int limite;
    int marcia;
    posto tipo;
  } attese[] = {
      {15, 80, 70, P}, {16, 0, 0, T},   {17, 0, 0, F},   {18, 0, 0, T}, {19, 0, 0, T},
      {21, 0, 0, T},   {22, 0, 0, F},   {23, 40, 35, T}, {24, 0, 0, T}, {25, 80, 70, T},
      {26, 40, 35, T}, {27, 80, 70, T}, {28, 0, 0, T},   {29, 0, 0, T}, {30, 0, 0, F},
      {31, 0, 75, F},  {32, 0, 0, F},   {33, 0, 0, F},   {34, 0, 0, T}, {35, 0, 0, T},
      {37, 0, 0, T},   {38, 0, 0, A},
  };
  const auto righe = scheda();
  ASSERT_EQ(righe.size(), righe_scheda_attese);
  const std::string separatore =
      " |-----|-----|----------|-----|----------------------------|-------------------|-----|";
  EXPECT_EQ(righe[20 - 1], separatore);
  EXPECT_EQ(righe[36 - 1], separatore);

  const auto corpo = corpo_scheda();
  ASSERT_EQ(corpo.size(), ultima_del_corpo - prima_del_corpo + 1);
  const auto luoghi = righe_di_luogo(corpo);
  ASSERT_EQ(luoghi.size(), std::size(attese));
  for (size_t i = 0; i < luoghi.size(); ++i) {
    const auto& r = luoghi[i];
    const auto& a = attese[i];
    ASSERT_EQ(r.numero, a.numero);
    const auto c = celle(righe[r.numero - 1]);
    EXPECT_EQ(r.limite, a.limite) << "riga " << r.numero;
    EXPECT_EQ(r.marcia, a.marcia) << "riga " << r.numero;
    EXPECT_TRUE(r.metri.has_value()) << "riga " << r.numero << ": '" << c[2] << "'";
    EXPECT_EQ(c[3], "     ") << "riga " << r.numero;
    EXPECT_EQ(c[6], "     ") << "riga " << r.numero;
    EXPECT_TRUE(c[4][0] == ' ' && c[4][1] != ' ') << "riga " << r.numero << ": '" << c[4] << "'";
    ASSERT_TRUE(r.ora.has_value()) << "riga " << r.numero << ": '" << c[5] << "'";
    EXPECT_EQ(r.ora->tipo, a.tipo) << "riga " << r.numero;
  }
}

// The reader of the time cell must tell the four placings apart, or the tests
// above would accept a shifted time.
TEST(SchedaTreno, LetturaDegliOrari) {
  const struct {
    std::string_view cella;
    std::optional<posto> tipo;
    int primo;
    int secondo;
  } casi[] = {
      {"             17.34 ", posto::partenza, 2108, 2108},
      {"       17.39       ", posto::transito, 2118, 2118},
      {"       17.54+      ", posto::transito, 2149, 2149},
      {" 17.46+      17.47 ", posto::fermata, 2133, 2134},
      {" 18.03       18.06 ", posto::fermata, 2166, 2172},
      {" 19.29             ", posto::arrivo, 2338, 2338},
      {"      17.39        ", std::nullopt, 0, 0},
      {"        17.39      ", std::nullopt, 0, 0},
      {" 17.46+     17.47  ", std::nullopt, 0, 0},
      {"            17.34  ", std::nullopt, 0, 0},
      {"       17.39      ", std::nullopt, 0, 0},
      {"       17.60       ", std::nullopt, 0, 0},
      {"       17:39       ", std::nullopt, 0, 0},
      {"                   ", std::nullopt, 0, 0},
  };
  for (const auto& c : casi) {
    const auto o = leggi_orario(c.cella);
    ASSERT_EQ(o.has_value(), c.tipo.has_value()) << "'" << c.cella << "'";
    if (!o) continue;
    EXPECT_EQ(o->tipo, *c.tipo) << "'" << c.cella << "'";
    EXPECT_EQ(o->primo, c.primo) << "'" << c.cella << "'";
    EXPECT_EQ(o->secondo, c.secondo) << "'" << c.cella << "'";
  }
}

// Time never runs backwards down the card, and a stop's arrival comes at least
// half a minute before its departure.
TEST(SchedaTreno, OrariCrescenti) {
  int precedente = -1;
  for (const auto& r : righe_di_luogo(corpo_scheda())) {
    ASSERT_TRUE(r.ora.has_value()) << "riga " << r.numero;
    EXPECT_GE(r.ora->primo, precedente) << "riga " << r.numero;
    if (r.ora->tipo == posto::fermata) {
      EXPECT_LT(r.ora->primo, r.ora->secondo) << "riga " << r.numero;
    }
    precedente = r.ora->secondo;
  }
}

// ---- Agreement with the sources ---------------------------------------------

TEST(SchedaTrenoSorgenti, StazioniECambiDiVelocitaInOrdine) {
  const auto punti = punti_del_percorso();
  const auto luoghi = righe_di_luogo(corpo_scheda());
  ASSERT_EQ(luoghi.size(), punti.size());
  for (size_t i = 0; i < punti.size(); ++i) {
    const auto& r = luoghi[i];
    EXPECT_EQ(e_cambio(r.localita), !punti[i].e_stazione)
        << "riga " << r.numero << ": " << r.localita;
    if (punti[i].e_stazione) {
      EXPECT_EQ(normalizza(r.localita), normalizza(punti[i].nome)) << "riga " << r.numero;
    }
  }
}

TEST(SchedaTrenoSorgenti, ProgressiveNeiTreTratti) {
  const progressiva km = progressiva_predefinita();
  const auto punti = punti_del_percorso();
  const auto corpo = corpo_scheda();
  const auto luoghi = righe_di_luogo(corpo);
  ASSERT_EQ(luoghi.size(), punti.size());
  for (size_t i = 0; i < punti.size(); ++i)
    EXPECT_EQ(luoghi[i].metri, km.metri(punti[i].posizione)) << "riga " << luoghi[i].numero;

  // A separator stands between two rows exactly where the stretch changes.
  size_t i = 0;
  bool separato = false;
  for (const auto& r : corpo) {
    if (r.separatore) {
      EXPECT_TRUE(i > 0 && i < punti.size()) << "riga " << r.numero;
      separato = true;
      continue;
    }
    if (i > 0 && i < punti.size()) {
      const bool cambia = km.tratto(punti[i].posizione) != km.tratto(punti[i - 1].posizione);
      EXPECT_EQ(separato, cambia) << "riga " << r.numero;
    }
    separato = false;
    ++i;
  }
}

TEST(SchedaTrenoSorgenti, OrariDelleStazioni) {
  const auto punti = punti_del_percorso();
  const auto luoghi = righe_di_luogo(corpo_scheda());
  ASSERT_EQ(luoghi.size(), punti.size());
  for (size_t i = 0; i < punti.size(); ++i) {
    const auto& r = luoghi[i];
    ASSERT_TRUE(r.ora.has_value()) << "riga " << r.numero;
    EXPECT_EQ(orario_fissato(*r.ora), punti[i].orario) << "riga " << r.numero;
  }
  EXPECT_EQ(luoghi.front().ora->tipo, posto::partenza);
  EXPECT_EQ(luoghi.back().ora->tipo, posto::arrivo);
}

TEST(SchedaTrenoSorgenti, LimitiDiVelocita) {
  const auto velocita = righe_sorgente(righe_treno(), "velocita", 2, false);
  ASSERT_FALSE(velocita.empty());
  ASSERT_EQ(velocita.front().numeri[0], 0);
  const progressiva km = progressiva_predefinita();
  const auto punti = punti_del_percorso();
  const auto luoghi = righe_di_luogo(corpo_scheda());
  ASSERT_EQ(luoghi.size(), punti.size());
  EXPECT_EQ(luoghi.front().limite, velocita.front().numeri[1]);

  int limite = 0, marcia = 0;
  for (size_t i = 0; i < punti.size(); ++i) {
    const auto& r = luoghi[i];
    if (!punti[i].e_stazione) {
      EXPECT_EQ(r.limite, punti[i].limite) << "riga " << r.numero;
      const int p = punti[i].posizione;
      if (r.localita.starts_with("Km ")) {
        EXPECT_EQ(r.localita, km_piu_metri(km.metri(p))) << "riga " << r.numero;
      } else {
        const bool imbocco = r.localita.starts_with("Imbocco gall. ");
        const auto g = gallerie();
        const auto it = std::find_if(g.begin(), g.end(), [&](const galleria& x) {
          return imbocco ? x.inizio == p : x.fine == p;
        });
        ASSERT_NE(it, g.end()) << "riga " << r.numero << ": nessuna galleria a " << p;
        const std::string nome = r.localita.substr(r.localita.find("gall. ") + 6);
        EXPECT_EQ(nome, galleria_segnalata(it->inizio)) << "riga " << r.numero;
      }
    } else if (i > 0) {
      EXPECT_EQ(r.limite, 0) << "riga " << r.numero;
    }
    if (r.limite > 0) limite = r.limite;
    if (r.marcia > 0) marcia = r.marcia;
    EXPECT_LE(marcia, limite) << "riga " << r.numero;
  }
}

}  // namespace
}  // namespace scenario
