// Writes the seed inputs of the readers' fuzz corpus (layout in
// controllo_letture.h) into the directory given: compiled sets of small
// routes (compiled here, in memory), the built-in scenario's set with its
// plan shortened, the real files cut short, and small sets altered where the
// readers and drawings are most easily hurt (names of every byte, coordinates
// not finite or absurd, every cell type). Plans and grids are kept short so
// no seed passes 16 KiB: the fuzzer runs fastest on small inputs, and the
// corpus stays small in bytes. The files are kept in the repository; run this
// again only to regenerate the seeds ("seme_*").
//
//   genera_semi_letture tests/fuzz/corpus_letture
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
#include "compiler/uscita.h"
#include "controllo_letture.h"
#include "semi.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"
#include "sources/scrittore_testo.h"
#include "sources/sorgenti_testo_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

struct insieme {
  tracciato piano;
  tabella righe{};
  std::vector<cella> griglia;
};

// The first `punti` points of a plan, whole values each.
tracciato accorcia(const tracciato& t, int32_t punti) {
  tracciato r;
  const int32_t fine = std::min(t.fine(), punti - 1);
  r.crea(fine);
  for (int32_t m = 0; m <= fine; ++m) {
    for (int colonna = 0; colonna < 2; ++colonna) {
      if (t.tipo(m, colonna) == tipo_valore::intero)
        r.imposta_intero(m, colonna, static_cast<int16_t>(t.valore(m, colonna)));
      if (t.tipo(m, colonna) == tipo_valore::doppio)
        r.imposta_doppio(m, colonna, t.valore(m, colonna));
    }
  }
  return r;
}

insieme decodifica(const disco_memoria& d, const nomi_file& n, int32_t punti) {
  insieme s;
  tracciato intero;
  decodifica_piano(d.file.at(n.linea_compilata()), intero);
  s.piano = accorcia(intero, punti);
  decodifica_tabella(d.file.at(n.treno_compilato()), s.righe);
  decodifica_griglia(d.file.at(n.griglia_compilata()), s.griglia);
  return s;
}

std::string ingresso(const insieme& s, unsigned char opzioni = 0, int16_t da = 0, int16_t a = 0) {
  return ingresso_letture(immagine_linea(s.piano), immagine_treno(s.righe),
                          immagine_griglia(s.griglia), opzioni, da, a);
}

// Two sources compiled in memory with the plan, as compile would.
insieme compila(const std::string& linea, const std::string& treno, int32_t punti,
                const nomi_file& n = {"L", "T"}) {
  disco_memoria d;
  d.file[n.sorgente_linea()] = linea;
  d.file[n.sorgente_treno()] = treno;
  stato s{};
  s.nome_linea = n.nome_linea;
  s.nome_treno = n.nome_treno;
  const esito_compilazione e = memorizza_percorso(s, d, 1);
  if (e.errore_fatale != 0 || s.codice_errore != 0 || !d.file.count(n.linea_compilata())) {
    std::fprintf(stderr, "genera_semi_letture: a seed route does not compile (%d, %d)\n",
                 e.errore_fatale, s.codice_errore);
    std::exit(1);
  }
  return decodifica(d, n, punti);
}

// A short route with a little of everything the drawings show: curves,
// gradients, a tunnel with its sign, a viaduct sign, speed boards, stations,
// signals, a slowdown, speed limits and adhesion.
insieme breve() {
  const std::string linea = prova::linea(
      {"curvas4, 100, 300", "curvad2, 500, 200", "curvas6, 900, 400", "[pendenze]",
       "pendenza, 0, 5", "pendenza, 600, -12", "pendenza, 1100, 20", "[montagne]",
       "montagna, 700, 1000, 11", "[cartelli]", "indicatori_vmax, 550, 80, 60, 40, 0, , , , 0",
       "[indicazioni]", "cartello_indicatore, 650, (Galleria)( BREVE )(300 m. )",
       "cartello_indicatore, 1200, (Viadotto)( PONTE )"},
      {}, "lunghezza percorso,    1500");
  const std::string treno = prova::treno(
      {"numero vetture, 3", "velocita, 0, 80", "velocita, 800, 60", "aderenza, 0, 100",
       "aderenza, 900, 80", "stazione, 0, 12, 300, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 17, 34, 0, PRIMA",
       "stazione, 1300, 12, 200, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 17, 40, 0, SECONDA",
       "segnale, 500, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
       "segnale, 1100, 2, 3, 1, 0, 0, 0, 0, 0, 0, 240", "rallentamento, 850, 30, 100, 0, 1, 0"});
  return compila(linea, treno, 400);
}

// The least: one station on a straight 200 m.
insieme minimo() {
  return compila(prova::linea({}, {}, "lunghezza percorso,    200"),
                 prova::treno({"stazione, 0, 12, 300, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 17, 34, 0, S"}),
                 120);
}

void reali(std::vector<seme>& s) {
  const insieme tutto = compila(componi_testo(righe_linea()), componi_testo(righe_treno()),
                                punti_massimi_piano(), nomi_file::predefiniti());
  // Its first 20 km of grid (the header then does not fit it) and 300 m of plan.
  insieme accorciato = tutto;
  accorciato.piano = accorcia(tutto.piano, 300);
  accorciato.griglia.resize(400);
  s.push_back({"predefinito_accorciato", ingresso(accorciato)});
  const std::string piano = immagine_linea(tutto.piano);
  const std::string tabella = immagine_treno(tutto.righe);
  const std::string griglia = immagine_griglia(tutto.griglia);
  s.push_back(
      {"predefinito_troncato",
       ingresso_letture(piano.substr(0, 4001), tabella.substr(0, 1500), griglia.substr(0, 1007))});
}

