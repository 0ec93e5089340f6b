// A small SVG writer: a document of fixed size with a style sheet, and the
// few elements the drawings use. Numbers are written with at most two
// decimals (never NaN or infinite); texts are the program's single-byte
// strings, turned into UTF-8 as Latin-1 and escaped, so the document is
// well-formed XML whatever bytes a name holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scenario {

struct punto_svg {
  double x = 0;
  double y = 0;
};

class documento_svg {
 public:
  documento_svg(double larghezza, double altezza, std::string_view titolo, std::string_view stile);

  void rettangolo(double x, double y, double larghezza, double altezza, std::string_view classe);
  void linea(double x1, double y1, double x2, double y2, std::string_view classe);
  void polilinea(const std::vector<punto_svg>& punti, std::string_view classe);
  // A closed shape, for filled areas.
  void poligono(const std::vector<punto_svg>& punti, std::string_view classe);
  void cerchio(double cx, double cy, double r, std::string_view classe);
  // `ancora` is start, middle or end; a rotation turns the text about (x, y).
  void testo(double x, double y, std::string_view t, std::string_view classe,
             std::string_view ancora = "start", double rotazione = 0);

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
// Single-byte text as escaped UTF-8 character data (Latin-1 reading; control
// characters, which XML 1.0 forbids, become "?").
std::string testo_svg(std::string_view t);

}  // namespace scenario
