// What the drawings show, read back from the three compiled files: the route
// length, the stations (table rows), the signals (grid type 1), the tunnels
// (cells of mountain type 1, and the "Galleria" / "Gall.elic." signs with
// their names and lengths), the slowdowns (a start cell, type 3, to the next
// end cell, type 2, with its speed), the line speed limit and the relative
// altitude built from the gradients. Positions are metres from the route
// start: a placed object in cell c stands at (c - 1) * 50; the profiles of
// cell c hold from c * 50 to c * 50 + 50.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/cella.h"
#include "compiler/tabella.h"

namespace scenario {

struct scenario_compilato {
  std::vector<cella> griglia;
  tabella righe{};
  tracciato piano;
};

// What a table row holds: the fixed header rows by number; below them a row
// with a name and nothing else is a sign text, any other filled row a
// station. Null for an empty row.
const char* ruolo_riga(size_t r, const voce_scenario& v);

struct stazione_linea {
  double posizione = 0;
  std::string nome;
};

struct tratto_linea {
  double da = 0;
  double a = 0;
  std::string nome;  // empty when no sign names it
};

struct rallentamento_linea {
  double da = 0;
  double a = 0;
  int velocita = 0;  // km/h

  bool operator==(const rallentamento_linea&) const = default;
};

// A value that holds from `da` to `a`.
struct gradino {
  double da = 0;
  double a = 0;
  double valore = 0;

  bool operator==(const gradino&) const = default;
};

struct quota {
  double posizione = 0;
  double metri = 0;  // relative to the route start
};

struct elementi_linea {
  double lunghezza = 0;
  std::vector<stazione_linea> stazioni;
  std::vector<double> segnali;
  std::vector<tratto_linea> gallerie;
  std::vector<rallentamento_linea> rallentamenti;
  std::vector<gradino> limiti;    // km/h
  std::vector<gradino> pendenze;  // per mille, runs of one gradient
  std::vector<quota> quote;       // one at every cell boundary
};

// Everything within 0 .. lunghezza; nothing in a malformed but well-laid-out
// file can make it fail, and the work grows with the files' size, never with
// its square. A tunnel's name is kept to `nome_galleria_massimo` bytes (cut
// with "..."): a sign's text may hold 65535, and thousands of cells may show it.
constexpr size_t nome_galleria_massimo = 255;
elementi_linea elementi_di(const scenario_compilato& s);

}  // namespace scenario
