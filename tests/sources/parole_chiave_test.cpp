// Keyword, comment and section-header tests on keyword fields.
#include "sources/parole_chiave.h"

#include <gtest/gtest.h>

#include <string_view>

namespace scenario {
namespace {

struct caso_parola {
  std::string_view campo;
  std::string_view parola;
  bool contiene;  // ignoring case
  bool esatto;    // exact case
};

TEST(ParoleChiave, Contiene) {
  const caso_parola tabella[] = {
      {"lunghezza percorso", "percorso", true, true},
      {"LUNGHEZZA PERCORSO", "percorso", true, false},
      {"Pendenza", "pendenza", true, false},
      {"progressiva chilometrica uno", "progressiva", true, true},
      {"Progressiva chilometrica uno", "progressiva", true, false},
      {"sfondo UNO", "uno", true, false},
      {"ripetizione segnali 4 codici", "segnali", true, true},
      {"CURVAD5", "curva", true, false},
      {"indicatori_vmax", "indicatori_v", true, true},
      {"cartello_indicatore", "indicat", true, true},
      {"VELOCIT\xC0", "velocit", true, false},
      {"stazione", "stazioni", false, false},
      {"curv a", "curva", false, false},
      {"", "curva", false, false},
      // Only ASCII letters have a case: accented bytes are compared as they stand.
      {"\xC9", "\xE9", false, false},
  };
  for (const auto& c : tabella) {
    EXPECT_EQ(contiene(c.campo, c.parola), c.contiene) << c.campo << " / " << c.parola;
    EXPECT_EQ(contiene_esatto(c.campo, c.parola), c.esatto) << c.campo << " / " << c.parola;
  }
}

TEST(ParoleChiave, Commento) {
  const std::pair<std::string_view, bool> tabella[] = {
      {"- Altitudine iniziale Brossalenta = 9 m.", true},
      {"  -", true},
      {"nota a-b", true},
      {"indicatori_vmax", false},
      {"cartello_indicatore", false},
      {"", false},
  };
  for (const auto& [campo, atteso] : tabella) EXPECT_EQ(e_commento(campo), atteso) << campo;
}

TEST(ParoleChiave, Intestazione) {
  const std::pair<std::string_view, bool> tabella[] = {
      {"[generale]", true},
      {"   [curve]", true},
      {"x[y]z", true},
      {"]fine[", true},
      {"[curve] - note", true},
      {"-[curve]", false},
      {"  - [curve]", false},
      // Only spaces are skipped: a tab is the first character.
      {"\t-[curve]", true},
      {"[curve", false},
      {"curve]", false},
      {"", false},
  };
  for (const auto& [campo, atteso] : tabella) EXPECT_EQ(e_intestazione(campo), atteso) << campo;
}

}  // namespace
}  // namespace scenario
