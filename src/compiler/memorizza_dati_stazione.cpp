// One station row of the train-run source: its timetable entry in the next
// station row of the table, its area, the approach marks before the area's end
// and the station point. Stations stand in route order, each area at least
// 350 m after the one before, and never in the rows of the sign texts.
#include <cstdint>

#include "compiler/errori.h"
#include "compiler/memorizza_dati_interno.h"
#include "compiler/misure_griglia.h"
#include "compiler/percorso.h"

namespace scenario::lettura {

namespace {

constexpr int32_t distanza_minima = 350;

uint8_t byte(sorgente& f) { return static_cast<uint8_t>(f.numero(larghezza::byte8)); }
int16_t intero(sorgente& f) { return static_cast<int16_t>(f.numero(larghezza::intero16)); }

// (h × 60 + mi) × 60 + s, each step within 32 bits.
int32_t orario(int32_t h, int32_t mi, int32_t s) {
  int32_t t = lungo_o_fallisci(int64_t{h} * 60);
  t = lungo_o_fallisci(int64_t{t} + mi);
  t = lungo_o_fallisci(int64_t{t} * 60);
  return lungo_o_fallisci(int64_t{t} + s);
}

// Fields 4 to 17 of the row, in file order (which is not the record's).
void leggi_dati(voce_scenario& v, sorgente& f) {
  v.dato1 = byte(f);
  v.dato2 = byte(f);
  v.dato3 = byte(f);
  v.dato4 = intero(f);
  v.dato5 = intero(f);
  v.dato6 = byte(f);
  v.dato7 = intero(f);
  v.dato8 = intero(f);
  v.dato9 = intero(f);
  v.dato10 = byte(f);
  const int32_t h = f.lungo();
  const int32_t mi = f.lungo();
  const int32_t s = f.lungo();
  v.orario = orario(h, mi, s);
  v.nome = f.testo();
  controlla_lunghezza_nome(v.nome);
}

// The station area from its position P and length A. Types 5 and 6 end 150 m
// after P; types 7 and 8 reach A either side; the others are centred on P,
// 50 m longer at the end when the third datum is set.
void calcola_area(voce_scenario& v, int32_t area) {
  const int32_t p = v.posizione;
  if (v.tipo == 5 || v.tipo == 6) {
    v.fine = lungo_o_fallisci(int64_t{p} + 150);
    v.inizio = lungo_o_fallisci(int64_t{p} - area);
    v.dato3 = 0;
  } else if (v.tipo == 7 || v.tipo == 8) {
    v.inizio = lungo_o_fallisci(int64_t{p} - area);
    v.fine = lungo_o_fallisci(int64_t{p} + area);
    v.dato3 = 0;
  } else {
    const double meta = static_cast<double>(area) / 2.0;
    v.inizio = arrotonda_o_fallisci(static_cast<double>(p) - meta);
    v.fine = v.dato3 != 0 ? arrotonda_o_fallisci(static_cast<double>(p) + meta + metri_cella)
                          : arrotonda_o_fallisci(static_cast<double>(p) + meta);
  }
}

// Every cell a station writes lies at or below its area's end: a station at a
// negative position, or whose area ends past the grid, is refused whole.
void controlla_griglia(const stato& s, const voce_scenario& v) {
  if (v.posizione < 0 ||
      static_cast<double>(v.fine) / metri_cella > static_cast<double>(s.ultima_cella)) {
    abbandona(errori::fuori_griglia, v.posizione);
  }
}

bool con_punto(const voce_scenario& v) { return v.tipo < 25; }

// Approach marks 81 to 84 on the four cells before the station point.
void marca_avvicinamento(stato& s, const voce_scenario& v) {
  if (!con_punto(v) || v.tipo == 5 || v.tipo == 6) return;
  for (int i = 1; i <= 4; ++i) {
    const double q = static_cast<double>(v.fine) / metri_cella - i - 1;
    if (q > 1) cella_a(s, arrotonda_o_fallisci(q)).avvicinamento = static_cast<uint8_t>(80 + i);
  }
}

// The station point, in the cell before the area's end; it carries the row.
void piazza_punto(analisi& a, const voce_scenario& v, int32_t r) {
  if (!con_punto(v)) return;
  const double q = static_cast<double>(v.fine) / metri_cella - 1;
  if (q <= 1) abbandona(errori::stazione_in_partenza);
  const int32_t i = arrotonda_o_fallisci(q);
  cella& c = cella_a(a.s, i);
  c.tipo_cella = punto_stazione;
  c.valore1 = static_cast<int16_t>(r);
  segna_posato(a, i);
}

}  // namespace

dopo_riga memo_stazione(analisi& a, sorgente& f) {
  stato& s = a.s;
  lavoro& w = a.w;
  const int32_t r = w.numero_stazione;
  // Only with 80 signs can the next station row already hold a sign text.
  if (r > w.riga_cartelli) abbandona(errori::troppe_stazioni);
  voce_scenario& v = s.tabella_scenario[static_cast<size_t>(r)];

  v.posizione = f.lungo();
  const int32_t p = v.posizione;
  if (oltre_griglia(s, p, 800)) return esci_oltre_griglia(s, p);
  if (p % metri_cella != 0) abbandona(errori::stazione_non_multipla, p);
  v.tipo = byte(f);
  const int32_t area = f.lungo();
  if (area % 100 != 0) abbandona(errori::area_stazione_non_multipla, p);
  leggi_dati(v, f);
  testo_ascii(a, v.nome, f);
  posizione_crescente(a, a.c.ultima_stazione, p, "stazione", f.campo(0));
  // A time of 0 is a point with no timetable (a signal box, a tunnel mouth).
  if (v.orario != 0) {
    if (a.c.ultimo_orario && v.orario < *a.c.ultimo_orario) {
      avvisa(a, f.campo(13), "orario della stazione prima di quello della precedente");
    }
    a.c.ultimo_orario = v.orario;
  }

  calcola_area(v, area);
  if (area < 600) v.dato2 = 0;
  if (r == 1) {
    v.dato3 = 0;
    v.dato2 = 0;
  }
  controlla_griglia(s, v);
  marca_avvicinamento(s, v);
  piazza_punto(a, v, r);
  if (r > 1 &&
      int64_t{v.inizio} - distanza_minima < s.tabella_scenario[static_cast<size_t>(r - 1)].fine) {
    abbandona(errori::stazioni_vicine, p);
  }
  ++w.numero_stazione;
  // The first row at or past the next sign row is refused.
  if (w.numero_stazione >= w.riga_cartelli) abbandona(errori::troppe_stazioni);
  return dopo_riga::continua;
}

}  // namespace scenario::lettura
