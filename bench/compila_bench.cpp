// Benchmarks of the compile step: the built-in scenario, the same with many
// rows it does not know, and generated routes up to the longest the format
// allows (1,000,000 m), to show linear growth.
// Everything runs on an in-memory disk that keeps no bytes, so the figures are
// the compiler's own; the plan streams as in the program, holding no point.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/nomi_file.h"
#include "sources/scrittore_testo.h"

namespace scenario {
namespace {

const nomi_file nomi{std::string(linea_predefinita), std::string(treno_predefinito)};

// A plausible route of `lunghezza` metres: a curve, a gradient change and a
// terrain span every 2 km (at most 80), a station every 10 km, a signal pair before each.
void genera_sorgenti(int32_t lunghezza, std::string& linea, std::string& treno) {
  linea = "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n[curve]\r\n";
  for (int32_t a = 250; a + 600 < lunghezza; a += 2000)
    linea += std::string(a % 4000 == 250 ? "curvas5,  " : "curvad4,  ") + std::to_string(a) +
             ",  600\r\n";
  linea += "[pendenze]\r\n";
  for (int32_t p = 0; p < lunghezza; p += 2000)
    linea +=
        "pendenza,  " + std::to_string(p) + ",   " + std::to_string((p / 2000) % 30 - 10) + "\r\n";
  linea += "[montagne]\r\n";
  const int32_t passo_montagne = std::max<int32_t>(2000, lunghezza / 80 + 50);  // at most 80 spans
  for (int32_t p = 1000; p + 800 < lunghezza; p += passo_montagne)
    linea += "montagna,   " + std::to_string(p) + ",  " + std::to_string(p + 600) + ",  11\r\n";
  linea += "[fine]\r\n";
  treno =
      "[generale]\r\nnumero vetture,    4\r\n[vel_limite]\r\nvelocita,       0,    80\r\n"
      "[aderenze]\r\naderenza,   0,    100\r\n[stazioni]\r\n";
  for (int32_t p = 0, r = 1; p + 1000 < lunghezza && r < 70; p += 10000, ++r)
    treno += "stazione,   " + std::to_string(p) +
             ", 12,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, S" + std::to_string(r) +
             "\r\n";
  treno += "[segnali]\r\n";
  for (int32_t p = 9000; p + 1000 < lunghezza; p += 10000)
    treno += "segnale,   " + std::to_string(p) +
             ",   1, 3, 1,  0, 0,    0,  0,0,0, 0\r\nsegnale,   " + std::to_string(p + 600) +
             ",   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n";
  treno += "[fine]\r\n";
}

// Holds the two sources and only counts the bytes written: the figures (and
// the peak memory of a run) are the compiler's, not those of a copy kept here.
class disco_conteggio : public disco_memoria {
 public:
  // A draft that keeps nothing and remembers how far it reached.
  class bozza_conteggio : public bozza {
   public:
    bool scrivi(uint64_t offset, std::string_view byte) override {
      fine = std::max<uint64_t>(fine, offset + byte.size());
      return true;
    }
    bool leggi(uint64_t, std::span<char> byte) override {
      std::fill(byte.begin(), byte.end(), '\0');
      return true;
    }
    bool tronca(uint64_t dimensione) override {
      fine = dimensione;
      return true;
    }
    esito_io esito() const override { return {}; }
    uint64_t fine = 0;
  };

  esito_io sostituisci(const std::string&, std::string_view contenuto) override {
    scritti += contenuto.size();
    return esito_io::riuscito();
  }
  std::unique_ptr<bozza> apri_bozza(const std::string&) override {
    return std::make_unique<bozza_conteggio>();
  }
  esito_io metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) override {
    for (const auto& b : bozze) scritti += static_cast<const bozza_conteggio&>(*b).fine;
    return esito_io::riuscito();
  }
  size_t scritti = 0;
};

void compila(benchmark::State& stato_bench, const std::string& linea, const std::string& treno) {
  for (auto _ : stato_bench) {
    disco_conteggio d;
    d.file[nomi.sorgente_linea()] = linea;
    d.file[nomi.sorgente_treno()] = treno;
    stato s;
    s.trattieni_tracciato = false;
    s.nome_linea = nomi.nome_linea;
    s.nome_treno = nomi.nome_treno;
    auto esito = memorizza_percorso(s, d, 1);
    if (esito.errore_fatale != 0 || s.codice_errore != 0) {
      const std::string motivo = "compile failed: errore " + std::to_string(s.codice_errore) +
                                 " at " + std::to_string(s.posizione_errore);
      stato_bench.SkipWithError(motivo.c_str());
      break;
    }
    benchmark::DoNotOptimize(d.scritti);
    stato_bench.counters["byte"] = static_cast<double>(d.scritti);
  }
}

void BM_scenario_predefinito(benchmark::State& st) {
  compila(st, componi_testo(righe_linea()), componi_testo(righe_treno()));
}
BENCHMARK(BM_scenario_predefinito)->Unit(benchmark::kMillisecond);

// The built-in scenario with `st.range(0)` rows an author mistyped, or did
// not mean as rows at all, in its gradients: each is warned about with the
// nearest keyword. Half are slips ("pendneza"), half long unknown words.
void BM_righe_sconosciute(benchmark::State& st) {
  std::string linea = componi_testo(righe_linea());
  std::string righe;
  for (int64_t i = 0; i < st.range(0); ++i)
    righe += i % 2 == 0 ? "pendneza,  1000,  3\r\n"
                        : "appunti_del_capotreno_sulla_salita_di_morla_" + std::to_string(i) +
                              ",  1000\r\n";
  linea.insert(linea.find("[pendenze]\r\n") + 12, righe);
  compila(st, linea, componi_testo(righe_treno()));
}
BENCHMARK(BM_righe_sconosciute)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_percorso_generato(benchmark::State& st) {
  std::string linea, treno;
  genera_sorgenti(static_cast<int32_t>(st.range(0)), linea, treno);
  compila(st, linea, treno);
  st.SetComplexityN(st.range(0));
}
BENCHMARK(BM_percorso_generato)
    ->Arg(125000)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

BENCHMARK_MAIN();
