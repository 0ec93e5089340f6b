// Replays every input of the fuzz corpus through the fuzzer's own checks, in
// the ordinary test run: each regression input found by fuzzing stays fixed.
// With arguments, replays those files or directories instead (to reproduce a
// finding in an ordinary build).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controllo_compilazione.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

// The files named, a directory standing for the files in it, in name order so
// that a report is the same on every machine.
std::vector<fs::path> ingressi(const std::vector<fs::path>& nomi) {
  std::vector<fs::path> file;
  for (const fs::path& nome : nomi) {
    if (fs::is_directory(nome)) {
      for (const auto& voce : fs::directory_iterator(nome))
        if (voce.is_regular_file()) file.push_back(voce.path());
    } else {
      file.push_back(nome);
    }
  }
  std::sort(file.begin(), file.end());
  return file;
}

bool leggi(const fs::path& p, std::string& contenuto) {
  std::ifstream f(p, std::ios::binary);
  contenuto.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return !f.bad() && f.is_open();
}

int riproduci(const std::vector<fs::path>& nomi) {
  const std::vector<fs::path> file = ingressi(nomi);
  // A replay that finds nothing would pass for a clean one.
  if (file.empty()) {
    std::fprintf(stderr, "riproduci_corpus: no input found\n");
    return 1;
  }
  int rotti = 0;
  for (const fs::path& p : file) {
    std::string contenuto;
    if (!leggi(p, contenuto)) {
      std::fprintf(stderr, "%s: cannot be read\n", p.string().c_str());
      ++rotti;
      continue;
    }
    const std::string rotto = controlla_compilazione(contenuto);
    if (!rotto.empty()) {
      std::fprintf(stderr, "%s: %s\n", p.string().c_str(), rotto.c_str());
      ++rotti;
    }
  }
  std::printf("riproduci_corpus: %zu inputs, %d broken\n", file.size(), rotti);
  return rotti == 0 ? 0 : 1;
}

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> nomi(argv + 1, argv + argc);
  if (nomi.empty()) nomi.emplace_back(SCENARIO_CORPUS);
  return scenario::riproduci(nomi);
}
