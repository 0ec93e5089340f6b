#include "strumenti/oggetti.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "compiler/misure_griglia.h"
#include "strumenti/nomi_tipi.h"

namespace scenario {

namespace {

std::string n(int64_t v) { return std::to_string(v); }

// A board stores vd / 5 + vs * 20: "vs/vd km/h" while vd < 100.
std::string velocita_cartello(int16_t v) {
  if (v < 0) return n(v);
  return n(v / 20) + "/" + n(v % 20 * 5) + " km/h";
}

// A time of day in seconds as hh:mm:ss.
std::string ora(int32_t secondi) {
  if (secondi < 0) return n(secondi) + " s";
  auto due = [](int32_t x) { return std::string(x < 10 ? "0" : "").append(std::to_string(x)); };
  return due(secondi / 3600) + ":" + due(secondi / 60 % 60) + ":" + due(secondi % 60);
}

// A grid cell's object as the table shows it; none for what belongs to
// another entry (a station's point, a slowdown's approach cells, a tunnel's
// markers) or for a free cell.
std::optional<oggetto_linea> da_cella(const cella& c, double metri,
                                      const std::vector<rallentamento_linea>& rallentamenti,
                                      const tabella& righe) {
  oggetto_linea o{metri, std::nullopt, std::string(nome_tipo_cella(c.tipo_cella)), {}, {}};
  switch (c.tipo_cella) {
    case segnale:
      o.valori = "s1d1 " + n(c.valore1) + ", s2d2 " + n(c.valore2) + ", s3d3 " + n(c.valore3) +
                 ", rapp*10+sx*3+dx " + n(c.valore4) + ", tempo " + n(c.tempo_segnale);
      return o;
    case inizio_rallentamento:
      o.tipo = "rallentamento";
      o.valori = n(c.valore1) + " km/h";
      for (const rallentamento_linea& r : rallentamenti) {
        if (r.da == metri) {
          o.fino = r.a;
          o.valori += ", per " + n(static_cast<int64_t>(r.a - r.da)) + " m";
          break;
        }
      }
      return o;
    case fine_rallentamento:
      o.valori = n(c.valore1) + " km/h";
      return o;
    case avviso_rallentamento:
      o.tipo = "avviso di rallentamento";
      o.valori = n(c.valore1) + " km/h";
      return o;
    case indicatore_velocita:
      o.tipo = "indicatore di velocit\u00E0";
      o.valori = "A " + velocita_cartello(c.valore1) + ", B " + velocita_cartello(c.valore2) +
                 ", C " + velocita_cartello(c.valore3) + ", strisce " + n(c.valore4);
      return o;
    case cartello_indicatore:
      o.tipo = "cartello";
      if (c.valore1 >= 1 && c.valore1 < righe_tabella) {
        o.nome = righe[static_cast<size_t>(c.valore1)].nome;
      } else {
        o.valori = "riga " + n(c.valore1);
      }
      return o;
    case punto_valore:
      o.tipo = "punto codice";
      o.valori = "valore " + n(c.valore1);
      return o;
    case punto_abbattimento:
      o.tipo = "abbattimento";
      return o;
    case cella_libera:
    case approccio_rallentamento:
    case punto_stazione:
    case marcatore_montagna:
      return std::nullopt;
    default:
      o.valori = "tipo " + n(c.tipo_cella) + ", valori " + n(c.valore1) + " " + n(c.valore2) + " " +
                 n(c.valore3) + " " + n(c.valore4);
      return o;
  }
}

// Runs of equal values of one profile of the cells, from cell c * 50.
template <typename valore>
std::vector<gradino> gradini_di(const scenario_compilato& s, double lunghezza, valore v) {
  std::vector<gradino> r;
  for (size_t c = 0; c < s.griglia.size() && static_cast<double>(c) * metri_cella < lunghezza;
       ++c) {
    const double da = static_cast<double>(metri_profilo(static_cast<int64_t>(c)));
    const double a = std::min(da + metri_cella, lunghezza);
    const double x = v(s.griglia[c]);
    if (!r.empty() && r.back().valore == x) {
      r.back().a = a;
    } else {
      r.push_back({da, a, x});
    }
  }
  return r;
}

void profilo(std::vector<oggetto_linea>& r, const std::vector<gradino>& g, const char* tipo,
             const char* unita) {
  for (const gradino& x : g) {
    r.push_back({x.da, std::nullopt, tipo, n(static_cast<int64_t>(x.valore)) + unita, {}});
  }
}

}  // namespace

std::string km_testo(double metri) {
  if (!std::isfinite(metri) || std::fabs(metri) > 1e12) return "km ?";
  const auto m = static_cast<int64_t>(std::nearbyint(metri));
  const uint64_t a = m < 0 ? 0 - static_cast<uint64_t>(m) : static_cast<uint64_t>(m);
  const std::string resto = std::to_string(a % 1000);
  return std::string("km ") + (m < 0 ? "-" : "") + std::to_string(a / 1000) + "." +
         std::string(3 - resto.size(), '0') + resto;
}

std::vector<gradino> pendenze_di(const scenario_compilato& s, double lunghezza) {
  return gradini_di(s, lunghezza, [](const cella& c) { return c.pendenza - 100.0; });
}

std::vector<gradino> aderenze_di(const scenario_compilato& s, double lunghezza) {
  return gradini_di(s, lunghezza, [](const cella& c) { return static_cast<double>(c.aderenza); });
}

std::vector<oggetto_linea> oggetti_di(const scenario_compilato& s, const elementi_linea& e) {
  const double l = e.lunghezza;
  std::vector<oggetto_linea> r;
  for (size_t i = 1; i < s.righe.size(); ++i) {
    const voce_scenario& v = s.righe[i];
    const char* ruolo = ruolo_riga(i, v);
    if (ruolo == nullptr || v == voce_scenario{}) continue;
    const std::string_view ru(ruolo);
    if (ru == "stazione" && v.posizione >= 0 && v.posizione <= l) {
      r.push_back({static_cast<double>(v.posizione), std::nullopt, "stazione",
                   (v.orario != 0 ? "orario " + ora(v.orario) : std::string("senza orario")) +
                       ", fermata " + n(v.dato10) + ", area da " + n(v.inizio) + " a " + n(v.fine) +
                       " m",
                   v.nome});
    } else if (ru == "progressiva" && v.inizio >= 0 && v.inizio <= l) {
      r.push_back({static_cast<double>(v.inizio),
                   std::nullopt,
                   "progressiva chilometrica",
                   "valore " + n(v.fine) + " m, " +
                       (v.posizione == 1 ? "decrescente" : std::string("crescente")),
                   {}});
    }
  }
  for (size_t c = 0; c < s.griglia.size(); ++c) {
    const double m = static_cast<double>(metri_oggetto(static_cast<int64_t>(c)));
    if (m < 0 || m > l) continue;
    if (auto o = da_cella(s.griglia[c], m, e.rallentamenti, s.righe)) r.push_back(std::move(*o));
  }
  for (const tratto_linea& g : e.gallerie) {
    r.push_back(
        {g.da, g.a, "galleria", "lunga " + n(static_cast<int64_t>(g.a - g.da)) + " m", g.nome});
  }
  profilo(r, pendenze_di(s, l), "pendenza", " \u2030");
  profilo(r, e.limiti, "limite di velocit\u00E0", " km/h");
  profilo(r, aderenze_di(s, l), "aderenza", "");
  std::stable_sort(r.begin(), r.end(), [](const oggetto_linea& a, const oggetto_linea& b) {
    return a.metri < b.metri;
  });
  return r;
}

}  // namespace scenario
