// Labels that never collide, for the drawings: a text's box from the font's
// own widths, a long text shortened with an ellipsis, and a placer that puts
// each label at the first free place around its anchor, against everything
// already there (labels, marks, the lines of the drawing) and inside the
// picture; a label with no free place is shortened, moved away on a leader
// line, or left out. Texts are single-byte Windows-1252, as drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "strumenti/svg.h"

namespace scenario {

// A text's face and size: the drawings use DejaVu Sans (wider than the
// fallbacks), so widths measured on it hold for them too.
struct stile_testo {
  double corpo = 11;  // font size, px
  bool grassetto = false;
};

// The advance of the text in px (1252 bytes; bold taken wider throughout).
double larghezza_testo(std::string_view testo, const stile_testo& stile);

// How far the glyphs reach above and below the baseline, px: accented
// capitals reach higher than any ASCII glyph.
double salita_testo(std::string_view testo, const stile_testo& stile);
double discesa_testo(const stile_testo& stile);

// The text as it fits in `massima` px: whole, or cut with "..." (one glyph,
// 1252 byte 0x85); empty when not even the ellipsis fits.
std::string accorcia(std::string_view testo, double massima, const stile_testo& stile);

// A label as placed: the text drawn at (x, y) from its start, horizontal or
// turned to read upwards, the box that holds its glyphs, and, when the text
// was shortened, the whole text for a tooltip; a label moved away from its
// anchor has a leader line.
struct etichetta {
  std::string testo;
  std::string completo;  // empty when `testo` is whole
  double x = 0;
  double y = 0;
  bool verticale = false;
  riquadro box;
  bool con_richiamo = false;
  punto_svg richiamo_da, richiamo_a;
};

// The label whose box starts at the corner (x0, y0) of `box`.
etichetta etichetta_in(const riquadro& box, std::string testo, std::string completo,
                       const stile_testo& stile, bool verticale = false);

// The box of a text drawn from (x, y), as documento_svg::testo draws it.
riquadro riquadro_testo(double x, double y, std::string_view testo, const stile_testo& stile,
                        bool verticale = false);

// A text at a place the layout fixes (titles, axes, legends), anchored at
// its start, middle or end as SVG anchors it; turned, it reads upwards.
etichetta etichetta_fissa(double x, double y, std::string_view testo, const stile_testo& stile,
                          std::string_view ancora = "start", bool verticale = false);

// The label into the document: its leader (class "richiamo") and its text.
void disegna_etichetta(documento_svg& d, const etichetta& e, std::string_view classe);

class posatore_etichette {
 public:
  // Labels go inside `quadro`; the picture is indexed in square cells.
  explicit posatore_etichette(const riquadro& quadro, double cella = 8);

  // Marks and lines: labels keep off them; a leader line may cross them.
  void ostacolo(const riquadro& r);
  void ostacolo_linea(const punto_svg& a, const punto_svg& b, double mezzo_spessore);
  void ostacolo_polilinea(const std::vector<punto_svg>& punti, double mezzo_spessore);

  // Inside the frame and touching nothing.
  bool libero(const riquadro& r) const;
  // A label's box taken as it is (titles, axes: the layout keeps them apart).
  void occupa(const riquadro& r);

  // A label beside a round mark of radius `raggio`: the first free of eight
  // places around it, then the text shortened to `corta` px at those places,
  // then (when `lontano`) farther rings tied back by a leader line.
  std::optional<etichetta> presso(const punto_svg& centro, double raggio, std::string_view testo,
                                  const stile_testo& stile, bool lontano, double corta = 0);
  // The first free of the given boxes' top-left corners for the text.
  std::optional<etichetta> tra(const std::vector<punto_svg>& angoli, std::string_view testo,
                               const stile_testo& stile, bool verticale = false);

 private:
  enum class genere : uint8_t { segno, linea, testo };
  struct ostacolo_piano {
    riquadro box;
    bool segmento = false;
    punto_svg a, b;
    double mezzo = 0;
    genere g = genere::segno;
  };
  void aggiungi(const ostacolo_piano& o);
  bool tocca(const ostacolo_piano& o, const riquadro& r) const;
  bool libero_da(const riquadro& r, bool solo_testi) const;
  bool segmento_libero(const punto_svg& a, const punto_svg& b) const;
  std::optional<etichetta> intorno(const punto_svg& centro, double distanza, std::string_view testo,
                                   std::string_view completo, const stile_testo& stile,
                                   bool richiamo);
  void celle_di(const riquadro& r, size_t& c0, size_t& r0, size_t& c1, size_t& r1) const;

  riquadro quadro_;
  double cella_;
  size_t colonne_ = 1, righe_ = 1;
  std::vector<ostacolo_piano> ostacoli_;
  std::vector<std::vector<uint32_t>> celle_;
  std::vector<bool> piene_;  // cells with too much in them: taken whole
};

}  // namespace scenario
