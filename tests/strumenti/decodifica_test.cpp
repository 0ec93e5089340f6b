// The decoders: each of the default run's compiled files decodes and encodes
// back to the same bytes; broken files are refused with the offset and the
// reason of their first defect; and whatever decodes, from any bytes at all,
// encodes back to exactly those bytes.
#include "strumenti/decodifica.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>
#include <sstream>

#include "compiler/uscita.h"
#include "strumenti/predefinito_prova.h"

namespace scenario {
namespace {

std::string griglia_di_nuovo(std::string_view dati, std::optional<difetto>& d) {
  std::vector<cella> celle;
  d = decodifica_griglia(dati, celle);
  return d ? std::string() : immagine_griglia(celle);
}

std::string tabella_di_nuovo(std::string_view dati, std::optional<difetto>& d) {
  tabella t{};
  d = decodifica_tabella(dati, t);
  return d ? std::string() : immagine_treno(t);
}

std::string piano_di_nuovo(std::string_view dati, std::optional<difetto>& d) {
  tracciato t;
  d = decodifica_piano(dati, t);
  return d ? std::string() : immagine_linea(t);
}

using rifacitore = std::string (*)(std::string_view, std::optional<difetto>&);

TEST(Decodifica, IFileDellaRunPredefinitaTornanoGliStessiByte) {
  const disco_memoria d = prova::compilati_predefiniti();
  const nomi_file n = prova::nomi_predefiniti();
  const struct {
    std::string nome;
    rifacitore rifai;
  } file[] = {{n.griglia_compilata(), griglia_di_nuovo},
              {n.treno_compilato(), tabella_di_nuovo},
              {n.linea_compilata(), piano_di_nuovo}};
  for (const auto& f : file) {
    SCOPED_TRACE(f.nome);
    const std::string& originale = d.file.at(f.nome);
    std::optional<difetto> difetto;
    EXPECT_EQ(f.rifai(originale, difetto), originale);
    EXPECT_FALSE(difetto) << difetto->messaggio;
  }
}

TEST(Decodifica, ValoriInsolitiTornanoGliStessiByte) {
  tabella t{};
  t[1].nome = std::string("A\0\xE8\"\\", 5);
  t[1].inizio = std::numeric_limits<int32_t>::min();
  t[2].orario = -1;
  t[86].dato9 = -32768;
  std::optional<difetto> d;
  EXPECT_EQ(tabella_di_nuovo(immagine_treno(t), d), immagine_treno(t));

  tracciato p;
  p.crea(3);
  p.imposta_intero(0, 0, -32768);
  p.imposta_doppio(1, 0, -0.0);
  p.imposta_doppio(1, 1, std::numeric_limits<double>::infinity());
  p.imposta_doppio(2, 1, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(piano_di_nuovo(immagine_linea(p), d), immagine_linea(p));
}

struct caso_difetto {
  const char* nome;
  rifacitore rifai;
  std::string dati;
  size_t offset;
  std::string messaggio;
};

// Each file is refused, with nothing decoded, at its offset for its reason.
void verifica_difetti(const std::vector<caso_difetto>& casi) {
  for (const caso_difetto& c : casi) {
    SCOPED_TRACE(c.nome);
    std::optional<difetto> difetto;
    EXPECT_EQ(c.rifai(c.dati, difetto), "");
    ASSERT_TRUE(difetto);
    EXPECT_EQ(difetto->offset, c.offset);
    EXPECT_EQ(difetto->messaggio, c.messaggio);
  }
}

std::string u16(uint16_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

TEST(Decodifica, UnFileRottoHaIlSuoOffsetEIlSuoMotivo) {
  const disco_memoria d = prova::compilati_predefiniti();
  const nomi_file n = prova::nomi_predefiniti();
  const std::string sim = d.file.at(n.treno_compilato());
  // The last row (86) is 34 + 7 bytes: "iR31457".
  const size_t riga_86 = sim.size() - 41;
  std::string nome_lungo = sim;
  nome_lungo[riga_86 + 14] = '\xFF';
  nome_lungo[riga_86 + 15] = '\xFF';
  const std::vector<caso_difetto> casi = {
      {"griglia vuota", griglia_di_nuovo, "", 0, "file vuoto"},
      {"griglia con una cella a meta'", griglia_di_nuovo, std::string(31, '\0'), 30,
       "cella 2 troncata: 1 byte su 15"},
      {"griglia senza l'ultimo byte", griglia_di_nuovo,
       d.file.at(n.griglia_compilata()).substr(0, 30914), 30900,
       "cella 2060 troncata: 14 byte su 15"},
      {"tabella vuota", tabella_di_nuovo, "", 0, "file vuoto"},
      {"tabella di 20 byte", tabella_di_nuovo, std::string(20, '\0'), 0,
       "riga 0 troncata: 20 byte dove ne servono 34 + 0 (nome di 0 byte)"},
      {"tabella di 10 byte", tabella_di_nuovo, std::string(10, '\0'), 0,
       "riga 0 troncata: 10 byte dove ne servono almeno 34"},
      {"tabella senza l'ultimo byte", tabella_di_nuovo, sim.substr(0, sim.size() - 1), riga_86,
       "riga 86 troncata: 40 byte dove ne servono 34 + 7 (nome di 7 byte)"},
      {"tabella con un nome oltre la fine", tabella_di_nuovo, nome_lungo, riga_86,
       "riga 86 troncata: 41 byte dove ne servono 34 + 65535 (nome di 65535 byte)"},
      {"tabella con un byte in piu'", tabella_di_nuovo, sim + "x", sim.size(),
       "1 byte in piu' dopo la riga 86"},
      {"piano vuoto", piano_di_nuovo, "", 0, "file vuoto"},
      {"piano con un tipo sconosciuto", piano_di_nuovo, u16(0) + u16(7), 2,
       "tipo di valore sconosciuto 7 (ammessi 0, 2 e 5)"},
      {"piano con un valore solo", piano_di_nuovo, u16(0), 2,
       "numero di valori dispari (1): le due coordinate non hanno lo stesso numero di punti"},
      {"piano con un doppio troncato", piano_di_nuovo, u16(2) + "ab" + u16(5) + "xyz", 4,
       "valore di tipo 5 troncato: 5 byte su 10"},
      {"piano con un intero troncato", piano_di_nuovo, u16(2) + "a", 0,
       "valore di tipo 2 troncato: 3 byte su 4"},
      {"piano con mezzo tipo", piano_di_nuovo, u16(0) + "\x05", 2,
       "tipo del valore troncato: 1 byte su 2"},
  };
  verifica_difetti(casi);
}

// The largest file of each kind, as the layouts and the longest route give
// it, decodes; one more value, cell or byte is refused, by its size where it
// passes the largest size (before any decoding), at its first extra value
// where a plan of small values holds too many points.
TEST(Decodifica, IlPiuGrandeDiOgniTipoPassaUnoInPiuNo) {
  EXPECT_EQ(punti_massimi_piano(), 1007001);
  EXPECT_EQ(byte_massimi_piano(), 2u * 1007001 * 10);
  EXPECT_EQ(byte_massimi_tabella(), 87u * (34 + 65535));
  EXPECT_EQ(byte_massimi_griglia(), 20141u * 15);

  tracciato piano;
  piano.crea(punti_massimi_piano() - 1);
  for (int32_t m = 0; m < punti_massimi_piano(); ++m) {
    piano.imposta_doppio(m, 0, m);
    piano.imposta_doppio(m, 1, -m);
  }
  const std::string piano_massimo = immagine_linea(piano);
  tabella t{};
  for (voce_scenario& v : t) v.nome.assign(65535, 'N');
  const std::string tabella_massima = immagine_treno(t);
  const std::string griglia_massima(byte_massimi_griglia(), '\0');
  ASSERT_EQ(piano_massimo.size(), byte_massimi_piano());
  ASSERT_EQ(tabella_massima.size(), byte_massimi_tabella());

  std::optional<difetto> d;
  EXPECT_EQ(piano_di_nuovo(piano_massimo, d), piano_massimo);
  EXPECT_FALSE(d);
  EXPECT_EQ(tabella_di_nuovo(tabella_massima, d), tabella_massima);
  EXPECT_FALSE(d);
  EXPECT_EQ(griglia_di_nuovo(griglia_massima, d), griglia_massima);
  EXPECT_FALSE(d);

  // Empty values take 2 bytes: far below the largest size, too many points.
  const std::string punti_vuoti(2 * 2 * (static_cast<size_t>(punti_massimi_piano()) + 1), '\0');
  const std::vector<caso_difetto> casi = {
      {"piano con un punto in piu'", piano_di_nuovo, piano_massimo + u16(0) + u16(0),
       byte_massimi_piano(), "file di 20140024 byte, oltre il massimo di 20140020"},
      {"piano di 1007002 punti vuoti", piano_di_nuovo, punti_vuoti, 2 * 2014002,
       "piu' di 2014002 valori: un piano ha al massimo 1007001 punti per coordinata"},
      {"tabella con un byte in piu'", tabella_di_nuovo, tabella_massima + "x",
       byte_massimi_tabella(), "file di 5704504 byte, oltre il massimo di 5704503"},
      {"griglia con una cella in piu'", griglia_di_nuovo, griglia_massima + std::string(15, '\0'),
       byte_massimi_griglia(), "file di 302130 byte, oltre il massimo di 302115"},
  };
  verifica_difetti(casi);
}

// A disk that can say a file's size refuses a larger one unread; either way
// the tools report it as a malformed file, with its name, size and limit.
TEST(Decodifica, UnFileTroppoGrandeNonSiLegge) {
  struct disco_misurato : disco_memoria {
    int letture = 0;
    esito_io leggi_entro(const std::string& nome, std::string& contenuto,
                         uint64_t massimo) override {
      const auto it = file.find(nome);
      if (it != file.end() && it->second.size() > massimo)
        return esito_io::troppo_grande(nome, it->second.size(), massimo);
      ++letture;
      return disco_memoria::leggi_entro(nome, contenuto, massimo);
    }
  } d;
  d.file["x.sim"] = std::string(byte_massimi_tabella() + 1, '\0');
  d.file["x.dat"] = std::string(byte_massimi_griglia(), '\0');
  std::string dati;
  std::ostringstream err;
  EXPECT_EQ(leggi_compilato(d, "x.sim", tipo_file::tabella, "c\x1B/x.sim", dati, err),
            esito_strumento::file_malformato);
  EXPECT_EQ(err.str(),
            "compila_scenario: c\\x1B/x.sim: file non valido (tabella) all'offset 5704503: file "
            "di 5704504 byte, oltre il massimo di 5704503\n");
  EXPECT_EQ(d.letture, 0);
  EXPECT_EQ(dati, "");
  EXPECT_EQ(leggi_compilato(d, "x.dat", tipo_file::griglia, "x.dat", dati, err), std::nullopt);
  EXPECT_EQ(dati.size(), byte_massimi_griglia());
  EXPECT_EQ(leggi_compilato(d, "manca.dat", tipo_file::griglia, "manca.dat", dati, err),
            esito_strumento::guasto_disco);
}

// Random bytes, and random mutations of the real files: a decoder either
// refuses them or gives back content that encodes to exactly those bytes.
TEST(Decodifica, QualunqueByteORifiutatiORifattiUguali) {
  const disco_memoria d = prova::compilati_predefiniti();
  const nomi_file n = prova::nomi_predefiniti();
  std::mt19937 caso(20240611);
  const struct {
    rifacitore rifai;
    std::string base;
  } tipi[] = {{griglia_di_nuovo, d.file.at(n.griglia_compilata())},
              {tabella_di_nuovo, d.file.at(n.treno_compilato())},
              {piano_di_nuovo, d.file.at(n.linea_compilata()).substr(0, 4000)}};
  for (const auto& t : tipi) {
    for (int prova = 0; prova < 300; ++prova) {
      std::string dati;
      if (prova % 2 == 0) {
        dati.resize(caso() % 200);
        for (char& c : dati) c = static_cast<char>(caso() % 7 == 0 ? caso() % 6 : caso());
      } else {
        dati = t.base;
        for (int k = 0; k < 3; ++k) dati[caso() % dati.size()] = static_cast<char>(caso());
        dati.resize(dati.size() - caso() % 3);
      }
      std::optional<difetto> difetto;
      const std::string rifatto = t.rifai(dati, difetto);
      if (difetto) {
        EXPECT_LE(difetto->offset, dati.size());
      } else {
        EXPECT_EQ(rifatto, dati);
      }
    }
  }
}

TEST(Decodifica, IlTipoDalNomeODallaParola) {
  const struct {
    const char* nome;
    std::optional<tipo_file> tipo;
  } nomi[] = {{"Brossalenta_Morla_linea.dat", tipo_file::piano},
              {"x/Y_LINEA.DAT", tipo_file::piano},
              {"Brossalenta_Morla_iR31457.sim", tipo_file::tabella},
              {"Brossalenta_Morla_iR31457.dat", tipo_file::griglia},
              {"linea.dat", tipo_file::griglia},
              {"Brossalenta_Morla_linea.txt", std::nullopt},
              {"dat", std::nullopt}};
  for (const auto& c : nomi) EXPECT_EQ(tipo_da_nome(c.nome), c.tipo) << c.nome;
  EXPECT_EQ(tipo_da_parola("plan"), tipo_file::piano);
  EXPECT_EQ(tipo_da_parola("table"), tipo_file::tabella);
  EXPECT_EQ(tipo_da_parola("grid"), tipo_file::griglia);
  EXPECT_EQ(tipo_da_parola("griglia"), std::nullopt);
}

}  // namespace
}  // namespace scenario
