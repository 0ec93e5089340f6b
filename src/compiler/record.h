// The one description of each compiled record: the grid cell and the table row
// as their fields in file order, each with its name and C++ type (which gives
// its coded width: u8, i16, u16 length plus bytes for a name, i32). The writer,
// the decoder, inspect and the test that holds docs/formati.md to the code all
// walk these lists; a new field is one line here. The plan's tagged value sits
// at the end, writer beside reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "compiler/cella.h"
#include "compiler/codifica.h"
#include "compiler/tabella.h"

namespace scenario {

// Calls f(name, field) for every field of a cell (or const cell), in file order.
template <typename C, typename F>
requires std::is_same_v<std::remove_const_t<C>, cella>
constexpr void per_campi(C& c, F&& f) {
  f("tipo_cella", c.tipo_cella);
  f("valore1", c.valore1);
  f("valore2", c.valore2);
  f("valore3", c.valore3);
  f("valore4", c.valore4);
  f("tempo_segnale", c.tempo_segnale);
  f("avvicinamento", c.avvicinamento);
  f("tipo_montagna", c.tipo_montagna);
  f("vel_limite", c.vel_limite);
  f("pendenza", c.pendenza);
  f("aderenza", c.aderenza);
}

// The same for a table row; `nome` is a u16 byte count and the bytes.
template <typename V, typename F>
requires std::is_same_v<std::remove_const_t<V>, voce_scenario>
constexpr void per_campi(V& v, F&& f) {
  f("tipo", v.tipo);
  f("inizio", v.inizio);
  f("fine", v.fine);
  f("posizione", v.posizione);
  f("dato1", v.dato1);
  f("nome", v.nome);
  f("dato4", v.dato4);
  f("dato5", v.dato5);
  f("dato7", v.dato7);
  f("dato8", v.dato8);
  f("dato9", v.dato9);
  f("dato6", v.dato6);
  f("dato10", v.dato10);
  f("dato3", v.dato3);
  f("dato2", v.dato2);
  f("orario", v.orario);
}

// A name is stored with a 16-bit byte count; a longer one is cut to this.
inline constexpr size_t nome_massimo = 0xFFFF;

// The coded width of one field: a name counts its length field only.
template <typename T>
constexpr size_t byte_campo() {
  if constexpr (std::is_same_v<T, std::string>) {
    return sizeof(uint16_t);
  } else {
    static_assert(std::is_integral_v<T>);
    return sizeof(T);
  }
}

// Bytes of a record apart from its name's own bytes: 15 for a cell, 34 for a row.
template <typename R>
constexpr size_t byte_fissi() {
  size_t n = 0;
  R r{};
  per_campi(r, [&n](const char*, auto& campo) {
    n += byte_campo<std::remove_cvref_t<decltype(campo)>>();
  });
  return n;
}
inline constexpr size_t byte_cella = byte_fissi<cella>();
// A row holds a std::string, which not every compiler builds at compile time.
inline const size_t byte_fissi_riga = byte_fissi<voce_scenario>();
// Where a row's name length stands: after the fields before `nome`.
inline const size_t offset_lunghezza_nome = [] {
  size_t n = 0;
  bool prima = true;
  voce_scenario v{};
  per_campi(v, [&](const char* nome, auto& campo) {
    if (std::string_view(nome) == "nome") prima = false;
    if (prima) n += byte_campo<std::remove_cvref_t<decltype(campo)>>();
  });
  return n;
}();

inline size_t lunghezza_nome(const std::string& nome) {
  return nome.size() < nome_massimo ? nome.size() : nome_massimo;
}

template <typename R>
void scrivi_record(flusso& f, const R& r) {
  per_campi(r, [&f](const char*, const auto& campo) {
    using T = std::remove_cvref_t<decltype(campo)>;
    if constexpr (std::is_same_v<T, std::string>) {
      const size_t n = lunghezza_nome(campo);
      f.put_u16(static_cast<uint16_t>(n));
      f.put_byte(std::string_view(campo).substr(0, n));
    } else {
      f.put(campo);
    }
  });
}

// Reads one record; false (and the reader marked short) when the bytes end first.
template <typename R>
bool leggi_record(lettore_le& l, R& r) {
  per_campi(r, [&l](const char*, auto& campo) {
    using T = std::remove_cvref_t<decltype(campo)>;
    if constexpr (std::is_same_v<T, std::string>) {
      campo.assign(l.get_byte(l.get_u16()));
    } else {
      campo = l.get<T>();
    }
  });
  return !l.corto();
}

// The plan's values: a u16 tag and its data.
inline constexpr size_t byte_valore(tipo_valore t) {
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

// An integer was stored from an int16, so the conversion back is exact.
inline void scrivi_valore(flusso& f, tipo_valore tipo, double v) {
  f.put_u16(static_cast<uint16_t>(tipo));
  switch (tipo) {
    case tipo_valore::intero:
      f.put_i16(static_cast<int16_t>(v));
      break;
    case tipo_valore::doppio:
      f.put_f64(v);
      break;
    case tipo_valore::vuoto:
      break;
  }
}

// The tag at the reader's place; false for a tag of no known type.
inline bool leggi_tipo(lettore_le& l, tipo_valore& tipo) {
  const uint16_t tag = l.get_u16();
  switch (tag) {
    case static_cast<uint16_t>(tipo_valore::vuoto):
    case static_cast<uint16_t>(tipo_valore::intero):
    case static_cast<uint16_t>(tipo_valore::doppio):
      tipo = static_cast<tipo_valore>(tag);
      return true;
  }
  return false;
}
inline double leggi_dato(lettore_le& l, tipo_valore tipo) {
  switch (tipo) {
    case tipo_valore::intero:
      return l.get_i16();
    case tipo_valore::doppio:
      return l.get_f64();
    case tipo_valore::vuoto:
      break;
  }
  return 0;
}

}  // namespace scenario
