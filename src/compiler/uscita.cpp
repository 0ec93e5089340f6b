#include "compiler/uscita.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace scenario {

namespace {

// Little-endian encoders over a buffer sized up front: the layout is the code
// below, whatever the host's byte order or the compiler's padding, and each
// byte is one store (the plan image of a long route is tens of megabytes).
class codificatore {
 public:
  // Writes from `inizio` on; the caller provides the room.
  explicit codificatore(char* inizio) : p_(inizio) {}

  void put_u8(uint8_t v) { *p_++ = static_cast<char>(v); }
  void put_u16(uint16_t v) { put_le(v); }
  void put_i16(int16_t v) { put_le(static_cast<uint16_t>(v)); }
  void put_i32(int32_t v) { put_le(static_cast<uint32_t>(v)); }
  void put_f64(double v) {
    uint64_t bit = 0;
    static_assert(sizeof bit == sizeof v);
    std::memcpy(&bit, &v, sizeof bit);
    put_le(bit);
  }
  void put_testo(const std::string& testo, size_t n) {
    std::memcpy(p_, testo.data(), n);
    p_ += n;
  }
  char* cursore() const { return p_; }
  void riparti(char* inizio) { p_ = inizio; }

 private:
  // Least significant byte first; on a little-endian host that is the value's
  // own memory, copied in one move.
  template <typename T>
  void put_le(T v) {
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(p_, &v, sizeof v);
      p_ += sizeof v;
    } else {
      for (size_t i = 0; i < sizeof v; ++i) put_u8(static_cast<uint8_t>(v >> (8 * i)));
    }
  }

  char* p_;
};

constexpr size_t byte_cella = 15;
constexpr size_t byte_fissi_riga = 34;
constexpr size_t nome_massimo = 0xFFFF;  // the length field is 16 bits

size_t byte_valore(tipo_valore t) {
  switch (t) {
    case tipo_valore::intero:
      return 2 + 2;
    case tipo_valore::doppio:
      return 2 + 8;
    case tipo_valore::vuoto:
      break;
  }
  return 2;
}

void put_valore(codificatore& dst, const tracciato& t, int32_t m, int colonna) {
  const tipo_valore tipo = t.tipo(m, colonna);
  dst.put_u16(static_cast<uint16_t>(tipo));
  switch (tipo) {
    case tipo_valore::intero:
      // Stored from an int16, so the conversion back is exact.
      dst.put_i16(static_cast<int16_t>(t.valore(m, colonna)));
      break;
    case tipo_valore::doppio:
      dst.put_f64(t.valore(m, colonna));
      break;
    case tipo_valore::vuoto:
      break;
  }
}

size_t lunghezza_nome(const voce_scenario& r) { return std::min(r.nome.size(), nome_massimo); }

void put_riga(codificatore& dst, const voce_scenario& r) {
  dst.put_u8(r.tipo);
  dst.put_i32(r.inizio);
  dst.put_i32(r.fine);
  dst.put_i32(r.posizione);
  dst.put_u8(r.dato1);
  const size_t n = lunghezza_nome(r);
  dst.put_u16(static_cast<uint16_t>(n));
  dst.put_testo(r.nome, n);
  dst.put_i16(r.dato4);
  dst.put_i16(r.dato5);
  dst.put_i16(r.dato7);
  dst.put_i16(r.dato8);
  dst.put_i16(r.dato9);
  dst.put_u8(r.dato6);
  dst.put_u8(r.dato10);
  dst.put_u8(r.dato3);
  dst.put_u8(r.dato2);
  dst.put_i32(r.orario);
}

void put_cella(codificatore& dst, const cella& c) {
  dst.put_u8(c.tipo_cella);
  dst.put_i16(c.valore1);
  dst.put_i16(c.valore2);
  dst.put_i16(c.valore3);
  dst.put_i16(c.valore4);
  dst.put_u8(c.tempo_segnale);
  dst.put_u8(c.avvicinamento);
  dst.put_u8(c.tipo_montagna);
  dst.put_u8(c.vel_limite);
  dst.put_u8(c.pendenza);
  dst.put_u8(c.aderenza);
}

}  // namespace

bool produci_linea(const tracciato& t, const scrivi_pezzo& scrivi) {
  if (!t.allocato()) return true;
  // Pieces of about 64 KiB: the plan of a long route is never held twice.
  constexpr size_t blocco = 65536;
  constexpr size_t valore_massimo = 10;
  std::vector<char> buffer(blocco + valore_massimo);
  codificatore dst(buffer.data());
  const char* soglia = buffer.data() + blocco;
  // Column order: every first coordinate, then every second one.
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (int32_t m = 0; m <= t.fine(); ++m) {
      put_valore(dst, t, m, colonna);
      if (dst.cursore() >= soglia) {
        if (!scrivi({buffer.data(), static_cast<size_t>(dst.cursore() - buffer.data())}))
          return false;
        dst.riparti(buffer.data());
      }
    }
  }
  return scrivi({buffer.data(), static_cast<size_t>(dst.cursore() - buffer.data())});
}

std::string immagine_linea(const tracciato& t) {
  if (!t.allocato()) return {};
  size_t dimensione = 0;
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (int32_t m = 0; m <= t.fine(); ++m) dimensione += byte_valore(t.tipo(m, colonna));
  }
  std::string dst(dimensione, '\0');
  codificatore c(dst.data());
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (int32_t m = 0; m <= t.fine(); ++m) put_valore(c, t, m, colonna);
  }
  return dst;
}

std::string immagine_treno(const tabella& t) {
  size_t dimensione = 0;
  for (const voce_scenario& r : t) dimensione += byte_fissi_riga + lunghezza_nome(r);
  std::string dst(dimensione, '\0');
  codificatore c(dst.data());
  for (const voce_scenario& r : t) put_riga(c, r);
  return dst;
}

std::string immagine_griglia(const std::vector<cella>& percorso) {
  std::string dst(byte_cella * percorso.size(), '\0');
  codificatore c(dst.data());
  for (const cella& x : percorso) put_cella(c, x);
  return dst;
}

}  // namespace scenario
