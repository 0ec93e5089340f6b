// The drawings' labels checked as geometry, from the SVG text alone: every
// <text> carries its box (data-riquadro="x0 y0 x1 y1"); no two boxes meet,
// every box lies inside the picture, and none meets a mark of the drawing
// (the circles, triangles, notches and bands, and the lines with their stroke).
// Returns one line per fault found.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::prova {

struct elemento_svg {
  std::string nome;
  std::map<std::string, std::string> attributi;
  std::string testo;  // for <text>: its character data, tooltip left out
};

// The elements in document order (a well-formed document, as errore_xml checks).
inline std::vector<elemento_svg> elementi_svg(std::string_view d) {
  std::vector<elemento_svg> r;
  for (size_t i = d.find('<'); i != std::string_view::npos; i = d.find('<', i + 1)) {
    if (i + 1 >= d.size() || d[i + 1] == '/' || d[i + 1] == '?' || d[i + 1] == '!') continue;
    elemento_svg e;
    size_t k = i + 1;
    while (k < d.size() && d[k] != ' ' && d[k] != '>' && d[k] != '/') e.nome += d[k++];
    const size_t fine = d.find('>', k);
    if (fine == std::string_view::npos) break;
    std::string_view attr = d.substr(k, fine - k);
    for (size_t a = 0;;) {
      const size_t uguale = attr.find("=\"", a);
      if (uguale == std::string_view::npos) break;
      size_t inizio = uguale;
      while (inizio > 0 && attr[inizio - 1] != ' ') --inizio;
      const size_t chiusa = attr.find('"', uguale + 2);
      e.attributi[std::string(attr.substr(inizio, uguale - inizio))] =
          std::string(attr.substr(uguale + 2, chiusa - uguale - 2));
      a = chiusa + 1;
    }
    if (e.nome == "text") {
      size_t t = fine + 1;
      if (d.substr(t, 7) == "<title>") t = d.find("</title>", t) + 8;
      e.testo = std::string(d.substr(t, d.find("</text>", t) - t));
    }
    r.push_back(std::move(e));
  }
  return r;
}

struct scatola {
  double x0, y0, x1, y1;
};

inline std::vector<double> numeri(const std::string& s) {
  std::vector<double> r;
  std::string t = s;
  std::replace(t.begin(), t.end(), ',', ' ');
  std::istringstream in(t);
  for (double v; in >> v;) r.push_back(v);
  return r;
}

inline bool segmento_nella_scatola(double ax, double ay, double bx, double by, const scatola& r) {
  double t0 = 0, t1 = 1;
  const double dx = bx - ax, dy = by - ay;
  const std::array<double, 4> p = {-dx, dx, -dy, dy};
  const std::array<double, 4> q = {ax - r.x0, r.x1 - ax, ay - r.y0, r.y1 - ay};
  for (size_t i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] <= 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    if (p[i] > 0) t1 = std::min(t1, t);
    if (t0 >= t1) return false;
  }
  return true;
}

inline bool punto_nel_poligono(double x, double y, const std::vector<double>& v) {
  bool dentro = false;
  const size_t n = v.size() / 2;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const double xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) dentro = !dentro;
  }
  return dentro;
}

// Half the stroke of the lines that are marks, by class.
inline const std::map<std::string, double>& tratti_segno() {
  static const std::map<std::string, double> t = {
      {"binario", 1},    {"galleria", 2.5}, {"quota", 0.8},    {"limite", 1},
      {"tacca_km", 0.6}, {"richiamo", 0.3}, {"stazione", 0.4},
  };
  return t;
}

