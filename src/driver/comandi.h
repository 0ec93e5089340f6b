// The authors' tools behind the command line: the table of commands (each a
// row: word, operands, options, help, handler), and the run of one line:
// reads the options, reports a usage error in one line (status 64), opens
// the directories the command names on the real disk and runs the tool.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "driver/opzioni.h"
#include "driver/stato_uscita.h"

namespace scenario {

// Every command, in the order of the help. A new command is one row here
// and its handler.
std::span<const descrizione_comando> tabella_comandi();

// `argomenti` excludes the program's own name and is never empty.
int esegui_comando(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

}  // namespace scenario
