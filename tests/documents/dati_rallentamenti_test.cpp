// The slow-order form: the file it writes, its fixed lines and legend, the
// geometry of its table, and its agreement with the slowdown and station rows
// of the built-in train-run source: order, speeds, lengths, prescription, the
// stations around each start and the kilometre post in the card's reckoning.
#include "documents/dati_rallentamenti.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

constexpr size_t righe_modulo_attese = 41;
constexpr size_t prima_del_corpo = 13;
constexpr size_t ultima_del_corpo = 33;
constexpr size_t righe_dei_rallentamenti[] = {14, 16, 18, 20, 22};
constexpr std::string_view riga_vuota =
    " |   |                            |            |          |         |            |";

// ---- The written lines ------------------------------------------------------

std::vector<std::string> modulo() { return righe_del_file(componi_testo(righe_rallentamenti())); }

std::string senza_spazi_ai_lati(std::string_view s) {
  const size_t primo = s.find_first_not_of(' ');
  if (primo == std::string_view::npos) return "";
  return std::string(s.substr(primo, s.find_last_not_of(' ') - primo + 1));
}

// Digits only, and at least one: the value; otherwise nothing.
std::optional<int> numero(std::string_view s) {
  if (s.empty() || s.size() > 6) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// A restriction row read back through the layout of its cells; a cell that
// breaks its layout leaves its field empty.
struct riga_modulo {
  std::optional<int> numero;
  std::string prima, seconda;  // the stations around the start
  std::optional<int> cippo;
  std::optional<int> velocita;
  std::optional<int> lunghezza;
  std::string prescrizione;
};

riga_modulo leggi_riga(std::string_view riga) {
  riga_modulo r;
  const auto c = celle(riga);
  if (c.size() != 6) return r;
  if (c[0][0] == ' ' && c[0][2] == ' ') r.numero = numero(c[0].substr(1, 1));
  const size_t trattino = c[1].find(" - ");
  if (c[1][0] == ' ' && c[1][1] != ' ' && trattino != std::string::npos) {
    r.prima = c[1].substr(1, trattino - 1);
    r.seconda = senza_spazi_ai_lati(c[1].substr(trattino + 3));
  }
  if (c[2].starts_with("     ") && c[2][5] != ' ') r.cippo = numero(senza_spazi_ai_lati(c[2]));
  if (c[3].starts_with("    ") && c[3].ends_with("    ")) r.velocita = numero(c[3].substr(4, 2));
  if (c[4].ends_with("   ") && c[4][5] != ' ') r.lunghezza = numero(senza_spazi_ai_lati(c[4]));
  if (c[5].starts_with("   ") && c[5][3] != ' ') r.prescrizione = senza_spazi_ai_lati(c[5]);
  return r;
}

std::vector<riga_modulo> rallentamenti_del_modulo() {
  const auto righe = modulo();
  std::vector<riga_modulo> r;
  if (righe.size() != righe_modulo_attese) return r;
  for (size_t n : righe_dei_rallentamenti) r.push_back(leggi_riga(righe[n - 1]));
  return r;
}

// ---- The sources, read back with the field reader ---------------------------

struct stazione {
  int posizione;
  std::string nome;
};

std::vector<stazione> stazioni() {
  std::vector<stazione> s;
  for (const auto& r : righe_sorgente(righe_treno(), "stazione", 16, true))
    s.push_back({r.numeri[0], r.testo});
  return s;
}

struct rallentamento {
  int x, v, l, f_tt;
};

std::vector<rallentamento> rallentamenti() {
  std::vector<rallentamento> r;
  for (const auto& s : righe_sorgente(righe_treno(), "rallentamento", 6, false))
    r.push_back({s.numeri[0], s.numeri[1], s.numeri[2], s.numeri[3]});
  return r;
}

// The train card's kilometric reckoning.
int cippo_prima_di(int posizione) { return progressiva_predefinita().cippo_prima_di(posizione); }

// A station as the form writes it: any case, the card's spacing folded away,
// and a name cut short with a final dot matching the names it begins.
bool stessa_stazione(std::string_view nel_modulo, std::string_view nella_sorgente) {
  auto piega = [](std::string_view nome) {
    std::string s = maiuscolo(nome);
    for (auto [da, a] : {std::pair<std::string_view, std::string_view>{" - ", "-"}, {". ", "."}}) {
      for (size_t i = s.find(da); i != std::string::npos; i = s.find(da, i))
        s.replace(i, da.size(), a);
    }
    return s;
  };
  std::string m = piega(nel_modulo);
  const std::string s = piega(nella_sorgente);
  if (!m.ends_with('.') || m == s) return m == s;
  m.pop_back();
  return s.starts_with(m);
}

bool minuscole(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return std::islower(static_cast<unsigned char>(c)); });
}

