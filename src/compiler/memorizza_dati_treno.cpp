// The train-run source: everything up to its "[generale]" skipped, then one
// body of train data, speed limits, adhesion, clock, sand, signals,
// slowdowns, cab-code points and stations, each keyword handled by its own
// function. Every keyword here matches in any letter case.
#include <array>
#include <optional>
#include <string>

#include "compiler/arrotonda.h"
#include "compiler/errori.h"
#include "compiler/memorizza_dati_interno.h"
#include "compiler/misure_griglia.h"
#include "compiler/percorso.h"
#include "sources/parole_chiave.h"
#include "sources/righe_sorgente.h"

namespace scenario::lettura {

namespace {

// No "[generale]" before the end leaves the file unused, which is no error.
void cerca_generale(analisi& a, sorgente& f, std::string& riga) {
  std::optional<luogo_sorgente> simile;
  while (!f.fine()) {
    riga = f.testo();
    if (contiene(riga, "[generale]")) {
      a.c.generale = f.luogo_campo();
      a.c.ultima_intestazione = 0;
      return;
    }
    if (!simile && intestazione_piu_vicina(riga, false) == "[generale]") simile = f.luogo_campo();
  }
  avvisa(a, simile.value_or(luogo_sorgente{a.riga_corrente.file, 0, 0}),
         simile ? "intestazione sconosciuta (forse: [generale]): senza [generale] il file del "
                  "treno non e' usato (nessuna stazione, nessun segnale, limite di velocita' 0)"
                : "manca [generale]: il file del treno non e' usato (nessuna stazione, nessun "
                  "segnale, limite di velocita' 0)");
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
  if (riconosce(chiave, riga::frenata)) {
    a.s.tabella_scenario[riga_treno].inizio = f.lungo();
  }
  return dopo_riga::continua;
}

dopo_riga riga_vetture(analisi& a, sorgente& f, const std::string& chiave) {
  if (riconosce(chiave, riga::vetture)) a.s.tabella_scenario[riga_treno].posizione = f.lungo();
  return dopo_riga::continua;
}

dopo_riga riga_velocita(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::velocita)) return dopo_riga::continua;
  stato& s = a.s;
  lavoro& w = a.w;
  const int32_t p = f.lungo();
  const int32_t limite = f.lungo();
  if (!w.limite_letto && p != 0) {
    avvisa(a, f.campo(0),
           "il primo limite di velocita' non e' a 0 m: vale anche prima di " + std::to_string(p) +
               " m");
  }
  posizione_crescente(a, a.c.ultima_velocita, p, "limite di velocita'", f.campo(0));
  if (limite % 5 != 0) {
    avvisa(
        a, f.campo(1),
        "limite " + std::to_string(limite) + " km/h non multiplo di 5: memorizzato come " +
            std::to_string(static_cast<int64_t>(arrotonda(static_cast<double>(limite) / 5.0)) * 5) +
            " km/h");
  }
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
  if (!riconosce(chiave, riga::aderenza)) return dopo_riga::continua;
  stato& s = a.s;
  lavoro& w = a.w;
  const int32_t p = f.lungo();
  const int32_t valore = f.lungo();
  if (!w.aderenza_letta && p != 0) {
    avvisa(a, f.campo(0),
           "la prima aderenza non e' a 0 m: vale anche prima di " + std::to_string(p) + " m");
  }
  posizione_crescente(a, a.c.ultima_aderenza, p, "aderenza", f.campo(0));
  valore_in_campo(a, valore, 0, 255, basso8(valore), "aderenza", f.campo(1));
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
  if (!riconosce(chiave, riga::orologio)) return dopo_riga::continua;
  voce_scenario& r = a.s.tabella_scenario[riga_servizio];
  r.dato7 = static_cast<int16_t>(f.numero(larghezza::intero16));
  r.dato8 = static_cast<int16_t>(f.numero(larghezza::intero16));
  r.dato9 = static_cast<int16_t>(f.numero(larghezza::intero16));
  return dopo_riga::continua;
}

