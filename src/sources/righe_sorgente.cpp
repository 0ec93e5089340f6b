#include "sources/righe_sorgente.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sources/parole_chiave.h"

namespace scenario {

namespace {

std::string minuscole(std::string_view t) {
  std::string r(t);
  for (char& c : r) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return r;
}

std::string_view senza_spazi(std::string_view t) {
  const size_t a = t.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return t.substr(a, t.find_last_not_of(' ') - a + 1);
}

// Fields are compared cut short, so the cost stays small whatever the input.
constexpr size_t confrontati = 40;

// Edit distance counting a swap of two neighbours as one edit. Three rows of
// the table are all it needs: no allocation, though every unknown row is
// compared with every keyword of its section.
size_t distanza(std::string_view a, std::string_view b) {
  a = a.substr(0, confrontati);
  b = b.substr(0, confrontati);
  std::array<std::array<size_t, confrontati + 1>, 3> d;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    auto& riga = d[i % 3];
    const auto& sopra = d[(i - 1) % 3];
    riga[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t costo = a[i - 1] == b[j - 1] ? 0 : 1;
      riga[j] = std::min({sopra[j] + 1, riga[j - 1] + 1, sopra[j - 1] + costo});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        riga[j] = std::min(riga[j], d[(i - 2) % 3][j - 2] + 1);
      }
    }
  }
  return d[a.size() % 3][b.size()];
}

// Close enough to be a slip: two edits at most, and fewer than a third of the word.
bool vicina(std::string_view campo, std::string_view parola) {
  // An edit changes the length by one at most: no slip when it differs by more.
  const size_t c = std::min(campo.size(), confrontati);
  const size_t p = std::min(parola.size(), confrontati);
  if ((c > p ? c - p : p - c) > 2) return false;
  const size_t d = distanza(campo, parola);
  return d <= 2 && d * 3 < parola.size();
}

// `parola` in lower case is `minuscola`.
bool stessa_parola(std::string_view minuscola, std::string_view parola) {
  return std::equal(minuscola.begin(), minuscola.end(), parola.begin(), parola.end(),
                    [](char m, char c) { return m == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

}  // namespace

const tipo_riga& tipo_di(riga r) { return tipi_riga[static_cast<size_t>(r)]; }

bool riconosce(std::string_view campo, riga r) {
  const tipo_riga& t = tipo_di(r);
  for (const std::string_view p : t.parole) {
    if (p.empty()) continue;
    if (t.esatto ? !contiene_esatto(campo, p) : !contiene(campo, p)) return false;
  }
  return true;
}

bool riconosciuta(std::string_view campo, sezione_sorgente s) {
  return std::any_of(tipi_riga.begin(), tipi_riga.end(), [&](const tipo_riga& t) {
    return t.sezione == s && riconosce(campo, t.quale);
  });
}

std::string_view piu_vicina(std::string_view campo, sezione_sorgente s) {
  const std::string c = minuscole(senza_spazi(campo));
  std::string_view migliore;
  size_t minima = SIZE_MAX;
  for (const tipo_riga& t : tipi_riga) {
    if (t.sezione != s) continue;
    // A curve is compared without its side and class.
    std::string_view scritta = t.scritta;
    std::string_view confronto = c;
    if (t.quale == riga::curva) {
      scritta = "curva";
      confronto = std::string_view(c).substr(0, std::min<size_t>(c.size(), 5));
    }
    if (!vicina(confronto, scritta) && !stessa_parola(c, t.scritta)) continue;
    const size_t d = distanza(confronto, scritta);
    if (d < minima) {
      minima = d;
      migliore = t.scritta;
    }
  }
  return migliore;
}

std::string_view intestazione_piu_vicina(std::string_view campo, bool linea) {
  const std::string c = minuscole(senza_spazi(campo));
  const auto cerca = [&](const auto& elenco) -> std::string_view {
    for (const std::string_view i : elenco) {
      if (vicina(c, i)) return i;
    }
    return {};
  };
  return linea ? cerca(intestazioni_linea) : cerca(intestazioni_treno);
}

}  // namespace scenario
