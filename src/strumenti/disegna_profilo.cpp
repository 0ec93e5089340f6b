#include "strumenti/disegna_profilo.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
constexpr double spazio_nomi = 12;  // least distance between two names

constexpr const char* stile = R"(text { font-family: DejaVu Sans, Arial, sans-serif; fill: #222; }
.titolo { font-size: 18px; font-weight: bold; }
.nota { font-size: 12px; fill: #555; }
.asse { font-size: 11px; fill: #444; }
.nome { font-size: 11px; paint-order: stroke; stroke: white; stroke-width: 3px; stroke-linejoin: round; }
.galleria_nome { font-size: 9px; fill: #333; }
.cornice { fill: none; stroke: #888; stroke-width: 1; }
.griglia { stroke: #ececec; stroke-width: 1; }
.stazione { stroke: #c0392b; stroke-width: 0.8; stroke-dasharray: 3 3; }
.richiamo { stroke: #c0392b; stroke-width: 0.6; fill: none; }
.terreno { fill: #e9dfc9; stroke: none; }
.quota { fill: none; stroke: #6b4f1d; stroke-width: 1.6; stroke-linejoin: round; }
.galleria { fill: #3a3a3a; opacity: 0.85; }
.limite { fill: none; stroke: #1f4e99; stroke-width: 2; }
.rallentamento { fill: #f5b7b1; stroke: #c0392b; stroke-width: 1.2; }
.velocita_rallentamento { font-size: 10px; fill: #c0392b; font-weight: bold; }
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
};

void tacche_orizzontali(documento_svg& d, const pannello& p, double passo,
                        const std::string& unita) {
  for (double v = std::ceil(p.min / passo) * passo; v <= p.max + passo * 1e-9; v += passo) {
    d.linea(p.x0, p.y(v), p.x0 + p.larghezza, p.y(v), "griglia");
    d.testo(p.x0 - 6, p.y(v) + 4, numero_svg(v) + unita, "asse", "end");
  }
}

void chilometri(documento_svg& d, const pannello& sopra, const pannello& sotto) {
  const double passo = passo_rotondo(sotto.lunghezza, 20);
  for (double m = 0; m <= sotto.lunghezza + 1e-6; m += passo) {
    const double x = sotto.x(m);
    d.linea(x, sopra.y0, x, sopra.y0 + sopra.altezza, "griglia");
    d.linea(x, sotto.y0, x, sotto.y0 + sotto.altezza, "griglia");
    d.testo(x, sotto.y0 + sotto.altezza + 16, numero_svg(m / 1000), "asse", "middle");
  }
  d.testo(sotto.x0 + sotto.larghezza / 2, sotto.y0 + sotto.altezza + 36,
          "km dall'inizio del percorso", "asse", "middle");
}

void profilo_quote(documento_svg& d, const pannello& p, const elementi_linea& e) {
  std::vector<punto_svg> linea;
  for (const quota& q : e.quote) linea.push_back({p.x(q.posizione), p.y(q.metri)});
  std::vector<punto_svg> area = linea;
  if (!area.empty()) {
    area.push_back({area.back().x, p.y0 + p.altezza});
    area.push_back({area.front().x, p.y0 + p.altezza});
  }
  d.poligono(area, "terreno");
  // A tunnel is a dark band under the altitude line.
  for (const tratto_linea& g : e.gallerie) {
    std::vector<punto_svg> banda;
    for (const quota& q : e.quote) {
      if (q.posizione >= g.da && q.posizione <= g.a)
        banda.push_back({p.x(q.posizione), p.y(q.metri)});
    }
    if (banda.empty())
      banda.push_back({p.x(g.da), p.y(e.quote.empty() ? 0 : e.quote.front().metri)});
    const double xa = p.x(g.da);
    const double xb = std::max(p.x(g.a), xa + 1.5);
    std::vector<punto_svg> forma{{xa, banda.front().y}};
    for (const punto_svg& b : banda) forma.push_back(b);
    forma.push_back({xb, banda.back().y});
    for (size_t i = forma.size(); i-- > 0;) forma.push_back({forma[i].x, forma[i].y + 9});
    d.poligono(forma, "galleria");
    const double spazio_nome = xb - xa;
    if (!g.nome.empty() && spazio_nome > 5.5 * static_cast<double>(g.nome.size())) {
      d.testo((xa + xb) / 2, banda.front().y + 21, g.nome, "galleria_nome", "middle");
    }
  }
  d.polilinea(linea, "quota");
  d.rettangolo(p.x0, p.y0, p.larghezza, p.altezza, "cornice");
}

// The line limit in force at a position: the last step that begins there or before.
double limite_a(const elementi_linea& e, double metri) {
  double v = e.limiti.empty() ? 0 : e.limiti.front().valore;
  for (const gradino& g : e.limiti) {
    if (g.da > metri) break;
    v = g.valore;
  }
  return v;
}

// A slowdown is a notch down from the line limit to its speed, at least wide
// enough to be seen, with the speed under it.
void rallentamenti(documento_svg& d, const pannello& p, const elementi_linea& e) {
  constexpr double larghezza_minima = 4;
  for (const rallentamento_linea& r : e.rallentamenti) {
    const double centro = (p.x(r.da) + p.x(r.a)) / 2;
    const double mezza = std::max(p.x(r.a) - p.x(r.da), larghezza_minima) / 2;
    const double sopra = p.y(std::max(limite_a(e, r.da), static_cast<double>(r.velocita)));
    const double fondo = p.y(r.velocita);
    d.poligono({{centro - mezza, sopra},
                {centro - mezza, fondo},
                {centro + mezza, fondo},
                {centro + mezza, sopra}},
               "rallentamento");
    d.testo(centro, fondo + 13, std::to_string(r.velocita), "velocita_rallentamento", "middle");
  }
}

void profilo_velocita(documento_svg& d, const pannello& p, const elementi_linea& e) {
  std::vector<punto_svg> gradini;
  for (const gradino& g : e.limiti) {
    gradini.push_back({p.x(g.da), p.y(g.valore)});
    gradini.push_back({p.x(g.a), p.y(g.valore)});
  }
  d.polilinea(gradini, "limite");
  rallentamenti(d, p, e);
  for (const double s : e.segnali) {
    const double x = p.x(s);
    const double y = p.y0 + p.altezza;
    d.poligono({{x, y - 8}, {x - 4, y}, {x + 4, y}}, "segnale");
  }
  d.rettangolo(p.x0, p.y0, p.larghezza, p.altezza, "cornice");
}

// Names stand upright above the panels, each at least spazio_nomi from the
// next; a name pushed off its station is tied to it by a short line.
void stazioni(documento_svg& d, const pannello& sopra, const pannello& sotto,
              const elementi_linea& e) {
  std::vector<double> x;
  for (const stazione_linea& s : e.stazioni) x.push_back(sopra.x(s.posizione));
  std::vector<double> posto = x;
  std::vector<size_t> ordine(x.size());
  for (size_t i = 0; i < ordine.size(); ++i) ordine[i] = i;
  std::stable_sort(ordine.begin(), ordine.end(), [&](size_t a, size_t b) { return x[a] < x[b]; });
  for (size_t k = 1; k < ordine.size(); ++k) {
    posto[ordine[k]] = std::max(posto[ordine[k]], posto[ordine[k - 1]] + spazio_nomi);
  }
  const double limite = sopra.x0 + sopra.larghezza;
  for (size_t k = ordine.size(); k-- > 0;) {
    const double dopo = k + 1 < ordine.size() ? posto[ordine[k + 1]] - spazio_nomi : limite;
    posto[ordine[k]] = std::min(posto[ordine[k]], dopo);
  }
  const double piede = sopra.y0 - 18;
  for (size_t i = 0; i < x.size(); ++i) {
    d.linea(x[i], sopra.y0, x[i], sotto.y0 + sotto.altezza, "stazione");
    d.polilinea({{x[i], sopra.y0}, {x[i], piede + 10}, {posto[i], piede + 4}, {posto[i], piede}},
                "richiamo");
    d.testo(posto[i] + 4, piede - 2, e.stazioni[i].nome, "nome", "start", -90);
  }
}

void legenda(documento_svg& d, double x, double y) {
  d.rettangolo(x, y - 6, 24, 9, "galleria");
  d.testo(x + 30, y + 3, "galleria", "nome");
  d.linea(x + 110, y, x + 134, y, "limite");
  d.testo(x + 140, y + 3, "velocita' massima della linea", "nome");
  d.rettangolo(x + 330, y - 6, 24, 9, "rallentamento");
  d.testo(x + 360, y + 3, "rallentamento", "nome");
  d.poligono({{x + 482, y - 6}, {x + 478, y + 2}, {x + 486, y + 2}}, "segnale");
  d.testo(x + 494, y + 3, "segnale", "nome");
  d.linea(x + 570, y - 6, x + 570, y + 4, "stazione");
  d.testo(x + 578, y + 3, "stazione", "nome");
}

}  // namespace

std::string disegno_profilo(const elementi_linea& e, const std::string& titolo) {
  const double altezza = alto_nomi + altezza_quote + spazio + altezza_velocita + basso;
  documento_svg d(larghezza, altezza, titolo, stile);
  d.testo(sinistra, 30, titolo, "titolo");

  double piu_bassa = 0;
  double piu_alta = 0;
  for (const quota& q : e.quote) {
    piu_bassa = std::min(piu_bassa, q.metri);
    piu_alta = std::max(piu_alta, q.metri);
  }
  d.testo(sinistra, 48,
          "Lunghezza " + numero_svg(e.lunghezza / 1000) +
              " km; quota relativa all'inizio, dalle pendenze: da " +
              numero_svg(std::round(piu_bassa)) + " a " + numero_svg(std::round(piu_alta)) +
              " m; " + std::to_string(e.stazioni.size()) + " stazioni, " +
              std::to_string(e.segnali.size()) + " segnali, " +
              std::to_string(e.rallentamenti.size()) + " rallentamenti",
          "nota");
  const double passo_quote = passo_rotondo(std::max(piu_alta - piu_bassa, 10.0), 6);
  const double basso_quote = std::floor(piu_bassa / passo_quote) * passo_quote;
  const double alto_quote = std::ceil(piu_alta / passo_quote) * passo_quote + passo_quote / 2;

  const double lunghezza = std::max(e.lunghezza, 1.0);
  const double ampiezza = larghezza - sinistra - destra;
  const pannello sopra{sinistra,    alto_nomi,  ampiezza, altezza_quote,
                       basso_quote, alto_quote, lunghezza};
  double massima = 0;
  for (const gradino& g : e.limiti) massima = std::max(massima, g.valore);
  const double passo_velocita = passo_rotondo(std::max(massima, 20.0), 5);
  const pannello sotto{
      sinistra,
      alto_nomi + altezza_quote + spazio,
      ampiezza,
      altezza_velocita,
      0,
      std::ceil(std::max(massima, 20.0) / passo_velocita) * passo_velocita + passo_velocita / 2,
      lunghezza};

  tacche_orizzontali(d, sopra, passo_quote, " m");
  tacche_orizzontali(d, sotto, passo_velocita, "");
  chilometri(d, sopra, sotto);
  profilo_quote(d, sopra, e);
  profilo_velocita(d, sotto, e);
  stazioni(d, sopra, sotto, e);
  d.testo(sinistra - 56, sopra.y0 + sopra.altezza / 2, "quota relativa (m)", "asse", "middle", -90);
  d.testo(sinistra - 56, sotto.y0 + sotto.altezza / 2, "velocita' (km/h)", "asse", "middle", -90);
  legenda(d, sinistra, altezza - 22);
  return d.chiudi();
}

}  // namespace scenario
