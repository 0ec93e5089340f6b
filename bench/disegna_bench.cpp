// Benchmarks of draw: the built-in scenario, and hostile grids that grow (tunnel
// and sign cells in turn; signs of 999999 m tunnels in every cell) to show
// time growing linearly and the pictures' size ("byte") staying bounded.
// All on in-memory disks.
#include <benchmark/benchmark.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/uscita.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/nomi_file.h"
#include "sources/scrittore_testo.h"
#include "strumenti/compila_sorgenti.h"
#include "strumenti/disegna.h"

namespace scenario {
namespace {

void disegna_e_conta(benchmark::State& st, disco_memoria& ingresso, const std::string& linea,
                     const std::string& treno) {
  for (auto _ : st) {
    disco_memoria uscita;
    std::ostringstream err;
    if (disegna(ingresso, uscita, linea, treno, "", err) != esito_strumento::fatto) {
      st.SkipWithError(err.str().c_str());
      break;
    }
    size_t byte = 0;
    for (const auto& [nome, svg] : uscita.file) byte += svg.size();
    st.counters["byte"] = static_cast<double>(byte);
  }
}

void BM_disegna_predefinito(benchmark::State& st) {
  const nomi_file n{std::string(linea_predefinita), std::string(treno_predefinito)};
  disco_memoria sorgenti;
  sorgenti.file[n.sorgente_linea()] = componi_testo(righe_linea());
  sorgenti.file[n.sorgente_treno()] = componi_testo(righe_treno());
  disco_memoria compilati;
  std::ostringstream err;
  if (compila_sorgenti(sorgenti, compilati, n.nome_linea, n.nome_treno, "", err) !=
      esito_strumento::fatto) {
    st.SkipWithError(err.str().c_str());
    return;
  }
  disegna_e_conta(st, compilati, n.nome_linea, n.nome_treno);
}
BENCHMARK(BM_disegna_predefinito)->Unit(benchmark::kMillisecond);

// `celle` cells of a grid whose sign rows say `cartello`; with `alterne`
// even cells are tunnel and odd cells signs, else every cell a sign. The
// plan winds for 100 km.
disco_memoria griglia_ostile(size_t celle, const std::string& cartello, bool alterne) {
  tabella t{};
  t[80].nome = cartello;
  std::vector<cella> g(celle);
  for (size_t i = 0; i < g.size(); ++i) {
    if (alterne && i % 2 == 0) {
      g[i].tipo_montagna = 1;
    } else {
      g[i].tipo_cella = cartello_indicatore;
      g[i].valore1 = 80;
    }
    g[i].vel_limite = 16;
    g[i].pendenza = 100;
  }
  tracciato p;
  p.crea(100000);
  for (int32_t m = 0; m <= 100000; ++m) {
    p.imposta_doppio(m, 0, 3000 * std::cos(m / 3000.0));
    p.imposta_doppio(m, 1, 3000 * std::sin(m / 3000.0));
  }
  disco_memoria d;
  d.file["L_linea.dat"] = immagine_linea(p);
  d.file["L_T.sim"] = immagine_treno(t);
  d.file["L_T.dat"] = immagine_griglia(g);
  return d;
}

void BM_disegna_gallerie_alterne(benchmark::State& st) {
  disco_memoria d = griglia_ostile(static_cast<size_t>(st.range(0)), "(Galleria)( NOME )", true);
  disegna_e_conta(st, d, "L", "T");
  st.SetComplexityN(st.range(0));
}
// Up to the largest grid a compile writes (20141 cells): a larger one is refused.
BENCHMARK(BM_disegna_gallerie_alterne)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_disegna_gallerie_lunghe(benchmark::State& st) {
  disco_memoria d =
      griglia_ostile(static_cast<size_t>(st.range(0)), "(Galleria)(999999 m.)", false);
  disegna_e_conta(st, d, "L", "T");
  st.SetComplexityN(st.range(0));
}
BENCHMARK(BM_disegna_gallerie_lunghe)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario
