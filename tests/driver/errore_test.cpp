#include "driver/errore.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/esecuzione.h"
#include "driver/finestra.h"
#include "finestra_registro.h"

namespace scenario {
namespace {

using prova::finestra_registro;

TEST(Errore, MostraIlNumeroDopoIlPrefissoERestituisceUno) {
  const struct {
    const char* a;
    const char* testo;
  } casi[] = {
      {"1250", " Errore n. 1250"},
      {"1251", " Errore n. 1251"},
      {"101", " Errore n. 101"},
      {"7", " Errore n. 7"},
  };
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.a);
    finestra_registro f;
    EXPECT_EQ(errore(f, caso.a), uscita_errore);
    ASSERT_EQ(f.errori.size(), 1u);
    EXPECT_EQ(f.errori[0], caso.testo);
    EXPECT_EQ(f.attendere, 0);
  }
}

TEST(FinestraConsole, ScriveOgniMessaggioSuUnaRiga) {
  auto f = crea_finestra_console();
  ::testing::internal::CaptureStderr();
  f->mostra_attendere();
  f->mostra_errore(" Errore n. 1250");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Attendere\n Errore n. 1250\n");
}

}  // namespace
}  // namespace scenario
