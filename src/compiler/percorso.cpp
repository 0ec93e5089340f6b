#include "compiler/percorso.h"

#include <array>
#include <cmath>
#include <limits>
#include <new>
#include <span>
#include <stdexcept>

#include "compiler/arrotonda.h"
#include "compiler/errori.h"
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
// checked before the first write, and a miss refuses it as fuori_griglia.
bool tutte_nella_griglia(std::span<const int64_t> indici, const stato& s) {
  for (const int64_t i : indici) {
    if (!s.nella_griglia(i)) return false;
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

// The outcome's code goes into the register as well.
esito_piazzamento registra(stato& s, esito_piazzamento e, int32_t codice) {
  s.codice_errore = codice;
  e.codice = codice;
  return e;
}

void posa(esito_piazzamento& e, int64_t i) { e.celle[e.quante++] = static_cast<int32_t>(i); }

}  // namespace

bool crea_percorso(stato& s, int32_t lunghezza) {
  int32_t ultima = 0;
  if (!ultima_cella_per(lunghezza, ultima)) return false;
  std::vector<cella> griglia;
  try {
    griglia.assign(static_cast<size_t>(ultima) + 1, cella{});
  } catch (const std::bad_alloc&) {
    s.diagnostica.memoria_esaurita = true;
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  s.percorso = std::move(griglia);
  s.ultima_cella = ultima;
  return true;
}

esito_piazzamento memo_montagna(stato& s, const riga_montagna& r) {
  int32_t tipo = r.tipo;
  const bool marcatori = tipo > 10;
  if (marcatori) tipo -= 10;
  // Its own mapping, without the "+ 1" of placed objects.
  const int64_t prima = indice(static_cast<double>(r.inizio) / metri_cella);
  const int64_t ultima = indice(static_cast<double>(r.fine) / metri_cella - 1.0);
  if (prima <= ultima) {
    const std::array<int64_t, 2> estremi{prima, ultima};
    if (!tutte_nella_griglia(estremi, s)) return registra(s, {}, errori::fuori_griglia);
  }
  if (s.numero_montagne >= massimo_montagne) return registra(s, {}, errori::troppe_montagne);
  const int n = ++s.numero_montagne;
  s.inizio_montagna[static_cast<size_t>(n)] = r.inizio;
  s.fine_montagna[static_cast<size_t>(n)] = r.fine;
  // The 150 m rule: a span close after (or overlapping) the previous one in
  // source order is of type 3; the marker flag is kept.
  if (n > 1 && int64_t{r.inizio} - s.fine_montagna[static_cast<size_t>(n - 1)] <= 150) tipo = 3;
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
  return {};
}

esito_piazzamento memo_rallentamento(stato& s, const riga_rallentamento& r) {
  const int64_t inizio = cella_di(r.x);
  const int64_t fine = indice(static_cast<double>(int64_t{r.x} + r.l) / metri_cella + 1.0);
  // A slowdown in the first 1500 m has no warning point, hence no approach.
  const bool con_avviso = r.x > 1500;
  const bool con_approccio = con_avviso && r.f_ta != 0;
  const int64_t avviso = indice(static_cast<double>(int64_t{r.x} - 1200) / metri_cella + 1.0);

  std::array<int64_t, 7> toccate{inizio, fine};
  size_t quante = 2;
  if (con_avviso) toccate[quante++] = avviso;
  if (con_approccio) {
    for (int64_t i = 1; i <= 4; ++i) toccate[quante++] = avviso - i;
  }
  if (!tutte_nella_griglia(std::span<const int64_t>(toccate.data(), quante), s)) {
    return registra(s, {}, errori::fuori_griglia);
  }

  if (con_avviso && !libera(in(s, avviso))) return registra(s, {}, errori::avviso_occupato);
  if (!libera(in(s, inizio))) return registra(s, {}, errori::inizio_occupato);
  if (!libera(in(s, fine))) return registra(s, {}, errori::fine_occupato);

  esito_piazzamento e;
  // The end first, so a start in the same cell wins and leaves type 3.
  in(s, fine).tipo_cella = fine_rallentamento;
  if (r.d_v != 0) in(s, fine).valore2 = basso16(r.d_v);
  in(s, inizio).tipo_cella = inizio_rallentamento;
  if (r.d_v != 0) in(s, inizio).valore2 = basso16(r.d_v);
  posa(e, inizio);
  if (fine != inizio) posa(e, fine);
  if (con_avviso) {
    cella& w = in(s, avviso);
    w.tipo_cella = avviso_rallentamento;
    if (r.d_v != 0) w.valore2 = basso16(r.d_v);
    w.valore1 = basso16(r.v);
    posa(e, avviso);
  }
  for (const int64_t k : {inizio, fine}) {
    in(s, k).valore1 = basso16(r.v);
    in(s, k).valore3 = basso16(r.f_tt);
  }

  if (!con_approccio) return e;
  for (int64_t i = 1; i <= 4; ++i) {
    // The start, end and warning cells stay as written.
    if (!libera(in(s, avviso - i))) return registra(s, e, errori::approccio_occupato);
  }
  for (int64_t i = 1; i <= 4; ++i) {
    cella& a = in(s, avviso - i);
    a.tipo_cella = approccio_rallentamento;
    a.valore1 = basso16(i);
    if (r.d_v != 0) a.valore2 = basso16(i);
    posa(e, avviso - i);
  }
  return e;
}

esito_piazzamento memo_segnale(stato& s, const riga_segnale& r) {
  const int64_t c = cella_di(r.posizione);
  // The signal's cell and its four approach marks, 100 to 400 m before it.
  const std::array<int64_t, 5> toccate{c, c - 2, c - 4, c - 6, c - 8};
  if (!tutte_nella_griglia(toccate, s)) return registra(s, {}, errori::fuori_griglia);
  if (!libera(in(s, c))) return registra(s, {}, errori::segnale_occupato);

  cella& segn = in(s, c);
  segn.tipo_cella = segnale;
  segn.valore4 = basso16(int64_t{r.rapp} * 10 + int64_t{r.sx} * 3 + r.dx);
  segn.valore1 = basso16(int64_t{r.s1} * 10 + r.d1);
  segn.valore2 = basso16(int64_t{r.s2} * 10 + r.d2);
  segn.valore3 = basso16(int64_t{r.s3} * 10 + r.d3);
  // A short time is lifted to 101; zero, negative and long times stay.
  const int32_t tempo = r.tempo >= 1 && r.tempo <= 100 ? 101 : r.tempo;
  segn.tempo_segnale = r.sx == 2 ? basso8(tempo) : 0;

  const int64_t aspetto = (int64_t{r.sx} * 3 + r.dx) * 10;
  for (int64_t k = 1; k <= 4; ++k) in(s, c - 2 * k).avvicinamento = basso8(aspetto + k);
  esito_piazzamento e;
  posa(e, c);
  return e;
}

esito_piazzamento memo_indicatori_v_max(stato& s, const riga_indicatori& r) {
  const int64_t c = cella_di(r.posizione);
  const std::array<int64_t, 1> toccate{c};
  if (!tutte_nella_griglia(toccate, s)) return registra(s, {}, errori::fuori_griglia);
  if (!libera(in(s, c))) return registra(s, {}, errori::indicatore_occupato);

  cella& tab = in(s, c);
  tab.tipo_cella = indicatore_velocita;
  esito_piazzamento e;
  posa(e, c);
  // Each value is stored as soon as it is computed: an overflow leaves the
  // values before it written, and the cell keeps its type.
  e.traboccato = !valore_indicatore(r.vas, r.vad, tab.valore1) ||
                 !valore_indicatore(r.vbs, r.vbd, tab.valore2) ||
                 !valore_indicatore(r.vcs, r.vcd, tab.valore3);
  if (e.traboccato) return e;
  tab.valore4 = basso16(int64_t{r.strisces} * 10 + r.strisced);
  return e;
}

}  // namespace scenario
