// What both source bodies of the parser share: reading fields that throw on a
// failure, reading a keyword field past its comments, and grid and plan access
// that turns an index outside them into the failure trap.
#include <cstddef>
#include <limits>
#include <utility>

#include "compiler/arrotonda.h"
#include "compiler/memorizza_dati_interno.h"
#include "compiler/misure_griglia.h"
#include "compiler/percorso.h"
#include "sources/parole_chiave.h"

namespace scenario::lettura {

void abbandona(int32_t codice) { throw abbandono{codice, false, 0}; }
void abbandona(int32_t codice, int32_t posizione) { throw abbandono{codice, true, posizione}; }
void fallisci() { throw guasto{}; }

sorgente::sorgente(std::string testo, const std::string& nome)
    : contenuto_(std::move(testo)), lettore_(contenuto_, nome) {}

std::string sorgente::testo() {
  std::string valore;
  if (!lettore_.leggi_testo(valore)) fallisci();
  return valore;
}

int32_t sorgente::numero(larghezza w) {
  const bool alla_fine = lettore_.fine();
  int32_t valore = 0;
  if (!lettore_.leggi_numero(w, valore)) {
    // A value too wide is its own field's fault; a read past the end is the row's.
    if (!alla_fine) throw guasto{{}, luogo_campo()};
    fallisci();
  }
  return valore;
}

luogo_sorgente sorgente::luogo_campo() const {
  const posizione_testo p = lettore_.inizio_campo();
  return {lettore_.etichetta(), p.riga, p.colonna};
}

void segna_posato(analisi& a, int64_t i) {
  a.s.diagnostica.posati[static_cast<int32_t>(i)] = a.riga_corrente;
}

bool leggi_chiave(sorgente& f, std::string& riga) {
  if (f.fine()) return false;
  riga = f.testo();
  if (f.fine()) return false;
  // Two comments at most; a third is tested as a keyword field.
  for (int i = 0; i < 2 && e_commento(riga); ++i) {
    riga = f.testo();
    if (f.fine()) return false;
  }
  return true;
}

void leggi_corpo(analisi& a, sorgente& f, std::span<const gestore> gestori) {
  std::string chiave;
  while (leggi_chiave(f, chiave)) {
    a.riga_corrente = f.luogo_campo();
    for (const gestore g : gestori) {
      if (g(a, f, chiave) == dopo_riga::esci) {
        // The only way out of a body is a row beyond the grid (15).
        a.s.diagnostica.luogo = a.riga_corrente;
        return;
      }
    }
  }
}

int32_t arrotonda_o_fallisci(double x) {
  int32_t r = 0;
  if (!arrotonda_lungo(x, r)) fallisci();
  return r;
}

int32_t lungo_o_fallisci(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
    fallisci();
  }
  return static_cast<int32_t>(v);
}

void controlla_lunghezza_nome(const std::string& t) {
  if (t.size() > 0xFFFF) fallisci();
}

bool oltre_griglia(const stato& s, int32_t p, int32_t margine) {
  return static_cast<double>(s.ultima_cella) <
         (static_cast<double>(p) + static_cast<double>(margine)) / metri_cella;
}

cella& cella_a(stato& s, int64_t i) {
  if (!s.nella_griglia(i)) fallisci();
  return s.percorso[static_cast<size_t>(i)];
}

dopo_riga esci_oltre_griglia(stato& s, int32_t p) {
  s.codice_errore = 15;
  s.posizione_errore = p;
  return dopo_riga::esci;
}

cella& cella_propria(stato& s, int64_t i, int32_t p) {
  if (!s.griglia_creata()) fallisci();
  if (!s.nella_griglia(i)) abbandona(errore_fuori_griglia, p);
  return s.percorso[static_cast<size_t>(i)];
}

void riempi(stato& s, int32_t& cursore, int32_t n, uint8_t cella::*campo, uint8_t valore) {
  do {
    cella_a(s, cursore).*campo = valore;
    ++cursore;
  } while (cursore < n);
}

void crea_dovuti(analisi& a) {
  if (a.lunghezza_dovuta) {
    if (!crea_percorso(a.s, *a.lunghezza_dovuta)) fallisci();
    a.lunghezza_dovuta.reset();
  }
  if (a.tracciato_dovuto >= 0) {
    const int32_t fine = a.tracciato_dovuto;
    a.s.tracciato.crea(fine, a.s.trattieni_tracciato || a.piano == nullptr);
    if (a.piano != nullptr) {
      uscita_piano& p = *a.piano;
      p.scrittore.reset();
      if (!p.file) p.file = p.d.apri_bozza(p.nome);
      p.scrittore.emplace(*p.file, fine, colonna_prevista(fine));
    }
    a.tracciato_dovuto = -1;
  }
}

}  // namespace scenario::lettura