void piccoli(std::vector<seme>& s) {
  const insieme b = breve();
  const insieme m = minimo();
  s.push_back({"breve", ingresso(b)});
  s.push_back({"breve_tutto_km_0_5_1", ingresso(b, 3, 5, 10)});
  s.push_back({"minimo", ingresso(m)});
  s.push_back({"minimo_tutto", ingresso(m, 1)});
  s.push_back({"minimo_tratto_rovescio", ingresso(m, 2, 9, -5)});
  s.push_back({"vuoti", ingresso_letture("", "", "")});
  s.push_back({"solo_intestazione", std::string(intestazione_letture, '\0')});
  // Lengths past the end: the plan takes every byte, the others none.
  std::string lunghe = ingresso(m);
  for (size_t i = 1; i < 9; ++i) lunghe[i] = '\xFF';
  s.push_back({"lunghezze_oltre_la_fine", lunghe});
}

void alterati(std::vector<seme>& s) {
  const insieme m = minimo();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* nome;
    double x;
    double y;
  } coordinate[] = {{"nan", nan, 0},
                    {"inf", 0, -inf},
                    {"1e17", 1e17, 0},
                    {"1e19", 0, 1e19},
                    {"denormale", 4.9e-324, -0.0}};
  for (const auto& c : coordinate) {
    insieme x = m;
    x.piano.imposta_doppio(60, 0, c.x);
    x.piano.imposta_doppio(60, 1, c.y);
    s.push_back({std::string("coordinata_") + c.nome, ingresso(x)});
  }
  insieme interi = m;
  for (int32_t p = 0; p <= interi.piano.fine(); ++p) {
    interi.piano.imposta_intero(p, 0, static_cast<int16_t>(p * 7));
    interi.piano.imposta_intero(p, 1, static_cast<int16_t>(-p));
  }
  s.push_back({"piano_di_interi", ingresso(interi)});
  insieme vuoto = m;
  vuoto.piano.crea(vuoto.piano.fine());
  s.push_back({"piano_vuoto", ingresso(vuoto, 1)});

  // Names of every byte, one row each, from the stations' rows down.
  insieme nomi = m;
  for (int r = 0; r < 8; ++r) {
    std::string n;
    for (int c = 0; c < 32; ++c) n += static_cast<char>(r * 32 + c);
    nomi.righe[static_cast<size_t>(2 + r)].nome = n;
    nomi.righe[static_cast<size_t>(2 + r)].tipo = 12;
    nomi.righe[static_cast<size_t>(2 + r)].posizione = 20 * r;
  }
  nomi.righe[80].nome = "(Galleria)(\"<&>\")(999999 m.)";
  nomi.righe[79].nome = "(Gall.elic.)( \x81\x8D\x8F\x90\x9D )( 12 m. )";
  nomi.griglia[3].tipo_cella = cartello_indicatore;
  nomi.griglia[3].valore1 = 80;
  nomi.griglia[4].tipo_cella = cartello_indicatore;
  nomi.griglia[4].valore1 = 79;
  s.push_back({"nomi_di_ogni_byte", ingresso(nomi)});
  s.push_back({"nomi_di_ogni_byte_tutto", ingresso(nomi, 1)});

  // Every cell type, with values at their extremes.
  insieme tipi = m;
  tipi.griglia.resize(256);
  for (size_t c = 0; c < tipi.griglia.size(); ++c) {
    cella& k = tipi.griglia[c];
    k.tipo_cella = static_cast<uint8_t>(c);
    k.valore1 = static_cast<int16_t>(c % 2 == 0 ? -32768 : 32767);
    k.valore2 = static_cast<int16_t>(c * 129);
    k.valore3 = -1;
    k.valore4 = static_cast<int16_t>(c);
    k.tempo_segnale = static_cast<uint8_t>(255 - c);
    k.tipo_montagna = static_cast<uint8_t>(c % 3);
    k.vel_limite = static_cast<uint8_t>(c);
    k.pendenza = static_cast<uint8_t>(255 - c);
    k.aderenza = static_cast<uint8_t>(c * 3);
  }
  s.push_back({"ogni_tipo_di_cella", ingresso(tipi, 1)});

  // A header that does not fit the grid, extremes in the fixed rows.
  insieme testata = m;
  testata.righe[84].fine = std::numeric_limits<int32_t>::max();
  testata.righe[81].inizio = std::numeric_limits<int32_t>::min();
  testata.righe[86].dato7 = -1;
  testata.righe[1].orario = std::numeric_limits<int32_t>::min();
  s.push_back({"intestazioni_estreme", ingresso(testata, 1)});
}

int scrivi_semi(const fs::path& cartella) {
  std::vector<seme> semi;
  reali(semi);
  piccoli(semi);
  alterati(semi);
  return scrivi_semi_in("genera_semi_letture", cartella, semi);
}

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: genera_semi_letture DIRECTORY\n");
    return 2;
  }
  return scenario::scrivi_semi(argv[1]);
}
