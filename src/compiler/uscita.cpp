#include "compiler/uscita.h"

#include <cstdint>
#include <utility>

#include "compiler/codifica.h"
#include "compiler/misure_griglia.h"
#include "compiler/record.h"
#include "compiler/scrittore_piano.h"

namespace scenario {

namespace {

template <typename R, typename Elenco>
bool produci_record(const Elenco& elenco, bozza& b) {
  flusso f(b, 0);
  for (const R& r : elenco) scrivi_record(f, r);
  return f.svuota() && b.tronca(f.posizione()) && b.esito().ok;
}

// Bytes written in order, handed on as they come; after a refusal nothing more.
class bozza_a_pezzi : public bozza {
 public:
  explicit bozza_a_pezzi(const scrivi_pezzo& scrivi) : scrivi_(scrivi) {}
  bool scrivi(uint64_t, std::string_view byte) override { return ok_ = ok_ && scrivi_(byte); }
  bool leggi(uint64_t, std::span<char>) override { return false; }
  bool tronca(uint64_t) override { return ok_; }
  esito_io esito() const override {
    return ok_ ? esito_io::riuscito() : esito_io::fallito("", "scrittura rifiutata");
  }

 private:
  const scrivi_pezzo& scrivi_;
  bool ok_ = true;
};

std::string byte(size_t n) { return std::to_string(n) + " byte"; }

// The size of the value whose tag stands at o, or a defect.
std::optional<difetto> misura_valore(std::string_view d, size_t o, size_t& misura) {
  if (d.size() - o < 2)
    return difetto{o, "tipo del valore troncato: " + byte(d.size() - o) + " su 2"};
  lettore_le l(d, o);
  tipo_valore tipo{};
  if (!leggi_tipo(l, tipo)) {
    return difetto{o, "tipo di valore sconosciuto " +
                          std::to_string(decodifica_le<uint16_t>(d.data() + o)) +
                          " (ammessi 0, 2 e 5)"};
  }
  misura = byte_valore(tipo);
  if (d.size() - o < misura) {
    return difetto{o, "valore di tipo " + std::to_string(static_cast<int>(tipo)) +
                          " troncato: " + byte(d.size() - o) + " su " + std::to_string(misura)};
  }
  return std::nullopt;
}

}  // namespace

bool produci_treno(const tabella& t, bozza& b) { return produci_record<voce_scenario>(t, b); }

bool produci_griglia(const std::vector<cella>& percorso, bozza& b) {
  return produci_record<cella>(percorso, b);
}

bool produci_linea(const tracciato& t, const scrivi_pezzo& scrivi) {
  if (!t.allocato()) return true;
  bozza_a_pezzi b(scrivi);
  // Pieces of about 64 KiB: the plan of a long route is never held twice.
  flusso f(b, 0, flusso::capienza_normale + byte_valore(tipo_valore::doppio));
  // Column order: every first coordinate, then every second one.
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (int32_t m = 0; m <= t.fine(); ++m)
      scrivi_valore(f, t.tipo(m, colonna), t.valore(m, colonna));
  }
  return f.svuota();
}

std::string immagine_linea(const tracciato& t) {
  bozza_memoria b;
  scrivi_tracciato(t, b);
  return std::move(b.contenuto);
}

std::string immagine_treno(const tabella& t) {
  bozza_memoria b;
  produci_treno(t, b);
  return std::move(b.contenuto);
}

std::string immagine_griglia(const std::vector<cella>& percorso) {
  bozza_memoria b;
  produci_griglia(percorso, b);
  return std::move(b.contenuto);
}

int32_t punti_massimi_piano() { return lunghezza_massima_percorso + margine_griglia + 1; }

uint64_t byte_massimi_piano() {
  return 2 * static_cast<uint64_t>(punti_massimi_piano()) * byte_valore(tipo_valore::doppio);
}

uint64_t byte_massimi_tabella() {
  return static_cast<uint64_t>(righe_tabella) * (byte_fissi_riga + nome_massimo);
}

uint64_t byte_massimi_griglia() {
  int32_t ultima = 0;
  ultima_cella_per(lunghezza_massima_percorso, ultima);
  return (static_cast<uint64_t>(ultima) + 1) * byte_cella;
}

