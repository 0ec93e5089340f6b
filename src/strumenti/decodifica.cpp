#include "strumenti/decodifica.h"

#include <bit>
#include <climits>
#include <cstdint>
#include <utility>

#include "sources/nomi_file.h"
#include "sources/parole_chiave.h"

namespace scenario {

namespace {

constexpr size_t byte_cella = 15;
constexpr size_t byte_riga_fissi = 34;
constexpr size_t offset_lunghezza_nome = 14;

// Little-endian readers; the caller has checked that the bytes are there.
uint8_t u8(std::string_view d, size_t i) { return static_cast<uint8_t>(d[i]); }
uint16_t u16(std::string_view d, size_t i) {
  return static_cast<uint16_t>(u8(d, i) | (u8(d, i + 1) << 8));
}
int16_t i16(std::string_view d, size_t i) { return static_cast<int16_t>(u16(d, i)); }
uint32_t u32(std::string_view d, size_t i) {
  return static_cast<uint32_t>(u16(d, i)) | (static_cast<uint32_t>(u16(d, i + 2)) << 16);
}
int32_t i32(std::string_view d, size_t i) { return static_cast<int32_t>(u32(d, i)); }
double f64(std::string_view d, size_t i) {
  const uint64_t bit =
      static_cast<uint64_t>(u32(d, i)) | (static_cast<uint64_t>(u32(d, i + 4)) << 32);
  return std::bit_cast<double>(bit);
}

bool finisce_con(std::string_view s, std::string_view coda) {
  return s.size() >= coda.size() && s.substr(s.size() - coda.size()) == coda;
}

cella cella_a(std::string_view d, size_t o) {
  cella c;
  c.tipo_cella = u8(d, o);
  c.valore1 = i16(d, o + 1);
  c.valore2 = i16(d, o + 3);
  c.valore3 = i16(d, o + 5);
  c.valore4 = i16(d, o + 7);
  c.tempo_segnale = u8(d, o + 9);
  c.avvicinamento = u8(d, o + 10);
  c.tipo_montagna = u8(d, o + 11);
  c.vel_limite = u8(d, o + 12);
  c.pendenza = u8(d, o + 13);
  c.aderenza = u8(d, o + 14);
  return c;
}

// One row at offset o, whose 34 + n bytes are there.
voce_scenario riga_a(std::string_view d, size_t o, size_t n) {
  voce_scenario v;
  v.tipo = u8(d, o);
  v.inizio = i32(d, o + 1);
  v.fine = i32(d, o + 5);
  v.posizione = i32(d, o + 9);
  v.dato1 = u8(d, o + 13);
  v.nome.assign(d.substr(o + 16, n));
  const size_t q = o + 16 + n;
  v.dato4 = i16(d, q);
  v.dato5 = i16(d, q + 2);
  v.dato7 = i16(d, q + 4);
  v.dato8 = i16(d, q + 6);
  v.dato9 = i16(d, q + 8);
  v.dato6 = u8(d, q + 10);
  v.dato10 = u8(d, q + 11);
  v.dato3 = u8(d, q + 12);
  v.dato2 = u8(d, q + 13);
  v.orario = i32(d, q + 14);
  return v;
}

std::string byte(size_t n) { return std::to_string(n) + " byte"; }

// The size of the value whose tag stands at o, or a defect.
std::optional<difetto> misura_valore(std::string_view d, size_t o, size_t& misura) {
  if (d.size() - o < 2)
    return difetto{o, "tipo del valore troncato: " + byte(d.size() - o) + " su 2"};
  const uint16_t tag = u16(d, o);
  switch (tag) {
    case static_cast<uint16_t>(tipo_valore::vuoto):
      misura = 2;
      break;
    case static_cast<uint16_t>(tipo_valore::intero):
      misura = 4;
      break;
    case static_cast<uint16_t>(tipo_valore::doppio):
      misura = 10;
      break;
    default:
      return difetto{o,
                     "tipo di valore sconosciuto " + std::to_string(tag) + " (ammessi 0, 2 e 5)"};
  }
  if (d.size() - o < misura) {
    return difetto{o, "valore di tipo " + std::to_string(tag) + " troncato: " + byte(d.size() - o) +
                          " su " + std::to_string(misura)};
  }
  return std::nullopt;
}

void imposta_valore(tracciato& t, int32_t m, int colonna, std::string_view d, size_t o) {
  switch (static_cast<tipo_valore>(u16(d, o))) {
    case tipo_valore::intero:
      t.imposta_intero(m, colonna, i16(d, o + 2));
      break;
    case tipo_valore::doppio:
      t.imposta_doppio(m, colonna, f64(d, o + 2));
      break;
    case tipo_valore::vuoto:
      break;
  }
}

}  // namespace

std::optional<tipo_file> tipo_da_nome(std::string_view nome) {
  const std::string n = minuscolo(nome);
  if (finisce_con(n, coda_linea_compilata)) return tipo_file::piano;
  if (finisce_con(n, coda_treno_compilato)) return tipo_file::tabella;
  if (finisce_con(n, coda_griglia_compilata)) return tipo_file::griglia;
  return std::nullopt;
}

std::string descrivi_difetto(const std::string& nome, tipo_file tipo, const difetto& d) {
  const char* cosa = tipo == tipo_file::piano     ? "piano"
                     : tipo == tipo_file::tabella ? "tabella"
                                                  : "griglia";
  return nome + ": file non valido (" + cosa + ") all'offset " + std::to_string(d.offset) + ": " +
         d.messaggio;
}

std::optional<tipo_file> tipo_da_parola(std::string_view parola) {
  if (parola == "plan") return tipo_file::piano;
  if (parola == "table") return tipo_file::tabella;
  if (parola == "grid") return tipo_file::griglia;
  return std::nullopt;
}

std::optional<difetto> decodifica_griglia(std::string_view dati, std::vector<cella>& celle) {
  if (dati.empty()) return difetto{0, "file vuoto"};
  if (const size_t resto = dati.size() % byte_cella; resto != 0) {
    const size_t o = dati.size() - resto;
    return difetto{
        o, "cella " + std::to_string(o / byte_cella) + " troncata: " + byte(resto) + " su 15"};
  }
  std::vector<cella> lette;
  lette.reserve(dati.size() / byte_cella);
  for (size_t o = 0; o < dati.size(); o += byte_cella) lette.push_back(cella_a(dati, o));
  celle = std::move(lette);
  return std::nullopt;
}

std::optional<difetto> decodifica_tabella(std::string_view dati, tabella& t) {
  if (dati.empty()) return difetto{0, "file vuoto"};
  tabella letta{};
  size_t o = 0;
  for (int r = 0; r < righe_tabella; ++r) {
    const size_t restano = dati.size() - o;
    const std::string riga = "riga " + std::to_string(r);
    if (restano < offset_lunghezza_nome + 2) {
      return difetto{o, riga + " troncata: " + byte(restano) + " dove ne servono almeno 34"};
    }
    const size_t n = u16(dati, o + offset_lunghezza_nome);
    if (restano < byte_riga_fissi + n) {
      return difetto{o, riga + " troncata: " + byte(restano) + " dove ne servono 34 + " +
                            std::to_string(n) + " (nome di " + byte(n) + ")"};
    }
    letta[static_cast<size_t>(r)] = riga_a(dati, o, n);
    o += byte_riga_fissi + n;
  }
  if (o != dati.size()) return difetto{o, byte(dati.size() - o) + " in piu' dopo la riga 86"};
  t = std::move(letta);
  return std::nullopt;
}

// Two walks: the first checks every value and counts them, the second,
// over values known to be whole, fills the plan.
std::optional<difetto> decodifica_piano(std::string_view dati, tracciato& t) {
  if (dati.empty()) return difetto{0, "file vuoto"};
  size_t valori = 0;
  for (size_t o = 0; o < dati.size(); ++valori) {
    size_t misura = 0;
    if (auto d = misura_valore(dati, o, misura)) return d;
    o += misura;
  }
  if (valori % 2 != 0) {
    return difetto{dati.size(), "numero di valori dispari (" + std::to_string(valori) +
                                    "): le due coordinate non hanno lo stesso numero di punti"};
  }
  const size_t punti = valori / 2;
  if (punti - 1 > static_cast<size_t>(INT32_MAX)) return difetto{0, "troppi punti per un piano"};
  tracciato letto;
  letto.crea(static_cast<int32_t>(punti - 1));
  size_t o = 0;
  for (size_t v = 0; v < valori; ++v) {
    const int colonna = v < punti ? 0 : 1;
    imposta_valore(letto, static_cast<int32_t>(v % punti), colonna, dati, o);
    size_t misura = 0;
    misura_valore(dati, o, misura);
    o += misura;
  }
  t = std::move(letto);
  return std::nullopt;
}

}  // namespace scenario
