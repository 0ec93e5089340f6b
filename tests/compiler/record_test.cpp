// The record layouts as docs/formati.md states them (offset, size, field of
// every row of its two field tables) are the layouts the code writes and
// reads, and a record read back from its bytes is the record written.
#include "compiler/record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "compiler/uscita.h"

namespace scenario {
namespace {

struct riga_formato {
  std::string offset, misura, campo;
  bool operator==(const riga_formato&) const = default;
};

std::ostream& operator<<(std::ostream& o, const riga_formato& r) {
  return o << r.offset << " | " << r.misura << " | " << r.campo;
}

std::string senza_spazi(std::string s) {
  const size_t a = s.find_first_not_of(' ');
  const size_t b = s.find_last_not_of(' ');
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// The rows of the first offset/size/field table after the heading that
// begins with `titolo`; a field is its first `code` name, or the cell as it stands.
std::vector<riga_formato> tabella_del_documento(const std::string& titolo) {
  std::ifstream f(SCENARIO_FORMATI);
  EXPECT_TRUE(f) << SCENARIO_FORMATI;
  std::vector<riga_formato> righe;
  std::string l;
  bool sezione = false;
  while (std::getline(f, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (l.rfind("## ", 0) == 0) {
      if (sezione) break;
      sezione = l.rfind(titolo, 0) == 0;
      continue;
    }
    if (!sezione || l.rfind("| ", 0) != 0) continue;
    std::vector<std::string> celle;
    std::stringstream ss(l.substr(1));
    for (std::string c; std::getline(ss, c, '|');) celle.push_back(senza_spazi(c));
    if (celle.size() < 3 || celle[0] == "offset" || celle[0].rfind("---", 0) == 0) continue;
    std::string campo = celle[2];
    if (const size_t a = campo.find('`'); a != std::string::npos)
      campo = campo.substr(a + 1, campo.find('`', a + 1) - a - 1);
    righe.push_back({celle[0], celle[1], campo});
  }
  return righe;
}

template <typename T>
std::string nome_tipo() {
  if constexpr (std::is_same_v<T, uint8_t>) return "u8";
  if constexpr (std::is_same_v<T, uint16_t>) return "u16";
  if constexpr (std::is_same_v<T, int16_t>) return "i16";
  if constexpr (std::is_same_v<T, int32_t>) return "i32";
  return "?";
}

// The same rows from the code's description: a name is its u16 length "n",
// then "n bytes"; offsets after it count from 16 + n.
template <typename R>
std::vector<riga_formato> tabella_del_codice() {
  std::vector<riga_formato> righe;
  size_t o = 0;
  bool dopo_nome = false;
  const auto offset = [&] { return std::to_string(o) + (dopo_nome ? "+n" : ""); };
  R r{};
  per_campi(r, [&](const char* nome, auto& campo) {
    using T = std::remove_cvref_t<decltype(campo)>;
    if constexpr (std::is_same_v<T, std::string>) {
      righe.push_back({offset(), "u16", "n"});
      o += 2;
      righe.push_back({offset(), "n bytes", nome});
      dopo_nome = true;
    } else {
      righe.push_back({offset(), nome_tipo<T>(), nome});
      o += sizeof(T);
    }
  });
  return righe;
}

TEST(Record, IlDocumentoDeiFormatiDescriveIRecordDelCodice) {
  EXPECT_EQ(tabella_del_documento("## Compiled train-run file"),
            tabella_del_codice<voce_scenario>());
  EXPECT_EQ(tabella_del_documento("## Compiled grid"), tabella_del_codice<cella>());
  EXPECT_EQ(byte_cella, 15u);
  EXPECT_EQ(byte_fissi_riga, 34u);
}

TEST(Record, UnRecordRilettoEQuelloScritto) {
  cella c{.tipo_cella = 14,
          .valore1 = -1,
          .valore2 = 300,
          .valore3 = -32768,
          .valore4 = 32767,
          .tempo_segnale = 1,
          .avvicinamento = 2,
          .tipo_montagna = 3,
          .vel_limite = 4,
          .pendenza = 5,
          .aderenza = 255};
  voce_scenario v{.tipo = 10,
                  .inizio = -7,
                  .fine = 1 << 30,
                  .posizione = 5,
                  .dato1 = 200,
                  .nome = "Mor\xE0",
                  .dato4 = -2,
                  .dato5 = 3,
                  .dato7 = 4,
                  .dato8 = 5,
                  .dato9 = 6,
                  .dato6 = 7,
                  .dato10 = 8,
                  .dato3 = 9,
                  .dato2 = 10,
                  .orario = -99};
  bozza_memoria b;
  flusso f(b, 0, 16);
  scrivi_record(f, c);
  scrivi_record(f, v);
  ASSERT_TRUE(f.svuota());
  ASSERT_EQ(b.contenuto.size(), byte_cella + byte_fissi_riga + 4);
  lettore_le l(b.contenuto);
  cella c2;
  voce_scenario v2;
  EXPECT_TRUE(leggi_record(l, c2));
  EXPECT_TRUE(leggi_record(l, v2));
  EXPECT_EQ(c2, c);
  EXPECT_EQ(v2, v);
  EXPECT_EQ(l.restano(), 0u);
  // One byte short: the reader says so instead of reading past the end.
  lettore_le corto(std::string_view(b.contenuto).substr(0, b.contenuto.size() - 1));
  EXPECT_TRUE(leggi_record(corto, c2));
  EXPECT_FALSE(leggi_record(corto, v2));
}

}  // namespace
}  // namespace scenario
