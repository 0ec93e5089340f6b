// Standard output checked to its last byte: a device that refuses the bytes
// (/dev/full) fails the write that meets it or the final flush, with the
// system's reason; after the first failure nothing more is written.
#ifndef _WIN32

#include "driver/uscita_standard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#include "driver/cartella_prova.h"

namespace scenario {
namespace {

TEST(UscitaStandard, UnDispositivoPienoEUnGuastoConIlSuoMotivo) {
  const std::string pieno = std::strerror(ENOSPC);
  const struct {
    const char* cosa;
    size_t byte;
  } casi[] = {{"poche righe: fallisce lo svuotamento finale", 100},
              {"molte righe: fallisce una scrittura", 1 << 20}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cosa);
    std::FILE* f = std::fopen("/dev/full", "w");
    if (f == nullptr) GTEST_SKIP() << "/dev/full is missing";
    {
      uscita_standard u(f);
      std::ostream out(&u);
      out << std::string(c.byte, 'x') << '\n';
      EXPECT_EQ(u.chiudi(), pieno);
      EXPECT_EQ(u.chiudi(), pieno) << "the first failure stays";
      out << "dopo";
      EXPECT_FALSE(out.good());
    }
    std::fclose(f);
  }
}

TEST(UscitaStandard, TuttoScrittoNessunMotivo) {
  prova::cartella_prova c;
  std::FILE* f = std::fopen((c / "uscita").c_str(), "w");
  ASSERT_NE(f, nullptr);
  {
    uscita_standard u(f);
    std::ostream out(&u);
    for (int i = 0; i < 100000; ++i) out << i << '\n';
    out << 'x';
    EXPECT_EQ(u.chiudi(), "");
  }
  std::fclose(f);
  const std::string scritto = prova::leggi(c / "uscita");
  EXPECT_EQ(scritto.substr(0, 4), "0\n1\n");
  EXPECT_EQ(scritto.substr(scritto.size() - 8), "\n99999\nx");
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
