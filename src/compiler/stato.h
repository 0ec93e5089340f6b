// The run state: everything the compile step shares between the parser, the
// placement operations, the finishing pass and the output stage. One object,
// created zeroed, passed explicitly; nothing of it lives in a global.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compiler/cella.h"
#include "compiler/tabella.h"

namespace scenario {

inline constexpr int massimo_montagne = 80;

// A place in a source: its name, the 1-based line and column of a field. Line
// 0 stands for the whole file (a missing source, no "[generale]").
struct luogo_sorgente {
  std::string file;
  int riga = 0;
  int colonna = 0;

  bool operator==(const luogo_sorgente&) const = default;
};

// The objects behind a conflict of the finishing pass, by cell index: the
// slowdown (its warning point, start and end, where known), the signal, and
// the cells tried in vain for the value point.
struct conflitto_finitura {
  std::optional<int32_t> avviso;
  std::optional<int32_t> inizio;
  std::optional<int32_t> fine;
  std::optional<int32_t> segnale;
  std::vector<int32_t> tentate;

  bool operator==(const conflitto_finitura&) const = default;
};

// Where the error in the register came from, for the authors' tools. The
// parser sets `luogo` with every code it records (the keyword field of the
// row being handled, or the field whose reading failed); the finishing pass
// clears it and describes its conflict instead. `posati` maps each cell that
// a source row filled with an object to that row. No compiled byte depends
// on any of this.
// One code as it was recorded, with its position and place.
struct errore_incontrato {
  int32_t codice = 0;
  int32_t posizione = 0;
  luogo_sorgente luogo;
  std::optional<conflitto_finitura> conflitto;
  std::string nota;  // the cause, where the place alone does not say it

  bool operator==(const errore_incontrato&) const = default;
};

// A reading that an author may not have meant: the compiled bytes follow the
// reading rules, the warning says what they were read as.
struct avviso {
  luogo_sorgente luogo;
  std::string testo;
  // A field read as something else (a tab, a letter in a number): a fault
  // of the same row is reported here, at its cause.
  bool lettura = false;

  bool operator==(const avviso&) const = default;
};

struct diagnostica {
  luogo_sorgente luogo;
  std::optional<conflitto_finitura> conflitto;
  std::string nota;  // goes with luogo into the codes met
  std::map<int32_t, luogo_sorgente> posati;
  // Every code recorded, in the order met (the register keeps only the last).
  std::vector<errore_incontrato> errori;
  std::vector<avviso> avvisi;
  // The parser's trap took an allocation that failed: error 25 is recorded
  // as the compiled files require, but the sources are not at fault.
  bool memoria_esaurita = false;
};

struct stato {
  std::string nome_linea;
  std::string nome_treno;

  int32_t genera_linea = 0;           // non-zero: build the plan and write the line file
  int32_t codice_errore = 0;          // the error register; 0 = none
  int32_t posizione_errore = 0;       // route position (m) of that error
  scenario::diagnostica diagnostica;  // where that error came from

  // The track grid, indices 0 .. ultima_cella; empty until the route length is read.
  std::vector<cella> percorso;
  int32_t ultima_cella = 0;

  tabella tabella_scenario{};

  // The track plan, indices 0 .. fine_tracciato; allocated only with genera_linea.
  scenario::tracciato tracciato;
  int32_t fine_tracciato = 0;
  // False: the compile only streams the plan to its file and keeps none of its
  // points (a 1,000,000 m route then needs no more memory than a short one).
  bool trattieni_tracciato = true;

  // Terrain spans stored for the 150 m rule; index 0 is never used.
  std::array<int32_t, massimo_montagne + 1> inizio_montagna{};
  std::array<int32_t, massimo_montagne + 1> fine_montagna{};
  int32_t numero_montagne = 0;

  bool griglia_creata() const { return !percorso.empty(); }
  // True when index i is a cell of the grid.
  bool nella_griglia(int64_t i) const { return i >= 0 && i <= ultima_cella && griglia_creata(); }
};

// Adds the code just recorded in the register, with its place, to the codes
// met; the same record twice in a row is one.
inline void annota_errore(stato& s) {
  errore_incontrato e{s.codice_errore, s.posizione_errore, s.diagnostica.luogo,
                      s.diagnostica.conflitto, s.diagnostica.nota};
  std::vector<errore_incontrato>& v = s.diagnostica.errori;
  if (v.empty() || !(v.back() == e)) v.push_back(std::move(e));
  s.diagnostica.nota.clear();
}

}  // namespace scenario
