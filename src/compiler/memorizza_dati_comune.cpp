// What both source bodies of the parser share: reading fields that throw on a
// failure, reading a keyword field past its comments, and grid and plan access
// that turns an index outside them into the failure trap.
#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>

#include "compiler/arrotonda.h"
#include "compiler/errori.h"
#include "compiler/memorizza_dati_interno.h"
#include "compiler/misure_griglia.h"
#include "compiler/percorso.h"
#include "sources/parole_chiave.h"

namespace scenario::lettura {

void abbandona(int32_t codice) { throw abbandono{codice, false, 0}; }
void abbandona(int32_t codice, int32_t posizione) { throw abbandono{codice, true, posizione}; }
void fallisci() { throw guasto{}; }

sorgente::sorgente(std::string testo, const std::string& nome, std::vector<avviso>* avvisi)
    : contenuto_(std::move(testo)), lettore_(contenuto_, nome), avvisi_(avvisi) {}

namespace {

// A field as a message quotes it: at most 30 bytes, control bytes escaped.
std::string citato(std::string_view t) {
  std::string r = "\"";
  for (size_t i = 0; i < t.size() && i < 30; ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c == '\t') {
      r += "\\t";
    } else if (c < 32 || c == 127) {
      r += "\\x" + std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
    } else {
      r += static_cast<char>(c);
    }
  }
  if (t.size() > 30) r += "...";
  return r + "\"";
}

bool controllo(char c) { return static_cast<unsigned char>(c) < 32 || c == 127; }

// An optional "-" and at least one digit, nothing else.
bool intero_semplice(std::string_view t) {
  if (!t.empty() && t[0] == '-') t.remove_prefix(1);
  return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

void sorgente::controlla_caratteri(std::string_view letto_come) {
  const std::string_view g = lettore_.campo_grezzo();
  const auto c = std::find_if(g.begin(), g.end(), controllo);
  if (c == g.end()) return;
  const std::string cosa = *c == '\t' ? "tabulazione" : "carattere di controllo";
  avvisi_->push_back({luogo_nel_campo(static_cast<size_t>(c - g.begin())),
                      cosa + " nel campo " + citato(g) +
                          ": i campi si separano con spazi e virgole; letto come " +
                          std::string(letto_come),
                      true});
}

std::string sorgente::testo() {
  std::string valore;
  if (!lettore_.leggi_testo(valore)) fallisci();
  campi_.push_back(luogo_campo());
  if (avvisi_ != nullptr) controlla_caratteri(citato(valore));
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
  const luogo_sorgente l = luogo_campo();
  campi_.push_back(l);
  if (avvisi_ == nullptr) return valore;
  const std::string_view g = lettore_.campo_grezzo();
  if (std::any_of(g.begin(), g.end(), controllo)) {
    controlla_caratteri(std::to_string(valore));
  } else if (!g.empty() && !intero_semplice(g)) {
    avvisi_->push_back(
        {l, "numero non intero " + citato(g) + ": letto come " + std::to_string(valore), true});
  }
  return valore;
}

luogo_sorgente sorgente::campo(size_t k) const {
  return k < campi_.size() ? campi_[k] : luogo_campo();
}

luogo_sorgente sorgente::luogo_campo() const {
  const posizione_testo p = lettore_.inizio_campo();
  return {lettore_.etichetta(), p.riga, p.colonna};
}

luogo_sorgente sorgente::luogo_nel_campo(size_t k) const {
  const posizione_testo p = lettore_.posizione_nel_campo(k);
  return {lettore_.etichetta(), p.riga, p.colonna};
}

void segna_posato(analisi& a, int64_t i) {
  a.s.diagnostica.posati[static_cast<int32_t>(i)] = a.riga_corrente;
}

void segna_posati(analisi& a, const esito_piazzamento& e) {
  for (const int32_t i : e.oggetti()) segna_posato(a, i);
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
  bool alla_fine = f.fine();
  while (leggi_chiave(f, chiave)) {
    a.riga_corrente = f.luogo_campo();
    osserva_chiave(a, chiave, a.riga_corrente);
    f.nuova_riga();
    for (const gestore g : gestori) {
      if (g(a, f, chiave) == dopo_riga::esci) {
        // The only way out of a body is a row beyond the grid (15).
        a.s.diagnostica.luogo = a.riga_corrente;
        annota_errore(a.s);
        return;
      }
    }
    alla_fine = f.fine();
  }
  // Unless the last row's values reached the end, a keyword field did, unread.
  osserva_fine(a, f, alla_fine ? nullptr : &chiave);
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
  s.codice_errore = errori::oltre_la_griglia;
  s.posizione_errore = p;
  return dopo_riga::esci;
}

cella& cella_propria(stato& s, int64_t i, int32_t p) {
  if (!s.griglia_creata()) fallisci();
  if (!s.nella_griglia(i)) abbandona(errori::fuori_griglia, p);
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