difetto troppo_grande(uint64_t dimensione, uint64_t massimo) {
  return {static_cast<size_t>(massimo), "file di " + std::to_string(dimensione) +
                                            " byte, oltre il massimo di " +
                                            std::to_string(massimo)};
}

std::optional<difetto> decodifica_griglia(std::string_view dati, std::vector<cella>& celle) {
  if (dati.empty()) return difetto{0, "file vuoto"};
  if (dati.size() > byte_massimi_griglia())
    return troppo_grande(dati.size(), byte_massimi_griglia());
  if (const size_t resto = dati.size() % byte_cella; resto != 0) {
    const size_t o = dati.size() - resto;
    return difetto{o, "cella " + std::to_string(o / byte_cella) + " troncata: " + byte(resto) +
                          " su " + std::to_string(byte_cella)};
  }
  std::vector<cella> lette(dati.size() / byte_cella);
  lettore_le l(dati);
  for (cella& c : lette) leggi_record(l, c);
  celle = std::move(lette);
  return std::nullopt;
}

std::optional<difetto> decodifica_tabella(std::string_view dati, tabella& t) {
  if (dati.empty()) return difetto{0, "file vuoto"};
  if (dati.size() > byte_massimi_tabella())
    return troppo_grande(dati.size(), byte_massimi_tabella());
  tabella letta{};
  size_t o = 0;
  for (int r = 0; r < righe_tabella; ++r) {
    const size_t restano = dati.size() - o;
    const std::string riga = "riga " + std::to_string(r);
    const std::string fissi = std::to_string(byte_fissi_riga);
    if (restano < offset_lunghezza_nome + 2) {
      return difetto{o, riga + " troncata: " + byte(restano) + " dove ne servono almeno " + fissi};
    }
    const size_t n = decodifica_le<uint16_t>(dati.data() + o + offset_lunghezza_nome);
    if (restano < byte_fissi_riga + n) {
      return difetto{o, riga + " troncata: " + byte(restano) + " dove ne servono " + fissi + " + " +
                            std::to_string(n) + " (nome di " + byte(n) + ")"};
    }
    lettore_le l(dati, o);
    leggi_record(l, letta[static_cast<size_t>(r)]);
    o = l.offset();
  }
  if (o != dati.size()) return difetto{o, byte(dati.size() - o) + " in piu' dopo la riga 86"};
  t = std::move(letta);
  return std::nullopt;
}

// Two walks: the first checks every value and counts them, the second,
// over values known to be whole, fills the plan.
std::optional<difetto> decodifica_piano(std::string_view dati, tracciato& t) {
  if (dati.empty()) return difetto{0, "file vuoto"};
  if (dati.size() > byte_massimi_piano()) return troppo_grande(dati.size(), byte_massimi_piano());
  const auto valori_massimi = 2 * static_cast<size_t>(punti_massimi_piano());
  size_t valori = 0;
  for (size_t o = 0; o < dati.size(); ++valori) {
    if (valori == valori_massimi) {
      return difetto{o, "piu' di " + std::to_string(valori_massimi) +
                            " valori: un piano ha al massimo " +
                            std::to_string(punti_massimi_piano()) + " punti per coordinata"};
    }
    size_t misura = 0;
    if (auto d = misura_valore(dati, o, misura)) return d;
    o += misura;
  }
  if (valori % 2 != 0) {
    return difetto{dati.size(), "numero di valori dispari (" + std::to_string(valori) +
                                    "): le due coordinate non hanno lo stesso numero di punti"};
  }
  const size_t punti = valori / 2;
  tracciato letto;
  letto.crea(static_cast<int32_t>(punti - 1));
  lettore_le l(dati);
  for (size_t v = 0; v < valori; ++v) {
    const int colonna = v < punti ? 0 : 1;
    const auto m = static_cast<int32_t>(v % punti);
    tipo_valore tipo{};
    leggi_tipo(l, tipo);
    const double x = leggi_dato(l, tipo);
    if (tipo == tipo_valore::intero) letto.imposta_intero(m, colonna, static_cast<int16_t>(x));
    if (tipo == tipo_valore::doppio) letto.imposta_doppio(m, colonna, x);
  }
  t = std::move(letto);
  return std::nullopt;
}

}  // namespace scenario
