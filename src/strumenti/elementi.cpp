#include "strumenti/elementi.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "compiler/misure_griglia.h"
#include "sources/parole_chiave.h"

namespace scenario {

namespace {

constexpr double metri = metri_cella;
constexpr double margine = margine_griglia;

// A placed object's position from its cell.
double posizione_oggetto(size_t c) {
  return static_cast<double>(metri_oggetto(static_cast<int64_t>(c)));
}

double lunghezza_di(const scenario_compilato& s) {
  const double massimo = metri * static_cast<double>(s.griglia.empty() ? 0 : s.griglia.size() - 1);
  const double l = s.righe[riga_treno].fine;
  if (l > 0 && l <= massimo) return l;
  // A header that does not fit the grid: the grid less its spare cells.
  return massimo > margine ? massimo - margine : std::max(massimo, metri);
}

std::string senza_spazi_ai_lati(std::string_view t) {
  const size_t a = t.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(t.substr(a, t.find_last_not_of(' ') - a + 1));
}

// The bracketed groups of a sign text: "(Galleria)( VELMO  )(1186 m. )".
std::vector<std::string> gruppi(std::string_view testo) {
  std::vector<std::string> g;
  for (size_t i = testo.find('('); i != std::string_view::npos; i = testo.find('(', i)) {
    const size_t chiusa = testo.find(')', i + 1);
    if (chiusa == std::string_view::npos) break;
    g.push_back(senza_spazi_ai_lati(testo.substr(i + 1, chiusa - i - 1)));
    i = chiusa + 1;
  }
  return g;
}

// "1186 m." gives 1186; a group that is no length gives none.
std::optional<double> lunghezza_in(std::string_view g) {
  size_t i = 0;
  double n = 0;
  while (i < g.size() && i < 9 && g[i] >= '0' && g[i] <= '9') n = n * 10 + (g[i++] - '0');
  if (i == 0) return std::nullopt;
  while (i < g.size() && g[i] == ' ') ++i;
  if (i < g.size() && g[i] == 'm') return n;
  return std::nullopt;
}

struct cartello_galleria {
  double posizione = 0;
  std::string nome;
  std::optional<double> lunghezza;
};

// What a sign's text says of a tunnel: nothing (not a tunnel sign), or its
// name and length.
std::optional<cartello_galleria> leggi_cartello(const std::string& testo) {
  if (!contiene(testo, "gall")) return std::nullopt;
  cartello_galleria g{0, {}, std::nullopt};
  for (const std::string& gruppo : gruppi(testo)) {
    if (const auto l = lunghezza_in(gruppo)) {
      g.lunghezza = l;
    } else if (!contiene(gruppo, "gall") && g.nome.empty()) {
      g.nome = gruppo;
    }
  }
  if (g.nome.size() > nome_galleria_massimo)
    g.nome = g.nome.substr(0, nome_galleria_massimo - 1) + '\x85';
  return g;
}

// Each table row's text is read once, however many cells show it.
std::vector<cartello_galleria> cartelli_gallerie(const scenario_compilato& s) {
  std::vector<std::optional<std::optional<cartello_galleria>>> letti(righe_tabella);
  std::vector<cartello_galleria> r;
  for (size_t c = 0; c < s.griglia.size(); ++c) {
    const cella& k = s.griglia[c];
    if (k.tipo_cella != cartello_indicatore || k.valore1 < 1 || k.valore1 >= righe_tabella)
      continue;
    auto& letto = letti[static_cast<size_t>(k.valore1)];
    if (!letto) letto = leggi_cartello(s.righe[static_cast<size_t>(k.valore1)].nome);
    if (!*letto) continue;
    cartello_galleria g = **letto;
    g.posizione = posizione_oggetto(c);
    r.push_back(std::move(g));
  }
  return r;
}

// Runs of cells whose mountain type is 1.
std::vector<tratto_linea> celle_in_galleria(const scenario_compilato& s, double l) {
  std::vector<tratto_linea> r;
  for (size_t c = 0; c < s.griglia.size() && static_cast<double>(c) * metri < l; ++c) {
    if (s.griglia[c].tipo_montagna != 1) continue;
    const double da = static_cast<double>(c) * metri;
    if (!r.empty() && r.back().a == da) {
      r.back().a = da + metri;
    } else {
      r.push_back({da, da + metri, {}});
    }
  }
  return r;
}

// Named tunnels from their signs; a sign without a length names the first
// free run of tunnel cells that begins from 100 m before it to 300 m after;
// runs no sign names stay unnamed. Signs come in cell order, runs sorted:
// each sign finds its run by bisection and skips taken runs along a chain
// of next free ones, and the unnamed runs are found in one sweep.
std::vector<tratto_linea> gallerie_di(const scenario_compilato& s, double l) {
  std::vector<tratto_linea> celle = celle_in_galleria(s, l);
  std::vector<bool> usate(celle.size(), false);
  // prossima[i]: the first run at or after i not yet taken (path halving).
  std::vector<size_t> prossima(celle.size() + 1);
  for (size_t i = 0; i < prossima.size(); ++i) prossima[i] = i;
  const auto libera_da = [&](size_t i) {
    while (prossima[i] != i) {
      prossima[i] = prossima[prossima[i]];
      i = prossima[i];
    }
    return i;
  };
  std::vector<tratto_linea> r;
  for (const cartello_galleria& g : cartelli_gallerie(s)) {
    if (g.lunghezza) {
      r.push_back({g.posizione, g.posizione + *g.lunghezza, g.nome});
      continue;
    }
    tratto_linea t{g.posizione, g.posizione + metri, g.nome};
    const auto primo = std::lower_bound(celle.begin(), celle.end(), g.posizione - 100,
                                        [](const tratto_linea& c, double da) { return c.da < da; });
    const size_t i = libera_da(static_cast<size_t>(primo - celle.begin()));
    if (i < celle.size() && celle[i].da <= g.posizione + 300) {
      t = {celle[i].da, celle[i].a, g.nome};
      usate[i] = true;
      prossima[i] = i + 1;
    }
    r.push_back(t);
  }
  // The named stretches as sorted disjoint spans, to test each run against.
  std::vector<std::pair<double, double>> nominate;
  for (const tratto_linea& t : r) nominate.push_back({t.da, t.a});
  std::sort(nominate.begin(), nominate.end());
  std::vector<std::pair<double, double>> unite;
  for (const auto& [da, a] : nominate) {
    if (!unite.empty() && da <= unite.back().second) {
      unite.back().second = std::max(unite.back().second, a);
    } else {
      unite.push_back({da, a});
    }
  }
  size_t k = 0;
  for (size_t i = 0; i < celle.size(); ++i) {
    while (k < unite.size() && unite[k].second <= celle[i].da) ++k;
    const bool coperta = usate[i] || (k < unite.size() && unite[k].first < celle[i].a &&
                                      celle[i].da < unite[k].second);
    if (!coperta) r.push_back(celle[i]);
  }
  for (tratto_linea& t : r) {
    t.da = std::clamp(t.da, 0.0, l);
    t.a = std::clamp(t.a, t.da, l);
  }
  std::erase_if(r, [](const tratto_linea& t) { return t.a <= t.da; });
  std::stable_sort(r.begin(), r.end(),
                   [](const tratto_linea& a, const tratto_linea& b) { return a.da < b.da; });
  return r;
}

// From each start cell to the next end cell; a start with its end in its own
// cell (no end cell before the next start) covers that one cell.
std::vector<rallentamento_linea> rallentamenti_di(const scenario_compilato& s, double l) {
  std::vector<rallentamento_linea> r;
  const auto& g = s.griglia;
  for (size_t c = 0; c < g.size(); ++c) {
    if (g[c].tipo_cella != inizio_rallentamento) continue;
    size_t e = c;
    for (size_t k = c + 1; k < g.size() && g[k].tipo_cella != inizio_rallentamento; ++k) {
      if (g[k].tipo_cella == fine_rallentamento) {
        e = k;
        break;
      }
    }
    const double da = posizione_oggetto(c);
    const double a = e == c ? da + metri : posizione_oggetto(e);
    if (da >= 0 && da < l) r.push_back({da, std::min(a, l), g[c].valore1});
  }
  return r;
}

std::vector<gradino> limiti_di(const scenario_compilato& s, double l) {
  std::vector<gradino> r;
  for (size_t c = 0; c < s.griglia.size() && static_cast<double>(c) * metri < l; ++c) {
    const double da = static_cast<double>(c) * metri;
    const double a = std::min(da + metri, l);
    const double v = s.griglia[c].vel_limite * 5.0;
    if (!r.empty() && r.back().valore == v) {
      r.back().a = a;
    } else {
      r.push_back({da, a, v});
    }
  }
  return r;
}

// Runs of cells of one gradient (per mille, stored plus 100).
std::vector<gradino> pendenze_di(const scenario_compilato& s, double l) {
  std::vector<gradino> r;
  for (size_t c = 0; c < s.griglia.size() && static_cast<double>(c) * metri < l; ++c) {
    const double da = static_cast<double>(c) * metri;
    const double a = std::min(da + metri, l);
    const double v = s.griglia[c].pendenza - 100.0;
    if (!r.empty() && r.back().valore == v) {
      r.back().a = a;
    } else {
      r.push_back({da, a, v});
    }
  }
  return r;
}

// Each cell climbs by its gradient (per mille, stored plus 100) over its
// 50 m, or over the part of them before the route's end.
std::vector<quota> quote_di(const scenario_compilato& s, double l) {
  std::vector<quota> r{{0, 0}};
  for (size_t c = 0; c < s.griglia.size() && static_cast<double>(c) * metri < l; ++c) {
    const double da = static_cast<double>(c) * metri;
    const double a = std::min(da + metri, l);
    const double pendenza = (s.griglia[c].pendenza - 100) / 1000.0;
    r.push_back({a, r.back().metri + pendenza * (a - da)});
  }
  return r;
}

}  // namespace

const char* ruolo_riga(size_t r, const voce_scenario& v) {
  if (r >= 81 && r <= 83) return "progressiva";
  if (r == riga_treno) return "treno";
  if (r == riga_linea) return "linea";
  if (r == riga_servizio) return "servizio";
  if (v == voce_scenario{}) return nullptr;
  voce_scenario senza_nome = v;
  senza_nome.nome.clear();
  return senza_nome == voce_scenario{} ? "cartello" : "stazione";
}

elementi_linea elementi_di(const scenario_compilato& s) {
  elementi_linea e;
  e.lunghezza = lunghezza_di(s);
  const double l = e.lunghezza;
  for (size_t r = 1; r <= static_cast<size_t>(prima_riga_cartelli); ++r) {
    const voce_scenario& v = s.righe[r];
    const char* ruolo = ruolo_riga(r, v);
    if (ruolo != nullptr && std::string_view(ruolo) == "stazione" && v.posizione >= 0 &&
        v.posizione <= l) {
      e.stazioni.push_back({static_cast<double>(v.posizione), v.nome});
    }
  }
  for (size_t c = 0; c < s.griglia.size(); ++c) {
    const double p = posizione_oggetto(c);
    if (s.griglia[c].tipo_cella == segnale && p >= 0 && p <= l) e.segnali.push_back(p);
  }
  e.gallerie = gallerie_di(s, l);
  e.rallentamenti = rallentamenti_di(s, l);
  e.limiti = limiti_di(s, l);
  e.pendenze = pendenze_di(s, l);
  e.quote = quote_di(s, l);
  return e;
}

}  // namespace scenario
