// The plan written as it is computed gives the bytes of the whole plan written
// column after column: whatever the points turn out to be (the compiler's
// usual layout, a compile abandoned half way, a curve to the very end), and
// whatever the buffer size, column 1 ends where column 0 does.
#include "compiler/scrittore_piano.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "compiler/uscita.h"
#include "sorgenti_prova.h"

namespace scenario {
namespace {

// The plan column after column, in one sequential pass: the reference.
std::string in_sequenza(const tracciato& t) {
  std::string tutto;
  produci_linea(t, [&tutto](std::string_view p) {
    tutto.append(p);
    return true;
  });
  return tutto;
}

// Points 0 .. fine: two integers, doubles up to `calcolati` - 1, the rest empty.
tracciato piano(int32_t fine, int32_t calcolati) {
  tracciato t;
  t.crea(fine);
  for (int32_t m = 0; m < calcolati && m <= fine; ++m) {
    for (int c = 0; c < 2; ++c) {
      if (m < 2) {
        t.imposta_intero(m, c, static_cast<int16_t>(m * c));
      } else {
        t.imposta_doppio(m, c, 0.5 * m + c);
      }
    }
  }
  return t;
}

// Given point by point against the compiler's expected column size.
std::string a_flusso(const tracciato& t, size_t capienza, int32_t fino = -1) {
  bozza_memoria b;
  b.contenuto = "resti di una scrittura precedente, piu' lunghi del piano";
  scrittore_piano s(b, t.fine(), colonna_prevista(t.fine()), capienza);
  const int32_t ultimo = fino < 0 ? t.fine() : fino;
  for (int32_t m = 0; m <= ultimo; ++m) {
    if (t.tipo(m, 0) == tipo_valore::vuoto) break;
    EXPECT_TRUE(s.aggiungi({t.tipo(m, 0), t.valore(m, 0)}, {t.tipo(m, 1), t.valore(m, 1)}));
  }
  EXPECT_TRUE(s.chiudi());
  return b.contenuto;
}

TEST(ScrittorePiano, GliStessiByteDelPianoIntero) {
  struct caso {
    const char* nome;
    int32_t fine;
    int32_t calcolati;
  };
  const caso casi[] = {
      {"the compiler's layout", 7000, 6999},
      {"nothing computed (abandoned in [generale])", 7000, 0},
      {"only the two seeds", 7000, 2},
      {"abandoned half way", 7000, 3100},
      {"a curve to the last but one point", 7000, 7000},
      {"a curve to the last point", 7000, 7001},
      {"a tiny plan", 3, 2},
  };
  for (const caso& c : casi) {
    for (size_t capienza : {16u, 100u, 4096u, 65536u}) {
      SCOPED_TRACE(std::string(c.nome) + ", buffer " + std::to_string(capienza));
      const tracciato t = piano(c.fine, c.calcolati);
      const std::string atteso = in_sequenza(t);
      EXPECT_EQ(a_flusso(t, capienza), atteso);
      EXPECT_EQ(immagine_linea(t), atteso);
    }
  }
}

TEST(ScrittorePiano, UnPuntoOltreLaFineERifiutato) {
  bozza_memoria b;
  scrittore_piano s(b, 2, colonna_prevista(2));
  for (int m = 0; m <= 2; ++m)
    EXPECT_TRUE(s.aggiungi({tipo_valore::doppio, 1.0}, {tipo_valore::doppio, 2.0}));
  EXPECT_FALSE(s.aggiungi({tipo_valore::doppio, 1.0}, {tipo_valore::doppio, 2.0}));
  EXPECT_TRUE(s.chiudi());
  EXPECT_EQ(b.contenuto.size(), 2 * 3 * 10u);
}

// A draft that fails after a number of writes: the failure is reported, and
// nothing is written past it.
class bozza_fragile : public bozza_memoria {
 public:
  explicit bozza_fragile(int scritture) : restano_(scritture) {}
  bool scrivi(uint64_t offset, std::string_view byte) override {
    if (restano_-- <= 0) guasto_ = true;
    return !guasto_ && bozza_memoria::scrivi(offset, byte);
  }
  esito_io esito() const override {
    return guasto_ ? esito_io::fallito("L_linea.dat.nuovo", "No space left on device") : esito_io{};
  }

 private:
  int restano_;
  bool guasto_ = false;
};

TEST(ScrittorePiano, UnGuastoDellaBozzaEDetto) {
  const tracciato t = piano(7000, 6999);
  for (int scritture : {0, 1, 5}) {
    SCOPED_TRACE(scritture);
    bozza_fragile b(scritture);
    scrittore_piano s(b, t.fine(), colonna_prevista(t.fine()), 1024);
    for (int32_t m = 0; m < 6999; ++m)
      s.aggiungi({t.tipo(m, 0), t.valore(m, 0)}, {t.tipo(m, 1), t.valore(m, 1)});
    EXPECT_FALSE(s.chiudi());
    EXPECT_FALSE(b.esito().ok);
  }
}

// The whole compile: the plan streamed while the parser computes it is the
// plan the state holds, written in one pass; keeping no points changes no byte.
TEST(ScrittorePiano, LaCompilazioneAFlussoDaIlPianoTrattenuto) {
  struct caso {
    const char* nome;
    prova::righe corpo;
    int32_t codice;
  };
  const caso casi[] = {
      {"curves", {"curvas4,  250,  400", "curvad6,  3000,  1200"}, 0},
      {"a curve to the plan's very end", {"curvad2,  16000,  1000"}, 0},
      {"a curve past the end: abandoned", {"curvas4,  250,  400", "curvad2,  16000,  1001"}, 28},
      {"a curve with no class: abandoned", {"curvas4,  250,  400", "curva,  2000,  100"}, 103},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    std::string byte_trattenuti;
    for (bool trattieni : {true, false}) {
      prova::banco b(prova::linea(c.corpo), prova::treno({}), 1);
      b.s.trattieni_tracciato = trattieni;
      ASSERT_EQ(memorizza_percorso(b.s, b.d, 1).errore_fatale, 0);
      EXPECT_EQ(b.s.codice_errore, c.codice);
      ASSERT_TRUE(b.c_e(b.nomi.linea_compilata()));
      const std::string& file = b.d.file.at(b.nomi.linea_compilata());
      EXPECT_EQ(b.s.tracciato.trattenuto(), trattieni);
      if (trattieni) {
        EXPECT_EQ(file, in_sequenza(b.s.tracciato));
        byte_trattenuti = file;
      } else {
        EXPECT_EQ(file, byte_trattenuti);
      }
    }
  }
}

}  // namespace
}  // namespace scenario
