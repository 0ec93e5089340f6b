// The line source: [generale] (route length, kilometric origins, backgrounds,
// cab-signal repetition), then one body of curves, gradients, terrain spans,
// speed-indicator boards and signs, each keyword handled by its own function.
// The [generale] words other than the route length match in lower case only.
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string>

#include "compiler/arrotonda.h"
#include "compiler/codici.h"
#include "compiler/errori.h"
#include "compiler/memorizza_dati_interno.h"
#include "compiler/misure_griglia.h"
#include "compiler/passo_tracciato.h"
#include "compiler/percorso.h"
#include "sources/parole_chiave.h"
#include "sources/righe_sorgente.h"

namespace scenario::lettura {

namespace {

constexpr int32_t cursore_massimo_tracciato = 1000000;

// ---- [generale] ----

// Everything before the first "[generale]" is skipped; a file ending first
// has none.
void cerca_generale(analisi& a, sorgente& f, std::string& riga) {
  for (;;) {
    riga = f.testo();
    if (f.fine()) abbandona(errori::generale_mancante);
    if (contiene(riga, "[generale]")) {
      a.c.generale = f.luogo_campo();
      a.c.ultima_intestazione = 0;
      return;
    }
  }
}

bool griglia_possibile(int32_t l) {
  int32_t ultima = 0;
  return ultima_cella_per(l, ultima);
}

// A second such row makes a new grid and plan due in place of the first.
void generale_lunghezza(analisi& a, sorgente& f, const std::string& riga) {
  if (!riconosce(riga, riga::lunghezza)) return;
  a.lunghezza_letta = true;
  stato& s = a.s;
  const int32_t l = f.lungo();
  s.tabella_scenario[riga_treno].fine = l;
  if (l > lunghezza_massima_percorso) abbandona(errori::lunghezza_eccessiva);
  // Refused before anything is recorded: a plan of an earlier row stays
  // together with its own end.
  if (!griglia_possibile(l)) fallisci();
  s.fine_tracciato = l + margine_griglia;  // l is at most 1000000: no overflow
  a.lunghezza_dovuta = l;
  a.tracciato_dovuto = s.genera_linea != 0 ? s.fine_tracciato : -1;
}

// Row r of the table, remembered with its source row for the check at the end.
void leggi_origine(analisi& a, sorgente& f, int r) {
  voce_scenario& v = a.s.tabella_scenario[static_cast<size_t>(r)];
  v.inizio = f.lungo();
  v.fine = f.lungo();
  v.posizione = f.lungo();
  a.progressive[static_cast<size_t>(r - 81)] = {v, a.riga_corrente};
}

void generale_progressive(analisi& a, sorgente& f, const std::string& riga) {
  if (riconosce(riga, riga::progressiva_tre)) leggi_origine(a, f, 81);
  if (riconosce(riga, riga::progressiva_due)) leggi_origine(a, f, 82);
  if (riconosce(riga, riga::progressiva_uno)) leggi_origine(a, f, 83);
}

void generale_sfondi(stato& s, sorgente& f, const std::string& riga) {
  voce_scenario& r = s.tabella_scenario[riga_linea];
  if (riconosce(riga, riga::sfondo_uno)) r.inizio = f.lungo();
  if (riconosce(riga, riga::sfondo_due)) r.posizione = f.lungo();
  if (riconosce(riga, riga::sfondo_tre)) r.fine = f.lungo();
}

void generale_ripetizione(stato& s, sorgente& f, const std::string& riga) {
  if (!riconosce(riga, riga::ripetizione)) return;
  voce_scenario& r = s.tabella_scenario[riga_servizio];
  r.inizio = f.lungo();
  r.fine = f.lungo();
  if (r.inizio % metri_cella != 0) abbandona(errori::inizio_ripetizione);
  if (r.fine % metri_cella != 0) abbandona(errori::fine_ripetizione);
  // The number of codes is written in the keyword itself.
  if (contiene_esatto(riga, "4")) {
    r.posizione = 4;
  } else if (contiene_esatto(riga, "9")) {
    r.posizione = 9;
  } else {
    abbandona(errori::ripetizione_senza_codici);
  }
  if (r.fine == 0) r.posizione = 0;
}

void sezione_generale(analisi& a, sorgente& f) {
  std::string riga;
  for (;;) {
    if (f.fine()) return;
    riga = f.testo();
    if (f.fine()) return;
    // Up to ten comments; the field read in their place is examined even
    // when it reaches the end of the file.
    for (int i = 0; i < 10 && e_commento(riga); ++i) riga = f.testo();
    a.riga_corrente = f.luogo_campo();
    osserva_chiave(a, riga, a.riga_corrente);
    f.nuova_riga();
    generale_lunghezza(a, f, riga);
    generale_progressive(a, f, riga);
    generale_sfondi(a.s, f, riga);
    generale_ripetizione(a.s, f, riga);
    if (e_intestazione(riga)) return;
  }
}

// One plan point, kept in the state's plan when it keeps its values and
// handed to the plan's file when one is being written.
void metti_punto(analisi& a, int32_t m, tipo_valore tipo, punto_piano p) {
  tracciato& t = a.s.tracciato;
  if (t.trattenuto()) {
    if (tipo == tipo_valore::intero) {
      t.imposta_intero(m, 0, static_cast<int16_t>(p.x));
      t.imposta_intero(m, 1, static_cast<int16_t>(p.y));
    } else {
      t.imposta_doppio(m, 0, p.x);
      t.imposta_doppio(m, 1, p.y);
    }
  }
  if (a.piano != nullptr && a.piano->scrittore) {
    a.piano->scrittore->aggiungi({tipo, p.x}, {tipo, p.y});
  }
}

// Step 5: the origins ordered, the working state fresh, the plan seeded with
// its first two points as integers: the track leaves the origin heading along
// the second coordinate, one unit a metre.
void prepara_corpo(analisi& a) {
  stato& s = a.s;
  if (!progressive_ordina(s.tabella_scenario)) fallisci();
  s.numero_montagne = 0;
  a.w = lavoro{};
  crea_dovuti(a);
  if (s.genera_linea == 0) return;
  if (!s.tracciato.allocato() || s.tracciato.fine() < 1) fallisci();
  a.w.penultimo = {0, 0};
  a.w.precedente = {0, 1};
  metti_punto(a, 0, tipo_valore::intero, a.w.penultimo);
  metti_punto(a, 1, tipo_valore::intero, a.w.precedente);
}

// ---- the body ----

// Adds plan points while the cursor is at most `fino`: curve steps when k is
// given, straight ones otherwise. Inside the body the cursor may not pass the
// 1000000 m of the longest route.
void estendi_tracciato(analisi& a, int64_t fino, std::optional<double> k, bool entro_milione) {
  stato& s = a.s;
  int32_t& m = a.w.cursore_tracciato;
  // Past the millionth point the step is refused with 103, once that point is written.
  const int64_t ultimo = entro_milione ? std::min<int64_t>(fino, cursore_massimo_tracciato) : fino;
  if (m > ultimo) return;
  // Points m-2 .. ultimo are touched: one check here instead of four per metre.
  // A plan too short is filled to its end, then fails like any access beyond it.
  if (m < 2 || !s.tracciato.allocato()) fallisci();
  const int64_t scrivibile = std::min<int64_t>(ultimo, s.tracciato.fine());
  // Local copies: the loop keeps them in registers.
  punto_piano penultimo = a.w.penultimo;
  punto_piano precedente = a.w.precedente;
  for (; m <= scrivibile; ++m) {
    const punto_piano nuovo =
        k ? passo_curva(precedente, penultimo, *k) : passo_rettilineo(precedente, penultimo);
    metti_punto(a, m, tipo_valore::doppio, nuovo);
    penultimo = precedente;
    precedente = nuovo;
  }
  a.w.penultimo = penultimo;
  a.w.precedente = precedente;
  if (ultimo > scrivibile) fallisci();
  if (entro_milione && m > cursore_massimo_tracciato) abbandona(errori::curva_senza_classe);
}

dopo_riga riga_pendenza(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::pendenza)) return dopo_riga::continua;
  stato& s = a.s;
  const int32_t p = f.lungo();
  const int32_t q = f.lungo();
  // The value is stored with its "+ 100": beyond 32 bits it is a reading failure.
  if (int64_t{q} + 100 > std::numeric_limits<int32_t>::max()) throw guasto{{}, f.campo(1)};
  posizione_crescente(a, a.c.ultima_pendenza, p, "pendenza", f.campo(0));
  valore_in_campo(a, q, -100, 155, int{basso8(int64_t{q} + 100)} - 100, "pendenza (per mille)",
                  f.campo(1));
  if (oltre_griglia(s, p, 100)) return esci_oltre_griglia(s, p);
  const int32_t n = arrotonda_o_fallisci(static_cast<double>(p) / metri_cella);
  if (n > 0) {
    riempi(s, a.w.cursore_pendenza, n, &cella::pendenza,
           basso8(int64_t{a.w.pendenza_corrente} + 100));
  }
  a.w.pendenza_corrente = q;
  return dopo_riga::continua;
}

