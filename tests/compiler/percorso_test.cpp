// The grid and its placement operations: where each object lands, which
// values it leaves, and what each refusal (16 to 21, 26, 27) leaves written.
#include "compiler/percorso.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace scenario {
namespace {

constexpr int32_t lunghezza_prova = 96000;  // ultima_cella 2060

// A cell with the value `c` on every index from `da` to `a`.
struct tratto_celle {
  int64_t da;
  int64_t a;
  cella c;
};
using celle = std::vector<tratto_celle>;

std::string descrivi(const cella& c) {
  std::ostringstream o;
  o << "{tipo " << int{c.tipo_cella} << ", v " << c.valore1 << ' ' << c.valore2 << ' ' << c.valore3
    << ' ' << c.valore4 << ", tempo " << int{c.tempo_segnale} << ", avv " << int{c.avvicinamento}
    << ", mont " << int{c.tipo_montagna} << ", vel " << int{c.vel_limite} << ", pend "
    << int{c.pendenza} << ", ader " << int{c.aderenza} << '}';
  return o.str();
}

void applica(std::vector<cella>& griglia, const celle& tratti) {
  for (const tratto_celle& t : tratti) {
    for (int64_t k = t.da; k <= t.a; ++k) griglia[static_cast<size_t>(k)] = t.c;
  }
}

stato griglia_prova(const celle& prima) {
  stato s;
  EXPECT_TRUE(crea_percorso(s, lunghezza_prova));
  applica(s.percorso, prima);
  return s;
}

// The whole grid against `prima` overlaid with `dopo`, naming the first
// differing cell.
void confronta(const std::string& caso, const stato& s, const celle& prima, const celle& dopo) {
  std::vector<cella> attesa(s.percorso.size());
  applica(attesa, prima);
  applica(attesa, dopo);
  for (size_t k = 0; k < attesa.size(); ++k) {
    if (s.percorso[k] != attesa[k]) {
      ADD_FAILURE() << caso << ": cell " << k << " is " << descrivi(s.percorso[k]) << ", expected "
                    << descrivi(attesa[k]);
      return;
    }
  }
}

TEST(Percorso, CreaPercorsoDimensiona) {
  struct caso {
    int32_t lunghezza;
    bool creata;
    int32_t ultima;
  };
  const caso casi[] = {
      {96000, true, 2060}, {0, true, 140},
      {25, true, 140},  // 140.5 -> 140
      {75, true, 142},     {-6950, true, 1},
      {-6975, false, 0},  // 0.5 -> 0: no cell 1
      {-7000, false, 0},   {-2147483647 - 1, false, 0},
  };
  for (const caso& c : casi) {
    stato s;
    EXPECT_EQ(crea_percorso(s, c.lunghezza), c.creata) << "L = " << c.lunghezza;
    EXPECT_EQ(s.ultima_cella, c.ultima) << "L = " << c.lunghezza;
    EXPECT_EQ(s.percorso.size(), c.creata ? static_cast<size_t>(c.ultima) + 1 : 0u)
        << "L = " << c.lunghezza;
  }
}

TEST(Percorso, CreaPercorsoRifiutatoLasciaLaGriglia) {
  stato s;
  ASSERT_TRUE(crea_percorso(s, lunghezza_prova));
  s.percorso[5].tipo_cella = segnale;
  EXPECT_FALSE(crea_percorso(s, -7000));
  EXPECT_EQ(s.ultima_cella, 2060);
  EXPECT_EQ(s.percorso[5].tipo_cella, segnale);
  // A second route length creates the grid anew, every cell zero.
  ASSERT_TRUE(crea_percorso(s, 1000));
  EXPECT_EQ(s.ultima_cella, 160);
  EXPECT_EQ(s.percorso[5], cella{});
}

// A board touches only its own cell: it shows where a position lands.
TEST(Percorso, CellaDiUnaPosizione) {
  struct caso {
    int32_t posizione;
    int64_t cella;
  };
  const caso casi[] = {{0, 1}, {24, 1}, {25, 2}, {74, 2}, {75, 2}, {125, 4}, {1000, 21}};
  for (const caso& c : casi) {
    stato s = griglia_prova({});
    EXPECT_FALSE(memo_indicatori_v_max(s, {c.posizione, 1}).traboccato);
    confronta("board at " + std::to_string(c.posizione) + " m", s, {},
              {{c.cella, c.cella, {.tipo_cella = indicatore_velocita, .valore1 = 20}}});
  }
}

struct caso_posa {
  std::string nome;
  celle prima;  // cells occupied before the call
  std::function<esito_piazzamento(stato&)> chiamata;
  int32_t codice;            // codice_errore after the call
  celle dopo;                // cells changed by the call
  bool riuscita = true;      // no board value overflowed
  int32_t codice_prima = 0;  // codice_errore before the call
};

std::function<esito_piazzamento(stato&)> segnale_a(int32_t posizione, int32_t sx, int32_t dx,
                                                   int32_t tempo) {
  return [=](stato& s) { return memo_segnale(s, {posizione, sx, 1, 2, 3, 4, dx, 5, 6, 7, tempo}); };
}

std::function<esito_piazzamento(stato&)> rallentamento(int32_t x, int32_t v, int32_t l,
                                                       int32_t f_tt, int32_t f_ta, int32_t d_v) {
  return [=](stato& s) { return memo_rallentamento(s, {x, v, l, f_tt, f_ta, d_v}); };
}

std::function<esito_piazzamento(stato&)> indicatore(int32_t posizione, int32_t vas, int32_t vbs,
                                                    int32_t vcs, int32_t vad, int32_t vbd,
                                                    int32_t vcd) {
  return [=](stato& s) {
    return memo_indicatori_v_max(s, {posizione, vas, vbs, vcs, 2, vad, vbd, vcd, 3});
  };
}

// Signal values of segnale_a: valore1..3 = s*10 + d, valore4 = rapp*10 + sx*3 + dx.
cella segnale_atteso(int32_t sx, int32_t dx, uint8_t tempo) {
  return {.tipo_cella = segnale,
          .valore1 = 15,
          .valore2 = 26,
          .valore3 = 37,
          .valore4 = static_cast<int16_t>(40 + sx * 3 + dx),
          .tempo_segnale = tempo};
}

cella marca(uint8_t avvicinamento) { return {.avvicinamento = avvicinamento}; }

const cella occupata{.tipo_cella = punto_valore, .valore1 = 180};
const cella marcatore{.tipo_cella = marcatore_montagna, .tipo_montagna = 2};

TEST(Percorso, OperazioniDiPosa) {
  const cella inizio_2475{.tipo_cella = inizio_rallentamento, .valore1 = 60, .valore3 = 1};
  const cella fine_2475{.tipo_cella = fine_rallentamento, .valore1 = 60, .valore3 = 1};
  const cella avviso_2475{.tipo_cella = avviso_rallentamento, .valore1 = 60};
  const celle marche_10700{
      {213, 213, marca(31)}, {211, 211, marca(32)}, {209, 209, marca(33)}, {207, 207, marca(34)}};
  auto con_segnale = [&](cella c) {
    celle d = marche_10700;
    d.push_back({215, 215, c});
    return d;
  };

  const caso_posa casi[] = {
      // Signals.
      {"signal at 10700 m", {}, segnale_a(10700, 1, 0, 0), 0, con_segnale(segnale_atteso(1, 0, 0))},
      {"signal replaces a mountain marker",
       {{215, 215, marcatore}},
       segnale_a(10700, 1, 0, 0),
       0,
       con_segnale({.tipo_cella = segnale,
                    .valore1 = 15,
                    .valore2 = 26,
                    .valore3 = 37,
                    .valore4 = 43,
                    .tipo_montagna = 2})},
      {"signal on an occupied cell", {{215, 215, occupata}}, segnale_a(10700, 1, 0, 0), 16, {}},
      {"marks overwrite only the approach byte",
       {{213, 213, {.tipo_cella = inizio_rallentamento, .valore1 = 9, .avvicinamento = 81}}},
       segnale_a(10700, 2, 1, 0),
       0,
       {{215, 215, segnale_atteso(2, 1, 0)},
        {213, 213, {.tipo_cella = inizio_rallentamento, .valore1 = 9, .avvicinamento = 71}},
        {211, 211, marca(72)},
        {209, 209, marca(73)},
        {207, 207, marca(74)}}},
      {"tempo 50 with sx 2 is raised to 101",
       {},
       segnale_a(10700, 2, 0, 50),
       0,
       {{215, 215, segnale_atteso(2, 0, 101)},
        {213, 213, marca(61)},
        {211, 211, marca(62)},
        {209, 209, marca(63)},
        {207, 207, marca(64)}}},
      {"values keep their low 16 bits",
       {},
       [](stato& s) {
         return memo_segnale(s, {10700, 1, 4000, -4000, 0, 0, 0, 7, 0, 0, 0});
       },
       0,
       con_segnale({.tipo_cella = segnale, .valore1 = -25529, .valore2 = 25536, .valore4 = 3})},
      {"signal at 350 m marks down to cell 0",
       {},
       segnale_a(350, 0, 1, 0),
       0,
       {{8, 8, segnale_atteso(0, 1, 0)},
        {6, 6, marca(11)},
        {4, 4, marca(12)},
        {2, 2, marca(13)},
        {0, 0, marca(14)}}},
      {"signal at 300 m would mark below cell 0", {}, segnale_a(300, 1, 0, 0), 26, {}},
      {"signal past the last cell", {}, segnale_a(103000, 1, 0, 0), 26, {}},
      {"the bounds come before the occupied cell",
       {{7, 7, occupata}},
       segnale_a(300, 1, 0, 0),
       26,
       {}},

      // Slowdowns.
      {"slowdown at 1500 m: no warning, no approach",
       {},
       rallentamento(1500, 30, 500, 2, 1, 0),
       0,
       {{31, 31, {.tipo_cella = inizio_rallentamento, .valore1 = 30, .valore3 = 2}},
        {41, 41, {.tipo_cella = fine_rallentamento, .valore1 = 30, .valore3 = 2}}}},
      {"slowdown at 1550 m warns at cell 8",
       {},
       rallentamento(1550, 30, 500, 2, 0, 5),
       0,
       {{32, 32, {.tipo_cella = inizio_rallentamento, .valore1 = 30, .valore2 = 5, .valore3 = 2}},
        {42, 42, {.tipo_cella = fine_rallentamento, .valore1 = 30, .valore2 = 5, .valore3 = 2}},
        {8, 8, {.tipo_cella = avviso_rallentamento, .valore1 = 30, .valore2 = 5}}}},
      {"slowdown at 2475 m with approach cells",
       {},
       rallentamento(2475, 60, 1000, 1, 1, 0),
       0,
       {{50, 50, inizio_2475},
        {70, 70, fine_2475},
        {26, 26, avviso_2475},
        {25, 25, {.tipo_cella = approccio_rallentamento, .valore1 = 1}},
        {24, 24, {.tipo_cella = approccio_rallentamento, .valore1 = 2}},
        {23, 23, {.tipo_cella = approccio_rallentamento, .valore1 = 3}},
        {22, 22, {.tipo_cella = approccio_rallentamento, .valore1 = 4}}}},
      {"approach cells carry d_v's count too",
       {},
       rallentamento(2475, 60, 1000, 1, 1, 9),
       0,
       {{50, 50, {.tipo_cella = inizio_rallentamento, .valore1 = 60, .valore2 = 9, .valore3 = 1}},
        {70, 70, {.tipo_cella = fine_rallentamento, .valore1 = 60, .valore2 = 9, .valore3 = 1}},
        {26, 26, {.tipo_cella = avviso_rallentamento, .valore1 = 60, .valore2 = 9}},
        {25, 25, {.tipo_cella = approccio_rallentamento, .valore1 = 1, .valore2 = 1}},
        {24, 24, {.tipo_cella = approccio_rallentamento, .valore1 = 2, .valore2 = 2}},
        {23, 23, {.tipo_cella = approccio_rallentamento, .valore1 = 3, .valore2 = 3}},
        {22, 22, {.tipo_cella = approccio_rallentamento, .valore1 = 4, .valore2 = 4}}}},
      {"start and end in one cell: type 3",
       {},
       rallentamento(1000, 30, 10, 2, 0, 0),
       0,
       {{21, 21, {.tipo_cella = inizio_rallentamento, .valore1 = 30, .valore3 = 2}}}},
      {"mountain markers do not block a slowdown",
       {{26, 26, marcatore}, {50, 50, marcatore}, {23, 23, marcatore}},
       rallentamento(2475, 60, 1000, 1, 1, 0),
       0,
       {{50,
         50,
         {.tipo_cella = inizio_rallentamento, .valore1 = 60, .valore3 = 1, .tipo_montagna = 2}},
        {70, 70, fine_2475},
        {26, 26, {.tipo_cella = avviso_rallentamento, .valore1 = 60, .tipo_montagna = 2}},
        {25, 25, {.tipo_cella = approccio_rallentamento, .valore1 = 1}},
        {24, 24, {.tipo_cella = approccio_rallentamento, .valore1 = 2}},
        {23, 23, {.tipo_cella = approccio_rallentamento, .valore1 = 3, .tipo_montagna = 2}},
        {22, 22, {.tipo_cella = approccio_rallentamento, .valore1 = 4}}}},
      {"warning cell occupied",
       {{26, 26, occupata}},
       rallentamento(2475, 60, 1000, 1, 1, 0),
       17,
       {}},
      {"warning is tested before the start",
       {{26, 26, occupata}, {50, 50, occupata}},
       rallentamento(2475, 60, 1000, 1, 1, 0),
       17,
       {}},
      {"start cell occupied",
       {{50, 50, occupata}, {70, 70, occupata}},
       rallentamento(2475, 60, 1000, 1, 1, 0),
       18,
       {}},
      {"end cell occupied", {{70, 70, occupata}}, rallentamento(2475, 60, 1000, 1, 1, 0), 19, {}},
      {"approach cell occupied keeps start, end and warning",
       {{23, 23, occupata}},
       rallentamento(2475, 60, 1000, 1, 1, 0),
       20,
       {{50, 50, inizio_2475}, {70, 70, fine_2475}, {26, 26, avviso_2475}}},
      {"approach cells are not tested without f_ta",
       {{23, 23, occupata}},
       rallentamento(2475, 60, 1000, 1, 0, 0),
       0,
       {{50, 50, inizio_2475}, {70, 70, fine_2475}, {26, 26, avviso_2475}}},
      {"end cell past the grid", {}, rallentamento(102000, 30, 2000, 0, 0, 0), 26, {}},
      {"negative length ending below cell 0", {}, rallentamento(1000, 30, -2000, 0, 0, 0), 26, {}},
      {"the bounds come before the occupied warning cell",
       {{1997, 1997, occupata}},
       rallentamento(101000, 30, 2000, 0, 0, 0),
       26,
       {}},

      // Speed-indicator boards.
      {"board 80/0 and 80/60",
       {},
       indicatore(1000, 80, 80, 0, 0, 60, 0),
       0,
       {{21,
         21,
         {.tipo_cella = indicatore_velocita, .valore1 = 1600, .valore2 = 1612, .valore4 = 23}}}},
      {"board values are rounded",
       {},
       indicatore(1000, 1, -1, 0, 12, -3, 13),
       0,
       {{21,
         21,
         {.tipo_cella = indicatore_velocita,
          .valore1 = 22,
          .valore2 = -21,
          .valore3 = 3,
          .valore4 = 23}}}},
      {"board at the 16-bit limits",
       {},
       indicatore(1000, 1638, -1638, 0, 35, -40, 0),
       0,
       {{21,
         21,
         {.tipo_cella = indicatore_velocita, .valore1 = 32767, .valore2 = -32768, .valore4 = 23}}}},
      {"board on a mountain marker",
       {{21, 21, marcatore}},
       indicatore(1000, 80, 0, 0, 0, 0, 0),
       0,
       {{21,
         21,
         {.tipo_cella = indicatore_velocita, .valore1 = 1600, .valore4 = 23, .tipo_montagna = 2}}}},
      {"board on an occupied cell",
       {{21, 21, occupata}},
       indicatore(1000, 80, 0, 0, 0, 0, 0),
       21,
       {}},
      {"first board value overflows",
       {},
       indicatore(1000, 1639, 80, 80, 0, 0, 0),
       0,
       {{21, 21, {.tipo_cella = indicatore_velocita}}},
       false},
      {"second board value overflows below",
       {},
       indicatore(1000, 80, -1638, 80, 0, -45, 0),
       0,
       {{21, 21, {.tipo_cella = indicatore_velocita, .valore1 = 1600}}},
       false},
      {"third board value's product overflows",
       {},
       indicatore(1000, 80, 80, 200000000, 0, 0, 0),
       0,
       {{21, 21, {.tipo_cella = indicatore_velocita, .valore1 = 1600, .valore2 = 1600}}},
       false},
      {"board before cell 0", {}, indicatore(-100, 80, 0, 0, 0, 0, 0), 26, {}},

      // The register is never reset by an operation.
      {"an earlier code stays",
       {},
       indicatore(1000, 80, 0, 0, 0, 0, 0),
       15,
       {{21, 21, {.tipo_cella = indicatore_velocita, .valore1 = 1600, .valore4 = 23}}},
       true,
       15},
  };

  for (const caso_posa& c : casi) {
    stato s = griglia_prova(c.prima);
    s.codice_errore = c.codice_prima;
    const esito_piazzamento e = c.chiamata(s);
    EXPECT_EQ(!e.traboccato, c.riuscita) << c.nome;
    EXPECT_EQ(s.codice_errore, c.codice) << c.nome;
    // The outcome carries the code it recorded (none when an earlier one stays).
    EXPECT_EQ(e.codice, c.codice == c.codice_prima ? 0 : c.codice) << c.nome;
    confronta(c.nome, s, c.prima, c.dopo);
    // Its cells are exactly those the call gave an object type.
    const stato prima = griglia_prova(c.prima);
    std::set<int32_t> attese;
    for (const tratto_celle& t : c.dopo) {
      for (int64_t k = t.da; k <= t.a; ++k) {
        if (t.c.tipo_cella != prima.percorso[static_cast<size_t>(k)].tipo_cella) {
          attese.insert(static_cast<int32_t>(k));
        }
      }
    }
    const std::set<int32_t> date(e.oggetti().begin(), e.oggetti().end());
    EXPECT_EQ(date, attese) << c.nome;
  }
}

TEST(Percorso, TempoDelSegnale) {
  struct caso {
    int32_t sx, tempo;
    uint8_t tempo_segnale;
  };
  const caso casi[] = {{2, 50, 101},  {2, 1, 101}, {2, 100, 101}, {2, 101, 101},
                       {2, 230, 230}, {2, 0, 0},   {2, -5, 251},  {2, 300, 44},
                       {1, 50, 0},    {1, 230, 0}, {0, 50, 0}};
  for (const caso& c : casi) {
    stato s = griglia_prova({});
    memo_segnale(s, {.posizione = 10700, .sx = c.sx, .tempo = c.tempo});
    EXPECT_EQ(int{s.percorso[215].tempo_segnale}, int{c.tempo_segnale})
        << "sx " << c.sx << ", tempo " << c.tempo;
  }
}

TEST(Percorso, SenzaGrigliaNullaEPosato) {
  const std::function<void(stato&)> chiamate[] = {
      [](stato& s) {
        memo_segnale(s, {10700, 1});
      },
      [](stato& s) {
        memo_rallentamento(s, {2475, 60, 1000, 1, 1, 0});
      },
      [](stato& s) {
        memo_indicatori_v_max(s, {1000, 80});
      },
      [](stato& s) {
        memo_montagna(s, {2450, 2600, 2});
      },
  };
  int n = 0;
  for (const auto& chiamata : chiamate) {
    stato s;
    chiamata(s);
    EXPECT_EQ(s.codice_errore, errori::fuori_griglia) << "call " << n;
    EXPECT_TRUE(s.percorso.empty()) << "call " << n;
    EXPECT_EQ(s.numero_montagne, 0) << "call " << n;
    ++n;
  }
}

struct tratto_montagna {
  int32_t inizio;
  int32_t fine;
  int32_t tipo;
};

cella montagna(uint8_t tipo) { return {.tipo_montagna = tipo}; }
cella montagna_marcata(uint8_t tipo) {
  return {.tipo_cella = marcatore_montagna, .tipo_montagna = tipo};
}

TEST(Percorso, MemoMontagna) {
  struct caso {
    std::string nome;
    celle prima;
    std::vector<tratto_montagna> tratti;
    int32_t codice;
    int32_t numero;  // numero_montagne after the spans
    celle dopo;
  };
  const caso casi[] = {
      {"two spans 50 m apart",
       {},
       {{2450, 2600, 12}, {2650, 3000, 11}},
       0,
       2,
       {{49, 51, montagna(2)}, {53, 59, montagna(3)}, {56, 56, montagna_marcata(3)}}},
      {"a marker only on an empty cell",
       {{56, 56, occupata}},
       {{2450, 2600, 12}, {2650, 3000, 11}},
       0,
       2,
       {{49, 51, montagna(2)},
        {53, 59, montagna(3)},
        {56, 56, {.tipo_cella = punto_valore, .valore1 = 180, .tipo_montagna = 3}}}},
      {"a marker every fourth cell",
       {},
       {{1000, 1900, 11}},
       0,
       1,
       {{20, 37, montagna(1)},
        {23, 23, montagna_marcata(1)},
        {27, 27, montagna_marcata(1)},
        {31, 31, montagna_marcata(1)},
        {35, 35, montagna_marcata(1)}}},
      {"type 10 sets no marker", {}, {{1000, 1400, 10}}, 0, 1, {{20, 27, montagna(10)}}},
      {"151 m after the previous span keeps its type",
       {},
       {{1000, 1200, 1}, {1351, 1500, 2}},
       0,
       2,
       {{20, 23, montagna(1)}, {27, 29, montagna(2)}}},
      {"an overlapping span is of type 3 and overwrites",
       {},
       {{1000, 1500, 1}, {1200, 1800, 2}},
       0,
       2,
       {{20, 23, montagna(1)}, {24, 35, montagna(3)}}},
      {"an empty span writes nothing but counts for the 150 m rule",
       {},
       {{20000, 21000, 1}, {26850, 26850, 1}, {27000, 27100, 1}},
       0,
       3,
       {{400, 419, montagna(1)}, {540, 541, montagna(3)}}},
      {"the type keeps its low 8 bits", {}, {{1000, 1100, 270}}, 0, 1, {{20, 21, montagna(4)}}},
      {"a span starting before the grid", {}, {{-100, 500, 1}}, 26, 0, {}},
      {"a span ending past the grid", {}, {{102000, 104000, 1}}, 26, 0, {}},
  };
  for (const caso& c : casi) {
    stato s = griglia_prova(c.prima);
    for (const tratto_montagna& t : c.tratti)
      EXPECT_EQ(memo_montagna(s, {t.inizio, t.fine, t.tipo}).codice, s.codice_errore);
    EXPECT_EQ(s.codice_errore, c.codice) << c.nome;
    EXPECT_EQ(s.numero_montagne, c.numero) << c.nome;
    for (int32_t n = 1; n <= s.numero_montagne && n <= static_cast<int32_t>(c.tratti.size()); ++n) {
      EXPECT_EQ(s.inizio_montagna[static_cast<size_t>(n)], c.tratti[n - 1].inizio) << c.nome;
      EXPECT_EQ(s.fine_montagna[static_cast<size_t>(n)], c.tratti[n - 1].fine) << c.nome;
    }
    confronta(c.nome, s, c.prima, c.dopo);
  }
}

TEST(Percorso, OttantunesimaMontagnaRifiutata) {
  stato s = griglia_prova({});
  for (int32_t n = 0; n < massimo_montagne; ++n) memo_montagna(s, {1000 * n, 1000 * n, 1});
  ASSERT_EQ(s.codice_errore, 0);
  ASSERT_EQ(s.numero_montagne, 80);
  EXPECT_EQ(memo_montagna(s, {90000, 91000, 1}).codice, errori::troppe_montagne);
  EXPECT_EQ(s.codice_errore, errori::troppe_montagne);
  EXPECT_EQ(s.numero_montagne, 80);
  EXPECT_EQ(s.inizio_montagna[80], 79000);
  confronta("81st span", s, {}, {});
}

TEST(Percorso, Minimo) {
  struct caso {
    int32_t x, y, atteso;
  };
  const caso casi[] = {{180, 60, 60}, {180, 180, 180}, {60, 180, 60}, {-1, -2, -2}};
  for (const caso& c : casi) {
    EXPECT_EQ(minimo(c.x, c.y), c.atteso) << "minimo(" << c.x << ", " << c.y << ")";
  }
}

}  // namespace
}  // namespace scenario
