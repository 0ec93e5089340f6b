// The train-run source: everything up to its "[generale]" skipped, then one
// body of train data, speed limits, adhesion, clock, sand, signals,
// slowdowns, cab-code points and stations, each keyword handled by its own
// function. Every keyword here matches in any letter case.
#include <array>
#include <string>

#include "compiler/arrotonda.h"
#include "compiler/memorizza_dati_interno.h"
#include "compiler/misure_griglia.h"
#include "compiler/percorso.h"
#include "sources/parole_chiave.h"

namespace scenario::lettura {

namespace {

// No "[generale]" before the end leaves the file unused, which is no error.
void cerca_generale(sorgente& f, std::string& riga) {
  while (!f.fine()) {
    riga = f.testo();
    if (contiene(riga, "[generale]")) return;
  }
}

// The limit in km/h stored divided by 5; the result must be a byte.
uint8_t limite_in_cella(int32_t limite) {
  const int32_t v = arrotonda_o_fallisci(static_cast<double>(limite) / 5.0);
  if (v < 0 || v > 255) fallisci();
  return static_cast<uint8_t>(v);
}

// Like riempi, with the limit computed at each write; inside the body the
// fill also stops, before writing, once the cursor reaches ultima_cella.
void riempi_velocita(stato& s, int32_t& cursore, int32_t n, int32_t limite, bool ferma_a_ultima) {
  do {
    if (ferma_a_ultima && cursore >= s.ultima_cella) return;
    cella_a(s, cursore).vel_limite = limite_in_cella(limite);
    ++cursore;
  } while (cursore < n);
}

dopo_riga riga_frenata(analisi& a, sorgente& f, const std::string& chiave) {
  if (contiene(chiave, "frenata") && contiene(chiave, "massa")) {
    a.s.tabella_scenario[riga_treno].inizio = f.lungo();
  }
  return dopo_riga::continua;
}

dopo_riga riga_vetture(analisi& a, sorgente& f, const std::string& chiave) {
  if (contiene(chiave, "vetture")) a.s.tabella_scenario[riga_treno].posizione = f.lungo();
  return dopo_riga::continua;
}

dopo_riga riga_velocita(analisi& a, sorgente& f, const std::string& chiave) {
  if (!contiene(chiave, "velocit")) return dopo_riga::continua;
  stato& s = a.s;
  lavoro& w = a.w;
  const int32_t p = f.lungo();
  const int32_t limite = f.lungo();
  if (oltre_griglia(s, p, 100)) return esci_oltre_griglia(s, p);
  // The first limit of the source also holds before its own position.
  if (!w.limite_letto) {
    w.limite_corrente = limite;
    w.limite_letto = true;
  }
  const int32_t n = arrotonda_o_fallisci(static_cast<double>(p) / metri_cella);
  if (n > 0) riempi_velocita(s, w.cursore_velocita, n, w.limite_corrente, true);
  w.limite_corrente = limite;
  return dopo_riga::continua;
}

dopo_riga riga_aderenza(analisi& a, sorgente& f, const std::string& chiave) {
  if (!contiene(chiave, "aderenza")) return dopo_riga::continua;
  stato& s = a.s;
  lavoro& w = a.w;
  const int32_t p = f.lungo();
  const int32_t valore = f.lungo();
  if (oltre_griglia(s, p, 100)) return esci_oltre_griglia(s, p);
  // The first adhesion of the source also holds before its own position.
  if (!w.aderenza_letta) {
    w.aderenza_corrente = valore;
    w.aderenza_letta = true;
  }
  const int32_t n = arrotonda_o_fallisci(static_cast<double>(p) / metri_cella);
  if (n > 0) riempi(s, w.cursore_aderenza, n, &cella::aderenza, basso8(w.aderenza_corrente));
  w.aderenza_corrente = valore;
  return dopo_riga::continua;
}

dopo_riga riga_orologio(analisi& a, sorgente& f, const std::string& chiave) {
  if (!contiene(chiave, "orologio")) return dopo_riga::continua;
  voce_scenario& r = a.s.tabella_scenario[riga_servizio];
  r.dato7 = static_cast<int16_t>(f.numero(larghezza::intero16));
  r.dato8 = static_cast<int16_t>(f.numero(larghezza::intero16));
  r.dato9 = static_cast<int16_t>(f.numero(larghezza::intero16));
  return dopo_riga::continua;
}

dopo_riga riga_sabbia(analisi& a, sorgente& f, const std::string& chiave) {
  if (contiene(chiave, "sabbia")) {
    a.s.tabella_scenario[riga_servizio].dato4 = static_cast<int16_t>(f.numero(larghezza::intero16));
  }
  return dopo_riga::continua;
}

// A refused placement stops the parser with the row's position; so does any
// code already recorded, a 15 from the line source included, which keeps the
// place of the row that recorded it.
void dopo_piazzamento(const stato& s, int32_t posizione, int32_t codice_prima) {
  if (s.codice_errore <= 0) return;
  abbandono a{s.codice_errore, true, posizione};
  a.ereditato = s.codice_errore == codice_prima;
  throw a;
}

// The cells a slowdown at x of length l took, as memo_rallentamento lays
// them out: start, end, and beyond 1500 m the warning point with, when asked
// for, the four approach cells below it.
void segna_rallentamento(analisi& a, int32_t x, int32_t l, int32_t f_ta) {
  segna_posato(a, cella_di(x));
  segna_posato(
      a, static_cast<int64_t>(arrotonda(static_cast<double>(int64_t{x} + l) / metri_cella + 1.0)));
  if (x <= 1500) return;
  const int64_t avviso = cella_di(x - 1200);
  segna_posato(a, avviso);
  if (f_ta == 0) return;
  for (int64_t i = 1; i <= 4; ++i) segna_posato(a, avviso - i);
}

dopo_riga riga_segnale(analisi& a, sorgente& f, const std::string& chiave) {
  if (!contiene(chiave, "segnale")) return dopo_riga::continua;
  stato& s = a.s;
  std::array<int32_t, 11> v{};
  for (int32_t& x : v) x = f.lungo();
  if (oltre_griglia(s, v[0], 100)) return esci_oltre_griglia(s, v[0]);
  const int32_t codice_prima = s.codice_errore;
  memo_segnale(s, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]);
  dopo_piazzamento(s, v[0], codice_prima);
  segna_posato(a, cella_di(v[0]));
  return dopo_riga::continua;
}

dopo_riga riga_rallentamento(analisi& a, sorgente& f, const std::string& chiave) {
  if (!contiene(chiave, "rallentamento")) return dopo_riga::continua;
  stato& s = a.s;
  std::array<int32_t, 6> v{};
  for (int32_t& x : v) x = f.lungo();
  if (oltre_griglia(s, v[0], 100)) return esci_oltre_griglia(s, v[0]);
  const int32_t codice_prima = s.codice_errore;
  memo_rallentamento(s, v[0], v[1], v[2], v[3], v[4], v[5]);
  dopo_piazzamento(s, v[0], codice_prima);
  segna_rallentamento(a, v[0], v[2], v[4]);
  return dopo_riga::continua;
}

// A cab-code point: a value point when z is 1 or more, a code cut otherwise.
// Its cell is R(p / 50), without the "+ 1" of placed objects.
dopo_riga riga_abbattimento(analisi& a, sorgente& f, const std::string& chiave) {
  if (!contiene(chiave, "abbattimento")) return dopo_riga::continua;
  stato& s = a.s;
  const int32_t p = f.lungo();
  const int32_t z = f.lungo();
  if (oltre_griglia(s, p, 100)) return esci_oltre_griglia(s, p);
  const int32_t c = arrotonda_o_fallisci(static_cast<double>(p) / metri_cella);
  cella& punto_codice = cella_propria(s, c, p);
  if (!libera(punto_codice)) abbandona(7, p);
  if (z > 0) {
    punto_codice.tipo_cella = punto_valore;
    punto_codice.valore1 = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(z)));
  } else {
    punto_codice.tipo_cella = punto_abbattimento;
  }
  segna_posato(a, c);
  return dopo_riga::continua;
}

dopo_riga riga_stazione(analisi& a, sorgente& f, const std::string& chiave) {
  if (!contiene(chiave, "stazione")) return dopo_riga::continua;
  return memo_stazione(a, f);
}

// Every test on every keyword field, in this order.
constexpr std::array<gestore, 10> gestori_corpo{
    riga_frenata, riga_vetture, riga_velocita,      riga_aderenza,     riga_orologio,
    riga_sabbia,  riga_segnale, riga_rallentamento, riga_abbattimento, riga_stazione};

}  // namespace

void leggi_sorgente_treno(analisi& a, sorgente& f) {
  std::string riga;
  cerca_generale(f, riga);
  leggi_corpo(a, f, gestori_corpo);
}

void completa_treno(analisi& a) {
  stato& s = a.s;
  // No stop at ultima_cella here: the fill writes at least its one cell.
  riempi_velocita(s, a.w.cursore_velocita, s.ultima_cella - 2, a.w.limite_corrente, false);
  riempi(s, a.w.cursore_aderenza, s.ultima_cella - 2, &cella::aderenza,
         basso8(a.w.aderenza_corrente));
}

}  // namespace scenario::lettura
