// The scenario codes of known identifiers and the ordering of the three
// kilometric origins in each of its cases.
#include "compiler/codici.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace scenario {
namespace {

TEST(Codici, CodiciDiGara) {
  // Expected sums worked out by hand from the 25 counted characters.
  struct caso {
    std::string nome;
    std::string treno;
    std::string linea;
    int32_t og;
    int32_t st;
  };
  const caso casi[] = {
      // "t1ab" + "ppqqrrssttuuvvwwxxyyz"
      {"T1 on Ab", "T1", "Ab", 2812, 38062},
      {"case does not count", "t1", "aB", 2812, 38062},
      // "ppqqrrssttuuvvwwxxyyzzjjk"
      {"empty identifiers", "", "", 2893, 37698},
      // "abcdefghijklmnopqrstuvwxy": the filler and the 26th letter on do not count
      {"long identifiers", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "x", 2725, 36725},
      {"long identifiers, other tail", "abcdefghijklmnopqrstuvwxyZZZ", "", 2725, 36725},
      // bytes 200, 233, 't' then the filler: only A-Z are lowered
      {"non-ASCII bytes count as unsigned", "\xC8", "\xE9T", 3123, 38777},
      {"the largest codes", std::string(20, '\xFF'), std::string(5, '\xFF'), 6375, 82875},
  };
  for (const caso& c : casi) {
    tabella t{};
    t[riga_servizio].nome = c.treno;
    t[riga_linea].nome = c.linea;
    EXPECT_EQ(codice_gara_st(t), c.st) << c.nome;
    EXPECT_EQ(codice_gara_og(t), c.og) << c.nome;
  }
}

TEST(Codici, LaChiave) {
  tabella t{};
  t[riga_servizio].nome = "T1";
  t[riga_linea].nome = "Ab";
  EXPECT_EQ(chiave_codici(t), "t1abppqqrrssttuuvvwwxxyyzzjjkk");
  // The identifiers themselves are left as they were.
  EXPECT_EQ(t[riga_servizio].nome, "T1");
}

struct origine {
  int32_t inizio, fine, posizione;
  bool operator==(const origine&) const = default;
};

TEST(Codici, ProgressiveOrdina) {
  struct caso {
    std::string nome;
    std::array<origine, 3> prima;  // rows 81, 82, 83
    std::array<origine, 3> dopo;
    bool esito = true;
  };
  const caso casi[] = {
      {"built-in line source",
       {{{87900, 95900, 1}, {14700, 99500, 1}, {0, 0, 0}}},
       {{{87900, 96000, 1}, {14700, 99600, 1}, {0, 0, 0}}}},
      {"read in ascending order",
       {{{0, 0, 0}, {5000, 1000, 0}, {9000, 2000, 1}}},
       {{{9000, 2100, 1}, {5000, 1000, 0}, {0, 0, 0}}}},
      {"largest in the middle",
       {{{100, 1, 0}, {300, 2, 0}, {200, 3, 0}}},
       {{{300, 2, 0}, {200, 3, 0}, {100, 1, 0}}}},
      {"lower two equal: row 83 before row 82",
       {{{500, 1, 0}, {100, 2, 0}, {100, 3, 0}}},
       {{{500, 1, 0}, {100, 3, 0}, {100, 2, 0}}}},
      {"lower two equal: row 82 before row 81",
       {{{100, 1, 0}, {100, 2, 0}, {500, 3, 0}}},
       {{{500, 3, 0}, {100, 2, 0}, {100, 1, 0}}}},
      {"a negative position still orders",
       {{{-100, 1, 0}, {50, 2, 0}, {0, 3, 0}}},
       {{{50, 2, 0}, {0, 3, 0}, {-100, 1, 0}}}},
      {"largest two equal: higher row first",
       {{{900, 1, 0}, {900, 2, 1}, {100, 3, 0}}},
       {{{900, 102, 1}, {900, 1, 0}, {100, 3, 0}}}},
      {"largest two equal below zero sum",
       {{{-100, 1, 0}, {0, 2, 0}, {0, 3, 0}}},
       {{{0, 3, 0}, {0, 2, 0}, {-100, 1, 0}}}},
      {"all three equal",
       {{{50, 1, 0}, {50, 2, 0}, {50, 3, 0}}},
       {{{50, 3, 0}, {50, 2, 0}, {50, 1, 0}}}},
      {"zero sum, row 83 positive",
       {{{0, 10, 0}, {0, 20, 0}, {0, 30, 1}}},
       {{{0, 130, 1}, {0, 20, 0}, {0, 10, 0}}}},
      {"zero sum, row 82 positive",
       {{{0, 10, 1}, {0, 20, 0}, {0, 0, 0}}},
       {{{0, 20, 0}, {0, 110, 1}, {0, 0, 0}}}},
      {"zero sum from opposite positions goes by value",
       {{{100, 0, 0}, {-100, 5, 1}, {0, 0, 0}}},
       {{{-100, 105, 1}, {100, 0, 0}, {0, 0, 0}}}},
      {"zero sum, only row 81 positive",
       {{{0, 10, 1}, {0, -5, 1}, {0, 0, 0}}},
       {{{0, 110, 1}, {0, 95, 1}, {0, 0, 0}}}},
      {"zero sum, nothing positive: all cleared, flags lost",
       {{{0, -10, 1}, {0, 0, 1}, {0, 0, 2}}},
       {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
      {"a flag other than 1 adds nothing",
       {{{300, 1000, 2}, {200, 1000, -1}, {100, 1000, 1}}},
       {{{300, 1000, 2}, {200, 1000, -1}, {100, 1100, 1}}}},
      {"a flagged value at the 32-bit limit",
       {{{300, 1000, 1}, {200, 2147483600, 1}, {100, 0, 0}}},
       {{{300, 1100, 1}, {200, 2147483600, 1}, {100, 0, 0}}},
       false},
      // The positions add up left to right in 32 bits, like every sum of the parser.
      {"sum of the positions past the 32-bit range: nothing moves",
       {{{1999999950, 95900, 0}, {2000000000, 99500, 1}, {0, 0, 0}}},
       {{{1999999950, 95900, 0}, {2000000000, 99500, 1}, {0, 0, 0}}},
       false},
      {"a partial sum past the range fails though the total would fit",
       {{{2000000000, 1, 0}, {2000000000, 2, 0}, {-2000000000, 3, 0}}},
       {{{2000000000, 1, 0}, {2000000000, 2, 0}, {-2000000000, 3, 0}}},
       false},
      {"a sum at the 32-bit limit orders",
       {{{2147483547, 1, 0}, {100, 2, 0}, {0, 3, 0}}},
       {{{2147483547, 1, 0}, {100, 2, 0}, {0, 3, 0}}}},
  };
  for (const caso& c : casi) {
    tabella t{};
    for (size_t i = 0; i < 3; ++i) {
      voce_scenario& r = t[riga_progressiva_tre + i];
      r.inizio = c.prima[i].inizio;
      r.fine = c.prima[i].fine;
      r.posizione = c.prima[i].posizione;
      r.nome = "riga " + std::to_string(riga_progressiva_tre + i);
    }
    EXPECT_EQ(progressive_ordina(t), c.esito) << c.nome;
    for (size_t i = 0; i < 3; ++i) {
      const voce_scenario& r = t[riga_progressiva_tre + i];
      const origine o{r.inizio, r.fine, r.posizione};
      EXPECT_EQ(o, c.dopo[i]) << c.nome << ": row " << riga_progressiva_tre + i << " is ("
                              << o.inizio << ", " << o.fine << ", " << o.posizione << ")";
      // Only the triple moves; the rest of each row stays with its row.
      EXPECT_EQ(r.nome, "riga " + std::to_string(riga_progressiva_tre + i)) << c.nome;
    }
  }
}

}  // namespace
}  // namespace scenario
