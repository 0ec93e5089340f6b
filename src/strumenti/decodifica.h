// Decoders of the three compiled files (layouts: docs/formati.md), the
// inverse of the encoders in compiler/uscita.h: encoding what a decoder
// returns gives back the same bytes. Each checks the file's structure and
// returns its first defect, with the byte offset where it lies, rather than
// reading past the end or guessing; nothing in any input can make them fail
// otherwise.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/cella.h"
#include "compiler/tabella.h"

namespace scenario {

enum class tipo_file { piano, tabella, griglia };

// The kind from the file's name: "*_linea.dat" a plan, "*.sim" a table, any
// other "*.dat" a grid; none for any other name.
std::optional<tipo_file> tipo_da_nome(std::string_view nome);
// The kind from its command-line word: "plan", "table", "grid".
std::optional<tipo_file> tipo_da_parola(std::string_view parola);

struct difetto {
  size_t offset = 0;
  std::string messaggio;
};

// "NOME: file non valido (griglia) all'offset N: messaggio", for the reports.
std::string descrivi_difetto(const std::string& nome, tipo_file tipo, const difetto& d);

// Cells of 15 bytes; the size must be a non-zero multiple of 15.
std::optional<difetto> decodifica_griglia(std::string_view dati, std::vector<cella>& celle);
// Exactly 87 rows of 34 + n bytes, n the name length each row states.
std::optional<difetto> decodifica_tabella(std::string_view dati, tabella& t);
// Tagged values (0 empty, 2 integer, 5 double), an even number of them: the
// first half is the first coordinate of points 0, 1, ..., the second half
// the second coordinate.
std::optional<difetto> decodifica_piano(std::string_view dati, tracciato& t);

}  // namespace scenario