dopo_riga riga_curva(analisi& a, sorgente& f, const std::string& chiave) {
  stato& s = a.s;
  // Without a plan to build, the curve values are not even read.
  if (s.genera_linea == 0 || !riconosce(chiave, riga::curva)) return dopo_riga::continua;
  const int32_t inizio = f.lungo();
  const int32_t lunghezza = f.lungo();
  if (oltre_griglia(s, inizio, 100)) return esci_oltre_griglia(s, inizio);
  const std::optional<double> k = curvatura(chiave);
  if (!k) abbandona(errori::curva_senza_classe);
  const int64_t fine = int64_t{inizio} + lunghezza;
  // Past the end of a plan shorter than the 1000000 m bound the curve is
  // refused before a point is written; on the longest routes the bound comes
  // first, and the points up to it are written before 103.
  if (fine > s.fine_tracciato && s.fine_tracciato < cursore_massimo_tracciato) {
    abbandona(errori::curva_oltre_tracciato, inizio);
  }
  estendi_tracciato(a, inizio, std::nullopt, true);
  estendi_tracciato(a, fine, k, true);
  return dopo_riga::continua;
}

dopo_riga riga_montagna(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::montagna)) return dopo_riga::continua;
  stato& s = a.s;
  const scenario::riga_montagna r{f.lungo(), f.lungo(), f.lungo()};
  const int64_t tipo = r.tipo > 10 ? int64_t{r.tipo} - 10 : r.tipo;
  valore_in_campo(a, tipo, 0, 255, basso8(tipo), "tipo di montagna", f.campo(2));
  if (oltre_griglia(s, r.inizio, 100)) return esci_oltre_griglia(s, r.inizio);
  const esito_piazzamento e = memo_montagna(s, r);
  if (e.codice > 0) abbandona(e.codice, r.inizio);
  return dopo_riga::continua;
}

