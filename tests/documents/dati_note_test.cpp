// The scenario notes: the file they write, the heading and the empty lines,
// the hand-broken layout of the seven paragraphs, the credit and contact lines,
// and the places of the built-in sources that the paragraphs must name.
#include "documents/dati_note.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "documenti_prova.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/lettore_campi.h"
#include "sources/nomi_file.h"

namespace scenario {
namespace {

using namespace prova;

constexpr size_t righe_note_attese = 30;
constexpr size_t prima_dei_paragrafi = 5;
constexpr size_t ultima_dei_paragrafi = 27;
// The first line of each of the seven paragraphs, and the line after the last.
constexpr size_t inizi_dei_paragrafi[] = {5, 8, 11, 15, 17, 21, 25, 28};

std::vector<std::string> note() { return righe_del_file(componi_testo(righe_note())); }

// The text of paragraph `n` (1 to 7), its lines joined by one space.
std::string paragrafo(const std::vector<std::string>& righe, size_t n) {
  std::string testo;
  for (size_t r = inizi_dei_paragrafi[n - 1]; r < inizi_dei_paragrafi[n]; ++r) {
    if (!testo.empty()) testo += ' ';
    testo += righe[r - 1].substr(3);
  }
  return testo;
}

// Whether a paragraph names a place, whatever the case and however its words
// are spread over the lines.
bool nomina(const std::string& testo, std::string_view nome) {
  return maiuscolo(testo).find(maiuscolo(nome)) != std::string::npos;
}

std::vector<std::string> nomi_delle_stazioni() {
  std::vector<std::string> nomi;
  const tabella_righe t = righe_treno();
  for (size_t i = 0; i < tabella_righe::capacita && t[i] != fine_del_file; ++i) {
    lettore_campi l(t[i], "treno");
    std::string parola, nome;
    if (!l.leggi_testo(parola) || parola != "stazione") continue;
    int32_t campo = 0;
    for (int k = 0; k < 16; ++k) EXPECT_TRUE(l.leggi_numero(larghezza::lungo32, campo)) << t[i];
    EXPECT_TRUE(l.leggi_testo(nome)) << t[i];
    nomi.push_back(nome);
  }
  return nomi;
}

// The rows of a source whose keyword is `chiave`, their first `numeri` fields.
std::vector<std::vector<int32_t>> numeri_delle_righe(const tabella_righe& t,
                                                     std::string_view chiave, int numeri) {
  std::vector<std::vector<int32_t>> trovate;
  for (size_t i = 0; i < tabella_righe::capacita && t[i] != fine_del_file; ++i) {
    lettore_campi l(t[i], "sorgente");
    std::string parola;
    if (!l.leggi_testo(parola) || parola != chiave) continue;
    std::vector<int32_t> valori(static_cast<size_t>(numeri));
    for (auto& v : valori) EXPECT_TRUE(l.leggi_numero(larghezza::lungo32, v)) << t[i];
    trovate.push_back(valori);
  }
  return trovate;
}

std::string km(int metri, char separatore) {
  char testo[24];
  std::snprintf(testo, sizeof testo, "Km %d%c%03d", metri / 1000, separatore, metri % 1000);
  return testo;
}

TEST(NoteScenario, ScritteNelFileDelTreno) {
  EXPECT_EQ(documento_scritto(dati_note, "Brossalenta_Morla_iR31457_note.txt", righe_note()).size(),
            righe_note_attese);
}

// Printable 7-bit ASCII within 78 columns: accents are written as apostrophes.
TEST(NoteScenario, AsciiEntro78Colonne) {
  const auto righe = note();
  ASSERT_EQ(righe.size(), righe_note_attese);
  for (size_t i = 0; i < righe.size(); ++i) {
    EXPECT_LE(righe[i].size(), 78u) << "riga " << i + 1;
    for (char c : righe[i]) {
      EXPECT_TRUE(c >= ' ' && c <= '~') << "riga " << i + 1 << ": byte " << static_cast<int>(c);
    }
  }
}

TEST(NoteScenario, IntestazioneERigheVuote) {
  const auto righe = note();
  ASSERT_EQ(righe.size(), righe_note_attese);
  EXPECT_EQ(righe[0], "              Treno 31457 sul percorso Brossalenta - Morla");
  EXPECT_EQ(righe[2], " Note sullo scenario:");
  for (size_t n = 1; n <= righe.size(); ++n)
    EXPECT_EQ(righe[n - 1].empty(), n == 2 || n == 4 || n == 28) << "riga " << n;
}

// Each paragraph opens with " - ", continues with three spaces, and its text
// starts in the fourth column on every line.
TEST(NoteScenario, Paragrafi) {
  const auto righe = note();
  ASSERT_EQ(righe.size(), righe_note_attese);
  for (size_t n = prima_dei_paragrafi; n <= ultima_dei_paragrafi; ++n) {
    const bool inizio = std::find(std::begin(inizi_dei_paragrafi), std::end(inizi_dei_paragrafi),
                                  n) != std::end(inizi_dei_paragrafi);
    const std::string& r = righe[n - 1];
    ASSERT_GT(r.size(), 3u) << "riga " << n;
    EXPECT_EQ(r.substr(0, 3), inizio ? " - " : "   ") << "riga " << n;
    EXPECT_NE(r[3], ' ') << "riga " << n;
  }
}

TEST(NoteScenario, AutoreEContatto) {
  const auto righe = note();
  ASSERT_EQ(righe.size(), righe_note_attese);
  const std::string& autore = righe[28];
  const std::string& posta = righe[29];
  EXPECT_TRUE(autore.size() > 1 && autore[0] == ' ' && autore[1] != ' ') << autore;
  EXPECT_EQ(autore.find('@'), std::string::npos) << autore;
  ASSERT_TRUE(posta.size() > 1 && posta[0] == ' ' && posta[1] != ' ') << posta;
  const std::string indirizzo = posta.substr(1);
  const size_t chiocciola = indirizzo.find('@');
  EXPECT_EQ(indirizzo.find(' '), std::string::npos) << posta;
  ASSERT_NE(chiocciola, std::string::npos) << posta;
  EXPECT_GT(chiocciola, 0u) << posta;
  EXPECT_EQ(indirizzo.find('@', chiocciola + 1), std::string::npos) << posta;
  EXPECT_NE(indirizzo.find('.', chiocciola), std::string::npos) << posta;
}

// The paragraphs name the places of the sources: the route's ends, the points
// where the 40 km/h stretches begin and end (on the card's falling reckoning),
// the third station, the border's kilometre, the seventeenth station.
TEST(NoteScenario, LuoghiDelleSorgenti) {
  const auto righe = note();
  ASSERT_EQ(righe.size(), righe_note_attese);
  const auto stazioni = nomi_delle_stazioni();
  ASSERT_GE(stazioni.size(), 17u);
  const auto confine = numeri_delle_righe(righe_linea(), "progressiva chilometrica due", 2);
  ASSERT_EQ(confine.size(), 1u);
  const int inizio_discesa = confine[0][0], riferimento = confine[0][1];

  // The first drop to 40 and the last rise after a 40.
  const auto velocita = numeri_delle_righe(righe_treno(), "velocita", 2);
  int primo_40 = -1, ultimo_ritorno = -1;
  for (size_t i = 1; i < velocita.size(); ++i) {
    if (velocita[i][1] == 40 && primo_40 < 0) primo_40 = velocita[i][0];
    if (velocita[i - 1][1] == 40 && velocita[i][1] > 40) ultimo_ritorno = velocita[i][0];
  }
  ASSERT_TRUE(primo_40 >= inizio_discesa && ultimo_ritorno >= inizio_discesa);

  const std::string linea = paragrafo(righe, 1);
  EXPECT_TRUE(nomina(linea, stazioni.front()) && nomina(linea, stazioni.back())) << linea;
  const std::string tratti_a_40 = paragrafo(righe, 3);
  EXPECT_TRUE(nomina(tratti_a_40, "40 km/h")) << tratti_a_40;
  EXPECT_TRUE(nomina(tratti_a_40, km(riferimento - primo_40, '+'))) << tratti_a_40;
  EXPECT_TRUE(nomina(tratti_a_40, km(riferimento - ultimo_ritorno, '+'))) << tratti_a_40;
  const std::string fermata = paragrafo(righe, 4);
  EXPECT_TRUE(nomina(fermata, stazioni[2])) << fermata;
  const std::string progressive = paragrafo(righe, 5);
  EXPECT_TRUE(nomina(progressive, km(inizio_discesa, '.'))) << progressive;
  EXPECT_TRUE(nomina(progressive, stazioni[16])) << progressive;
  EXPECT_TRUE(nomina(progressive, stazioni.back())) << progressive;
}

}  // namespace
}  // namespace scenario
