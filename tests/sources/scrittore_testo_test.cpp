// The line table and the text-file writer: what reaches the file, the end
// marker, the 1000-line limit and whole-file replacement.
#include "sources/scrittore_testo.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace scenario {
namespace {

struct caso_testo {
  const char* nome;
  std::vector<std::string_view> righe;  // appended in order, then the table is closed
  std::string atteso;
};

TEST(ScrittoreTesto, ComponiTesto) {
  const caso_testo tabella[] = {
      {"nessuna riga", {}, ""},
      {"CR LF anche dopo l'ultima", {"[generale]", "[fine]"}, "[generale]\r\n[fine]\r\n"},
      {"righe vuote", {"", "x", ""}, "\r\nx\r\n\r\n"},
      {"spazi finali conservati",
       {"orologio,    17              33            30 ",
        "ripetizione segnali 4 codici,    0    ,0"},
       "orologio,    17              33            30 \r\nripetizione segnali 4 codici,    0    "
       ",0\r\n"},
      {"marcatore per primo", {fine_del_file, "x"}, ""},
      {"marcatore in mezzo", {"a", fine_del_file, "b"}, "a\r\n"},
      {"solo il marcatore esatto ferma",
       {"Riferimento fine del file", "riferimento fine del file ", " riferimento fine del file"},
       "Riferimento fine del file\r\nriferimento fine del file \r\n riferimento fine del file\r\n"},
  };
  for (const auto& c : tabella) {
    tabella_righe righe;
    for (auto r : c.righe) righe.aggiungi(r);
    righe.chiudi();
    EXPECT_EQ(componi_testo(righe), c.atteso) << c.nome;
    EXPECT_FALSE(righe.traboccata()) << c.nome;
  }
}

TEST(ScrittoreTesto, MarcatoreDopoLUltimaRiga) {
  tabella_righe righe;
  righe.aggiungi("a");
  righe.aggiungi("b");
  righe.chiudi();
  EXPECT_EQ(righe[0], "a");
  EXPECT_EQ(righe[1], "b");
  EXPECT_EQ(righe[2], fine_del_file);
  EXPECT_EQ(righe[3], "");
}

TEST(ScrittoreTesto, OltreMilleRighe) {
  std::vector<std::string> testi;
  for (int i = 0; i < 1002; ++i) testi.push_back("riga " + std::to_string(i));
  std::string mille;
  for (int i = 0; i < 1000; ++i) mille += testi[static_cast<size_t>(i)] + "\r\n";

  tabella_righe righe;
  for (int i = 0; i < 1000; ++i) righe.aggiungi(testi[static_cast<size_t>(i)]);
  EXPECT_FALSE(righe.traboccata()) << "1000 lines fit";
  righe.aggiungi(testi[1000]);
  righe.aggiungi(testi[1001]);
  EXPECT_TRUE(righe.traboccata());
  righe.chiudi();
  EXPECT_EQ(righe[999], "riga 999");
  EXPECT_EQ(righe[1000], fine_del_file);
  EXPECT_EQ(componi_testo(righe), mille);
}

TEST(ScrittoreTesto, SostituisceIlFileIntero) {
  disco_memoria d;
  d.file["Brossalenta_Morla_linea.txt"] = std::string(5000, 'x') + "\r\nresto\r\n";
  tabella_righe righe;
  righe.aggiungi("[generale]");
  righe.chiudi();
  const esito_io esito = scrivi_testo(d, "Brossalenta_Morla_linea.txt", righe);
  EXPECT_TRUE(esito.ok);
  EXPECT_EQ(d.file["Brossalenta_Morla_linea.txt"], "[generale]\r\n");

  const esito_io di_nuovo = scrivi_testo(d, "Brossalenta_Morla_linea.txt", righe);
  EXPECT_TRUE(di_nuovo.ok);
  EXPECT_EQ(d.file["Brossalenta_Morla_linea.txt"], "[generale]\r\n");
}

TEST(ScrittoreTesto, MarcatorePerPrimoDaUnFileVuoto) {
  disco_memoria d;
  d.file["note.txt"] = "vecchio contenuto\r\n";
  tabella_righe righe;
  righe.aggiungi(fine_del_file);
  ASSERT_TRUE(scrivi_testo(d, "note.txt", righe).ok);
  ASSERT_TRUE(d.esiste("note.txt"));
  EXPECT_EQ(d.file["note.txt"], "");
}

// A disk that refuses every replacement, to see the failure come back.
class disco_pieno : public disco_memoria {
 public:
  esito_io sostituisci(const std::string& nome, std::string_view) override {
    return esito_io::fallito(nome, "No space left on device");
  }
};

TEST(ScrittoreTesto, ErroreDelDiscoRestituito) {
  disco_pieno d;
  tabella_righe righe;
  righe.aggiungi("x");
  righe.chiudi();
  const esito_io esito = scrivi_testo(d, "x.txt", righe);
  EXPECT_FALSE(esito.ok);
  EXPECT_EQ(esito.file, "x.txt");
  EXPECT_EQ(esito.motivo, "No space left on device");
}

}  // namespace
}  // namespace scenario
