#include "strumenti/svg.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "sources/testo_1252.h"

namespace scenario {

std::string numero_svg(double x) {
  if (!std::isfinite(x)) return "0";
  // Far beyond any drawing; keeps the text short.
  constexpr double limite = 1e9;
  if (std::fabs(x) > limite) x = x < 0 ? -limite : limite;
  std::array<char, 64> b{};
  std::snprintf(b.data(), b.size(), "%.2f", x);
  std::string s = b.data();
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

double passo_rotondo(double intervallo, int tacche) {
  if (!(intervallo > 0) || !std::isfinite(intervallo) || tacche < 1) return 1;
  const double grezzo = intervallo / tacche;
  const double potenza = std::pow(10.0, std::floor(std::log10(grezzo)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * potenza >= grezzo) return m * potenza;
  }
  return 10 * potenza;
}

std::string testo_svg(std::string_view t) {
  std::string r;
  for (const char ch : t) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&':
        r += "&amp;";
        break;
      case '<':
        r += "&lt;";
        break;
      case '>':
        r += "&gt;";
        break;
      case '"':
        r += "&quot;";
        break;
      case '\'':
        r += "&apos;";
        break;
      default:
        if (const char32_t u = carattere_1252(c); u < 0x20 || (u >= 0x7F && u < 0xA0)) {
          r += '?';
        } else {
          aggiungi_utf8(r, u);
        }
    }
  }
  return r;
}

namespace {

// A tooltip holds at most this many bytes of a name (a table row may hold
// 65535): the picture's size stays bounded by what it shows.
constexpr size_t titolo_massimo = 255;

std::string suggerimento(std::string_view t) {
  if (t.size() <= titolo_massimo) return testo_svg(t);
  return testo_svg(t.substr(0, titolo_massimo - 1)) + "\xE2\x80\xA6";
}

}  // namespace

documento_svg::documento_svg(double larghezza, double altezza, std::string_view titolo,
                             std::string_view stile) {
  const std::string l = numero_svg(larghezza);
  const std::string a = numero_svg(altezza);
  corpo_ =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"" +
      l + "\" height=\"" + a + "\" viewBox=\"0 0 " + l + " " + a + "\">\n<title>" +
      testo_svg(titolo) + "</title>\n<style>\n" + std::string(stile) +
      "</style>\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
}

void documento_svg::rettangolo(double x, double y, double larghezza, double altezza,
                               std::string_view classe) {
  corpo_ += "<rect x=\"" + numero_svg(x) + "\" y=\"" + numero_svg(y) + "\" width=\"" +
            numero_svg(larghezza) + "\" height=\"" + numero_svg(altezza) + "\" class=\"" +
            std::string(classe) + "\"/>\n";
}

void documento_svg::linea(double x1, double y1, double x2, double y2, std::string_view classe) {
  corpo_ += "<line x1=\"" + numero_svg(x1) + "\" y1=\"" + numero_svg(y1) + "\" x2=\"" +
            numero_svg(x2) + "\" y2=\"" + numero_svg(y2) + "\" class=\"" + std::string(classe) +
            "\"/>\n";
}

std::string documento_svg::punti(const std::vector<punto_svg>& p) const {
  std::string s;
  for (const punto_svg& q : p) {
    if (!s.empty()) s += ' ';
    s += numero_svg(q.x) + "," + numero_svg(q.y);
  }
  return s;
}

void documento_svg::polilinea(const std::vector<punto_svg>& p, std::string_view classe) {
  if (p.size() < 2) return;
  corpo_ += "<polyline points=\"" + punti(p) + "\" class=\"" + std::string(classe) + "\"/>\n";
}

void documento_svg::poligono(const std::vector<punto_svg>& p, std::string_view classe) {
  if (p.size() < 3) return;
  corpo_ += "<polygon points=\"" + punti(p) + "\" class=\"" + std::string(classe) + "\"/>\n";
}

void documento_svg::cerchio(double cx, double cy, double r, std::string_view classe,
                            std::string_view titolo) {
  corpo_ += "<circle cx=\"" + numero_svg(cx) + "\" cy=\"" + numero_svg(cy) + "\" r=\"" +
            numero_svg(r) + "\" class=\"" + std::string(classe) + "\"";
  if (titolo.empty()) {
    corpo_ += "/>\n";
  } else {
    corpo_ += "><title>" + suggerimento(titolo) + "</title></circle>\n";
  }
}

void documento_svg::testo(double x, double y, std::string_view t, std::string_view classe,
                          std::string_view ancora, double rotazione) {
  corpo_ += "<text x=\"" + numero_svg(x) + "\" y=\"" + numero_svg(y) + "\" class=\"" +
            std::string(classe) + "\" text-anchor=\"" + std::string(ancora) + "\"";
  if (rotazione != 0) {
    corpo_ += " transform=\"rotate(" + numero_svg(rotazione) + " " + numero_svg(x) + " " +
              numero_svg(y) + ")\"";
  }
  corpo_ += '>';
  corpo_ += testo_svg(t);
  corpo_ += "</text>\n";
}

void documento_svg::testo_posto(double x, double y, std::string_view t, std::string_view classe,
                                const riquadro& box, bool verticale, std::string_view completo) {
  corpo_ += "<text x=\"" + numero_svg(x) + "\" y=\"" + numero_svg(y) + "\" class=\"" +
            std::string(classe) + "\"";
  if (verticale) {
    corpo_ += " transform=\"rotate(-90 " + numero_svg(x) + " " + numero_svg(y) + ")\"";
  }
  corpo_ += " data-riquadro=\"" + numero_svg(box.x0) + " " + numero_svg(box.y0) + " " +
            numero_svg(box.x1) + " " + numero_svg(box.y1) + "\">";
  if (!completo.empty()) corpo_ += "<title>" + suggerimento(completo) + "</title>";
  corpo_ += testo_svg(t);
  corpo_ += "</text>\n";
}

void documento_svg::apri_gruppo(std::string_view id, std::string_view classe) {
  corpo_ += "<g id=\"" + std::string(id) + "\" class=\"" + std::string(classe) + "\">\n";
}

void documento_svg::chiudi_gruppo() { corpo_ += "</g>\n"; }

std::string documento_svg::chiudi() { return corpo_ + "</svg>\n"; }

}  // namespace scenario
