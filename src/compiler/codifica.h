// Little-endian coding of the compiled files' numbers, each writer beside its
// reader so the byte order is stated once: `flusso` puts values into a draft
// at a known offset through a bounded buffer, `lettore_le` gets them back from
// bytes in memory. Neither ever touches a byte past its end: the flusso hands
// its buffer on before a value would not fit, the reader reports a short read.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "sources/disco.h"

namespace scenario {

// One value of type T at p, least significant byte first, whatever the host.
template <typename T>
void codifica_le(char* p, T v) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  const U u = static_cast<U>(v);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &u, sizeof u);
  } else {
    for (size_t i = 0; i < sizeof u; ++i) p[i] = static_cast<char>(u >> (8 * i));
  }
}
template <typename T>
T decodifica_le(const char* p) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  U u = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&u, p, sizeof u);
  } else {
    for (size_t i = 0; i < sizeof u; ++i)
      u |= static_cast<U>(static_cast<unsigned char>(p[i])) << (8 * i);
  }
  return static_cast<T>(u);
}

// Values written in order from `offset` of a draft. The buffer goes to the
// draft when full and at `svuota`; after a failure of the draft the rest is
// dropped and the draft's esito tells why.
class flusso {
 public:
  static constexpr size_t capienza_normale = 65536;

  flusso(bozza& b, uint64_t offset, size_t capienza = capienza_normale)
      : bozza_(b), prossimo_(offset), buffer_(capienza < 16 ? 16 : capienza) {}

  template <typename T>
  void put(T v) {
    spazio(sizeof v);
    codifica_le(buffer_.data() + usati_, v);
    usati_ += sizeof v;
  }
  void put_u8(uint8_t v) { put(v); }
  void put_u16(uint16_t v) { put(v); }
  void put_i16(int16_t v) { put(v); }
  void put_i32(int32_t v) { put(v); }
  void put_f64(double v) { put(std::bit_cast<uint64_t>(v)); }
  void put_byte(std::string_view byte);

  // Hands the buffer to the draft; false once the draft has failed.
  bool svuota();
  // The offset of the next byte put.
  uint64_t posizione() const { return prossimo_ + usati_; }
  // Where the bytes already handed on begin is the caller's business: the
  // buffer still held goes to `offset` from now on.
  void riposiziona(uint64_t offset) { prossimo_ = offset; }
  // Bytes handed to the draft since `offset` was last set.
  uint64_t prossimo() const { return prossimo_; }

 private:
  void spazio(size_t n) {
    if (buffer_.size() - usati_ < n) svuota();
  }

  bozza& bozza_;
  uint64_t prossimo_;
  std::vector<char> buffer_;
  size_t usati_ = 0;
};

// Values read in order from bytes in memory. A read past the end gives 0 and
// marks the reader short; the caller checks `corto` once at the end.
class lettore_le {
 public:
  explicit lettore_le(std::string_view dati, size_t offset = 0) : d_(dati), o_(offset) {}

  template <typename T>
  T get() {
    if (restano() < sizeof(T)) {
      corto_ = true;
      o_ = d_.size();
      return T{};
    }
    const T v = decodifica_le<T>(d_.data() + o_);
    o_ += sizeof(T);
    return v;
  }
  uint8_t get_u8() { return get<uint8_t>(); }
  uint16_t get_u16() { return get<uint16_t>(); }
  int16_t get_i16() { return get<int16_t>(); }
  int32_t get_i32() { return get<int32_t>(); }
  double get_f64() { return std::bit_cast<double>(get<uint64_t>()); }
  std::string_view get_byte(size_t n) {
    if (restano() < n) {
      corto_ = true;
      o_ = d_.size();
      return {};
    }
    const std::string_view v = d_.substr(o_, n);
    o_ += n;
    return v;
  }

  size_t offset() const { return o_; }
  size_t restano() const { return d_.size() - o_; }
  bool corto() const { return corto_; }

 private:
  std::string_view d_;
  size_t o_;
  bool corto_ = false;
};

}  // namespace scenario
