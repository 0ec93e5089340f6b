// The parser's private parts, shared by its source files and by nothing else:
// the open source as a stream of fields that throws on a reading failure, the
// working state of one call, its two ways out (abandon with a code, the failure
// trap) and grid and plan access that refuses an index outside them. No
// exception declared here ever leaves memorizza_dati.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/arrotonda.h"
#include "compiler/errori.h"
#include "compiler/memorizza_dati.h"
#include "compiler/passo_tracciato.h"
#include "compiler/percorso.h"
#include "compiler/stato.h"
#include "sources/disco.h"
#include "sources/lettore_campi.h"
#include "sources/righe_sorgente.h"

namespace scenario::lettura {

// The failure trap (code 25): a reading failure, a run-time failure, or a
// failure of the disk itself, which then travels in `io`.
struct guasto {
  esito_io io;
  // The field whose value did not fit its width; otherwise the row being
  // handled is the place of the failure.
  std::optional<luogo_sorgente> campo;
};

// Abandon: the source being read is deleted, the code (and, where it has one,
// the position) recorded, and the parser stops.
struct abbandono {
  int32_t codice = 0;
  bool con_posizione = false;
  int32_t posizione = 0;
  // The code was already in the register (a 15 from the line source met by a
  // placement row): its place stays the row that recorded it.
  bool ereditato = false;
};

inline abbandono abbandono_di(int32_t codice, int32_t posizione, bool ereditato) {
  return {codice, true, posizione, ereditato};
}
[[noreturn]] void abbandona(int32_t codice);
[[noreturn]] void abbandona(int32_t codice, int32_t posizione);
[[noreturn]] void fallisci();

// What a keyword handler tells its body: go on, or leave the body (code 15).
enum class dopo_riga { continua, esci };

// One source, owned while it is read. Every read that fails throws guasto.
class sorgente {
 public:
  // `avvisi` receives the warnings on single fields (a number not written as
  // a whole number, a control character); none when null.
  sorgente(std::string testo, const std::string& nome, std::vector<avviso>* avvisi = nullptr);
  sorgente(const sorgente&) = delete;
  sorgente& operator=(const sorgente&) = delete;

  std::string testo();
  int32_t numero(larghezza w);
  int32_t lungo() { return numero(larghezza::lungo32); }
  bool fine() const { return lettore_.fine(); }
  // Where the field read last began, and where its byte k (as written,
  // quotes included) stands.
  luogo_sorgente luogo_campo() const;
  luogo_sorgente luogo_nel_campo(size_t k) const;
  std::string_view campo_grezzo() const { return lettore_.campo_grezzo(); }
  // The value fields read since the keyword field of the row: the k-th one's
  // place (the keyword's place when there is none).
  void nuova_riga() { campi_.clear(); }
  luogo_sorgente campo(size_t k) const;

 private:
  void controlla_caratteri(std::string_view letto_come);

