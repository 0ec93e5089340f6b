// The byte images of the three compiled files: exact bytes of a small cell,
// row and plan, and the sizes and tag positions of a full-length route.
#include "compiler/uscita.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/percorso.h"

namespace scenario {
namespace {

std::string byte(std::initializer_list<int> valori) {
  std::string s;
  for (const int v : valori) s.push_back(static_cast<char>(v));
  return s;
}

std::string esadecimale(const std::string& s) {
  static const char cifre[] = "0123456789abcdef";
  std::string o;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    o += cifre[b >> 4];
    o += cifre[b & 15];
    o += ' ';
  }
  return o;
}

TEST(Uscita, ImmagineGrigliaByteDiUnaCella) {
  std::vector<cella> griglia(3);
  griglia[1] = {.tipo_cella = segnale,
                .valore1 = 5121,
                .valore2 = -2,
                .valore3 = 0x1234,
                .valore4 = -32768,
                .tempo_segnale = 101,
                .avvicinamento = 31,
                .tipo_montagna = 3,
                .vel_limite = 16,
                .pendenza = 73,
                .aderenza = 255};
  const std::string atteso =
      std::string(15, '\0') +
      byte({0x01, 0x01, 0x14, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80, 101, 31, 3, 16, 73, 255}) +
      std::string(15, '\0');
  const std::string immagine = immagine_griglia(griglia);
  EXPECT_EQ(esadecimale(immagine), esadecimale(atteso));
}

TEST(Uscita, ImmagineGrigliaDiUnPercorsoDi96000Metri) {
  stato s;
  ASSERT_TRUE(crea_percorso(s, 96000));
  s.percorso[2060].aderenza = 7;
  const std::string immagine = immagine_griglia(s.percorso);
  ASSERT_EQ(immagine.size(), 30915u);
  EXPECT_EQ(immagine.back(), '\x07');
}

TEST(Uscita, ImmagineTrenoByteDiUnaRiga) {
  tabella t{};
  voce_scenario& r = t[1];
  r.tipo = 12;
  r.inizio = -250;
  r.fine = 0x01020304;
  r.posizione = 70000;
  r.dato1 = 2;
  r.nome = "Ab";
  r.dato4 = 610;
  r.dato5 = -1;
  r.dato7 = 7;
  r.dato8 = 8;
  r.dato9 = 9;
  r.dato6 = 6;
  r.dato10 = 10;
  r.dato3 = 3;
  r.dato2 = 200;
  r.orario = 3 * 3600 + 25 * 60 + 5;                            // 12305
  const std::string riga = byte({12,                            // tipo
                                 0x06, 0xFF, 0xFF, 0xFF,        // inizio
                                 0x04, 0x03, 0x02, 0x01,        // fine
                                 0x70, 0x11, 0x01, 0x00,        // posizione
                                 2,                             // dato1
                                 2,    0,                       // length of nome
                                 'A',  'b',                     // nome
                                 0x62, 0x02,                    // dato4
                                 0xFF, 0xFF,                    // dato5
                                 7,    0,    8,    0,    9, 0,  // dato7, dato8, dato9
                                 6,    10,   3,    200,         // dato6, dato10, dato3, dato2
                                 0x11, 0x30, 0x00, 0x00});      // orario
  ASSERT_EQ(riga.size(), 36u);

  const std::string immagine = immagine_treno(t);
  ASSERT_EQ(immagine.size(), 87u * 34 + 2);
  // Row 0 and every unfilled row are 34 zero bytes.
  EXPECT_EQ(immagine.substr(0, 34), std::string(34, '\0'));
  EXPECT_EQ(esadecimale(immagine.substr(34, 36)), esadecimale(riga));
  EXPECT_EQ(immagine.substr(70), std::string(85 * 34, '\0'));
}

TEST(Uscita, ImmagineTrenoDimensioni) {
  struct caso {
    std::string nome;
    std::vector<std::pair<int, std::string>> nomi;  // row, nome
    size_t dimensione;
  };
  const caso casi[] = {
      {"empty table", {}, 87 * 34},
      {"names add their length",
       {{1, "Roma"}, {80, "Km 12"}, {85, "Ab"}, {86, "T1"}},
       87 * 34 + 4 + 5 + 2 + 2},
      {"a name as long as the length field can say",
       {{2, std::string(65535, 'n')}},
       87 * 34 + 65535},
      {"a longer name is cut", {{2, std::string(70000, 'n')}}, 87 * 34 + 65535},
  };
  for (const caso& c : casi) {
    tabella t{};
    for (const auto& [riga, nome] : c.nomi) t[static_cast<size_t>(riga)].nome = nome;
    EXPECT_EQ(immagine_treno(t).size(), c.dimensione) << c.nome;
  }

  tabella t{};
  t[2].nome = std::string(70000, 'n');
  t[2].orario = -1;
  const std::string immagine = immagine_treno(t);
  // Row 2 starts at 68: its length field at 82 says 65535, and the row's
  // last field still follows the bytes written.
  EXPECT_EQ(immagine.substr(82, 2), byte({0xFF, 0xFF}));
  EXPECT_EQ(immagine.substr(84 + 65535 + 14, 4), byte({0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Uscita, ImmagineLineaByteDiUnPiccoloTracciato) {
  tracciato t;
  t.crea(3);
  t.imposta_intero(0, 0, 7);
  t.imposta_intero(0, 1, -2);
  t.imposta_doppio(1, 0, -0.001);
  t.imposta_doppio(1, 1, 251.0);
  const std::string atteso =
      byte({2, 0, 7,    0,                                         // (0, 0) integer
            5, 0, 0xFC, 0xA9, 0xF1, 0xD2, 0x4D, 0x62, 0x50, 0xBF,  // (1, 0) double -0.001
            0, 0, 0,    0,                                         // (2, 0), (3, 0) empty
            2, 0, 0xFE, 0xFF,                                      // (0, 1) integer
            5, 0, 0,    0,    0,    0,    0,    0x60, 0x6F, 0x40,  // (1, 1) double 251
            0, 0, 0,    0});                                       // (2, 1), (3, 1) empty
  EXPECT_EQ(esadecimale(immagine_linea(t)), esadecimale(atteso));
}

TEST(Uscita, ImmagineLineaDiUnPercorsoDi96000Metri) {
  constexpr int32_t fine = 103000;
  tracciato t;
  t.crea(fine);
  for (int colonna = 0; colonna < 2; ++colonna) {
    t.imposta_intero(0, colonna, 0);
    t.imposta_intero(1, colonna, static_cast<int16_t>(colonna));
    for (int32_t m = 2; m <= fine - 2; ++m) t.imposta_doppio(m, colonna, 0.5 * m);
  }
  const std::string immagine = immagine_linea(t);
  constexpr size_t colonna = 4 + 4 + 102997 * 10 + 2 + 2;
  ASSERT_EQ(immagine.size(), 2059964u);
  ASSERT_EQ(immagine.size(), 2 * colonna);

  struct atteso {
    const char* nome;
    size_t offset;
    std::string byte;
  };
  const atteso punti[] = {
      {"(0, 0) integer 0", 0, byte({2, 0, 0, 0})},
      {"(1, 0) integer 0", 4, byte({2, 0, 0, 0})},
      {"(2, 0) double 1.0", 8, byte({5, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
      {"(102998, 0) double", 8 + 102996 * 10, byte({5, 0})},
      {"(102999, 0) empty", 8 + 102997 * 10, byte({0, 0})},
      {"(103000, 0) empty", 8 + 102997 * 10 + 2, byte({0, 0})},
      {"(0, 1) integer 0", colonna, byte({2, 0, 0, 0})},
      {"(1, 1) integer 1", colonna + 4, byte({2, 0, 1, 0})},
      {"(2, 1) double 1.0", colonna + 8, byte({5, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
      {"(103000, 1) empty", 2 * colonna - 2, byte({0, 0})},
  };
  for (const atteso& p : punti) {
    EXPECT_EQ(esadecimale(immagine.substr(p.offset, p.byte.size())), esadecimale(p.byte)) << p.nome;
  }
}

TEST(Uscita, ImmagineLineaSenzaTracciato) { EXPECT_TRUE(immagine_linea(tracciato{}).empty()); }

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// Streamed in pieces, the plan is the same bytes as its whole image, and a
// refusing writer stops the producer at once.
TEST(Uscita, ProduciLineaDaGliStessiByteAPezzi) {
  for (int32_t fine : {1, 3, 6600, 20000}) {
    SCOPED_TRACE(fine);
    tracciato t;
    t.crea(fine);
    t.imposta_intero(0, 0, 0);
    t.imposta_intero(1, 1, 1);
    for (int32_t m = 2; m <= fine - 2; ++m) t.imposta_doppio(m, m % 2, 0.25 * m);
    std::string pezzi;
    size_t chiamate = 0;
    EXPECT_TRUE(produci_linea(t, [&](std::string_view p) {
      EXPECT_LE(p.size(), 65536u + 10u);
      pezzi.append(p);
      ++chiamate;
      return true;
    }));
    EXPECT_EQ(pezzi, immagine_linea(t));
    EXPECT_EQ(chiamate, pezzi.size() / 65536 + 1);

    size_t dopo_rifiuto = 0;
    EXPECT_FALSE(produci_linea(t, [&](std::string_view) {
      ++dopo_rifiuto;
      return false;
    }));
    EXPECT_EQ(dopo_rifiuto, 1u);
  }
}

}  // namespace
}  // namespace scenario
