// The field stream: values of text and numeric fields, widths, line ends,
// the places of fields and the text of lines. Each table row names itself in
// the failure message.
#include "sources/lettore_campi.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace scenario {
namespace {

using namespace std::string_view_literals;

// One read and what it must give. A failed read ends the row.
struct lettura {
  bool testo;
  larghezza w;
  std::string atteso_testo;
  int32_t atteso_numero;
  bool riesce;
};

lettura T(std::string s) { return {true, larghezza::lungo32, std::move(s), 0, true}; }
lettura L(int32_t n) { return {false, larghezza::lungo32, "", n, true}; }
lettura I(int32_t n) { return {false, larghezza::intero16, "", n, true}; }
lettura B(int32_t n) { return {false, larghezza::byte8, "", n, true}; }
lettura T_fallisce() { return {true, larghezza::lungo32, "", 0, false}; }
lettura N_fallisce(larghezza w) { return {false, w, "", 0, false}; }

struct caso {
  const char* nome;
  std::string_view ingresso;
  std::vector<lettura> letture;
  bool fine_attesa;  // fine() after the last read
};

const std::vector<caso>& casi() {
  static const std::vector<caso> tabella = {
      {"campi vuoti", ", ,", {T(""), T("")}, true},
      {"riga vuota", "\r\n\r\nx", {T(""), T(""), T("x")}, true},
      {"ripetizione segnali",
       "ripetizione segnali 4 codici,    0    ,0\r\n",
       {T("ripetizione segnali 4 codici"), L(0), L(0)},
       true},
      {"pendenza negativa", "pendenza,  66300,   -27\r\n", {T("pendenza"), L(66300), L(-27)}, true},
      {"orologio con spazi",
       "orologio,    17              33            30 \r\n[aderenze]\r\n",
       {T("orologio"), I(17), I(33), I(30), T("[aderenze]")},
       true},
      {"orologio con virgole",
       "orologio,    17,33,  30\r\n[aderenze]\r\n",
       {T("orologio"), I(17), I(33), I(30), T("[aderenze]")},
       true},
      {"stazione a colonne",
       "stazione,   11950, 26,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, P.M. Km 11.959\r\n",
       {T("stazione"), L(11950), B(26), L(200), B(0), B(0), B(0), I(0), I(0), B(0), I(0), I(0),
        I(0), B(0), L(0), L(0), L(0), T("P.M. Km 11.959")},
       true},
      {"prima stazione",
       "stazione,       0, 12,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,  17,34, 0, BROSSALENTA\r\n",
       {T("stazione"), L(0), B(12), L(500), B(1), B(0), B(0), I(4), I(1), B(0), I(2), I(1), I(1),
        B(1), L(17), L(34), L(0), T("BROSSALENTA")},
       true},
      {"cartello",
       "cartello_indicatore,  19750,   (Galleria)( VELMO  )(1186 m. )\r\n",
       {T("cartello_indicatore"), L(19750), T("(Galleria)( VELMO  )(1186 m. )")},
       true},
      {"indicatori con campi vuoti",
       "indicatori_vmax,  550,  80,  80,  80,  0,  ,  ,  ,  0\r\n",
       {T("indicatori_vmax"), L(550), L(80), L(80), L(80), L(0), L(0), L(0), L(0), L(0)},
       true},
      {"commento",
       "- Altitudine iniziale Brossalenta = 9 m.\r\n",
       {T("- Altitudine iniziale Brossalenta = 9 m.")},
       true},
      {"spazi prima della virgola, non prima di fine riga",
       "abc   ,  d e  \r\n",
       {T("abc"), T("d e  ")},
       true},
      {"spazi prima della fine del testo", ", MORLA  ", {T(""), T("MORLA  ")}, true},
      {"spazi dopo un cartello",
       "(Galleria)( MORLA  )( 96 m.  )   \n",
       {T("(Galleria)( MORLA  )( 96 m.  )   ")},
       true},
      {"tabulazione prima di fine riga", "x\t\r\ny", {T("x\t"), T("y")}, true},
      {"tabulazione e NUL sono caratteri",
       "\tx\t,a\0b,\t7"sv,
       {T("\tx\t"), T(std::string("a\0b", 3)), L(0)},
       true},
      {"numero seguito da testo", "12 abc,3", {L(12), T("abc"), L(3)}, true},
      {"virgolette", "\"a, b\" ,x\r\n", {T("a, b"), T("x")}, true},
      {"virgolette con coda", "  \"x\"coda,y", {T("x"), T("y")}, true},
      {"virgolette vuote", "\"\",z", {T(""), T("z")}, true},
      {"virgolette su due righe", "\"a\r\nb\",c", {T("a\r\nb"), T("c")}, true},
      {"virgolette aperte", "\"abc, d", {T("abc, d")}, true},
      {"solo CR", "a,1\rb,  2\r", {T("a"), L(1), T("b"), L(2)}, true},
      {"solo LF", "a,1\nb,  2\n", {T("a"), L(1), T("b"), L(2)}, true},
      {"LF CR sono due fini riga", "a\n\rb", {T("a"), T(""), T("b")}, true},
      {"numero prima di fine riga", "5\r\nx", {L(5), T("x")}, true},
      {"solo un intero intero e' un numero",
       "12abc,abc,-,,+5,--5,5-3,-0,4x,1.5,5-,7\t,-12",
       {L(0), L(0), L(0), L(0), L(0), L(0), L(0), B(0), L(0), L(0), L(0), L(0), L(-12)},
       true},
      {"troppe cifre seguite da testo non sono un numero", "99999999999x", {B(0)}, true},
      {"zeri iniziali", "000000000000000000000000000042", {B(42)}, true},
      {"limiti del byte", "255,0", {B(255), B(0)}, true},
      {"byte oltre", "256", {N_fallisce(larghezza::byte8)}, true},
      {"byte negativo", "-1", {N_fallisce(larghezza::byte8)}, true},
      {"limiti a 16 bit", "32767,-32768", {I(32767), I(-32768)}, true},
      {"16 bit oltre", "32768", {N_fallisce(larghezza::intero16)}, true},
      {"16 bit sotto", "-32769", {N_fallisce(larghezza::intero16)}, true},
      {"limiti a 32 bit", "2147483647,-2147483648", {L(2147483647), L(-2147483647 - 1)}, true},
      {"32 bit oltre", "2147483648", {N_fallisce(larghezza::lungo32)}, true},
      {"32 bit sotto", "-2147483649", {N_fallisce(larghezza::lungo32)}, true},
      {"cifre senza fine",
       "-99999999999999999999999999999999999999",
       {N_fallisce(larghezza::lungo32)},
       true},
      {"testo alla fine", "", {T_fallisce()}, true},
      {"numero alla fine", "", {N_fallisce(larghezza::lungo32)}, true},
      {"lettura dopo l'ultimo campo", "x\r\n", {T("x"), T_fallisce()}, true},
      {"spazi finali come testo", "x,   ", {T("x"), T("")}, true},
      {"spazi finali come numero", "5,   ", {L(5), L(0)}, true},
      {"fine non raggiunta", "a,b", {T("a")}, false},
      {"riga senza valori alla fine", "[fine]", {T("[fine]")}, true},
  };
  return tabella;
}

TEST(LettoreCampi, LettureInSequenza) {
  for (const caso& c : casi()) {
    lettore_campi l(c.ingresso, "prova");
    for (size_t i = 0; i < c.letture.size(); ++i) {
      const lettura& atteso = c.letture[i];
      SCOPED_TRACE(std::string(c.nome) + ", lettura " + std::to_string(i + 1));
      if (atteso.testo) {
        std::string valore = "?";
        ASSERT_EQ(l.leggi_testo(valore), atteso.riesce);
        if (atteso.riesce) {
          EXPECT_EQ(valore, atteso.atteso_testo);
        }
      } else {
        int32_t valore = -12345;
        ASSERT_EQ(l.leggi_numero(atteso.w, valore), atteso.riesce);
        if (atteso.riesce) {
          EXPECT_EQ(valore, atteso.atteso_numero);
        }
      }
    }
    EXPECT_EQ(l.fine(), c.fine_attesa) << c.nome;
  }
}

// The place of the field read last: reads are 'T' (text) or 'N' (number).
TEST(LettoreCampi, InizioDelCampo) {
  struct riga_posizione {
    const char* nome;
    std::string_view ingresso;
    const char* letture;
    int riga;
    int colonna;
  };
  const riga_posizione tabella[] = {
      {"primo campo", "[generale]\r\n", "T", 1, 1},
      {"numero dopo spazi", "[generale]\r\nlunghezza percorso,    96000\r\n", "TTN", 2, 24},
      {"campo vuoto su riga vuota", "a\r\n\r\nb", "TT", 2, 1},
      {"campo dopo riga vuota", "a\r\n\r\n  b", "TTT", 3, 3},
      {"campo vuoto davanti alla virgola", "a,  ,b", "TT", 1, 5},
      {"campo alla fine", "a,  ", "TT", 1, 5},
      {"dopo CR solo", "a\rb\rc", "TTT", 3, 1},
      {"dopo LF solo", "a\nb", "TT", 2, 1},
      {"dopo virgolette su due righe", "\"x\r\ny\" \r\n z", "TT", 3, 2},
      {"virgola dopo le virgolette", "\"x\r\ny\" ,\r\n z", "TT", 2, 5},
      {"numeri separati da spazi", "17              33", "NN", 1, 17},
  };
  for (const auto& r : tabella) {
    lettore_campi l(r.ingresso, "prova");
    std::string testo;
    int32_t numero = 0;
    for (const char* p = r.letture; *p != '\0'; ++p) {
      const bool letto =
          *p == 'T' ? l.leggi_testo(testo) : l.leggi_numero(larghezza::lungo32, numero);
      ASSERT_TRUE(letto) << r.nome;
    }
    EXPECT_EQ(l.inizio_campo().riga, r.riga) << r.nome;
    EXPECT_EQ(l.inizio_campo().colonna, r.colonna) << r.nome;
  }
}

// A byte of the field read last, placed through the field as written: a
// quoted field runs over line ends, so its bytes' lines are not the field's.
TEST(LettoreCampi, PostoDiUnByteDelCampo) {
  struct riga_byte {
    const char* nome;
    std::string_view ingresso;
    size_t byte;
    int riga;
    int colonna;
  };
  const riga_byte tabella[] = {
      {"sulla riga del campo", "  abc,d", 2, 1, 5},
      {"dopo CR LF tra virgolette", "\"x\r\nyz\"", 5, 2, 2},
      {"dopo CR solo tra virgolette", "\"x\ryz\"", 3, 2, 1},
      {"dopo LF solo tra virgolette", "  \"x\nyz\"", 4, 2, 2},
      {"il CR di un CR LF", "\"x\r\ny\"", 2, 1, 3},
      {"il LF di un CR LF e il fine riga", "\"x\r\ny\"", 3, 1, 3},
      {"oltre la fine: subito dopo il campo", "\"x\r\ny\",z", 99, 2, 3},
  };
  for (const auto& r : tabella) {
    lettore_campi l(r.ingresso, "prova");
    std::string testo;
    ASSERT_TRUE(l.leggi_testo(testo)) << r.nome;
    const posizione_testo p = l.posizione_nel_campo(r.byte);
    EXPECT_EQ(p.riga, r.riga) << r.nome;
    EXPECT_EQ(p.colonna, r.colonna) << r.nome;
  }
}

TEST(LettoreCampi, TestoDellaRiga) {
  struct riga_linea {
    const char* nome;
    std::string_view ingresso;
    int numero;
    std::string_view attesa;
  };
  const riga_linea tabella[] = {
      {"prima riga", "uno\r\ndue\rtre\nquattro", 1, "uno"},
      {"dopo CR LF", "uno\r\ndue\rtre\nquattro", 2, "due"},
      {"dopo CR", "uno\r\ndue\rtre\nquattro", 3, "tre"},
      {"ultima senza fine riga", "uno\r\ndue\rtre\nquattro", 4, "quattro"},
      {"oltre l'ultima", "uno\r\ndue\rtre\nquattro", 5, ""},
      {"riga zero", "uno\r\n", 0, ""},
      {"riga negativa", "uno\r\n", -3, ""},
      {"riga vuota in mezzo", "a\r\n\r\nb", 2, ""},
      {"spazi conservati", "a\r\n  x, y \r\n", 2, "  x, y "},
      {"dopo l'ultimo CR LF", "a\r\n", 2, ""},
      {"testo vuoto", "", 1, ""},
  };
  for (const auto& r : tabella) {
    lettore_campi l(r.ingresso, "prova");
    EXPECT_EQ(l.linea(r.numero), r.attesa) << r.nome;
  }
}

TEST(LettoreCampi, EtichettaConservata) {
  lettore_campi l("x", "Brossalenta_Morla_linea.txt");
  EXPECT_EQ(l.etichetta(), "Brossalenta_Morla_linea.txt");
}

// Every read that starts before the end consumes something, so no input can
// make the caller loop: on every short string over the delimiting bytes the
// text runs out within as many reads as it has bytes.
TEST(LettoreCampi, OgniLetturaAvanza) {
  const std::string_view alfabeto = " ,\r\n\"-1a";
  std::vector<std::string> ingressi = {""};
  for (size_t lunghezza = 1; lunghezza <= 4; ++lunghezza) {
    std::vector<std::string> piu_lunghi;
    for (const auto& s : ingressi) {
      if (s.size() + 1 != lunghezza) continue;
      for (char c : alfabeto) piu_lunghi.push_back(s + c);
    }
    ingressi.insert(ingressi.end(), piu_lunghi.begin(), piu_lunghi.end());
  }
  for (const auto& s : ingressi) {
    for (int modo = 0; modo < 2; ++modo) {
      lettore_campi l(s, "prova");
      size_t letture = 0;
      std::string testo;
      int32_t numero = 0;
      while (!l.fine() && letture <= s.size()) {
        if (modo == 0) {
          ASSERT_TRUE(l.leggi_testo(testo)) << '"' << s << '"';
        } else {
          ASSERT_TRUE(l.leggi_numero(larghezza::lungo32, numero)) << '"' << s << '"';
        }
        ++letture;
      }
      EXPECT_TRUE(l.fine()) << "ingresso \"" << s << "\", modo " << modo;
    }
  }
}

}  // namespace
}  // namespace scenario
