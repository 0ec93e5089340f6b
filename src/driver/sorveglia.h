// compile --watch: compiles once, then again each time either source is
// saved (a burst of saves is one compile), until Ctrl-C or SIGTERM, which end
// it with status 0. Each compile is headed on standard error by the time
// (HH:MM:SS) and what changed, and followed by its outcome; the compile
// itself reports as compile does, writes its files only when clean, and
// never touches the sources.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace scenario {

// `compila` runs one compile and returns its exit status; `nomi` are the two
// sources, watched in `cartella` (`mostrata` is how the user wrote it).
int sorveglia_sorgenti(const std::filesystem::path& cartella, const std::string& mostrata,
                       const std::vector<std::string>& nomi, bool a_intervalli,
                       const std::function<int()>& compila, std::ostream& err);

}  // namespace scenario
