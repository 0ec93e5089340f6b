// The field stream of both scenario sources. Reads from memory: a buffer and a
// label (the file name, for diagnostics). A line end (CR LF, or a lone CR or LF)
// is only a delimiter; every field knows the line and column where it starts.
//
// Rules: spaces before a field are skipped; a text field runs to the next comma
// or line end (a leading double quote runs it to the next quote); a numeric
// field is an optional "-" and decimal digits, ended by a space, comma or line
// end, after which spaces and one comma or line end are consumed. An empty
// field reads as "" or 0; text that is not a number reads as 0.
// Only the space is skipped: tabs and every other byte are ordinary characters.
// Spaces before the comma that ends an unquoted text field are not part of it
// (before a line end they are); after a closing quote, the rest up to the
// comma or line end is dropped. A numeric token is a number only when it is
// all digits after an optional "-" ("12abc", "1.5", "+5" read as 0); digits
// that overflow the width are a failure however many there are.
// Reading is linear in the text and never looks outside it, whatever its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

enum class larghezza { byte8, intero16, lungo32 };

struct posizione_testo {
  int riga = 1;     // 1-based
  int colonna = 1;  // 1-based, in bytes
};

class lettore_campi {
 public:
  lettore_campi(std::string_view testo, std::string etichetta);

  // Each read returns false on a reading failure: a read that starts at the
  // end of the text, or a value that does not fit its width. The stream is
  // then unusable; the caller abandons it.
  bool leggi_testo(std::string& valore);
  bool leggi_numero(larghezza w, int32_t& valore);

  // The end-of-file test made after a read.
  bool fine() const { return pos_ >= testo_.size(); }

  // Where the field read last began, and its bytes as written (a numeric
  // field up to its ending space or comma, a text field with any quotes).
  posizione_testo inizio_campo() const { return inizio_; }
  std::string_view campo_grezzo() const { return grezzo_; }
  // The place of byte k of that field as written: a quoted field may run
  // over line ends, so a byte's line is not always the field's. Past the
  // field's end, the place just after it.
  posizione_testo posizione_nel_campo(size_t k) const;
  const std::string& etichetta() const { return etichetta_; }
  // The whole text of a 1-based line, without its line end (for diagnostics).
  std::string_view linea(int numero) const;

 private:
  bool a_fine_riga() const;
  // Steps over one byte, or over one whole line end, keeping corrente_ in step.
  void avanza();
  void salta_spazi();
  // Consumes one comma or one line end, if one stands at the cursor.
  void consuma_delimitatore();
  void leggi_tra_virgolette(std::string& valore);
  void leggi_fino_al_delimitatore(std::string& valore);

  std::string_view testo_;
  std::string etichetta_;
  size_t pos_ = 0;
  posizione_testo corrente_;  // place of pos_
  posizione_testo inizio_;
  std::string_view grezzo_;
};

}  // namespace scenario
