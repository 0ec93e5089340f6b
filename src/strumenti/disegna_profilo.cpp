#include "strumenti/disegna_profilo.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "strumenti/etichette.h"
#include "strumenti/svg.h"

namespace scenario {

namespace {

constexpr double larghezza = 1600;
constexpr double sinistra = 80;
constexpr double destra = 30;
constexpr double alto_nomi = 200;  // room for the station names
constexpr double altezza_quote = 280;
constexpr double spazio = 46;  // between the two panels
constexpr double altezza_velocita = 200;
constexpr double basso = 90;
constexpr double spessore_galleria = 9;
// Past this the picture gets no more: the document stays bounded by it.
constexpr size_t gallerie_massime = 1000;

constexpr stile_testo stile_titolo{18, true};
constexpr stile_testo stile_nota{12};
constexpr stile_testo stile_asse{11};
constexpr stile_testo stile_nome{11};
constexpr stile_testo stile_galleria{9};
constexpr stile_testo stile_pendenza{9};
constexpr stile_testo stile_rallentamento{10, true};

constexpr const char* stile = R"(text { font-family: DejaVu Sans, Arial, sans-serif; fill: #222; }
.titolo { font-size: 18px; font-weight: bold; }
.nota { font-size: 12px; fill: #555; }
.asse { font-size: 11px; fill: #444; }
.nome { font-size: 11px; paint-order: stroke; stroke: white; stroke-width: 3px; stroke-linejoin: round; }
.galleria_nome { font-size: 9px; fill: #333; paint-order: stroke; stroke: white; stroke-width: 2px; stroke-linejoin: round; }
.pendenza { font-size: 9px; fill: #6b4f1d; paint-order: stroke; stroke: white; stroke-width: 2px; stroke-linejoin: round; }
.cornice { fill: none; stroke: #888; stroke-width: 1; }
.griglia { stroke: #ececec; stroke-width: 1; }
.stazione { stroke: #c0392b; stroke-width: 0.8; stroke-dasharray: 3 3; }
.richiamo { stroke: #c0392b; stroke-width: 0.6; fill: none; }
.terreno { fill: #e9dfc9; stroke: none; }
.quota { fill: none; stroke: #6b4f1d; stroke-width: 1.6; stroke-linejoin: round; }
.galleria { fill: #3a3a3a; opacity: 0.85; }
.limite { fill: none; stroke: #1f4e99; stroke-width: 2; }
.rallentamento { fill: #f5b7b1; stroke: #c0392b; stroke-width: 1.2; }
.velocita_rallentamento { font-size: 10px; fill: #c0392b; font-weight: bold; paint-order: stroke; stroke: white; stroke-width: 2px; stroke-linejoin: round; }
.segnale { fill: #27ae60; stroke: #145a32; stroke-width: 0.8; }
)";

struct pannello {
  double x0, y0, larghezza, altezza;
  double min, max;   // the values at the bottom and at the top
  double lunghezza;  // metres across

  double x(double metri) const { return x0 + std::clamp(metri / lunghezza, 0.0, 1.0) * larghezza; }
  double y(double v) const {
    return y0 + altezza - std::clamp((v - min) / (max - min), 0.0, 1.0) * altezza;
  }
  riquadro interno() const { return {x0 + 1, y0 + 1, x0 + larghezza - 1, y0 + altezza - 1}; }
};

// Draws a text the layout places, with its box.
void fisso(documento_svg& d, double x, double y, std::string_view t, std::string_view classe,
           const stile_testo& stile, std::string_view ancora = "start", bool verticale = false) {
  disegna_etichetta(d, etichetta_fissa(x, y, t, stile, ancora, verticale), classe);
}

// A line whose x never goes back, as at most four points a pixel column (its
// first, highest, lowest and last, in their order): the same picture from
// any number of points.
std::vector<punto_svg> per_colonna(const std::vector<punto_svg>& p) {
  std::vector<punto_svg> r;
  for (size_t i = 0; i < p.size();) {
    const double colonna = std::floor(p[i].x);
    size_t fine = i;
    size_t alto = i, basso = i;
    while (fine < p.size() && std::floor(p[fine].x) == colonna) {
      if (p[fine].y < p[alto].y) alto = fine;
      if (p[fine].y > p[basso].y) basso = fine;
      ++fine;
    }
    if (fine - i <= 4) {
      for (size_t k = i; k < fine; ++k) r.push_back(p[k]);
    } else {
      std::vector<size_t> scelti{i, std::min(alto, basso), std::max(alto, basso), fine - 1};
      scelti.erase(std::unique(scelti.begin(), scelti.end()), scelti.end());
      for (const size_t k : scelti) r.push_back(p[k]);
    }
    i = fine;
  }
  return r;
}

void tacche_orizzontali(documento_svg& d, const pannello& p, double passo,
                        const std::string& unita) {
  // Counted, not summed: a step below the spacing of doubles cannot stall it.
  const double primo = std::ceil(p.min / passo);
  for (int i = 0; i < 40 && (primo + i) * passo <= p.max + passo * 1e-9; ++i) {
    const double v = (primo + i) * passo;
    d.linea(p.x0, p.y(v), p.x0 + p.larghezza, p.y(v), "griglia");
    fisso(d, p.x0 - 6, p.y(v) + 4, numero_svg(v) + unita, "asse", stile_asse, "end");
  }
}

void chilometri(documento_svg& d, const pannello& sopra, const pannello& sotto) {
  const double passo = passo_rotondo(sotto.lunghezza, 20);
  for (int i = 0; i < 60 && i * passo <= sotto.lunghezza + 1e-6; ++i) {
    const double m = i * passo;
    const double x = sotto.x(m);
    d.linea(x, sopra.y0, x, sopra.y0 + sopra.altezza, "griglia");
    d.linea(x, sotto.y0, x, sotto.y0 + sotto.altezza, "griglia");
    fisso(d, x, sotto.y0 + sotto.altezza + 16, numero_svg(m / 1000), "asse", stile_asse, "middle");
  }
  fisso(d, sotto.x0 + sotto.larghezza / 2, sotto.y0 + sotto.altezza + 36,
        "km dall'inizio del percorso", "asse", stile_asse, "middle");
}

// The altitude at a position, between the two boundaries around it.
double quota_a(const std::vector<quota>& q, double metri) {
  if (q.empty()) return 0;
  const auto dopo = std::lower_bound(q.begin(), q.end(), metri,
                                     [](const quota& a, double m) { return a.posizione < m; });
  if (dopo == q.begin()) return q.front().metri;
  if (dopo == q.end()) return q.back().metri;
  const quota& a = *(dopo - 1);
  const quota& b = *dopo;
  const double t =
      b.posizione > a.posizione ? (metri - a.posizione) / (b.posizione - a.posizione) : 0;
  return a.metri + (b.metri - a.metri) * t;
}

// Tunnels as bands in pixels: apart by at least a pixel, at least 1.5 wide,
// and never more than gallerie_massime (the nearest joined first).
std::vector<std::pair<double, double>> bande_gallerie(const pannello& p,
                                                      const std::vector<tratto_linea>& g) {
  std::vector<std::pair<double, double>> x;
  for (const tratto_linea& t : g) x.push_back({p.x(t.da), std::max(p.x(t.a), p.x(t.da) + 1.5)});
  std::sort(x.begin(), x.end());
  for (double soglia = 1;; soglia *= 2) {
    std::vector<std::pair<double, double>> r;
    for (const auto& b : x) {
      if (!r.empty() && b.first <= r.back().second + soglia) {
        r.back().second = std::max(r.back().second, b.second);
      } else {
        r.push_back(b);
      }
    }
    if (r.size() <= gallerie_massime || soglia > p.larghezza) return r;
  }
}

// The metre at a pixel column of the panel.
double metri_a(const pannello& p, double x) { return (x - p.x0) / p.larghezza * p.lunghezza; }

// The altitude line over the terrain, the tunnels as dark bands under it.
void profilo_quote(documento_svg& d, posatore_etichette& posa, const pannello& p,
                   const elementi_linea& e) {
  std::vector<punto_svg> tutti;
  for (const quota& q : e.quote) tutti.push_back({p.x(q.posizione), p.y(q.metri)});
  const std::vector<punto_svg> linea = per_colonna(tutti);
  std::vector<punto_svg> area = linea;
  if (!area.empty()) {
    area.push_back({area.back().x, p.y0 + p.altezza});
    area.push_back({area.front().x, p.y0 + p.altezza});
  }
  d.poligono(area, "terreno");
  // Bands and line points both run left to right: one sweep.
  size_t k = 0;
  for (const auto& [xa, xb] : bande_gallerie(p, e.gallerie)) {
    std::vector<punto_svg> forma{{xa, p.y(quota_a(e.quote, metri_a(p, xa)))}};
    while (k < linea.size() && linea[k].x <= xa) ++k;
    for (; k < linea.size() && linea[k].x < xb; ++k) forma.push_back(linea[k]);
    forma.push_back({xb, p.y(quota_a(e.quote, metri_a(p, xb)))});
    const size_t sopra = forma.size();
    for (size_t i = sopra; i-- > 0;) forma.push_back({forma[i].x, forma[i].y + spessore_galleria});
    d.poligono(forma, "galleria");
    std::vector<punto_svg> mezzo(forma.begin(), forma.begin() + static_cast<ptrdiff_t>(sopra));
    for (punto_svg& q : mezzo) q.y += spessore_galleria / 2;
    posa.ostacolo_polilinea(mezzo, spessore_galleria / 2 + 0.5);
  }
  d.polilinea(linea, "quota");
  posa.ostacolo_polilinea(linea, 1.5);
  d.rettangolo(p.x0, p.y0, p.larghezza, p.altezza, "cornice");
}

// Each tunnel's name under its band, else lower, beside or above the line;
// where the whole name finds no room, a shorter one.
std::vector<etichetta> nomi_gallerie(posatore_etichette& posa, const pannello& p,
                                     const elementi_linea& e) {
  std::vector<etichetta> r;
  for (const tratto_linea& g : e.gallerie) {
    if (g.nome.empty()) continue;
    const double centro = (p.x(g.da) + p.x(g.a)) / 2;
    const double y = p.y(quota_a(e.quote, (g.da + g.a) / 2));
    const double sotto = y + spessore_galleria + 2;
    for (const double massima : {140.0, 70.0, 35.0}) {
      const std::string nome = accorcia(g.nome, massima, stile_galleria);
      const riquadro forma = riquadro_testo(0, 0, nome, stile_galleria);
      const double w = forma.x1 - forma.x0, h = forma.y1 - forma.y0;
      std::vector<punto_svg> angoli;
      for (const double dy : {0.0, 10.0, 20.0, 30.0, 40.0}) {
        for (const double dx : {0.0, -0.5, 0.5}) {
          angoli.push_back({centro - w / 2 + dx * w, sotto + dy});
        }
      }
      for (const double dy : {4.0, 14.0, 24.0}) angoli.push_back({centro - w / 2, y - dy - h});
      if (auto et = posa.tra(angoli, nome, stile_galleria)) {
        if (nome != g.nome) et->completo = g.nome;
        r.push_back(std::move(*et));
        break;
      }
    }
  }
  return r;
}

// "+21‰" over each run of one gradient that leaves room for it: over its
// middle, else elsewhere along it.
std::vector<etichetta> valori_pendenze(posatore_etichette& posa, const pannello& p,
                                       const elementi_linea& e) {
  std::vector<etichetta> r;
  for (const gradino& g : e.pendenze) {
    std::string t = numero_svg(g.valore);
    if (g.valore > 0) t.insert(t.begin(), '+');
    t += '\x89';
    const riquadro forma = riquadro_testo(0, 0, t, stile_pendenza);
    const double w = forma.x1 - forma.x0, h = forma.y1 - forma.y0;
    const double xa = p.x(g.da), xb = p.x(g.a);
    if (xb - xa < w + 2) continue;
    std::vector<punto_svg> angoli;
    // The middle first, then every few pixels from it outwards (at most 40).
    const double campo = xb - xa - w - 2;
    const double passo = std::max(campo / 40, 4.0);
    std::vector<double> posti{0.5 * campo};
    for (double d = passo; d <= campo / 2; d += passo) {
      posti.push_back(0.5 * campo - d);
      posti.push_back(0.5 * campo + d);
    }
    for (const double f : posti) {
      const double centro = xa + w / 2 + 1 + f;
      const double y = p.y(quota_a(e.quote, metri_a(p, centro)));
      for (const double dy : {3.0, 9.0, 16.0}) angoli.push_back({centro - w / 2, y - dy - h});
    }
    if (auto et = posa.tra(angoli, t, stile_pendenza)) r.push_back(std::move(*et));
  }
  return r;
}

// The line limit in force at a position: the last step that begins there or before.
double limite_a(const elementi_linea& e, double metri) {
  const auto dopo = std::upper_bound(e.limiti.begin(), e.limiti.end(), metri,
                                     [](double m, const gradino& g) { return m < g.da; });
  if (dopo == e.limiti.begin()) return e.limiti.empty() ? 0 : e.limiti.front().valore;
  return (dopo - 1)->valore;
}

struct tacca {
  double x0, x1;
  double limite, velocita;
};

// A slowdown is a notch down from the line limit to its speed, at least wide
// enough to be seen; notches that would overlap are one, at the lowest speed.
std::vector<tacca> tacche_rallentamenti(const pannello& p, const elementi_linea& e) {
  constexpr double larghezza_minima = 4;
  std::vector<tacca> t;
  for (const rallentamento_linea& r : e.rallentamenti) {
    const double centro = (p.x(r.da) + p.x(r.a)) / 2;
    const double mezza = std::max(p.x(r.a) - p.x(r.da), larghezza_minima) / 2;
    t.push_back(
        {centro - mezza, centro + mezza, limite_a(e, r.da), static_cast<double>(r.velocita)});
  }
  std::sort(t.begin(), t.end(), [](const tacca& a, const tacca& b) { return a.x0 < b.x0; });
  std::vector<tacca> r;
  for (const tacca& q : t) {
    if (!r.empty() && q.x0 <= r.back().x1 + 1) {
      r.back().x1 = std::max(r.back().x1, q.x1);
      r.back().limite = std::max(r.back().limite, q.limite);
      r.back().velocita = std::min(r.back().velocita, q.velocita);
    } else {
      r.push_back(q);
    }
  }
  return r;
}

std::vector<etichetta> profilo_velocita(documento_svg& d, posatore_etichette& posa,
                                        const pannello& p, const elementi_linea& e) {
  std::vector<punto_svg> gradini;
  for (const gradino& g : e.limiti) {
    gradini.push_back({p.x(g.da), p.y(g.valore)});
    gradini.push_back({p.x(g.a), p.y(g.valore)});
  }
  const std::vector<punto_svg> limite = per_colonna(gradini);
  d.polilinea(limite, "limite");
  posa.ostacolo_polilinea(limite, 1.5);
  std::vector<tacca> tacche = tacche_rallentamenti(p, e);
  for (const tacca& t : tacche) {
    const double sopra = p.y(std::max(t.limite, t.velocita));
    const double fondo = p.y(t.velocita);
    d.poligono({{t.x0, sopra}, {t.x0, fondo}, {t.x1, fondo}, {t.x1, sopra}}, "rallentamento");
    posa.ostacolo({t.x0 - 1, sopra - 1, t.x1 + 1, fondo + 1});
  }
  // Signals closer than a pixel are one mark.
  double ultimo = -1e9;
  for (const double s : e.segnali) {
    const double x = p.x(s);
    if (std::fabs(x - ultimo) < 1) continue;
    ultimo = x;
    const double y = p.y0 + p.altezza;
    d.poligono({{x, y - 8}, {x - 4, y}, {x + 4, y}}, "segnale");
    posa.ostacolo({x - 5, y - 9, x + 5, y});
  }
  d.rettangolo(p.x0, p.y0, p.larghezza, p.altezza, "cornice");
  std::vector<etichetta> r;
  for (const tacca& t : tacche) {
    const std::string v = numero_svg(t.velocita);
    const riquadro forma = riquadro_testo(0, 0, v, stile_rallentamento);
    const double w = forma.x1 - forma.x0, h = forma.y1 - forma.y0;
    const double centro = (t.x0 + t.x1) / 2;
    const double sopra = p.y(std::max(t.limite, t.velocita));
    const double fondo = p.y(t.velocita);
    const double mezzo = (sopra + fondo) / 2 - h / 2;
    std::vector<punto_svg> angoli{{centro - w / 2, fondo + 2},
                                  {centro - w / 2, fondo + 12},
                                  {t.x1 + 2, mezzo},
                                  {t.x0 - 2 - w, mezzo},
                                  {centro - w / 2, sopra - 2 - h}};
    if (auto et = posa.tra(angoli, v, stile_rallentamento)) r.push_back(std::move(*et));
  }
  return r;
}

// Names stand upright above the panels, each clear of the next and cut to
// the room above; a name pushed off its station is tied to it by a line.
void stazioni(documento_svg& d, posatore_etichette& posa_sopra, posatore_etichette& posa_sotto,
              const pannello& sopra, const pannello& sotto, const elementi_linea& e, double cima) {
  const double passo = [] {
    const riquadro r = riquadro_testo(0, 0, "\xC8", stile_nome, true);
    return r.x1 - r.x0 + 1;
  }();
  std::vector<double> x;
  for (const stazione_linea& s : e.stazioni) x.push_back(sopra.x(s.posizione));
  std::vector<double> posto = x;
  std::vector<size_t> ordine(x.size());
  for (size_t i = 0; i < ordine.size(); ++i) ordine[i] = i;
  std::stable_sort(ordine.begin(), ordine.end(), [&](size_t a, size_t b) { return x[a] < x[b]; });
  // As many names as the width holds; the table holds fewer.
  const auto quanti = static_cast<size_t>(sopra.larghezza / passo);
  if (ordine.size() > quanti) ordine.resize(quanti);
  for (size_t k = 1; k < ordine.size(); ++k) {
    posto[ordine[k]] = std::max(posto[ordine[k]], posto[ordine[k - 1]] + passo);
  }
  const double limite = sopra.x0 + sopra.larghezza - passo / 2;
  for (size_t k = ordine.size(); k-- > 0;) {
    const double dopo = k + 1 < ordine.size() ? posto[ordine[k + 1]] - passo : limite;
    posto[ordine[k]] = std::min(posto[ordine[k]], dopo);
  }
  const double piede = sopra.y0 - 18;
  for (const double xi : x) {
    d.linea(xi, sopra.y0, xi, sotto.y0 + sotto.altezza, "stazione");
    posa_sopra.ostacolo_linea({xi, sopra.y0}, {xi, sopra.y0 + sopra.altezza}, 1);
    posa_sotto.ostacolo_linea({xi, sotto.y0}, {xi, sotto.y0 + sotto.altezza}, 1);
  }
  d.apri_gruppo("profilo_nomi_stazioni", "nomi_stazioni");
  for (const size_t i : ordine) {
    d.polilinea({{x[i], sopra.y0}, {x[i], piede + 10}, {posto[i], piede + 4}, {posto[i], piede}},
                "richiamo");
    const std::string& nome = e.stazioni[i].nome;
    const double base = piede - 3;
    const std::string corto = accorcia(nome, base - cima, stile_nome);
    if (corto.empty()) continue;
    const double xt = posto[i] + 4;
    d.testo_posto(xt, base, corto, "nome", riquadro_testo(xt, base, corto, stile_nome, true), true,
                  corto != nome ? std::string_view(nome) : std::string_view());
  }
  d.chiudi_gruppo();
}

void legenda(documento_svg& d, double x, double y) {
  d.rettangolo(x, y - 6, 24, 9, "galleria");
  fisso(d, x + 30, y + 3, "galleria", "nome", stile_nome);
  d.linea(x + 110, y, x + 134, y, "limite");
  fisso(d, x + 140, y + 3, "velocit\xE0 massima della linea", "nome", stile_nome);
  d.rettangolo(x + 330, y - 6, 24, 9, "rallentamento");
  fisso(d, x + 360, y + 3, "rallentamento", "nome", stile_nome);
  d.poligono({{x + 482, y - 6}, {x + 478, y + 2}, {x + 486, y + 2}}, "segnale");
  fisso(d, x + 494, y + 3, "segnale", "nome", stile_nome);
  d.linea(x + 570, y - 6, x + 570, y + 4, "stazione");
  fisso(d, x + 578, y + 3, "stazione", "nome", stile_nome);
  fisso(d, x + 670, y + 3, "+12\x89  pendenza (per mille)", "pendenza", stile_pendenza);
}

// A group of labels, id "profilo_" + its class.
void gruppo(documento_svg& d, std::string_view id, const std::vector<etichetta>& e,
            std::string_view classe) {
  d.apri_gruppo("profilo_" + std::string(id), id);
  for (const etichetta& q : e) disegna_etichetta(d, q, classe);
  d.chiudi_gruppo();
}

// The two panels, from the altitudes and the speeds they must hold.
struct pannelli {
  double piu_bassa = 0, piu_alta = 0;  // the altitudes met
  double passo_quote = 1, passo_velocita = 1;
  pannello sopra, sotto;
};

pannelli pannelli_di(const elementi_linea& e) {
  pannelli r{};
  for (const quota& q : e.quote) {
    r.piu_bassa = std::min(r.piu_bassa, q.metri);
    r.piu_alta = std::max(r.piu_alta, q.metri);
  }
  r.passo_quote = passo_rotondo(std::max(r.piu_alta - r.piu_bassa, 10.0), 6);
  const double basso_quote = std::floor(r.piu_bassa / r.passo_quote) * r.passo_quote;
  const double alto_quote =
      std::ceil(r.piu_alta / r.passo_quote) * r.passo_quote + r.passo_quote / 2;

  const double lunghezza = std::max(e.lunghezza, 1.0);
  const double ampiezza = larghezza - sinistra - destra;
  r.sopra = {sinistra, alto_nomi, ampiezza, altezza_quote, basso_quote, alto_quote, lunghezza};
  double massima = 0;
  for (const gradino& g : e.limiti) massima = std::max(massima, g.valore);
  r.passo_velocita = passo_rotondo(std::max(massima, 20.0), 5);
  r.sotto = {sinistra,
             alto_nomi + altezza_quote + spazio,
             ampiezza,
             altezza_velocita,
             0,
             std::ceil(std::max(massima, 20.0) / r.passo_velocita) * r.passo_velocita +
                 r.passo_velocita / 2,
             lunghezza};
  return r;
}

// The altitude at a position, between the cell boundaries' altitudes.
double quota_a(const elementi_linea& e, double metri) {
  const auto dopo = std::lower_bound(e.quote.begin(), e.quote.end(), metri,
                                     [](const quota& q, double m) { return q.posizione < m; });
  if (dopo == e.quote.end()) return e.quote.empty() ? 0 : e.quote.back().metri;
  if (dopo == e.quote.begin() || dopo->posizione == metri) return dopo->metri;
  const quota& prima = *(dopo - 1);
  const double t = (metri - prima.posizione) / (dopo->posizione - prima.posizione);
  return prima.metri + (dopo->metri - prima.metri) * t;
}

}  // namespace

std::string disegno_profilo(const elementi_linea& e, const std::string& titolo) {
  const double altezza = alto_nomi + altezza_quote + spazio + altezza_velocita + basso;
  documento_svg d(larghezza, altezza, titolo, stile);
  const double riga = larghezza - sinistra - destra;
  fisso(d, sinistra, 30, accorcia(titolo, riga, stile_titolo), "titolo", stile_titolo);

  const pannelli pp = pannelli_di(e);
  const double piu_bassa = pp.piu_bassa;
  const double piu_alta = pp.piu_alta;
  fisso(d, sinistra, 48,
        accorcia("Lunghezza " + numero_svg(e.lunghezza / 1000) +
                     " km; quota relativa all'inizio, dalle pendenze: da " +
                     numero_svg(std::round(piu_bassa)) + " a " + numero_svg(std::round(piu_alta)) +
                     " m; " + std::to_string(e.stazioni.size()) + " stazioni, " +
                     std::to_string(e.segnali.size()) + " segnali, " +
                     std::to_string(e.rallentamenti.size()) + " rallentamenti",
                 riga, stile_nota),
        "nota", stile_nota);
  const double cima = 62;  // the names' room starts below the note
  const double passo_quote = pp.passo_quote;
  const double passo_velocita = pp.passo_velocita;
  const pannello& sopra = pp.sopra;
  const pannello& sotto = pp.sotto;

  posatore_etichette posa_sopra(sopra.interno());
  posatore_etichette posa_sotto(sotto.interno());
  tacche_orizzontali(d, sopra, passo_quote, " m");
  tacche_orizzontali(d, sotto, passo_velocita, "");
  chilometri(d, sopra, sotto);
  stazioni(d, posa_sopra, posa_sotto, sopra, sotto, e, cima);
  profilo_quote(d, posa_sopra, sopra, e);
  const std::vector<etichetta> gallerie = nomi_gallerie(posa_sopra, sopra, e);
  const std::vector<etichetta> pendenze = valori_pendenze(posa_sopra, sopra, e);
  const std::vector<etichetta> velocita = profilo_velocita(d, posa_sotto, sotto, e);
  gruppo(d, "nomi_gallerie", gallerie, "galleria_nome");
  gruppo(d, "valori_pendenze", pendenze, "pendenza");
  gruppo(d, "velocita_rallentamenti", velocita, "velocita_rallentamento");
  fisso(d, sinistra - 56, sopra.y0 + sopra.altezza / 2, "quota relativa (m)", "asse", stile_asse,
        "middle", true);
  fisso(d, sinistra - 56, sotto.y0 + sotto.altezza / 2, "velocit\xE0 (km/h)", "asse", stile_asse,
        "middle", true);
  legenda(d, sinistra, altezza - 22);
  return d.chiudi();
}

posizioni_profilo_linea posizioni_profilo(const elementi_linea& e,
                                          const std::vector<double>& metri) {
  const pannelli pp = pannelli_di(e);
  posizioni_profilo_linea r;
  r.alto = pp.sopra.y0;
  r.basso = pp.sotto.y0 + pp.sotto.altezza;
  for (const double m : metri) r.punti.push_back({pp.sopra.x(m), pp.sopra.y(quota_a(e, m))});
  return r;
}

}  // namespace scenario