dopo_riga riga_indicatori(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::indicatori)) return dopo_riga::continua;
  stato& s = a.s;
  // Braced initialisation reads the nine fields in order.
  const scenario::riga_indicatori r{f.lungo(), f.lungo(), f.lungo(), f.lungo(), f.lungo(),
                                    f.lungo(), f.lungo(), f.lungo(), f.lungo()};
  if (oltre_griglia(s, r.posizione, 100)) return esci_oltre_griglia(s, r.posizione);
  const esito_piazzamento e = memo_indicatori_v_max(s, r);
  if (e.traboccato) fallisci();
  if (e.codice > 0) abbandona(e.codice, r.posizione);
  segna_posati(a, e);
  return dopo_riga::continua;
}

dopo_riga riga_cartello(analisi& a, sorgente& f, const std::string& chiave) {
  if (!riconosce(chiave, riga::cartello)) return dopo_riga::continua;
  stato& s = a.s;
  const int32_t p = f.lungo();
  const std::string testo = f.testo();
  controlla_lunghezza_nome(testo);
  testo_ascii(a, testo, f);
  if (oltre_griglia(s, p, 100)) return esci_oltre_griglia(s, p);
  const int32_t c = arrotonda_o_fallisci(static_cast<double>(p) / metri_cella + 1.0);
  cella& cartello = cella_propria(s, c, p);
  if (!libera(cartello)) abbandona(errori::cartello_occupato, p);
  // Sign texts fill the table downward from row 80; row 0 is not theirs.
  if (a.w.riga_cartelli < 1) abbandona(errori::troppi_cartelli, p);
  cartello.tipo_cella = cartello_indicatore;
  cartello.valore1 = static_cast<int16_t>(a.w.riga_cartelli);
  s.tabella_scenario[static_cast<size_t>(a.w.riga_cartelli)].nome = testo;
  --a.w.riga_cartelli;
  segna_posato(a, c);
  return dopo_riga::continua;
}

// Every test on every keyword field, in this order.
constexpr std::array<gestore, 5> gestori_corpo{riga_pendenza, riga_curva, riga_montagna,
                                               riga_indicatori, riga_cartello};

}  // namespace

void leggi_sorgente_linea(analisi& a, sorgente& f) {
  std::string riga;
  cerca_generale(a, f, riga);
  sezione_generale(a, f);
  a.c.sezione = sezione_sorgente::corpo_linea;
  prepara_corpo(a);
  leggi_corpo(a, f, gestori_corpo);
}

void completa_linea(analisi& a) {
  stato& s = a.s;
  riempi(s, a.w.cursore_pendenza, s.ultima_cella - 2, &cella::pendenza,
         basso8(int64_t{a.w.pendenza_corrente} + 100));
  // The last two points stay empty.
  if (s.genera_linea != 0) estendi_tracciato(a, int64_t{s.fine_tracciato} - 2, std::nullopt, false);
}

}  // namespace scenario::lettura
