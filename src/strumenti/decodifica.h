// The kinds of compiled file the tools read, told from a file's name or a
// command-line word, their reading (never more than the kind can hold) and
// the one-line report of a file that breaks its layout. The decoders
// themselves sit beside the encoders, in compiler/uscita.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/uscita.h"
#include "sources/disco.h"
#include "strumenti/esito.h"

namespace scenario {

enum class tipo_file { piano, tabella, griglia };

// The kind from the file's name: "*_linea.dat" a plan, "*.sim" a table, any
// other "*.dat" a grid; none for any other name.
std::optional<tipo_file> tipo_da_nome(std::string_view nome);
// The kind from its command-line word: "plan", "table", "grid".
std::optional<tipo_file> tipo_da_parola(std::string_view parola);

// "NOME: file non valido (griglia) all'offset N: messaggio", for the reports.
std::string descrivi_difetto(const std::string& nome, tipo_file tipo, const difetto& d);

// The largest file of the kind (compiler/uscita.h).
uint64_t byte_massimi(tipo_file tipo);

// Reads compiled file `nome` whole from `d`; a file larger than its kind can
// be is refused unread, as a malformed one. A failure is reported on `err`,
// the file called `mostrato`, and its outcome returned.
std::optional<esito_strumento> leggi_compilato(disco& d, const std::string& nome, tipo_file tipo,
                                               const std::string& mostrato, std::string& dati,
                                               std::ostream& err);

}  // namespace scenario