dopo_riga riga_sabbia(analisi& a, sorgente& f, const std::string& chiave) {
  if (riconosce(chiave, riga::sabbia)) {
    a.s.tabella_scenario[riga_servizio].dato4 = static_cast<int16_t>(f.numero(larghezza::intero16));
  }
  return dopo_riga::continua;
}

// A refused placement stops the parser with the row's position; so does any
// code already recorded, a 15 from the line source included, which keeps the
// place of the row that recorded it.
void dopo_piazzamento(const stato& s, const esito_piazzamento& e, int32_t posizione) {
  if (e.codice > 0) throw abbandono_di(e.codice, posizione, false);
  if (s.codice_errore > 0) throw abbandono_di(s.codice_errore, posizione, true);
}

dopo_riga riga_segnale(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::segnale)) return dopo_riga::continua;
  stato& s = a.s;
  // Braced initialisation reads the eleven fields in order.
  const scenario::riga_segnale r{f.lungo(), f.lungo(), f.lungo(), f.lungo(), f.lungo(), f.lungo(),
                                 f.lungo(), f.lungo(), f.lungo(), f.lungo(), f.lungo()};
  if (r.sx == 2) {
    const int64_t tempo = r.tempo >= 1 && r.tempo <= 100 ? 101 : r.tempo;
    valore_in_campo(a, tempo, 0, 255, basso8(tempo), "tempo del segnale", f.campo(10));
  }
  if (oltre_griglia(s, r.posizione, 100)) return esci_oltre_griglia(s, r.posizione);
  const esito_piazzamento e = memo_segnale(s, r);
  dopo_piazzamento(s, e, r.posizione);
  segna_posati(a, e);
  return dopo_riga::continua;
}

dopo_riga riga_rallentamento(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::rallentamento)) return dopo_riga::continua;
  stato& s = a.s;
  const scenario::riga_rallentamento r{f.lungo(), f.lungo(), f.lungo(),
                                       f.lungo(), f.lungo(), f.lungo()};
  if (oltre_griglia(s, r.x, 100)) return esci_oltre_griglia(s, r.x);
  const esito_piazzamento e = memo_rallentamento(s, r);
  dopo_piazzamento(s, e, r.x);
  segna_posati(a, e);
  return dopo_riga::continua;
}

// A cab-code point: a value point when z is 1 or more, a code cut otherwise.
// Its cell is R(p / 50), without the "+ 1" of placed objects.
dopo_riga riga_abbattimento(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::abbattimento)) return dopo_riga::continua;
  stato& s = a.s;
  const int32_t p = f.lungo();
  const int32_t z = f.lungo();
  if (z > 0) {
    valore_in_campo(a, z, 1, 32767, static_cast<int16_t>(static_cast<uint16_t>(z)),
                    "valore del punto", f.campo(1));
  }
  if (oltre_griglia(s, p, 100)) return esci_oltre_griglia(s, p);
  const int32_t c = arrotonda_o_fallisci(static_cast<double>(p) / metri_cella);
  cella& punto_codice = cella_propria(s, c, p);
  if (!libera(punto_codice)) abbandona(errori::abbattimento_occupato, p);
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
  if (!riconosce(chiave, riga::stazione)) return dopo_riga::continua;
  return memo_stazione(a, f);
}

// Every test on every keyword field, in this order.
constexpr std::array<gestore, 10> gestori_corpo{
    riga_frenata, riga_vetture, riga_velocita,      riga_aderenza,     riga_orologio,
    riga_sabbia,  riga_segnale, riga_rallentamento, riga_abbattimento, riga_stazione};

}  // namespace

void leggi_sorgente_treno(analisi& a, sorgente& f) {
  std::string riga;
  cerca_generale(a, f, riga);
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
