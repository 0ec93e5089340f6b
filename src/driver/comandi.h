// The authors' tools behind the command line: reads the options, reports a
// usage error in one line (status 64), opens the directories the command
// names on the real disk and runs the tool. Returns the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace scenario {

inline constexpr int uscita_uso = 64;              // a wrong command line
inline constexpr int uscita_file_malformato = 65;  // a compiled file breaks its layout
inline constexpr int uscita_file_esistenti = 73;   // export would replace sources

// `argomenti` excludes the program's own name and is never empty.
int esegui_comando(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

}  // namespace scenario
