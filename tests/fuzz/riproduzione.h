// Replays every input of a fuzz corpus through the fuzzer's own checks, in
// the ordinary test run: each regression input found by fuzzing stays fixed.
// With arguments, replays those files or directories instead (to reproduce a
// finding in an ordinary build). One such program per fuzz target.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

using controllo_fuzz = std::string (*)(std::string_view ingresso);

namespace riproduzione {

namespace fs = std::filesystem;

// The files named, a directory standing for the files in it, in name order so
// that a report is the same on every machine.
inline std::vector<fs::path> ingressi(const std::vector<fs::path>& nomi) {
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

inline bool leggi(const fs::path& p, std::string& contenuto) {
  std::ifstream f(p, std::ios::binary);
  contenuto.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return !f.bad() && f.is_open();
}

}  // namespace riproduzione

// `programma` names the replay in its lines; `predefinita` is the corpus
// replayed when no argument is given.
inline int riproduci(int argc, char** argv, const char* programma, const char* predefinita,
                     controllo_fuzz controlla) {
  std::vector<std::filesystem::path> nomi(argv + 1, argv + argc);
  if (nomi.empty()) nomi.emplace_back(predefinita);
  const std::vector<std::filesystem::path> file = riproduzione::ingressi(nomi);
  // A replay that finds nothing would pass for a clean one.
  if (file.empty()) {
    std::fprintf(stderr, "%s: no input found\n", programma);
    return 1;
  }
  int rotti = 0;
  for (const std::filesystem::path& p : file) {
    std::string contenuto;
    if (!riproduzione::leggi(p, contenuto)) {
      std::fprintf(stderr, "%s: cannot be read\n", p.string().c_str());
      ++rotti;
      continue;
    }
    const std::string rotto = controlla(contenuto);
    if (!rotto.empty()) {
      std::fprintf(stderr, "%s: %s\n", p.string().c_str(), rotto.c_str());
      ++rotti;
    }
  }
  std::printf("%s: %zu inputs, %d broken\n", programma, file.size(), rotti);
  return rotti == 0 ? 0 : 1;
}

}  // namespace scenario
