#include "strumenti/disegna_pianta.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace scenario {

namespace {

constexpr double area_massima_x = 1000;
constexpr double area_massima_y = 860;
constexpr double margine_sinistro = 80;
constexpr double margine_destro = 190;
constexpr double margine_alto = 60;
constexpr double margine_basso = 110;
constexpr double larghezza_minima = 760;

constexpr const char* stile = R"(text { font-family: DejaVu Sans, Arial, sans-serif; fill: #222; }
.titolo { font-size: 18px; font-weight: bold; }
.nota { font-size: 12px; fill: #555; }
.asse { font-size: 11px; fill: #444; }
.nome { font-size: 11px; paint-order: stroke; stroke: white; stroke-width: 3px; stroke-linejoin: round; }
.cornice { fill: none; stroke: #888; stroke-width: 1; }
.griglia { stroke: #e4e4e4; stroke-width: 1; }
.tacca { stroke: #888; stroke-width: 1; }
.binario { fill: none; stroke: #1f4e99; stroke-width: 2; stroke-linejoin: round; }
.galleria { fill: none; stroke: #3a3a3a; stroke-width: 5; stroke-linecap: butt; stroke-linejoin: round; opacity: 0.85; }
.stazione { fill: white; stroke: #c0392b; stroke-width: 2; }
.segnale { fill: #27ae60; stroke: #145a32; stroke-width: 0.8; }
.scala { fill: #222; stroke: #222; stroke-width: 1; }
.scala_vuota { fill: white; stroke: #222; stroke-width: 1; }
)";

struct punto_metri {
  double x = 0;
  double y = 0;
  bool valido = false;
};

// The plan's points 0 .. lunghezza; a point is usable when both its values
// are set and finite.
std::vector<punto_metri> punti_del_piano(const tracciato& t, double lunghezza) {
  std::vector<punto_metri> p;
  if (!t.allocato()) return p;
  const auto ultimo = static_cast<int32_t>(std::min<double>(t.fine(), std::floor(lunghezza)));
  for (int32_t m = 0; m <= ultimo; ++m) {
    const bool pieni = t.tipo(m, 0) != tipo_valore::vuoto && t.tipo(m, 1) != tipo_valore::vuoto;
    const double x = t.valore(m, 0);
    const double y = t.valore(m, 1);
    p.push_back({x, y, pieni && std::isfinite(x) && std::isfinite(y)});
  }
  return p;
}

struct scala_piano {
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  double k = 1;  // pixels per metre
  double ox = margine_sinistro, oy = margine_alto;

  punto_svg a_schermo(double x, double y) const {
    return {ox + (x - min_x) * k, oy + (max_y - y) * k};
  }
  double larghezza() const { return (max_x - min_x) * k; }
  double altezza() const { return (max_y - min_y) * k; }
};

std::optional<scala_piano> scala_di(const std::vector<punto_metri>& p) {
  scala_piano s;
  bool primo = true;
  for (const punto_metri& q : p) {
    if (!q.valido) continue;
    if (primo) {
      s.min_x = s.max_x = q.x;
      s.min_y = s.max_y = q.y;
      primo = false;
    }
    s.min_x = std::min(s.min_x, q.x);
    s.max_x = std::max(s.max_x, q.x);
    s.min_y = std::min(s.min_y, q.y);
    s.max_y = std::max(s.max_y, q.y);
  }
  if (primo) return std::nullopt;
  // Some room around the line, and never a zero extent.
  const double bordo = std::max({s.max_x - s.min_x, s.max_y - s.min_y, 100.0}) * 0.03;
  s.min_x -= bordo;
  s.max_x += bordo;
  s.min_y -= bordo;
  s.max_y += bordo;
  s.k = std::min(area_massima_x / (s.max_x - s.min_x), area_massima_y / (s.max_y - s.min_y));
  if (!std::isfinite(s.k) || s.k <= 0) return std::nullopt;
  return s;
}

// The usable points from metre da to metre a, on the screen.
std::vector<punto_svg> tratto_a_schermo(const std::vector<punto_metri>& p, const scala_piano& s,
                                        double da, double a) {
  std::vector<punto_svg> r;
  if (p.empty()) return r;
  const auto inizio =
      static_cast<size_t>(std::clamp(std::floor(da), 0.0, static_cast<double>(p.size())));
  const auto fine =
      static_cast<size_t>(std::clamp(std::ceil(a), 0.0, static_cast<double>(p.size()) - 1));
  for (size_t m = inizio; m <= fine && m < p.size(); ++m) {
    if (p[m].valido) r.push_back(s.a_schermo(p[m].x, p[m].y));
  }
  return r;
}

// The usable point nearest to metre m, looking back first.
std::optional<punto_svg> punto_a(const std::vector<punto_metri>& p, const scala_piano& s,
                                 double m) {
  if (p.empty()) return std::nullopt;
  const auto i =
      static_cast<size_t>(std::clamp(std::round(m), 0.0, static_cast<double>(p.size() - 1)));
  for (size_t k = i + 1; k-- > 0;) {
    if (p[k].valido) return s.a_schermo(p[k].x, p[k].y);
  }
  for (size_t k = i; k < p.size(); ++k) {
    if (p[k].valido) return s.a_schermo(p[k].x, p[k].y);
  }
  return std::nullopt;
}

void assi(documento_svg& d, const scala_piano& s) {
  d.rettangolo(s.ox, s.oy, s.larghezza(), s.altezza(), "cornice");
  const double passo = passo_rotondo(std::max(s.max_x - s.min_x, s.max_y - s.min_y), 8);
  for (double x = std::ceil(s.min_x / passo) * passo; x <= s.max_x; x += passo) {
    const punto_svg p = s.a_schermo(x, s.min_y);
    d.linea(p.x, s.oy, p.x, s.oy + s.altezza(), "griglia");
    d.testo(p.x, p.y + 16, numero_svg(x / 1000), "asse", "middle");
  }
  for (double y = std::ceil(s.min_y / passo) * passo; y <= s.max_y; y += passo) {
    const punto_svg p = s.a_schermo(s.min_x, y);
    d.linea(s.ox, p.y, s.ox + s.larghezza(), p.y, "griglia");
    d.testo(p.x - 6, p.y + 4, numero_svg(y / 1000), "asse", "end");
  }
  d.testo(s.ox + s.larghezza() / 2, s.oy + s.altezza() + 34, "x (km dal punto di partenza)", "asse",
          "middle");
  d.testo(s.ox - 50, s.oy + s.altezza() / 2, "y (km)", "asse", "middle", -90);
}

// A bar of round length, in alternate black and white quarters.
void barra_di_scala(documento_svg& d, const scala_piano& s, double y) {
  const double metri = passo_rotondo((s.max_x - s.min_x) / 4, 1);
  const double lungo = metri * s.k;
  for (int i = 0; i < 4; ++i) {
    d.rettangolo(s.ox + i * lungo / 4, y, lungo / 4, 6, i % 2 == 0 ? "scala" : "scala_vuota");
  }
  d.testo(s.ox, y + 20, "0", "asse", "middle");
  d.testo(s.ox + lungo, y + 20, numero_svg(metri / 1000) + " km", "asse", "middle");
}

struct riquadro {
  double x0, y0, x1, y1;
  bool tocca(const riquadro& r) const { return x0 < r.x1 && r.x0 < x1 && y0 < r.y1 && r.y0 < y1; }
};

// Names beside their stations: the first of eight places around the mark
// where the name meets no other name and no other station.
void nomi_stazioni(documento_svg& d,
                   const std::vector<std::pair<punto_svg, std::string>>& stazioni) {
  constexpr double alto = 11;
  constexpr double per_lettera = 7;  // wide enough for capitals at 11 px
  struct posto {
    double dx, dy;
    bool a_destra;
  };
  constexpr posto posti[] = {{8, -6, true},  {8, 14, true},    {-8, -6, false}, {-8, 14, false},
                             {8, -18, true}, {-8, -18, false}, {8, 26, true},   {-8, 26, false}};
  std::vector<riquadro> occupati;
  for (const auto& [p, nome] : stazioni) occupati.push_back({p.x - 5, p.y - 5, p.x + 5, p.y + 5});
  for (const auto& [p, nome] : stazioni) {
    const double largo = per_lettera * static_cast<double>(nome.size());
    // A structured binding is copied in, not captured: clang 14 cannot capture one.
    const auto riquadro_di = [&, centro = p](const posto& q) {
      const double x = centro.x + q.dx;
      const double y = centro.y + q.dy;
      return q.a_destra ? riquadro{x, y - alto, x + largo, y + 2}
                        : riquadro{x - largo, y - alto, x, y + 2};
    };
    const posto* scelto = &posti[0];
    for (const posto& q : posti) {
      const riquadro r = riquadro_di(q);
      bool libero = true;
      for (const riquadro& o : occupati) {
        // Its own mark is not in the way.
        const bool proprio = o.x0 == p.x - 5 && o.y0 == p.y - 5;
        if (!proprio && o.tocca(r)) libero = false;
      }
      if (libero) {
        scelto = &q;
        break;
      }
    }
    occupati.push_back(riquadro_di(*scelto));
    d.testo(p.x + scelto->dx, p.y + scelto->dy, nome, "nome", scelto->a_destra ? "start" : "end");
  }
}

void legenda(documento_svg& d, double x, double y) {
  d.linea(x, y, x + 24, y, "binario");
  d.testo(x + 32, y + 4, "binario", "nome");
  d.linea(x, y + 20, x + 24, y + 20, "galleria");
  d.testo(x + 32, y + 24, "galleria", "nome");
  d.cerchio(x + 12, y + 40, 4.5, "stazione");
  d.testo(x + 32, y + 44, "stazione", "nome");
  d.cerchio(x + 12, y + 60, 3, "segnale");
  d.testo(x + 32, y + 64, "segnale", "nome");
}

// To the segment, not to its line: a path that turns back along the same
// line keeps its turning points.
double distanza_dal_segmento(const punto_svg& q, const punto_svg& a, const punto_svg& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double quadro = dx * dx + dy * dy;
  const double t =
      quadro > 0 ? std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / quadro, 0.0, 1.0) : 0.0;
  return std::hypot(q.x - a.x - t * dx, q.y - a.y - t * dy);
}

}  // namespace

std::vector<punto_svg> sfoltisci(const std::vector<punto_svg>& punti, double tolleranza,
                                 size_t massimo) {
  std::vector<punto_svg> p;
  const size_t passo =
      punti.size() > massimo && massimo > 1 ? (punti.size() + massimo - 2) / (massimo - 1) : 1;
  for (size_t i = 0; i < punti.size(); i += passo) p.push_back(punti[i]);
  if (!punti.empty() && (punti.size() - 1) % passo != 0) p.push_back(punti.back());
  if (p.size() < 3) return p;

  std::vector<bool> tieni(p.size(), false);
  tieni.front() = tieni.back() = true;
  std::vector<std::pair<size_t, size_t>> da_fare{{0, p.size() - 1}};
  while (!da_fare.empty()) {
    const auto [a, b] = da_fare.back();
    da_fare.pop_back();
    double peggiore = -1;
    size_t dove = a;
    for (size_t i = a + 1; i < b; ++i) {
      const double distanza = distanza_dal_segmento(p[i], p[a], p[b]);
      if (distanza > peggiore) {
        peggiore = distanza;
        dove = i;
      }
    }
    if (peggiore > tolleranza) {
      tieni[dove] = true;
      da_fare.push_back({a, dove});
      da_fare.push_back({dove, b});
    }
  }
  std::vector<punto_svg> r;
  for (size_t i = 0; i < p.size(); ++i) {
    if (tieni[i]) r.push_back(p[i]);
  }
  return r;
}

std::string disegno_pianta(const scenario_compilato& sc, const elementi_linea& e,
                           const std::string& titolo) {
  const std::vector<punto_metri> p = punti_del_piano(sc.piano, e.lunghezza);
  const std::optional<scala_piano> scala = scala_di(p);
  if (!scala) {
    documento_svg d(larghezza_minima, 200, titolo, stile);
    d.testo(20, 36, titolo, "titolo");
    d.testo(20, 80, "Il piano del tracciato non ha punti da disegnare.", "nota");
    return d.chiudi();
  }
  const scala_piano& s = *scala;
  const double larghezza =
      std::max(larghezza_minima, margine_sinistro + s.larghezza() + margine_destro);
  const double altezza = margine_alto + s.altezza() + margine_basso;
  documento_svg d(larghezza, altezza, titolo, stile);
  d.testo(margine_sinistro, 30, titolo, "titolo");
  d.testo(margine_sinistro, 48,
          "Lunghezza " + numero_svg(e.lunghezza / 1000) + " km, " +
              std::to_string(e.stazioni.size()) + " stazioni, " + std::to_string(e.segnali.size()) +
              " segnali, " + std::to_string(e.gallerie.size()) + " gallerie",
          "nota");
  assi(d, s);

  constexpr double tolleranza = 0.3;  // pixels
  d.polilinea(sfoltisci(tratto_a_schermo(p, s, 0, e.lunghezza), tolleranza), "binario");
  for (const tratto_linea& g : e.gallerie)
    d.polilinea(sfoltisci(tratto_a_schermo(p, s, g.da, g.a), tolleranza), "galleria");
  for (const double m : e.segnali) {
    if (auto q = punto_a(p, s, m)) d.cerchio(q->x, q->y, 2.5, "segnale");
  }
  std::vector<std::pair<punto_svg, std::string>> stazioni;
  for (const stazione_linea& st : e.stazioni) {
    if (auto q = punto_a(p, s, st.posizione)) {
      d.cerchio(q->x, q->y, 4.5, "stazione");
      stazioni.push_back({*q, st.nome});
    }
  }
  nomi_stazioni(d, stazioni);
  barra_di_scala(d, s, margine_alto + s.altezza() + 60);
  legenda(d, margine_sinistro + s.larghezza() + 30, margine_alto + 10);
  return d.chiudi();
}

}  // namespace scenario
