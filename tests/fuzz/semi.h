// The seeds a seed writer makes, and their writing into a directory as
// "seme_NAME" files: shared by the compile target's and the readers' writers.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace scenario {

struct seme {
  std::string nome;
  std::string contenuto;
};

// 0 when every seed is written; otherwise 1, with the file named on stderr.
inline int scrivi_semi_in(const char* programma, const std::filesystem::path& cartella,
                          const std::vector<seme>& semi) {
  std::filesystem::create_directories(cartella);
  size_t byte = 0;
  for (const seme& x : semi) {
    const std::filesystem::path p = cartella / ("seme_" + x.nome);
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(x.contenuto.data(), static_cast<std::streamsize>(x.contenuto.size()));
    if (!f) {
      std::fprintf(stderr, "%s: %s: cannot be written\n", programma, p.string().c_str());
      return 1;
    }
    byte += x.contenuto.size();
  }
  std::printf("%s: %zu seeds, %zu bytes, in %s\n", programma, semi.size(), byte,
              cartella.string().c_str());
  return 0;
}

}  // namespace scenario