  std::string contenuto_;  // declared before the reader, which views it
  lettore_campi lettore_;
  std::vector<avviso>* avvisi_;
  std::vector<luogo_sorgente> campi_;
};

// What the warnings follow across the rows of the source being read. Nothing
// of it reaches a compiled byte.
struct controlli {
  sezione_sorgente sezione = sezione_sorgente::generale_linea;
  bool linea = true;
  std::array<int, tipi_riga.size()> contate{};
  int ultima_intestazione = -1;  // index in the source's list of headers
  bool fine_vista = false;       // "[fine]" met before the last field
  bool avvisato_dopo_fine = false;
  int riga_sconosciuta = 0;  // one unknown keyword warned a line
  std::optional<int32_t> ultima_pendenza, ultima_velocita, ultima_aderenza;
  std::optional<int32_t> ultima_stazione, ultimo_orario;
  std::optional<luogo_sorgente> generale;  // where "[generale]" stands
  // A [generale] row dropped that looks like the route length.
  std::optional<luogo_sorgente> lunghezza_simile;
};

// Working state of one call; step 5 puts it back to these values.
struct lavoro {
  int32_t cursore_pendenza = 0;
  int32_t pendenza_corrente = 0;
  int32_t cursore_tracciato = 2;
  // The two plan points before the cursor: each step needs only these.
  punto_piano penultimo{};
  punto_piano precedente{};
  int32_t riga_cartelli = prima_riga_cartelli;
  int32_t cursore_velocita = 0;
  int32_t limite_corrente = 0;
  bool limite_letto = false;  // the first limit row also holds before itself
  int32_t cursore_aderenza = 0;
  int32_t aderenza_corrente = 0;
  bool aderenza_letta = false;  // likewise for adhesion
  int32_t numero_stazione = 1;
};

// A kilometric-origin row as read, with its place: the ordering moves the
// rows, and the check at the end must still name the source row.
struct progressiva_letta {
  voce_scenario valori;
  luogo_sorgente luogo;
};

struct analisi {
  stato& s;
  lavoro w;
  // Where the plan's points go as they are computed; none when only held.
  uscita_piano* piano = nullptr;
  // The grid and plan of the last valid route-length row. Nothing touches them
  // before [generale] ends, so they are built then, or when the parser stops
  // earlier: a source repeating that row costs no repeated allocation.
  std::optional<int32_t> lunghezza_dovuta;
  int32_t tracciato_dovuto = -1;  // -1: no plan due
  // The keyword field of the row being handled (line 0 before the first).
  luogo_sorgente riga_corrente{};
  // Rows 81, 82, 83 ("tre", "due", "uno") as last read; no place: not read.
  std::array<progressiva_letta, 3> progressive{};
  controlli c{};
  bool lunghezza_letta = false;  // a route-length row was met
};

// ---- warnings (memorizza_dati_avvisi.cpp) ----

void avvisa(analisi& a, const luogo_sorgente& l, std::string testo, bool lettura = false);
// A keyword field of the current section: a header, a known row, or a row
// dropped because no row kind matches it.
void osserva_chiave(analisi& a, const std::string& chiave, const luogo_sorgente& l);
// The body ended at the end of the file: was its last field "[fine]"?
// `non_letto` is the keyword field that reached the end, if one did.
void osserva_fine(analisi& a, const sorgente& f, const std::string* non_letto);
// The source is read: rows every author needs that it lacks.
void osserva_mancanti(analisi& a, const std::string& file);
// A position that must grow from row to row.
void posizione_crescente(analisi& a, std::optional<int32_t>& ultima, int32_t p,
                         std::string_view cosa, const luogo_sorgente& l);
// A value that is stored cut to a narrower field, or wrapped.
void valore_in_campo(analisi& a, int64_t valore, int64_t minimo, int64_t massimo,
                     int64_t memorizzato, std::string_view cosa, const luogo_sorgente& l);
// A text stored one byte a character: bytes above 127. `t` is the text field
// `f` read last, which places the byte.
void testo_ascii(analisi& a, const std::string& t, const sorgente& f);

// The current row is the one that placed an object in cell i, or in the
// cells of a placement's outcome.
void segna_posato(analisi& a, int64_t i);
void segna_posati(analisi& a, const esito_piazzamento& e);

// Reads the next keyword field into riga, dropping up to two consecutive
// comments. False when the body ends here (the field reached the end).
bool leggi_chiave(sorgente& f, std::string& riga);

// One keyword handler: tests the field and, when it matches, reads its values.
using gestore = dopo_riga (*)(analisi&, sorgente&, const std::string& chiave);
// A body: every keyword field goes through every handler, in order, until one
// of them leaves the body or the field reaches the end.
void leggi_corpo(analisi& a, sorgente& f, std::span<const gestore> gestori);

// R(x) as a 32-bit index or value; a result that does not fit is a run-time failure.
int32_t arrotonda_o_fallisci(double x);
// A value that must fit 32 bits, computed wider; outside them is a run-time failure.
int32_t lungo_o_fallisci(int64_t v);
// Texts stored with a 16-bit length: a longer one is a reading failure.
void controlla_lunghezza_nome(const std::string& t);

// A position p with slack d lies beyond the grid when ultima_cella < (p + d) / 50.
bool oltre_griglia(const stato& s, int32_t p, int32_t margine);

// The cell at i; no grid, or i outside 0 .. ultima_cella, is a run-time failure.
cella& cella_a(stato& s, int64_t i);
// Writes `valore` into one byte field from the cursor up to n: at least once,
// then while the cursor is below n.
void riempi(stato& s, int32_t& cursore, int32_t n, uint8_t cella::*campo, uint8_t valore);

// Builds the grid, then the plan, that the last route-length row made due.
void crea_dovuti(analisi& a);

// Code 15: records a row beyond the grid and leaves the current body.
dopo_riga esci_oltre_griglia(stato& s, int32_t p);
// The cell of a row's own object: no grid is a run-time failure, an index
// outside it refuses the row (code 26 at position p).
cella& cella_propria(stato& s, int64_t i, int32_t p);

// The line source up to the end of its body; then, once it is deleted, the
// gradient fill to the grid's end and the rest of the plan.
void leggi_sorgente_linea(analisi& a, sorgente& f);
void completa_linea(analisi& a);
// The train-run source up to the end of its body; then, once it is deleted,
// the speed-limit and adhesion fills to the grid's end.
void leggi_sorgente_treno(analisi& a, sorgente& f);
void completa_treno(analisi& a);
// One "stazione" row, its keyword field already read.
dopo_riga memo_stazione(analisi& a, sorgente& f);

}  // namespace scenario::lettura
