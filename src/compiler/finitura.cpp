// The finishing pass. Value points (type 12, 180) go before the signals that
// lie up to 1000 m before a slowdown's warning point, 250-350, 550-650 and
// 900-1000 m before each slowdown start, every 400 m inside a slow slowdown,
// and before the first signal within 600 m after its end. The pass never
// writes a slowdown end, so where the ends lie is known before it starts.
#include "compiler/finitura.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "compiler/errori.h"
#include "compiler/misure_griglia.h"
#include "compiler/percorso.h"

namespace scenario {

namespace {

constexpr int16_t valore_punto = 180;
constexpr int16_t velocita_senza_punti = 110;  // no points inside from this speed up
constexpr int32_t nessuna = -1;

struct passata {
  stato& s;
  int32_t u;                           // ultima_cella, taken once
  std::vector<int32_t> prossima_fine;  // first slowdown end at or after each cell
};

cella& in(passata& p, int32_t i) { return p.s.percorso[static_cast<size_t>(i)]; }

// A cell that does not exist is occupied.
bool libera_in(passata& p, int32_t i) { return i >= 0 && i <= p.u && libera(in(p, i)); }

void punto_valore_in(passata& p, int32_t i) {
  in(p, i).tipo_cella = punto_valore;
  in(p, i).valore1 = valore_punto;
}

// The conflict's objects go with it: its place is no source row, but the
// cells of the slowdown and the signal that the authors' tools can name.
void conflitto(passata& p, int32_t codice, int32_t cella_errore, conflitto_finitura oggetti) {
  p.s.codice_errore = codice;
  p.s.posizione_errore = cella_errore * metri_cella;
  p.s.diagnostica.luogo = {};
  p.s.diagnostica.conflitto = std::move(oggetti);
  annota_errore(p.s);
}

std::vector<int32_t> prossime_fini(const stato& s) {
  std::vector<int32_t> prossima(static_cast<size_t>(s.ultima_cella) + 2, nessuna);
  for (int32_t k = s.ultima_cella; k >= 0; --k) {
    const bool fine = s.percorso[static_cast<size_t>(k)].tipo_cella == fine_rallentamento;
    prossima[static_cast<size_t>(k)] = fine ? k : prossima[static_cast<size_t>(k) + 1];
  }
  return prossima;
}

int32_t fine_dopo(const passata& p, int32_t i) {
  return i + 1 > p.u ? nessuna : p.prossima_fine[static_cast<size_t>(i) + 1];
}

// Step A, one signal at cell c before the warning point at i: a point in one
// of the two cells before it. A free second cell wins over a point already in
// the first.
void punto_prima_del_segnale(passata& p, int32_t c, int32_t i) {
  const int32_t p1 = c - 1;
  const int32_t p2 = c - 2;
  if (libera_in(p, p1)) {
    punto_valore_in(p, p1);
  } else if (libera_in(p, p2)) {
    punto_valore_in(p, p2);
  } else if (in(p, p1).tipo_cella == punto_valore) {
    in(p, p1).valore1 = static_cast<int16_t>(minimo(valore_punto, in(p, p1).valore1));
  } else if (in(p, p2).tipo_cella == punto_valore) {
    in(p, p2).valore1 = static_cast<int16_t>(minimo(valore_punto, in(p, p2).valore1));
  } else {
    conflitto(p, errori::segnale_vicino_avviso, c, {/*avviso*/ i, {}, {}, /*segnale*/ c, {p1, p2}});
  }
}

// Step A: every signal up to 20 cells before the warning point at i.
void segnali_prima_dell_avviso(passata& p, int32_t i) {
  for (int32_t a = 1; a <= 20 && i - a >= 3; ++a) {
    if (in(p, i - a).tipo_cella == segnale) punto_prima_del_segnale(p, i - a, i);
  }
}

// B1 to B3: the first free cell among i - da, i - da - 1, i - da - 2.
void punto_prima_dell_inizio(passata& p, int32_t i, int32_t da) {
  if (i <= da + 2) return;
  for (int32_t c = i - da; c >= i - da - 2; --c) {
    if (libera_in(p, c)) {
      punto_valore_in(p, c);
      return;
    }
  }
  conflitto(p, errori::prima_dell_inizio, i,
            {{}, /*inizio*/ i, {}, {}, {i - da, i - da - 1, i - da - 2}});
}

// B4 on the eighth cell k of the slowdown that starts at i: the point goes to
// k, else k - 1, else k + 1. Returns the new step count; after a conflict it
// stays 8 and grows, so the scan places no further point.
int32_t punto_nella_scansione(passata& p, int32_t k, int32_t i) {
  if (libera_in(p, k)) {
    punto_valore_in(p, k);
    return 0;
  }
  if (libera_in(p, k - 1)) {
    punto_valore_in(p, k - 1);
    return 1;
  }
  if (libera_in(p, k + 1)) {
    punto_valore_in(p, k + 1);
    return -1;
  }
  conflitto(p, errori::dentro_o_dopo, k, {{}, /*inizio*/ i, {}, {}, {k, k - 1, k + 1}});
  return 8;
}

// B4: a point every 8 cells from the start i up to the slowdown's end cell,
// which is returned. A scan that meets no end by ultima_cella records 30 and
// returns none.
int32_t scansione(passata& p, int32_t i) {
  const int32_t fine = fine_dopo(p, i);
  int32_t k = i;
  int32_t contatore = 0;
  for (;;) {
    ++k;
    ++contatore;
    if (contatore == 8) contatore = punto_nella_scansione(p, k, i);
    if (k == fine) return k;
    if (k >= p.u) break;
    // No further point can be placed: the rest of the walk changes nothing.
    if (contatore > 8) {
      if (fine == nessuna) break;
      return fine;
    }
  }
  conflitto(p, errori::rallentamento_senza_fine, i, {{}, /*inizio*/ i, {}, {}, {}});
  return nessuna;
}

// B5: a point before the first signal up to 12 cells after the end cell k of
// the slowdown that starts at i.
void punto_dopo_la_fine(passata& p, int32_t k, int32_t i) {
  int32_t f = 0;
  for (int32_t m = k; m <= std::min(k + 12, p.u); ++m) {
    if (in(p, m).tipo_cella == segnale) {
      f = m - 1;
      break;
    }
  }
  if (f <= 0) return;
  if (libera_in(p, f)) {
    punto_valore_in(p, f);
  } else if (libera_in(p, f - 1)) {
    punto_valore_in(p, f - 1);
  } else {
    conflitto(p, errori::dentro_o_dopo, k,
              {{}, /*inizio*/ i, /*fine*/ k, /*segnale*/ f + 1, {f, f - 1}});
  }
}

// Step B, the slowdown that starts at cell i.
void punti_del_rallentamento(passata& p, int32_t i) {
  punto_prima_dell_inizio(p, i, 5);
  punto_prima_dell_inizio(p, i, 11);
  punto_prima_dell_inizio(p, i, 18);
  // A fast slowdown gets no inner points, but still the look-ahead from its
  // own end cell, when it has one.
  const int32_t fine = in(p, i).valore1 < velocita_senza_punti ? scansione(p, i) : fine_dopo(p, i);
  if (fine != nessuna) punto_dopo_la_fine(p, fine, i);
}

}  // namespace

void finitura_percorso(stato& s) {
  if (!s.griglia_creata()) return;
  passata p{s, s.ultima_cella, prossime_fini(s)};
  for (int32_t i = 1; i <= p.u - 2; ++i) {
    const uint8_t tipo = in(p, i).tipo_cella;
    if (tipo == avviso_rallentamento) segnali_prima_dell_avviso(p, i);
    if (tipo == inizio_rallentamento) punti_del_rallentamento(p, i);
  }
}

}  // namespace scenario
