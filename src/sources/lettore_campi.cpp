// The field stream: text and numeric fields over a buffer, with the place of
// each field. Every loop moves the cursor forward or stops, so reading is
// linear and ends whatever the bytes; nothing is read outside the buffer.
#include "sources/lettore_campi.h"

#include <climits>
#include <cstdint>

namespace scenario {

namespace {

bool e_fine_riga(char c) { return c == '\r' || c == '\n'; }

// Lines and columns stop counting at INT_MAX rather than wrap.
void incrementa(int& n) {
  if (n < INT_MAX) ++n;
}

struct limiti {
  int64_t minimo;
  int64_t massimo;
};

limiti limiti_di(larghezza w) {
  switch (w) {
    case larghezza::byte8:
      return {0, 255};
    case larghezza::intero16:
      return {INT16_MIN, INT16_MAX};
    case larghezza::lungo32:
      return {INT32_MIN, INT32_MAX};
  }
  return {0, 0};
}

// The value of a numeric token: a decimal integer with an optional leading
// "-" and nothing else; any other token ("", "-", "4x", "1.5", "+5", "5-")
// is not a number and gives 0. False when the digits do not fit the width.
// Accumulation stops as soon as the magnitude passes every width, so any
// number of digits is safe.
bool interpreta_numero(std::string_view parola, larghezza w, int32_t& valore) {
  const bool negativo = !parola.empty() && parola[0] == '-';
  const std::string_view cifre = parola.substr(negativo ? 1 : 0);
  const bool e_numero =
      !cifre.empty() && cifre.find_first_not_of("0123456789") == std::string_view::npos;
  if (!e_numero) {
    valore = 0;
    return true;
  }
  constexpr int64_t oltre = int64_t{1} << 32;
  int64_t modulo = 0;
  for (const char c : cifre) {
    if (modulo < oltre) modulo = modulo * 10 + (c - '0');
  }
  const int64_t numero = negativo ? -modulo : modulo;
  const limiti l = limiti_di(w);
  if (numero < l.minimo || numero > l.massimo) return false;
  valore = static_cast<int32_t>(numero);
  return true;
}

}  // namespace

lettore_campi::lettore_campi(std::string_view testo, std::string etichetta)
    : testo_(testo), etichetta_(std::move(etichetta)) {}

bool lettore_campi::a_fine_riga() const { return !fine() && e_fine_riga(testo_[pos_]); }

void lettore_campi::avanza() {
  if (fine()) return;
  if (!a_fine_riga()) {
    ++pos_;
    incrementa(corrente_.colonna);
    return;
  }
  const bool cr_lf = testo_[pos_] == '\r' && pos_ + 1 < testo_.size() && testo_[pos_ + 1] == '\n';
  pos_ += cr_lf ? 2 : 1;
  incrementa(corrente_.riga);
  corrente_.colonna = 1;
}

void lettore_campi::salta_spazi() {
  while (!fine() && testo_[pos_] == ' ') avanza();
}

void lettore_campi::consuma_delimitatore() {
  if (fine()) return;
  if (testo_[pos_] == ',' || a_fine_riga()) avanza();
}

// From an opening quote to the closing one (line ends included); the rest of
// the field up to its comma or line end is dropped.
void lettore_campi::leggi_tra_virgolette(std::string& valore) {
  const size_t virgolette = pos_;
  avanza();
  const size_t da = pos_;
  while (!fine() && testo_[pos_] != '"') avanza();
  valore.assign(testo_.substr(da, pos_ - da));
  avanza();
  while (!fine() && testo_[pos_] != ',' && !a_fine_riga()) avanza();
  grezzo_ = testo_.substr(virgolette, pos_ - virgolette);
  consuma_delimitatore();
}

void lettore_campi::leggi_fino_al_delimitatore(std::string& valore) {
  const size_t da = pos_;
  while (!fine() && testo_[pos_] != ',' && !a_fine_riga()) avanza();
  std::string_view campo = testo_.substr(da, pos_ - da);
  grezzo_ = campo;
  // Only the spaces before a comma are dropped; before a line end or the end
  // of the text they belong to the value like any other space inside it.
  if (!fine() && testo_[pos_] == ',') {
    const size_t ultimo = campo.find_last_not_of(' ');
    campo = ultimo == std::string_view::npos ? std::string_view{} : campo.substr(0, ultimo + 1);
  }
  valore.assign(campo);
  consuma_delimitatore();
}

bool lettore_campi::leggi_testo(std::string& valore) {
  if (fine()) return false;
  salta_spazi();
  inizio_ = corrente_;
  if (!fine() && testo_[pos_] == '"') {
    leggi_tra_virgolette(valore);
  } else {
    leggi_fino_al_delimitatore(valore);
  }
  return true;
}

bool lettore_campi::leggi_numero(larghezza w, int32_t& valore) {
  if (fine()) return false;
  salta_spazi();
  inizio_ = corrente_;
  const size_t da = pos_;
  while (!fine() && testo_[pos_] != ' ' && testo_[pos_] != ',' && !a_fine_riga()) avanza();
  grezzo_ = testo_.substr(da, pos_ - da);
  const bool entra = interpreta_numero(grezzo_, w, valore);
  salta_spazi();
  consuma_delimitatore();
  return entra;
}

posizione_testo lettore_campi::posizione_nel_campo(size_t k) const {
  posizione_testo p = inizio_;
  const size_t fino = k < grezzo_.size() ? k : grezzo_.size();
  for (size_t i = 0; i < fino; ++i) {
    const char c = grezzo_[i];
    if (!e_fine_riga(c)) {
      incrementa(p.colonna);
      continue;
    }
    // CR LF is one line end, as the reader counts it.
    if (c == '\r' && i + 1 < grezzo_.size() && grezzo_[i + 1] == '\n') {
      if (i + 1 == fino) break;
      ++i;
    }
    incrementa(p.riga);
    p.colonna = 1;
  }
  return p;
}

std::string_view lettore_campi::linea(int numero) const {
  if (numero < 1) return {};
  size_t da = 0;
  for (int riga = 1; riga < numero; ++riga) {
    const size_t a_capo = testo_.find_first_of("\r\n", da);
    if (a_capo == std::string_view::npos) return {};
    const bool cr_lf =
        testo_[a_capo] == '\r' && a_capo + 1 < testo_.size() && testo_[a_capo + 1] == '\n';
    da = a_capo + (cr_lf ? 2 : 1);
  }
  const size_t a_capo = testo_.find_first_of("\r\n", da);
  return testo_.substr(da, a_capo == std::string_view::npos ? std::string_view::npos : a_capo - da);
}

}  // namespace scenario
