#include "compiler/percorso.h"

#include <array>
#include <cmath>
#include <limits>
#include <new>
#include <span>
#include <stdexcept>

#include "compiler/arrotonda.h"
#include "compiler/misure_griglia.h"

namespace scenario {

namespace {

// A value stored into a narrower field keeps its low bits; going through the
// unsigned type makes the wrap exact and free of overflow.
int16_t basso16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v)));
}

// R(x) for a cell index. The arguments are 32-bit positions divided by 50, so
// the result is always far inside the 64-bit range.
int64_t indice(double x) { return static_cast<int64_t>(arrotonda(x)); }

cella& in(stato& s, int64_t i) { return s.percorso[static_cast<size_t>(i)]; }

// An object is placed whole or not at all: every index it would touch is
// checked before the first write, and a miss is recorded as fuori_griglia.
bool tutte_nella_griglia(stato& s, std::span<const int64_t> indici) {
  for (const int64_t i : indici) {
    if (!s.nella_griglia(i)) {
      s.codice_errore = errore_fuori_griglia;
      return false;
    }
  }
  return true;
}

// A board value: vd / 5 + vs * 20, the product in 32 bits, the sum rounded
// into 16 bits. False on overflow of either step.
bool valore_indicatore(int32_t vs, int32_t vd, int16_t& risultato) {
  const int64_t prodotto = int64_t{vs} * 20;
  if (prodotto < std::numeric_limits<int32_t>::min() ||
      prodotto > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  return arrotonda_intero(static_cast<double>(vd) / 5.0 + static_cast<double>(prodotto), risultato);
}

}  // namespace

