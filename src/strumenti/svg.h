// A small SVG writer: a document of fixed size with a style sheet, and the
// few elements the drawings use. Numbers are written with at most two
// decimals (never NaN or infinite); texts are single-byte Windows-1252 (the
// compiled files' names and the program's own words), turned into UTF-8 and
// escaped, so the document is well-formed XML whatever bytes a name holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scenario {

struct punto_svg {
  double x = 0;
  double y = 0;
};

// An upright box, x0 <= x1 and y0 <= y1; boxes that only share an edge do not touch.
struct riquadro {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;

  bool tocca(const riquadro& r) const { return x0 < r.x1 && r.x0 < x1 && y0 < r.y1 && r.y0 < y1; }
  bool dentro(const riquadro& r) const {
    return x0 >= r.x0 && y0 >= r.y0 && x1 <= r.x1 && y1 <= r.y1;
  }
};

class documento_svg {
 public:
  documento_svg(double larghezza, double altezza, std::string_view titolo, std::string_view stile);

  void rettangolo(double x, double y, double larghezza, double altezza, std::string_view classe);
  void linea(double x1, double y1, double x2, double y2, std::string_view classe);
  void polilinea(const std::vector<punto_svg>& punti, std::string_view classe);
  // A closed shape, for filled areas.
  void poligono(const std::vector<punto_svg>& punti, std::string_view classe);
  // With a tooltip when `titolo` is not empty.
  void cerchio(double cx, double cy, double r, std::string_view classe,
               std::string_view titolo = {});
  // `ancora` is start, middle or end; a rotation turns the text about (x, y).
  void testo(double x, double y, std::string_view t, std::string_view classe,
             std::string_view ancora = "start", double rotazione = 0);
  // A placed label: drawn from its start (turned to read upwards when
  // `verticale`), its box in data-riquadro="x0 y0 x1 y1", and the whole text
  // as its tooltip when `completo` is not empty (tooltips keep at most 255
  // bytes of a name).
  void testo_posto(double x, double y, std::string_view t, std::string_view classe,
                   const riquadro& box, bool verticale = false, std::string_view completo = {});
  // Groups, for what a page may show or hide: <g id=".." class="..">.
  void apri_gruppo(std::string_view id, std::string_view classe);
  void chiudi_gruppo();

  // The finished document.
  std::string chiudi();

 private:
  std::string punti(const std::vector<punto_svg>& p) const;
  std::string corpo_;
};

// A number as the drawings write it: at most two decimals, no trailing zeros.
std::string numero_svg(double x);
// A round step (1, 2 or 5 times a power of ten) that cuts `intervallo` into
// about `tacche` parts, for the ticks of an axis.
double passo_rotondo(double intervallo, int tacche);
// Windows-1252 text as escaped UTF-8 character data (control characters,
// which XML 1.0 forbids or discourages, become "?").
std::string testo_svg(std::string_view t);

}  // namespace scenario
