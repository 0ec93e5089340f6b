// The real disk's bounded read: a file larger than the limit is refused by
// the size it states, never read (a sparse file of a terabyte costs nothing
// to refuse); one that grows past the limit while it is read, or states no
// size, is cut off at the limit all the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "driver/cartella_prova.h"
#include "driver/file_programma.h"

namespace scenario {
namespace {

TEST(LetturaLimitata, OltreIlLimiteRifiutatoSenzaLeggere) {
  prova::cartella_prova c;
  prova::scrivi(c / "piccolo", std::string(1000, 'a'));
  std::filesystem::resize_file(c / "piccolo", 1000);
  prova::scrivi(c / "enorme", "");
  std::error_code ec;
  std::filesystem::resize_file(c / "enorme", uint64_t{1} << 40, ec);
  if (ec) GTEST_SKIP() << "no sparse file of 1 TiB here: " << ec.message();
  disco_reale d(c.percorso());

  std::string letto = "prima";
  const esito_io enorme = d.leggi_entro("enorme", letto, 1000);
  EXPECT_FALSE(enorme.ok);
  EXPECT_EQ(enorme.dimensione_rifiutata, uint64_t{1} << 40);
  EXPECT_EQ(enorme.file, (c / "enorme").string());
  EXPECT_EQ(enorme.motivo, "file di 1099511627776 byte, oltre il massimo di 1000");
  EXPECT_EQ(letto, "prima") << "nothing read";

  EXPECT_TRUE(d.leggi_entro("piccolo", letto, 1000).ok);
  EXPECT_EQ(letto, std::string(1000, 'a'));
  const esito_io uno_in_piu = d.leggi_entro("piccolo", letto, 999);
  EXPECT_EQ(uno_in_piu.dimensione_rifiutata, 1000u);

  const esito_io manca = d.leggi_entro("manca", letto, 1000);
  EXPECT_FALSE(manca.ok);
  EXPECT_FALSE(manca.dimensione_rifiutata);
}

#ifdef __linux__
// A file of the kernel states no size: read up to the limit, then refused.
TEST(LetturaLimitata, UnFileSenzaDimensioneSiFermaAlLimite) {
  disco_reale d("/proc/self");
  std::string letto;
  const esito_io e = d.leggi_entro("status", letto, 10);
  EXPECT_FALSE(e.ok);
  ASSERT_TRUE(e.dimensione_rifiutata);
  EXPECT_GT(*e.dimensione_rifiutata, 10u);
  EXPECT_TRUE(d.leggi_entro("status", letto, 1 << 20).ok);
  EXPECT_NE(letto.find("Name:"), std::string::npos);
}
#endif

}  // namespace
}  // namespace scenario
