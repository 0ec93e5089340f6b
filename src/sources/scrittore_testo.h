// The text-file writer shared by the two sources and the three documents: a
// table of up to 1001 literal lines closed by the end marker, written with
// CR LF after every line (the last included) through a whole-file replacement.
// The marker itself is never written. A table holds at most 1000 lines, so that
// the marker always has its place; a line beyond that is dropped and the table
// remembers it. The table holds views: the lines must outlive it (they are the
// program's literal lines).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "sources/disco.h"

namespace scenario {

inline constexpr std::string_view fine_del_file = "riferimento fine del file";

class tabella_righe {
 public:
  static constexpr size_t capacita = 1001;
  // Appends a line; the table keeps room for the closing marker.
  void aggiungi(std::string_view riga);
  // Places the end marker after the last line. It is no line: a later
  // aggiungi takes its place, and the table must be closed again.
  void chiudi();
  std::string_view operator[](size_t i) const { return voci_[i]; }
  // True once a line has been dropped for want of room.
  bool traboccata() const { return traboccata_; }

 private:
  std::array<std::string_view, capacita> voci_{};
  size_t usate_ = 0;
  bool traboccata_ = false;
};

// The bytes of the file: every entry before the first marker (or the whole
// table when there is none), each followed by CR LF.
std::string componi_testo(const tabella_righe& righe);
esito_io scrivi_testo(disco& d, const std::string& nome, const tabella_righe& righe);

}  // namespace scenario