// ---- The file and its fixed lines -------------------------------------------

TEST(ModuloRallentamenti, ScrittoNelFileDelTreno) {
  EXPECT_EQ(documento_scritto(dati_rallentamenti, "Brossalenta_Morla_iR31457_rallentamenti.txt",
                              righe_rallentamenti())
                .size(),
            righe_modulo_attese);
}

// The heading, the first restriction and the legend in its order A, B, D, C.
TEST(ModuloRallentamenti, RigheFisse) {
  const struct {
    size_t numero;
    std::string_view testo;
  } attese[] = {
      {1, ""},
      {2, "                               Modulo M. 3"},
      {3, "                           ORDINE DI RALLENTAMENTO"},
      {4, " ________________________________________________________________________________"},
      {5, "  Linea  Brossalenta - Morla"},
      {6, ""},
      {7, "  Si ordina al macchinista del treno 31457 di effettuare i seguenti rallentamenti"},
      {8, "  _______________________________________________________________________________"},
      {9, " |   |                            |Inizio dopo |          |         |            |"},
      {10, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {11, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {12, " |___|____________________________|____________|__________|_________|____________|"},
      {14, " | 1 | Talmes - Ulmide            |     7      |    30    |    50   |   ---      |"},
      {34, " |___|____________________________|____________|__________|_________|____________|"},
      {35, ""},
      {36, "              Prescrizioni specifiche"},
      {37, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
      {38, " B - Interessa anche la stazione di......."},
      {39, " D - Rallentamento N. ... e N. ...  sono contigui"},
      {40, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
      {41, "     i giorni esclusi i seguenti:........."},
  };
  const auto righe = modulo();
  ASSERT_EQ(righe.size(), righe_modulo_attese);
  for (const auto& a : attese) EXPECT_EQ(righe[a.numero - 1], a.testo) << "riga " << a.numero;
}

TEST(ModuloRallentamenti, GeometriaDellaTabella) {
  const std::vector<size_t> barre = {2, 6, 35, 48, 59, 69, 82};
  const auto righe = modulo();
  ASSERT_EQ(righe.size(), righe_modulo_attese);
  for (size_t n = 9; n <= 34; ++n) {
    EXPECT_EQ(righe[n - 1].size(), 82u) << "riga " << n;
    EXPECT_EQ(colonne_delle_barre(righe[n - 1]), barre) << "riga " << n;
  }
}

// Restriction rows on 14 to 22, numbered in order and laid out cell by cell;
// every other body line, sixteen in all, is the empty row.
TEST(ModuloRallentamenti, CorpoDellaTabella) {
  const auto righe = modulo();
  ASSERT_EQ(righe.size(), righe_modulo_attese);
  int vuote = 0;
  for (size_t n = prima_del_corpo; n <= ultima_del_corpo; ++n) {
    const auto* it =
        std::find(std::begin(righe_dei_rallentamenti), std::end(righe_dei_rallentamenti), n);
    if (it == std::end(righe_dei_rallentamenti)) {
      EXPECT_EQ(righe[n - 1], riga_vuota) << "riga " << n;
      ++vuote;
      continue;
    }
    const riga_modulo r = leggi_riga(righe[n - 1]);
    EXPECT_EQ(r.numero, static_cast<int>(it - std::begin(righe_dei_rallentamenti)) + 1)
        << "riga " << n;
    EXPECT_FALSE(r.prima.empty() || r.seconda.empty()) << "riga " << n;
    EXPECT_TRUE(r.cippo && *r.cippo < 100) << "riga " << n;
    EXPECT_TRUE(r.velocita && *r.velocita >= 10) << "riga " << n;
    EXPECT_TRUE(r.lunghezza.has_value()) << "riga " << n;
    EXPECT_TRUE(r.prescrizione == "---" || (r.prescrizione.size() == 1 &&
                                            r.prescrizione[0] >= 'A' && r.prescrizione[0] <= 'D'))
        << "riga " << n << ": '" << r.prescrizione << "'";
  }
  EXPECT_EQ(vuote, 16);
}

// ---- Agreement with the train-run source ------------------------------------

TEST(ModuloRallentamentiSorgente, VelocitaLunghezzeEPrescrizioni) {
  const auto sorgente = rallentamenti();
  const auto modulo_letto = rallentamenti_del_modulo();
  ASSERT_EQ(modulo_letto.size(), sorgente.size());
  for (size_t i = 0; i < sorgente.size(); ++i) {
    EXPECT_EQ(modulo_letto[i].velocita, sorgente[i].v) << "rallentamento " << i + 1;
    EXPECT_EQ(modulo_letto[i].lunghezza, sorgente[i].l) << "rallentamento " << i + 1;
    EXPECT_EQ(modulo_letto[i].prescrizione, sorgente[i].f_tt == 1 ? "A" : "---")
        << "rallentamento " << i + 1;
  }
}

TEST(ModuloRallentamentiSorgente, StazioniECippi) {
  const auto s = stazioni();
  const auto sorgente = rallentamenti();
  const auto modulo_letto = rallentamenti_del_modulo();
  ASSERT_EQ(modulo_letto.size(), sorgente.size());
  for (size_t i = 0; i < sorgente.size(); ++i) {
    const int x = sorgente[i].x;
    const auto dopo =
        std::find_if(s.begin(), s.end(), [x](const stazione& st) { return st.posizione > x; });
    ASSERT_TRUE(dopo != s.begin() && dopo != s.end())
        << "rallentamento " << i + 1 << " fuori dalle stazioni";
    const auto& r = modulo_letto[i];
    EXPECT_TRUE(stessa_stazione(r.prima, std::prev(dopo)->nome))
        << r.prima << " / " << std::prev(dopo)->nome;
    EXPECT_TRUE(stessa_stazione(r.seconda, dopo->nome)) << r.seconda << " / " << dopo->nome;
    EXPECT_TRUE(minuscole(r.prima) && minuscole(r.seconda)) << r.prima << " - " << r.seconda;
    EXPECT_EQ(r.cippo, cippo_prima_di(x)) << "rallentamento " << i + 1;
  }
}

// The name comparison must neither accept another station nor refuse the
// form's shortened spellings.
TEST(ModuloRallentamentiSorgente, ConfrontoDeiNomi) {
  const struct {
    std::string_view modulo, sorgente;
    bool uguali;
  } casi[] = {
      {"Talmes", "TALMES", true},
      {"Motta-Creste", "MOTTA-CRESTE", true},
      {"Motta - Creste", "MOTTA-CRESTE", true},
      {"S.Romolo A.", "S.ROMOLO ALTO", true},
      {"S. Romolo A.", "S.ROMOLO ALTO", true},
      {"S.Romolo", "S.ROMOLO ALTO", false},
      {"S.Remo A.", "S.ROMOLO ALTO", false},
      {"Talme", "TALMES", false},
      {"Celero", "CELERONE", false},
  };
  for (const auto& c : casi)
    EXPECT_EQ(stessa_stazione(c.modulo, c.sorgente), c.uguali) << c.modulo << " / " << c.sorgente;
}

}  // namespace
}  // namespace scenario