bool crea_percorso(stato& s, int32_t lunghezza) {
  int32_t ultima = 0;
  if (!ultima_cella_per(lunghezza, ultima)) return false;
  std::vector<cella> griglia;
  try {
    griglia.assign(static_cast<size_t>(ultima) + 1, cella{});
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  s.percorso = std::move(griglia);
  s.ultima_cella = ultima;
  return true;
}

void memo_montagna(stato& s, int32_t inizio, int32_t fine, int32_t tipo) {
  const bool marcatori = tipo > 10;
  if (marcatori) tipo -= 10;
  // Its own mapping, without the "+ 1" of placed objects.
  const int64_t prima = indice(static_cast<double>(inizio) / metri_cella);
  const int64_t ultima = indice(static_cast<double>(fine) / metri_cella - 1.0);
  if (prima <= ultima) {
    const std::array<int64_t, 2> estremi{prima, ultima};
    if (!tutte_nella_griglia(s, estremi)) return;
  }
  if (s.numero_montagne >= massimo_montagne) {
    s.codice_errore = errore_troppe_montagne;
    return;
  }
  const int n = ++s.numero_montagne;
  s.inizio_montagna[static_cast<size_t>(n)] = inizio;
  s.fine_montagna[static_cast<size_t>(n)] = fine;
  // The 150 m rule: a span close after (or overlapping) the previous one in
  // source order is of type 3; the marker flag is kept.
  if (n > 1 && int64_t{inizio} - s.fine_montagna[static_cast<size_t>(n - 1)] <= 150) tipo = 3;
  int64_t contate = 0;
  for (int64_t k = prima; k <= ultima; ++k) {
    cella& c = in(s, k);
    c.tipo_montagna = basso8(tipo);
    ++contate;
    // A marker every 200 m, only on a cell that is exactly empty.
    if (marcatori && contate % 4 == 0 && c.tipo_cella == cella_libera) {
      c.tipo_cella = marcatore_montagna;
    }
  }
}

void memo_rallentamento(stato& s, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v) {
  const int64_t inizio = cella_di(x);
  const int64_t fine = indice(static_cast<double>(int64_t{x} + l) / metri_cella + 1.0);
  // A slowdown in the first 1500 m has no warning point, hence no approach.
  const bool con_avviso = x > 1500;
  const bool con_approccio = con_avviso && f_ta != 0;
  const int64_t avviso = indice(static_cast<double>(int64_t{x} - 1200) / metri_cella + 1.0);

  std::array<int64_t, 7> toccate{inizio, fine};
  size_t quante = 2;
  if (con_avviso) toccate[quante++] = avviso;
  if (con_approccio) {
    for (int64_t i = 1; i <= 4; ++i) toccate[quante++] = avviso - i;
  }
  if (!tutte_nella_griglia(s, std::span<const int64_t>(toccate.data(), quante))) return;

  if (con_avviso && !libera(in(s, avviso))) {
    s.codice_errore = errore_avviso_occupato;
    return;
  }
  if (!libera(in(s, inizio))) {
    s.codice_errore = errore_inizio_occupato;
    return;
  }
  if (!libera(in(s, fine))) {
    s.codice_errore = errore_fine_occupato;
    return;
  }

  // The end first, so a start in the same cell wins and leaves type 3.
  in(s, fine).tipo_cella = fine_rallentamento;
  if (d_v != 0) in(s, fine).valore2 = basso16(d_v);
  in(s, inizio).tipo_cella = inizio_rallentamento;
  if (d_v != 0) in(s, inizio).valore2 = basso16(d_v);
  if (con_avviso) {
    cella& w = in(s, avviso);
    w.tipo_cella = avviso_rallentamento;
    if (d_v != 0) w.valore2 = basso16(d_v);
    w.valore1 = basso16(v);
  }
  for (const int64_t k : {inizio, fine}) {
    in(s, k).valore1 = basso16(v);
    in(s, k).valore3 = basso16(f_tt);
  }

  if (!con_approccio) return;
  for (int64_t i = 1; i <= 4; ++i) {
    if (!libera(in(s, avviso - i))) {
      // The start, end and warning cells stay as written.
      s.codice_errore = errore_approccio_occupato;
      return;
    }
  }
  for (int64_t i = 1; i <= 4; ++i) {
    cella& a = in(s, avviso - i);
    a.tipo_cella = approccio_rallentamento;
    a.valore1 = basso16(i);
    if (d_v != 0) a.valore2 = basso16(i);
  }
}

void memo_segnale(stato& s, int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                  int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t tempo) {
  const int64_t c = cella_di(posizione);
  // The signal's cell and its four approach marks, 100 to 400 m before it.
  const std::array<int64_t, 5> toccate{c, c - 2, c - 4, c - 6, c - 8};
  if (!tutte_nella_griglia(s, toccate)) return;
  if (!libera(in(s, c))) {
    s.codice_errore = errore_segnale_occupato;
    return;
  }

  cella& segn = in(s, c);
  segn.tipo_cella = segnale;
  segn.valore4 = basso16(int64_t{rapp} * 10 + int64_t{sx} * 3 + dx);
  segn.valore1 = basso16(int64_t{s1} * 10 + d1);
  segn.valore2 = basso16(int64_t{s2} * 10 + d2);
  segn.valore3 = basso16(int64_t{s3} * 10 + d3);
  // A short time is lifted to 101; zero, negative and long times stay.
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  segn.tempo_segnale = sx == 2 ? basso8(tempo) : 0;

  const int64_t aspetto = (int64_t{sx} * 3 + dx) * 10;
  for (int64_t k = 1; k <= 4; ++k) in(s, c - 2 * k).avvicinamento = basso8(aspetto + k);
}

bool memo_indicatori_v_max(stato& s, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced) {
  const int64_t c = cella_di(posizione);
  const std::array<int64_t, 1> toccate{c};
  if (!tutte_nella_griglia(s, toccate)) return true;
  if (!libera(in(s, c))) {
    s.codice_errore = errore_indicatore_occupato;
    return true;
  }

  cella& tab = in(s, c);
  tab.tipo_cella = indicatore_velocita;
  // Each value is stored as soon as it is computed: an overflow leaves the
  // values before it written, and the cell keeps its type.
  if (!valore_indicatore(vas, vad, tab.valore1)) return false;
  if (!valore_indicatore(vbs, vbd, tab.valore2)) return false;
  if (!valore_indicatore(vcs, vcd, tab.valore3)) return false;
  tab.valore4 = basso16(int64_t{strisces} * 10 + strisced);
  return true;
}

}  // namespace scenario
