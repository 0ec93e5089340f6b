#include "strumenti/etichette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace scenario {

namespace {

// DejaVu Sans advances in 1/2048 em for each Windows-1252 byte; controls
// (drawn as "?") and bytes the code page leaves undefined take a full em.
constexpr std::array<uint16_t, 256> avanzamenti = {
    2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048,
    2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048, 2048,
    651,  821,  942,  1716, 1303, 1946, 1597, 563,  799,  799,  1024, 1716, 651,  739,  651,  690,
    1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 690,  690,  1716, 1716, 1716, 1087,
    2048, 1401, 1405, 1430, 1577, 1294, 1178, 1587, 1540, 604,  604,  1343, 1141, 1767, 1532, 1612,
    1235, 1612, 1423, 1300, 1251, 1499, 1401, 2025, 1403, 1251, 1403, 799,  690,  799,  1716, 1024,
    1024, 1255, 1300, 1126, 1300, 1260, 721,  1300, 1298, 569,  569,  1186, 569,  1995, 1298, 1253,
    1300, 1300, 842,  1067, 803,  1298, 1212, 1675, 1212, 1212, 1075, 1303, 690,  1303, 1716, 2048,
    1303, 2048, 651,  721,  1061, 2048, 1024, 1024, 1024, 2748, 1300, 819,  2191, 2048, 1403, 2048,
    2048, 651,  651,  1061, 1061, 1208, 1024, 2048, 1024, 2048, 1067, 819,  2095, 2048, 1075, 1251,
    651,  821,  1303, 1303, 1303, 1303, 690,  1024, 1024, 2048, 965,  1253, 1716, 739,  2048, 1024,
    1024, 1716, 821,  821,  1024, 1303, 1303, 651,  1024, 821,  965,  1253, 1985, 1985, 1985, 1087,
    1401, 1401, 1401, 1401, 1401, 1401, 1995, 1430, 1294, 1294, 1294, 1294, 604,  604,  604,  604,
    1587, 1532, 1612, 1612, 1612, 1612, 1612, 1716, 1612, 1499, 1499, 1499, 1499, 1251, 1239, 1290,
    1255, 1255, 1255, 1255, 1255, 1255, 2011, 1126, 1260, 1260, 1260, 1260, 569,  569,  569,  569,
    1253, 1298, 1253, 1253, 1253, 1253, 1253, 1716, 1253, 1298, 1298, 1298, 1298, 1212, 1300, 1212,
};
constexpr double em = 2048;
// The bold face is at most a quarter wider, glyph for glyph.
constexpr double piu_grassetto = 1.25;
// Room kept around the glyphs (the white halo of the names is 1.5 px).
constexpr double bordo = 1;
// A cell holding more than this is taken as full: bounded memory and work
// whatever crosses it.
constexpr size_t massimo_per_cella = 24;
constexpr char ellissi = '\x85';

double avanzamento(unsigned char c, const stile_testo& s) {
  return avanzamenti[c] / em * s.corpo * (s.grassetto ? piu_grassetto : 1.0);
}

// Whether segment a-b meets the box (Liang-Barsky clipping).
bool segmento_tocca(const punto_svg& a, const punto_svg& b, const riquadro& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const std::array<double, 4> p = {-dx, dx, -dy, dy};
  const std::array<double, 4> q = {a.x - r.x0, r.x1 - a.x, a.y - r.y0, r.y1 - a.y};
  for (size_t i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  return true;
}

riquadro allarga(const riquadro& r, double d) { return {r.x0 - d, r.y0 - d, r.x1 + d, r.y1 + d}; }

// The point of the box nearest to p.
punto_svg piu_vicino(const riquadro& r, const punto_svg& p) {
  return {std::clamp(p.x, r.x0, r.x1), std::clamp(p.y, r.y0, r.y1)};
}

}  // namespace

double larghezza_testo(std::string_view testo, const stile_testo& stile) {
  double l = 0;
  for (const char c : testo) l += avanzamento(static_cast<unsigned char>(c), stile);
  return l;
}

double salita_testo(std::string_view testo, const stile_testo& stile) {
  const bool accenti = std::any_of(testo.begin(), testo.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return (accenti ? 1901 : 1638) / em * stile.corpo;
}

double discesa_testo(const stile_testo& stile) { return 483 / em * stile.corpo; }

std::string accorcia(std::string_view testo, double massima, const stile_testo& stile) {
  if (larghezza_testo(testo, stile) <= massima) return std::string(testo);
  double l = avanzamento(static_cast<unsigned char>(ellissi), stile);
  if (l > massima) return {};
  size_t n = 0;
  while (n < testo.size()) {
    const double a = avanzamento(static_cast<unsigned char>(testo[n]), stile);
    if (l + a > massima) break;
    l += a;
    ++n;
  }
  while (n > 0 && testo[n - 1] == ' ') --n;
  return std::string(testo.substr(0, n)) + ellissi;
}

riquadro riquadro_testo(double x, double y, std::string_view testo, const stile_testo& stile,
                        bool verticale) {
  const double l = larghezza_testo(testo, stile);
  const double su = salita_testo(testo, stile);
  const double giu = discesa_testo(stile);
  if (verticale) return {x - su - bordo, y - l - bordo, x + giu + bordo, y + bordo};
  return {x - bordo, y - su - bordo, x + l + bordo, y + giu + bordo};
}

etichetta etichetta_in(const riquadro& box, std::string testo, std::string completo,
                       const stile_testo& stile, bool verticale) {
  etichetta e;
  const double su = salita_testo(testo, stile);
  if (verticale) {
    e.x = box.x0 + bordo + su;
    e.y = box.y1 - bordo;
  } else {
    e.x = box.x0 + bordo;
    e.y = box.y0 + bordo + su;
  }
  e.box = riquadro_testo(e.x, e.y, testo, stile, verticale);
  e.testo = std::move(testo);
  e.completo = std::move(completo);
  e.verticale = verticale;
  return e;
}

etichetta etichetta_fissa(double x, double y, std::string_view testo, const stile_testo& stile,
                          std::string_view ancora, bool verticale) {
  const double l = larghezza_testo(testo, stile);
  const double spostamento = ancora == "middle" ? l / 2 : ancora == "end" ? l : 0;
  etichetta e;
  e.testo = std::string(testo);
  e.verticale = verticale;
  e.x = verticale ? x : x - spostamento;
  e.y = verticale ? y + spostamento : y;
  e.box = riquadro_testo(e.x, e.y, testo, stile, verticale);
  return e;
}

void disegna_etichetta(documento_svg& d, const etichetta& e, std::string_view classe) {
  if (e.con_richiamo) {
    d.linea(e.richiamo_da.x, e.richiamo_da.y, e.richiamo_a.x, e.richiamo_a.y, "richiamo");
  }
  d.testo_posto(e.x, e.y, e.testo, classe, e.box, e.verticale, e.completo);
}

posatore_etichette::posatore_etichette(const riquadro& quadro, double cella)
    : quadro_(quadro), cella_(cella > 0 ? cella : 8) {
  // A bounded index however large the frame claims to be.
  constexpr double lato_massimo = 1024;
  const double largo = std::max(quadro_.x1 - quadro_.x0, 1.0);
  const double alto = std::max(quadro_.y1 - quadro_.y0, 1.0);
  cella_ = std::max({cella_, largo / lato_massimo, alto / lato_massimo});
  colonne_ = static_cast<size_t>(std::ceil(largo / cella_)) + 1;
  righe_ = static_cast<size_t>(std::ceil(alto / cella_)) + 1;
  celle_.resize(colonne_ * righe_);
  piene_.assign(colonne_ * righe_, false);
}

void posatore_etichette::celle_di(const riquadro& r, size_t& c0, size_t& r0, size_t& c1,
                                  size_t& r1) const {
  const auto indice = [&](double v, double origine, size_t n) {
    const double i = std::floor((v - origine) / cella_);
    if (!std::isfinite(i)) return i > 0 ? n - 1 : size_t{0};  // NaN: the first cell
    return static_cast<size_t>(std::clamp(i, 0.0, static_cast<double>(n - 1)));
  };
  c0 = indice(r.x0, quadro_.x0, colonne_);
  c1 = indice(r.x1, quadro_.x0, colonne_);
  r0 = indice(r.y0, quadro_.y0, righe_);
  r1 = indice(r.y1, quadro_.y0, righe_);
}

void posatore_etichette::aggiungi(const ostacolo_piano& o) {
  if (!o.box.tocca(allarga(quadro_, cella_))) return;
  size_t c0, r0, c1, r1;
  celle_di(o.box, c0, r0, c1, r1);
  const auto indice = static_cast<uint32_t>(ostacoli_.size());
  bool usato = false;
  for (size_t r = r0; r <= r1; ++r) {
    for (size_t c = c0; c <= c1; ++c) {
      const size_t k = r * colonne_ + c;
      if (piene_[k]) continue;
      if (celle_[k].size() >= massimo_per_cella) {
        piene_[k] = true;
        celle_[k].clear();
        celle_[k].shrink_to_fit();
        continue;
      }
      celle_[k].push_back(indice);
      usato = true;
    }
  }
  if (usato) ostacoli_.push_back(o);
}

void posatore_etichette::ostacolo(const riquadro& r) { aggiungi({r, false, {}, {}, 0}); }

void posatore_etichette::ostacolo_linea(const punto_svg& a, const punto_svg& b,
                                        double mezzo_spessore) {
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
    return;
  // Long segments go in pieces of about a cell, so each lies in few cells.
  const double lungo = std::hypot(b.x - a.x, b.y - a.y);
  const double pezzi_d = std::min(std::ceil(lungo / cella_), 4096.0);
  const auto pezzi = static_cast<size_t>(std::max(pezzi_d, 1.0));
  for (size_t i = 0; i < pezzi; ++i) {
    const double t0 = static_cast<double>(i) / static_cast<double>(pezzi);
    const double t1 = static_cast<double>(i + 1) / static_cast<double>(pezzi);
    const punto_svg p{a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0};
    const punto_svg q{a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1};
    const riquadro box =
        allarga({std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)},
                mezzo_spessore);
    aggiungi({box, true, p, q, mezzo_spessore, genere::linea});
  }
}

void posatore_etichette::ostacolo_polilinea(const std::vector<punto_svg>& punti,
                                            double mezzo_spessore) {
  for (size_t i = 1; i < punti.size(); ++i) ostacolo_linea(punti[i - 1], punti[i], mezzo_spessore);
  if (punti.size() == 1) ostacolo_linea(punti[0], punti[0], mezzo_spessore);
}

bool posatore_etichette::tocca(const ostacolo_piano& o, const riquadro& r) const {
  if (!o.box.tocca(r)) return false;
  if (!o.segmento) return true;
  return segmento_tocca(o.a, o.b, allarga(r, o.mezzo));
}

bool posatore_etichette::libero_da(const riquadro& r, bool solo_testi) const {
  size_t c0, r0, c1, r1;
  celle_di(r, c0, r0, c1, r1);
  for (size_t y = r0; y <= r1; ++y) {
    for (size_t x = c0; x <= c1; ++x) {
      const size_t k = y * colonne_ + x;
      if (piene_[k]) return false;
      for (const uint32_t i : celle_[k]) {
        const ostacolo_piano& o = ostacoli_[i];
        if (solo_testi && o.g != genere::testo) continue;
        if (tocca(o, r)) return false;
      }
    }
  }
  return true;
}

bool posatore_etichette::libero(const riquadro& r) const {
  return r.dentro(quadro_) && libero_da(r, false);
}

void posatore_etichette::occupa(const riquadro& r) {
  aggiungi({r, false, {}, {}, 0, genere::testo});
}

bool posatore_etichette::segmento_libero(const punto_svg& a, const punto_svg& b) const {
  const riquadro box{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                     std::max(a.y, b.y)};
  size_t c0, r0, c1, r1;
  celle_di(box, c0, r0, c1, r1);
  for (size_t y = r0; y <= r1; ++y) {
    for (size_t x = c0; x <= c1; ++x) {
      for (const uint32_t i : celle_[y * colonne_ + x]) {
        const ostacolo_piano& o = ostacoli_[i];
        if (o.g == genere::testo && segmento_tocca(a, b, allarga(o.box, 0.5))) return false;
      }
    }
  }
  return true;
}

std::optional<etichetta> posatore_etichette::intorno(const punto_svg& c, double distanza,
                                                     std::string_view testo,
                                                     std::string_view completo,
                                                     const stile_testo& stile, bool richiamo) {
  const riquadro forma = riquadro_testo(0, 0, testo, stile);
  const double w = forma.x1 - forma.x0;
  const double h = forma.y1 - forma.y0;
  // Beside the mark first (to the right, then the left, above and below,
  // then the corners); on the far rings every sixteenth of a turn.
  struct verso {
    double dx, dy;
  };
  constexpr verso vicini[] = {{1, -0.35}, {1, 0.35},   {-1, -0.35},  {-1, 0.35}, {0, -1},
                              {0, 1},     {0.7, -0.7}, {-0.7, -0.7}, {0.7, 0.7}, {-0.7, 0.7}};
  std::vector<verso> versi(std::begin(vicini), std::end(vicini));
  if (richiamo) {
    versi.clear();
    for (int i = 0; i < 16; ++i) {
      const double a = i * std::numbers::pi / 8;
      versi.push_back({std::cos(a), std::sin(a)});
    }
  }
  for (const verso& v : versi) {
    // The box's point nearest the mark lies `distanza` from its centre in
    // direction v.
    const double px = c.x + v.dx * distanza;
    const double py = c.y + v.dy * distanza;
    const double x0 = v.dx > 0.2 ? px : v.dx < -0.2 ? px - w : px - w / 2;
    const double y0 = v.dy > 0.2 ? py : v.dy < -0.2 ? py - h : py - h / 2;
    const riquadro box{x0, y0, x0 + w, y0 + h};
    if (!libero(box)) continue;
    etichetta e = etichetta_in(box, std::string(testo), std::string(completo), stile);
    if (richiamo) {
      const punto_svg fine = piu_vicino(box, c);
      const double d = std::hypot(fine.x - c.x, fine.y - c.y);
      if (d <= 0) continue;
      const double inizio = std::min(distanza, 6.0) / d;
      const double fermo = (d - 2) / d;
      e.con_richiamo = true;
      e.richiamo_da = {c.x + (fine.x - c.x) * inizio, c.y + (fine.y - c.y) * inizio};
      e.richiamo_a = {c.x + (fine.x - c.x) * fermo, c.y + (fine.y - c.y) * fermo};
      if (!segmento_libero(e.richiamo_da, e.richiamo_a)) continue;
    }
    occupa(e.box);
    if (e.con_richiamo) ostacolo_linea(e.richiamo_da, e.richiamo_a, 0.5);
    return e;
  }
  return std::nullopt;
}

std::optional<etichetta> posatore_etichette::presso(const punto_svg& centro, double raggio,
                                                    std::string_view testo,
                                                    const stile_testo& stile, bool lontano,
                                                    double corta) {
  if (testo.empty()) return std::nullopt;
  const double vicino = raggio + 2;
  if (auto e = intorno(centro, vicino, testo, {}, stile, false)) return e;
  const std::string breve = corta > 0 ? accorcia(testo, corta, stile) : std::string();
  const bool accorciato = !breve.empty() && breve != testo;
  if (accorciato) {
    if (auto e = intorno(centro, vicino, breve, testo, stile, false)) return e;
  }
  if (!lontano) return std::nullopt;
  for (const double d : {14.0, 24.0, 38.0, 56.0, 80.0}) {
    if (auto e = intorno(centro, raggio + d, testo, {}, stile, true)) return e;
    if (accorciato) {
      if (auto e = intorno(centro, raggio + d, breve, testo, stile, true)) return e;
    }
  }
  return std::nullopt;
}

std::optional<etichetta> posatore_etichette::tra(const std::vector<punto_svg>& angoli,
                                                 std::string_view testo, const stile_testo& stile,
                                                 bool verticale) {
  if (testo.empty()) return std::nullopt;
  const riquadro forma = riquadro_testo(0, 0, testo, stile, verticale);
  for (const punto_svg& a : angoli) {
    const riquadro box{a.x, a.y, a.x + forma.x1 - forma.x0, a.y + forma.y1 - forma.y0};
    if (!libero(box)) continue;
    etichetta e = etichetta_in(box, std::string(testo), {}, stile, verticale);
    occupa(e.box);
    return e;
  }
  return std::nullopt;
}

}  // namespace scenario