inline std::vector<std::string> collisioni_etichette(std::string_view svg) {
  std::vector<std::string> guasti;
  const std::vector<elemento_svg> el = elementi_svg(svg);
  if (el.empty() || el[0].nome != "svg") return {"nessun <svg>"};
  const double w = std::atof(el[0].attributi.at("width").c_str());
  const double h = std::atof(el[0].attributi.at("height").c_str());
  std::vector<std::pair<scatola, std::string>> testi;
  for (const elemento_svg& e : el) {
    if (e.nome != "text") continue;
    const auto box = e.attributi.find("data-riquadro");
    if (box == e.attributi.end()) {
      guasti.push_back("testo senza riquadro: " + e.testo);
      continue;
    }
    const std::vector<double> v = numeri(box->second);
    const scatola s{v.at(0), v.at(1), v.at(2), v.at(3)};
    const double x = std::atof(e.attributi.at("x").c_str());
    const double y = std::atof(e.attributi.at("y").c_str());
    if (!(s.x0 < s.x1 && s.y0 < s.y1 && s.x0 <= x && x <= s.x1 && s.y0 <= y && y <= s.y1))
      guasti.push_back("riquadro che non contiene il testo: " + e.testo);
    if (s.x0 < 0 || s.y0 < 0 || s.x1 > w || s.y1 > h)
      guasti.push_back("fuori dal disegno: " + e.testo + " [" + box->second + "]");
    testi.push_back({s, e.testo});
  }
  for (size_t i = 0; i < testi.size(); ++i) {
    for (size_t k = i + 1; k < testi.size(); ++k) {
      const scatola& a = testi[i].first;
      const scatola& b = testi[k].first;
      if (a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1)
        guasti.push_back("\"" + testi[i].second + "\" copre \"" + testi[k].second + "\"");
    }
  }
  for (const elemento_svg& e : el) {
    const auto c = e.attributi.find("class");
    if (c == e.attributi.end()) continue;
    const std::string& classe = c->second;
    const auto nel = [&](const scatola& s) {
      for (const auto& [t, nome] : testi) {
        if (t.x0 < s.x1 && s.x0 < t.x1 && t.y0 < s.y1 && s.y0 < t.y1)
          guasti.push_back("\"" + nome + "\" copre un segno " + e.nome + " " + classe);
      }
    };
    if (e.nome == "circle" && (classe == "stazione" || classe == "segnale")) {
      const double cx = std::atof(e.attributi.at("cx").c_str());
      const double cy = std::atof(e.attributi.at("cy").c_str());
      const double r = std::atof(e.attributi.at("r").c_str()) + 0.5;
      nel({cx - r, cy - r, cx + r, cy + r});
    }
    const auto tratto = tratti_segno().find(classe);
    if ((e.nome == "polyline" || e.nome == "line") && tratto != tratti_segno().end()) {
      std::vector<double> v;
      if (e.nome == "line") {
        for (const char* a : {"x1", "y1", "x2", "y2"})
          v.push_back(std::atof(e.attributi.at(a).c_str()));
      } else {
        v = numeri(e.attributi.at("points"));
      }
      const double m = tratto->second;
      for (size_t i = 2; i + 1 < v.size(); i += 2) {
        for (const auto& [t, nome] : testi) {
          const scatola g{t.x0 - m, t.y0 - m, t.x1 + m, t.y1 + m};
          if (segmento_nella_scatola(v[i - 2], v[i - 1], v[i], v[i + 1], g))
            guasti.push_back("\"" + nome + "\" copre una linea " + classe);
        }
      }
    }
    if (e.nome == "polygon" &&
        (classe == "segnale" || classe == "rallentamento" || classe == "galleria")) {
      const std::vector<double> v = numeri(e.attributi.at("points"));
      const size_t n = v.size() / 2;
      for (const auto& [t, nome] : testi) {
        bool tocca = punto_nel_poligono((t.x0 + t.x1) / 2, (t.y0 + t.y1) / 2, v);
        for (size_t i = 0; i < n && !tocca; ++i) {
          const size_t j = (i + 1) % n;
          tocca = segmento_nella_scatola(v[2 * i], v[2 * i + 1], v[2 * j], v[2 * j + 1], t);
        }
        if (tocca) guasti.push_back("\"" + nome + "\" copre un segno " + classe);
      }
    }
  }
  return guasti;
}

}  // namespace scenario::prova
