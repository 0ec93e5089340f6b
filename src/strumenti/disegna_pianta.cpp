#include "strumenti/disegna_pianta.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <unordered_set>
#include <utility>

#include "compiler/record.h"
#include "strumenti/etichette.h"

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
.galleria_nome { font-size: 10px; font-style: italic; fill: #333; paint-order: stroke; stroke: white; stroke-width: 3px; stroke-linejoin: round; }
.km { font-size: 9px; fill: #7a4b00; paint-order: stroke; stroke: white; stroke-width: 3px; stroke-linejoin: round; }
.segnale_nome { font-size: 9px; fill: #145a32; paint-order: stroke; stroke: white; stroke-width: 3px; stroke-linejoin: round; }
.tacca_km { stroke: #7a4b00; stroke-width: 1.2; }
.richiamo { stroke: #777; stroke-width: 0.6; fill: none; }
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

constexpr stile_testo stile_titolo{18, true};
constexpr stile_testo stile_nota{12};
constexpr stile_testo stile_asse{11};
constexpr stile_testo stile_nome{11};
constexpr stile_testo stile_galleria{10};
constexpr stile_testo stile_km{9};
constexpr stile_testo stile_segnale{9};
// Past these the picture gets no more: the document stays bounded by it.
constexpr size_t gallerie_massime = 2000;
constexpr size_t tacche_massime = 400;

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

// The usable point nearest to each metre, looking back first: found for all
// metres in two sweeps, so any number of marks costs one look-up each.
class punti_usabili {
 public:
  explicit punti_usabili(const std::vector<punto_metri>& p) : p_(p), indietro_(p.size()) {
    int64_t ultimo = -1;
    for (size_t m = 0; m < p.size(); ++m) {
      if (p[m].valido) ultimo = static_cast<int64_t>(m);
      indietro_[m] = ultimo;
    }
    int64_t prossimo = -1;
    for (size_t m = p.size(); m-- > 0;) {
      if (p[m].valido) prossimo = static_cast<int64_t>(m);
      if (indietro_[m] < 0) indietro_[m] = prossimo;
    }
  }

  std::optional<punto_svg> a(const scala_piano& s, double metri) const {
    if (p_.empty() || !std::isfinite(metri)) return std::nullopt;
    const auto i = static_cast<size_t>(
        std::clamp(std::nearbyint(metri), 0.0, static_cast<double>(p_.size() - 1)));
    if (indietro_[i] < 0) return std::nullopt;
    const punto_metri& q = p_[static_cast<size_t>(indietro_[i])];
    return s.a_schermo(q.x, q.y);
  }

 private:
  const std::vector<punto_metri>& p_;
  std::vector<int64_t> indietro_;
};

// The track on the screen, thinned: the points kept and the metre of each.
struct binario_a_schermo {
  std::vector<punto_svg> punti;
  std::vector<double> metri;
};

binario_a_schermo binario_di(const std::vector<punto_metri>& p, const scala_piano& s,
                             double tolleranza) {
  std::vector<punto_svg> tutti;
  std::vector<double> metri;
  for (size_t m = 0; m < p.size(); ++m) {
    if (!p[m].valido) continue;
    tutti.push_back(s.a_schermo(p[m].x, p[m].y));
    metri.push_back(static_cast<double>(m));
  }
  binario_a_schermo b;
  for (const size_t i : sfoltisci_indici(tutti, tolleranza)) {
    b.punti.push_back(tutti[i]);
    b.metri.push_back(metri[i]);
  }
  return b;
}

// Tunnels as disjoint stretches, those closer than `vicine` metres joined;
// more than `massime` left, the closest are joined until they are few enough.
std::vector<std::pair<double, double>> gallerie_unite(const std::vector<tratto_linea>& g,
                                                      double vicine, size_t massime) {
  std::vector<std::pair<double, double>> tratti;
  for (const tratto_linea& t : g) tratti.push_back({t.da, t.a});
  std::sort(tratti.begin(), tratti.end());
  for (double soglia = std::max(vicine, 0.0);; soglia = std::max(soglia * 2, 1.0)) {
    std::vector<std::pair<double, double>> r;
    for (const auto& t : tratti) {
      if (!r.empty() && t.first <= r.back().second + soglia) {
        r.back().second = std::max(r.back().second, t.second);
      } else {
        r.push_back(t);
      }
    }
    if (r.size() <= massime || !std::isfinite(soglia)) return r;
  }
}

// A stretch of the thinned track, its ends where the stretch ends.
std::vector<punto_svg> tratto_di(const binario_a_schermo& b, const punti_usabili& u,
                                 const scala_piano& s, double da, double a) {
  std::vector<punto_svg> r;
  if (auto p = u.a(s, da)) r.push_back(*p);
  const auto inizio = std::upper_bound(b.metri.begin(), b.metri.end(), da);
  const auto fine = std::lower_bound(b.metri.begin(), b.metri.end(), a);
  for (auto i = inizio; i < fine; ++i)
    r.push_back(b.punti[static_cast<size_t>(i - b.metri.begin())]);
  if (auto p = u.a(s, a)) r.push_back(*p);
  return r;
}

// "12+350": the way a position along a line is written.
std::string chilometrica(double metri) {
  const auto m = static_cast<int64_t>(std::nearbyint(std::clamp(metri, 0.0, 1e12)));
  const std::string resto = std::to_string(m % 1000);
  return std::to_string(m / 1000) + "+" + std::string(3 - resto.size(), '0') + resto;
}

// Draws a text the layout places, with its box.
void fisso(documento_svg& d, double x, double y, std::string_view t, std::string_view classe,
           const stile_testo& stile, std::string_view ancora = "start", bool verticale = false) {
  disegna_etichetta(d, etichetta_fissa(x, y, t, stile, ancora, verticale), classe);
}

void assi(documento_svg& d, const scala_piano& s) {
  d.rettangolo(s.ox, s.oy, s.larghezza(), s.altezza(), "cornice");
  const double passo = passo_rotondo(std::max(s.max_x - s.min_x, s.max_y - s.min_y), 8);
  // Counted, not summed: a step below the spacing of doubles cannot stall it.
  constexpr int tacche = 40;
  const double primo_x = std::ceil(s.min_x / passo);
  for (int i = 0; i < tacche && (primo_x + i) * passo <= s.max_x; ++i) {
    const double x = (primo_x + i) * passo;
    const punto_svg p = s.a_schermo(x, s.min_y);
    d.linea(p.x, s.oy, p.x, s.oy + s.altezza(), "griglia");
    fisso(d, p.x, p.y + 16, numero_svg(x / 1000), "asse", stile_asse, "middle");
  }
  const double primo_y = std::ceil(s.min_y / passo);
  for (int i = 0; i < tacche && (primo_y + i) * passo <= s.max_y; ++i) {
    const double y = (primo_y + i) * passo;
    const punto_svg p = s.a_schermo(s.min_x, y);
    d.linea(s.ox, p.y, s.ox + s.larghezza(), p.y, "griglia");
    fisso(d, p.x - 6, p.y + 4, numero_svg(y / 1000), "asse", stile_asse, "end");
  }
  fisso(d, s.ox + s.larghezza() / 2, s.oy + s.altezza() + 34, "x (km dal punto di partenza)",
        "asse", stile_asse, "middle");
  fisso(d, s.ox - 50, s.oy + s.altezza() / 2, "y (km)", "asse", stile_asse, "middle", true);
}

// A bar of round length, in alternate black and white quarters.
void barra_di_scala(documento_svg& d, const scala_piano& s, double y) {
  const double metri = passo_rotondo((s.max_x - s.min_x) / 4, 1);
  const double lungo = metri * s.k;
  for (int i = 0; i < 4; ++i) {
    d.rettangolo(s.ox + i * lungo / 4, y, lungo / 4, 6, i % 2 == 0 ? "scala" : "scala_vuota");
  }
  fisso(d, s.ox, y + 20, "0", "asse", stile_asse, "middle");
  fisso(d, s.ox + lungo, y + 20, numero_svg(metri / 1000) + " km", "asse", stile_asse, "middle");
}

void legenda(documento_svg& d, double x, double y) {
  d.linea(x, y, x + 24, y, "binario");
  fisso(d, x + 32, y + 4, "binario", "nome", stile_nome);
  d.linea(x, y + 20, x + 24, y + 20, "galleria");
  fisso(d, x + 32, y + 24, "galleria", "nome", stile_nome);
  d.cerchio(x + 12, y + 40, 4.5, "stazione");
  fisso(d, x + 32, y + 44, "stazione", "nome", stile_nome);
  d.cerchio(x + 12, y + 60, 3, "segnale");
  fisso(d, x + 32, y + 64, "segnale", "nome", stile_nome);
  d.linea(x + 12, y + 75, x + 12, y + 85, "tacca_km");
  fisso(d, x + 32, y + 84, "km della linea", "nome", stile_nome);
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

std::optional<difetto> coordinata_assurda(const tracciato& t) {
  if (!t.allocato()) return std::nullopt;
  const auto punti = static_cast<size_t>(t.fine()) + 1;
  size_t offset = 0;
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (size_t m = 0; m < punti; ++m) {
      const auto i = static_cast<int32_t>(m);
      const tipo_valore tipo = t.tipo(i, colonna);
      const double v = t.valore(i, colonna);
      if (tipo != tipo_valore::vuoto && !(std::fabs(v) <= coordinata_massima)) {
        // Shortest form, the same on every platform ("1e+17", "nan", "-inf").
        std::array<char, 64> b{};
        std::to_chars(b.data(), b.data() + b.size() - 1, v);
        const std::string quale = std::string(colonna == 0 ? "x" : "y") + " del punto " +
                                  std::to_string(m) + " (metro " + std::to_string(m) + ")";
        return difetto{offset, std::isfinite(v)
                                   ? "coordinata " + quale + " assurda: " + b.data() +
                                         " m (ammesse fino a 10000000 m dall'origine)"
                                   : "coordinata " + quale + " non finita (" + b.data() + ")"};
      }
      offset += byte_valore(tipo);
    }
  }
  return std::nullopt;
}

std::vector<size_t> sfoltisci_indici(const std::vector<punto_svg>& punti, double tolleranza,
                                     size_t massimo) {
  std::vector<size_t> scelti;
  const size_t passo =
      punti.size() > massimo && massimo > 1 ? (punti.size() + massimo - 2) / (massimo - 1) : 1;
  for (size_t i = 0; i < punti.size(); i += passo) scelti.push_back(i);
  if (!punti.empty() && (punti.size() - 1) % passo != 0) scelti.push_back(punti.size() - 1);
  if (scelti.size() < 3) return scelti;

  const auto p = [&](size_t k) -> const punto_svg& { return punti[scelti[k]]; };
  std::vector<bool> tieni(scelti.size(), false);
  tieni.front() = tieni.back() = true;
  std::vector<std::pair<size_t, size_t>> da_fare{{0, scelti.size() - 1}};
  while (!da_fare.empty()) {
    const auto [a, b] = da_fare.back();
    da_fare.pop_back();
    double peggiore = -1;
    size_t dove = a;
    for (size_t i = a + 1; i < b; ++i) {
      const double distanza = distanza_dal_segmento(p(i), p(a), p(b));
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
  std::vector<size_t> r;
  for (size_t k = 0; k < scelti.size(); ++k) {
    if (tieni[k]) r.push_back(scelti[k]);
  }
  return r;
}

std::vector<punto_svg> sfoltisci(const std::vector<punto_svg>& punti, double tolleranza,
                                 size_t massimo) {
  std::vector<punto_svg> r;
  for (const size_t i : sfoltisci_indici(punti, tolleranza, massimo)) r.push_back(punti[i]);
  return r;
}

namespace {

// Every kilometre of the route a short tick across the track, and every 5
// (or 10, on a line over 50 km) its number; on a very long line the ticks
// thin out so that there are never more than tacche_massime.
void progressive(documento_svg& d, posatore_etichette& posa, const punti_usabili& u,
                 const scala_piano& s, double lunghezza, std::vector<etichetta>& nomi) {
  double passo = 1000;
  while (lunghezza / passo > static_cast<double>(tacche_massime)) passo *= 2;
  const double ogni = passo * (lunghezza <= 50000 ? 5 : 10);
  const auto quante = static_cast<size_t>(std::floor(lunghezza / passo));
  std::vector<std::pair<punto_svg, double>> numerate;
  d.apri_gruppo("pianta_progressive", "progressive");
  for (size_t i = 1; i <= quante; ++i) {
    const double m = static_cast<double>(i) * passo;
    const auto p = u.a(s, m);
    const auto prima = u.a(s, m - 30);
    const auto dopo = u.a(s, m + 30);
    if (!p || !prima || !dopo) continue;
    const double dx = dopo->x - prima->x;
    const double dy = dopo->y - prima->y;
    const double l = std::hypot(dx, dy);
    const double nx = l > 0 ? -dy / l : 0;
    const double ny = l > 0 ? dx / l : 1;
    const punto_svg a{p->x - nx * 4, p->y - ny * 4};
    const punto_svg b{p->x + nx * 4, p->y + ny * 4};
    d.linea(a.x, a.y, b.x, b.y, "tacca_km");
    posa.ostacolo_linea(a, b, 1);
    if (std::fmod(m, ogni) == 0) numerate.push_back({*p, m});
  }
  d.chiudi_gruppo();
  for (const auto& [p, m] : numerate) {
    if (auto e = posa.presso(p, 4, "km " + numero_svg(m / 1000), stile_km, false)) {
      nomi.push_back(std::move(*e));
    }
  }
}

// A group of labels, id "pianta_" + its class.
void gruppo_di_etichette(documento_svg& d, std::string_view id, const std::vector<etichetta>& e,
                         std::string_view classe) {
  d.apri_gruppo("pianta_" + std::string(id), id);
  for (const etichetta& q : e) disegna_etichetta(d, q, classe);
  d.chiudi_gruppo();
}

}  // namespace

std::string disegno_pianta(const scenario_compilato& sc, const elementi_linea& e,
                           const std::string& titolo) {
  const std::vector<punto_metri> p = punti_del_piano(sc.piano, e.lunghezza);
  const std::optional<scala_piano> scala = scala_di(p);
  if (!scala) {
    documento_svg d(larghezza_minima, 200, titolo, stile);
    fisso(d, 20, 36, accorcia(titolo, larghezza_minima - 40, stile_titolo), "titolo", stile_titolo);
    fisso(d, 20, 80, "Il piano del tracciato non ha punti da disegnare.", "nota", stile_nota);
    return d.chiudi();
  }
  const scala_piano& s = *scala;
  const punti_usabili u(p);
  const double larghezza =
      std::max(larghezza_minima, margine_sinistro + s.larghezza() + margine_destro);
  const double altezza = margine_alto + s.altezza() + margine_basso;
  documento_svg d(larghezza, altezza, titolo, stile);
  const double riga = larghezza - margine_sinistro - 10;
  {
    const std::string t = accorcia(titolo, riga, stile_titolo);
    disegna_etichetta(d, etichetta_fissa(margine_sinistro, 30, t, stile_titolo), "titolo");
  }
  fisso(d, margine_sinistro, 48,
        accorcia("Lunghezza " + numero_svg(e.lunghezza / 1000) + " km, " +
                     std::to_string(e.stazioni.size()) + " stazioni, " +
                     std::to_string(e.segnali.size()) + " segnali, " +
                     std::to_string(e.gallerie.size()) + " gallerie",
                 riga, stile_nota),
        "nota", stile_nota);
  assi(d, s);

  // Labels stay inside the frame, off every mark and line.
  posatore_etichette posa({s.ox + 1, s.oy + 1, s.ox + s.larghezza() - 1, s.oy + s.altezza() - 1});
  constexpr double tolleranza = 0.3;  // pixels
  const binario_a_schermo b = binario_di(p, s, tolleranza);
  d.polilinea(b.punti, "binario");
  posa.ostacolo_polilinea(b.punti, 1.5);
  // Tunnels closer than a pixel along the track look as one: drawn as one.
  const double pixel = 1 / s.k;
  std::vector<std::vector<punto_svg>> gallerie;
  for (const auto& [da, a] : gallerie_unite(e.gallerie, pixel, gallerie_massime)) {
    gallerie.push_back(tratto_di(b, u, s, da, a));
    d.polilinea(gallerie.back(), "galleria");
    posa.ostacolo_polilinea(gallerie.back(), 3);
  }
  // Signals closer than their radius are one dot.
  std::unordered_set<int64_t> punti_segnali;
  std::vector<std::pair<punto_svg, double>> segnali;
  d.apri_gruppo("pianta_segnali", "segnali");
  for (const double m : e.segnali) {
    const auto q = u.a(s, m);
    if (!q) continue;
    const auto chiave = static_cast<int64_t>(std::floor(q->x / 2.5)) * 1000003 +
                        static_cast<int64_t>(std::floor(q->y / 2.5));
    if (!punti_segnali.insert(chiave).second) continue;
    d.cerchio(q->x, q->y, 2.5, "segnale", "segnale, km " + chilometrica(m));
    posa.ostacolo({q->x - 3.5, q->y - 3.5, q->x + 3.5, q->y + 3.5});
    segnali.push_back({*q, m});
  }
  d.chiudi_gruppo();
  std::vector<std::pair<punto_svg, std::string>> stazioni;
  for (const stazione_linea& st : e.stazioni) {
    if (auto q = u.a(s, st.posizione)) {
      d.cerchio(q->x, q->y, 4.5, "stazione", st.nome);
      posa.ostacolo({q->x - 6, q->y - 6, q->x + 6, q->y + 6});
      stazioni.push_back({*q, st.nome});
    }
  }
  std::vector<etichetta> km;
  progressive(d, posa, u, s, e.lunghezza, km);

  // Stations first, shortened or moved away on a leader when crowded; then
  // the kilometres, the tunnels' names and the signals' where room is left.
  std::vector<etichetta> nomi_stazioni;
  for (const auto& [q, nome] : stazioni) {
    if (auto et = posa.presso(q, 6, nome, stile_nome, true, 110)) {
      nomi_stazioni.push_back(std::move(*et));
    }
  }
  std::vector<etichetta> nomi_gallerie;
  for (const tratto_linea& g : e.gallerie) {
    if (g.nome.empty()) continue;
    const auto q = u.a(s, (g.da + g.a) / 2);
    if (!q) continue;
    if (auto et = posa.presso(*q, 3, g.nome, stile_galleria, true, 90)) {
      nomi_gallerie.push_back(std::move(*et));
    }
  }
  std::vector<etichetta> nomi_segnali;
  for (const auto& [q, m] : segnali) {
    if (auto et = posa.presso(q, 3, chilometrica(m), stile_segnale, false)) {
      nomi_segnali.push_back(std::move(*et));
    }
  }
  gruppo_di_etichette(d, "nomi_stazioni", nomi_stazioni, "nome");
  gruppo_di_etichette(d, "nomi_gallerie", nomi_gallerie, "galleria_nome");
  gruppo_di_etichette(d, "nomi_km", km, "km");
  gruppo_di_etichette(d, "nomi_segnali", nomi_segnali, "segnale_nome");
  barra_di_scala(d, s, margine_alto + s.altezza() + 60);
  legenda(d, margine_sinistro + s.larghezza() + 30, margine_alto + 10);
  return d.chiudi();
}

std::vector<punto_svg> posizioni_pianta(const scenario_compilato& sc, const elementi_linea& e,
                                        const std::vector<double>& metri) {
  const std::vector<punto_metri> p = punti_del_piano(sc.piano, e.lunghezza);
  const std::optional<scala_piano> scala = scala_di(p);
  std::vector<punto_svg> r;
  if (!scala) return r;
  const punti_usabili u(p);
  for (const double m : metri)
    r.push_back(u.a(*scala, m).value_or(punto_svg{scala->ox, scala->oy}));
  return r;
}

}  // namespace scenario
