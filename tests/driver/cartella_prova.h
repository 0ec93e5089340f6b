// A fresh directory per test under the system's temporary directory, removed
// with everything in it when the test ends; plus whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <process.h>
#define SCENARIO_PID _getpid
#else
#include <unistd.h>
#define SCENARIO_PID getpid
#endif

namespace scenario::prova {

// The errno of opening or removing a directory as if it were a file: Windows
// answers that access is denied. (Renaming onto one is EISDIR everywhere.)
#ifdef _WIN32
inline constexpr int errno_cartella = EACCES;
#else
inline constexpr int errno_cartella = EISDIR;
#endif

class cartella_prova {
 public:
  cartella_prova() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id too: the same test run at once from another build
    // (another checkout on the same machine) must not share the directory.
    std::string nome = std::string("compila_scenario_") + info->test_suite_name() + "_" +
                       info->name() + "_" + std::to_string(SCENARIO_PID());
    for (char& c : nome)
      if (c == '/') c = '_';
    percorso_ = std::filesystem::temp_directory_path() / nome;
    std::filesystem::remove_all(percorso_);
    std::filesystem::create_directories(percorso_);
  }
  ~cartella_prova() {
    std::error_code ec;
    std::filesystem::remove_all(percorso_, ec);
  }
  cartella_prova(const cartella_prova&) = delete;
  cartella_prova& operator=(const cartella_prova&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

 private:
  std::filesystem::path percorso_;
};

inline void scrivi(const std::filesystem::path& p, std::string_view contenuto) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
  ASSERT_TRUE(f.good()) << p;
}

inline std::string leggi(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace scenario::prova
