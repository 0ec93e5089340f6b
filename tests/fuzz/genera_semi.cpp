// Writes the seed inputs of the fuzz corpus (layout in controllo_compilazione.h)
// into the directory given: the built-in sources, and small sources that each
// reach one keyword, one limit or one way of failing. The files are kept in
// the repository; run this again only to regenerate the seeds ("seme_*").
// Regression inputs ("regressione_*") are kept by hand and never written here.
//
//   genera_semi tests/fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controllo_compilazione.h"
#include "semi.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/scrittore_testo.h"
#include "sources/sorgenti_testo_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

using prova::linea;
using prova::righe;
using prova::treno;

// One input: the mode byte, the line source and, when given, the train-run source.
std::string ingresso(char modo, const std::string& linea, const std::optional<std::string>& treno) {
  std::string t(1, modo);
  t += linea;
  if (treno) {
    t += separatore_sorgenti;
    t += *treno;
  }
  return t;
}

std::string linea_predefinita_testo() { return componi_testo(righe_linea()); }
std::string treno_predefinito_testo() { return componi_testo(righe_treno()); }

// Every occurrence of `da` replaced by `a`.
std::string sostituisci(std::string t, const std::string& da, const std::string& a) {
  for (size_t p = t.find(da); p != std::string::npos; p = t.find(da, p + a.size()))
    t.replace(p, da.size(), a);
  return t;
}

// The seeds' stations have every datum 1, the third included.
std::string stazione(int posizione, int tipo, int lunghezza, const std::string& nome = "STAZIONE") {
  return prova::stazione(posizione, tipo, lunghezza, nome, 1);
}

std::string segnale(int posizione) {
  return "segnale, " + std::to_string(posizione) + ", 2, 3, 1, 0, 0, 0, 0, 0, 0, 240";
}

void predefiniti(std::vector<seme>& s) {
  const std::string l = linea_predefinita_testo();
  const std::string t = treno_predefinito_testo();
  s.push_back({"predefinito_piano", ingresso('1', l, t)});
  s.push_back({"predefinito_senza_piano", ingresso('0', l, t)});
  s.push_back({"predefinito_ripetuto", ingresso('3', l, t)});
  s.push_back({"predefinito_ripetuto_senza_piano", ingresso('2', l, t)});
  s.push_back({"senza_sorgente_treno", ingresso('1', l, std::nullopt)});
  s.push_back({"linea_vuota", ingresso('1', "", t)});
  s.push_back({"treno_vuoto", ingresso('1', l, "")});
  s.push_back({"tutto_vuoto", ingresso('1', "", "")});
  s.push_back({"linea_senza_generale", ingresso('1', sostituisci(l, "[generale]\r\n", ""), t)});
  s.push_back({"treno_senza_generale", ingresso('1', l, sostituisci(t, "[generale]\r\n", ""))});
  s.push_back({"linea_senza_fine", ingresso('1', sostituisci(l, "[fine]\r\n", ""), t)});
  s.push_back({"treno_senza_fine", ingresso('1', l, sostituisci(t, "[fine]\r\n", ""))});
  for (int quarti = 1; quarti <= 3; ++quarti) {
    s.push_back({"linea_troncata_" + std::to_string(quarti) + "_quarti",
                 ingresso('1', l.substr(0, l.size() * quarti / 4), t)});
    s.push_back({"treno_troncato_" + std::to_string(quarti) + "_quarti",
                 ingresso('1', l, t.substr(0, t.size() * quarti / 4))});
  }
  s.push_back({"linea_troncata_nel_numero", ingresso('1', l.substr(0, l.find("96000") + 3), t)});
  s.push_back(
      {"linea_troncata_dopo_chiave", ingresso('1', l.substr(0, l.find("pendenza,") + 9), t)});
  s.push_back(
      {"treno_troncato_nella_stazione", ingresso('1', l, t.substr(0, t.find("BROSSALENTA") + 4))});
  s.push_back(
      {"solo_cr", ingresso('1', sostituisci(l, "\r\n", "\r"), sostituisci(t, "\r\n", "\r"))});
  s.push_back(
      {"solo_lf", ingresso('1', sostituisci(l, "\r\n", "\n"), sostituisci(t, "\r\n", "\n"))});
  s.push_back(
      {"lf_cr", ingresso('1', sostituisci(l, "\r\n", "\n\r"), sostituisci(t, "\r\n", "\n\r"))});
  s.push_back({"maiuscole", ingresso('1',
                                     sostituisci(sostituisci(l, "pendenza", "PENDENZA"),
                                                 "progressiva", "Progressiva"),
                                     sostituisci(t, "velocita", "VELOCIT\xC0"))});
  s.push_back(
      {"tabulazioni", ingresso('1', sostituisci(l, "    ", "\t"), sostituisci(t, "    ", "\t"))});
  s.push_back(
      {"zero_nella_linea",
       ingresso('1', sostituisci(l, "lunghezza percorso", std::string("lunghezza\0 percorso", 19)),
                t)});
  s.push_back({"zero_nel_numero", ingresso('1',
                                           sostituisci(l, "96000",
                                                       std::string("96\0"
                                                                   "000",
                                                                   6)),
                                           t)});
  s.push_back(
      {"zero_nel_nome", ingresso('1', l, sostituisci(t, "MORLA", std::string("MO\0RLA", 6)))});
  s.push_back(
      {"virgole_raddoppiate", ingresso('1', sostituisci(l, ",", ",,"), sostituisci(t, ",", ",,"))});
  s.push_back({"sezioni_scambiate", ingresso('1', sostituisci(l, "[curve]", "[montagne]"), t)});
}

void numeri(std::vector<seme>& s) {
  const std::string t = treno({});
  const std::pair<const char*, const char*> lunghezze[] = {
      {"lunghezza_massima", "1000000"},
      {"lunghezza_oltre_massima", "1000001"},
      {"lunghezza_enorme", "99999999999999"},
      {"lunghezza_32_bit", "2147483647"},
      {"lunghezza_minima_32_bit", "-2147483648"},
      {"lunghezza_sotto_32_bit", "-2147483649"},
      {"lunghezza_zero", "0"},
      {"lunghezza_griglia_minima", "-6950"},
      {"lunghezza_senza_griglia", "-7000"},
      {"lunghezza_con_lettere", "12abc"},
      {"lunghezza_con_segno_piu", "+5000"},
      {"lunghezza_vuota", ""},
      {"lunghezza_con_zeri", "0000000000000000000000000000010000"},
      {"lunghezza_due_segni", "--10000"},
  };
  for (const auto& [nome, valore] : lunghezze) {
    s.push_back({nome, ingresso('1',
                                linea({"curvad4, 500, 300"}, {},
                                      std::string("lunghezza percorso, ") + valore),
                                t)});
  }
  s.push_back({"lunghezza_doppia", ingresso('1', linea({}, {"lunghezza percorso, 20000"}), t)});
  s.push_back({"lunghezza_doppia_poi_sbagliata",
               ingresso('1', linea({}, {"lunghezza percorso, -7000"}), t)});
  s.push_back(
      {"lunghezza_doppia_poi_oltre", ingresso('1', linea({}, {"lunghezza percorso, 1000001"}), t)});
  s.push_back(
      {"senza_lunghezza", ingresso('1', linea({"pendenza, 500, 3"}, {}, "sfondo uno, 5"), t)});
  s.push_back({"milione_con_curve", ingresso('1',
                                             linea({"curvas6, 100, 2000", "curvad1, 500000, 100000",
                                                    "curvas2, 999000, 5000"},
                                                   {}, "lunghezza percorso, 1000000"),
                                             t)});
  s.push_back({"curva_oltre_il_piano", ingresso('1', linea({"curvas4, 9000, 10000"}), t)});
  s.push_back({"curva_fino_alla_fine_del_piano", ingresso('1', linea({"curvas4, 9000, 8000"}), t)});
  s.push_back({"curva_senza_classe", ingresso('1', linea({"curvas, 500, 100"}), t)});
  s.push_back(
      {"curve_sovrapposte", ingresso('1', linea({"curvad5, 500, 400", "curvas3, 600, 100"}), t)});
  s.push_back({"curva_lunghezza_negativa", ingresso('1', linea({"curvad5, 500, -400"}), t)});
  s.push_back({"curva_posizione_negativa", ingresso('1', linea({"curvad5, -500, 100"}), t)});
  s.push_back(
      {"curva_estremi_32_bit", ingresso('1', linea({"curvad5, 2147483647, 2147483647"}), t)});
}

void chiavi_linea(std::vector<seme>& s) {
  const std::string t = treno({"velocita, 0, 80", "aderenza, 0, 100"});
  const std::pair<const char*, righe> corpi[] = {
      {"pendenza",
       {"pendenza, 0, 0", "pendenza, 500, -100", "pendenza, 1000, 155", "pendenza, 1500, 9999"}},
      {"pendenza_negativa", {"pendenza, -500, 3"}},
      {"pendenza_oltre_la_griglia", {"pendenza, 16950, 3", "pendenza, 16850, 3"}},
      {"curve_classi",
       {"curvas1, 100, 50", "curvad2, 200, 50", "curvas3, 300, 50", "curvad4, 400, 50",
        "CURVAS5, 500, 50", "curvad6, 600, 50", "curvad61, 700, 50"}},
      {"montagna",
       {"montagna, 500, 1000, 12", "montagna, 1100, 1500, 11", "montagna, 1700, 1800, 2"}},
      {"montagna_rovescia", {"montagna, 1000, 500, 12"}},
      {"montagna_oltre_la_griglia", {"montagna, 16000, 30000, 12"}},
      {"montagna_negativa", {"montagna, -500, 100, 12"}},
      {"indicatori", {"indicatori_vmax, 550, 80, 80, 80, 0, , , , 0"}},
      {"indicatori_traboccanti", {"indicatori_vmax, 550, 2000, 80, 80, 0, 5, , , 0"}},
      {"indicatori_stessa_cella",
       {"indicatori_vmax, 550, 80, 80, 80, 0, , , , 0",
        "indicatori_vmax, 560, 80, 80, 80, 0, , , , 0"}},
      {"cartello", {"cartello_indicatore, 1500, (Galleria)( PROVA )"}},
      {"cartelli_stessa_cella",
       {"cartello_indicatore, 1500, (A)", "cartello_indicatore, 1510, (B)"}},
      {"cartello_a_inizio", {"cartello_indicatore, 0, (A)", "cartello_indicatore, -30, (B)"}},
      {"cartello_tra_virgolette", {"cartello_indicatore, 1500, \"(A, B)\" resto, dopo"}},
      {"virgolette_aperte", {"cartello_indicatore, 1500, \"(A, B)"}},
      {"chiave_tra_virgolette", {"\"pendenza\", 500, 3"}},
      {"chiave_senza_valori", {"pendenza"}},
      {"due_chiavi_in_un_campo", {"pendenza montagna curvad4, 500, 3, 600, 700, 12, 800, 900"}},
      {"commenti_corpo_2", {"- uno", "- due", "pendenza, 500, 3"}},
      {"commenti_corpo_3", {"- uno", "- due", "- tre", "pendenza, 500, 3"}},
      {"commento_con_virgola", {"- uno, pendenza, 500, 3"}},
      {"intestazione_nel_corpo", {"[generale]", "pendenza, 500, 3", "[fine]", "pendenza, 800, 4"}},
  };
  for (const auto& [nome, corpo] : corpi)
    s.push_back({std::string("linea_") + nome, ingresso('1', linea(corpo), t)});
  // The same sources without the plan: curves are not even read.
  s.push_back({"linea_curve_senza_piano",
               ingresso('0', linea({"curvas, 500, 100", "curvad4, 9000, 10000"}), t)});

  const std::pair<const char*, righe> generali[] = {
      {"progressive",
       {"progressiva chilometrica uno, 0, 0, 0", "progressiva chilometrica due, 1000, 5000, 1",
        "progressiva chilometrica tre, 2000, 4000, 1"}},
      {"progressive_uguali",
       {"progressiva chilometrica uno, 5000, 1000, 1",
        "progressiva chilometrica due, 5000, 2000, 1",
        "progressiva chilometrica tre, 5000, 3000, 1"}},
      {"progressiva_non_multipla", {"progressiva chilometrica due, 1010, 5000, 1"}},
      {"progressiva_traboccante", {"progressiva chilometrica tre, 2147483600, 2147483600, 1"}},
      {"progressiva_maiuscola", {"Progressiva chilometrica uno, 5, 5, 5"}},
      {"sfondi",
       {"sfondo uno, 78700", "sfondo due, 1", "sfondo tre, 3600", "sfondo uno due tre, 1, 2, 3"}},
      {"ripetizione_4", {"ripetizione segnali 4 codici, 1000, 5000"}},
      {"ripetizione_9", {"ripetizione segnali 9 codici, 1000, 0"}},
      {"ripetizione_senza_codici", {"ripetizione segnali codici, 1000, 5000"}},
      {"ripetizione_inizio_sbagliato", {"ripetizione segnali 4 codici, 1010, 5000"}},
      {"ripetizione_fine_sbagliata", {"ripetizione segnali 4 codici, 1000, 5010"}},
      {"commenti_generale_10",
       {"- 1", "- 2", "- 3", "- 4", "- 5", "- 6", "- 7", "- 8", "- 9", "- 10", "sfondo uno, 7"}},
      {"commenti_generale_11",
       {"- 1", "- 2", "- 3", "- 4", "- 5", "- 6", "- 7", "- 8", "- 9", "- 10", "- 11",
        "sfondo uno, 7"}},
  };
  for (const auto& [nome, generale] : generali)
    s.push_back(
        {std::string("generale_") + nome, ingresso('1', linea({"pendenza, 500, 3"}, generale), t)});
  s.push_back({"generale_commenti_fino_alla_fine",
               ingresso('1', "[generale]\r\n- 1\r\n- 2\r\nlunghezza percorso, 5000", t)});
}

void chiavi_treno(std::vector<seme>& s) {
  const std::string l = linea({"pendenza, 0, 0"});
  const std::pair<const char*, righe> corpi[] = {
      {"dati_treno",
       {"numero vetture, 4", "percentuale massa frenata, 120", "sabbia, 300",
        "orologio, 17              33            30 "}},
      {"orologio_16_bit", {"orologio, 32767, -32768, 32768"}},
      {"sabbia_traboccante", {"sabbia, 99999"}},
      {"velocita", {"velocita, 0, 80", "velocita, 2000, 40", "velocita, 5000, 1277"}},
      {"velocita_oltre_byte", {"velocita, 0, 80", "velocita, 2000, 1300", "velocita, 3000, 40"}},
      {"velocita_negativa", {"velocita, 0, -80"}},
      {"velocita_fino_alla_fine", {"velocita, 0, 80", "velocita, 16900, 40"}},
      {"aderenza", {"aderenza, 0, 100", "aderenza, 3000, 300", "aderenza, 6000, -5"}},
      {"segnali", {segnale(1000), segnale(2000), "segnale, 3000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 50"}},
      {"segnale_a_inizio", {segnale(0)}},
      {"segnale_vicino_a_inizio", {segnale(300)}},
      {"segnali_stessa_cella", {segnale(1000), segnale(1010)}},
      {"segnale_valori_enormi",
       {"segnale, 1000, 2147483647, 2147483647, -2147483648, 7, 7, 7, 7, 7, 7, 2147483647"}},
      {"rallentamenti",
       {"rallentamento, 7900, 30, 50, 0, 1, 0", "rallentamento, 3900, 40, 400, 0, 1, 5"}},
      {"rallentamento_veloce", {"rallentamento, 5000, 120, 400, 0, 1, 0"}},
      {"rallentamento_all_inizio", {"rallentamento, 100, 30, 400, 0, 1, 0"}},
      {"rallentamento_alla_fine", {"rallentamento, 16800, 30, 400, 0, 1, 0"}},
      {"rallentamento_corto", {"rallentamento, 5000, 30, 10, 0, 1, 0"}},
      {"rallentamento_lungo", {"rallentamento, 2000, 30, 9000, 0, 1, 0"}},
      {"rallentamento_rovescio", {"rallentamento, 5000, 30, -400, 0, 1, 0"}},
      {"rallentamenti_vicini",
       {"rallentamento, 5000, 30, 100, 0, 1, 0", "rallentamento, 5200, 30, 100, 0, 1, 0",
        "rallentamento, 5400, 30, 100, 0, 1, 0"}},
      {"segnale_prima_dell_avviso",
       {segnale(3500), segnale(3600), "rallentamento, 5000, 30, 400, 0, 1, 0"}},
      {"segnale_dopo_il_rallentamento", {"rallentamento, 5000, 30, 400, 0, 1, 0", segnale(5600)}},
      // Cells taken before the finishing pass places its points.
      {"celle_prese_prima_dell_inizio",
       {"abbattimento, 4800, 60", "abbattimento, 4750, 60", "abbattimento, 4700, 60",
        "rallentamento, 5000, 30, 400, 0, 1, 0"}},
      {"celle_prese_nel_rallentamento",
       {"abbattimento, 5400, 60", "abbattimento, 5500, 60",
        "rallentamento, 5000, 30, 400, 0, 1, 0"}},
      {"celle_prese_prima_del_segnale",
       {"abbattimento, 3450, 0", "abbattimento, 3400, 0", segnale(3450),
        "rallentamento, 5000, 30, 400, 0, 1, 0"}},
      {"abbattimenti",
       {"abbattimento, 2000, 60", "abbattimento, 3000, 0", "abbattimento, 4000, -1",
        "abbattimento, 5000, 70000"}},
      {"abbattimento_cella_uno", {"abbattimento, 50, 7"}},
      {"abbattimento_negativo", {"abbattimento, -50, 7"}},
      {"abbattimento_prima_del_segnale",
       {"abbattimento, 2900, 60", segnale(3000), "rallentamento, 4000, 30, 50, 0, 1, 0"}},
      {"stazioni",
       {stazione(0, 12, 500, "PRIMA"), stazione(3000, 22, 600, "P.M. Km 11.959"),
        stazione(6000, 5, 300), stazione(9000, 7, 300), stazione(12000, 27, 200)}},
      {"stazione_tipo_6_e_8", {stazione(2000, 6, 300), stazione(6000, 8, 300)}},
      {"stazioni_vicine", {stazione(1000, 12, 500), stazione(1500, 12, 500)}},
      {"stazione_non_multipla", {stazione(1010, 12, 500)}},
      {"stazione_area_non_multipla", {stazione(1000, 12, 550)}},
      {"stazione_a_inizio", {stazione(0, 12, 100)}},
      {"stazione_negativa", {stazione(-1000, 12, 400)}},
      {"stazione_oltre_la_griglia", {stazione(16500, 12, 400)}},
      {"stazione_area_enorme", {stazione(5000, 12, 2000000000)}},
      {"stazione_tipo_oltre_byte", {stazione(5000, 256, 400)}},
      {"stazione_orario_enorme",
       {"stazione, 5000, 12, 400, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2147483647, 59, 59, X"}},
      {"stazione_senza_nome", {"stazione, 5000, 12, 400, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 17, 34, 0"}},
      {"commenti_treno_3", {"- uno", "- due", "- tre", "numero vetture, 4"}},
  };
  for (const auto& [nome, corpo] : corpi)
    s.push_back({std::string("treno_") + nome, ingresso('1', l, treno(corpo))});
}

// What the grid or the table cannot hold.
void limiti(std::vector<seme>& s) {
  righe cartelli;
  for (int i = 0; i < 81; ++i)
    cartelli.push_back("cartello_indicatore, " + std::to_string(1000 + 100 * i) + ", (C)");
  s.push_back({"cartelli_81", ingresso('1', linea(cartelli), treno({}))});
  cartelli.pop_back();
  s.push_back({"cartelli_80_e_una_stazione",
               ingresso('1', linea(cartelli), treno({stazione(2000, 12, 400)}))});
  cartelli.resize(3);
  righe stazioni;
  for (int i = 0; i < 78; ++i) stazioni.push_back(stazione(1000 + 1000 * i, 27, 200));
  s.push_back({"stazioni_troppe",
               ingresso('1', linea(cartelli, {}, "lunghezza percorso, 90000"), treno(stazioni))});

  righe montagne;
  for (int i = 0; i < 81; ++i)
    montagne.push_back("montagna, " + std::to_string(1000 + 200 * i) + ", " +
                       std::to_string(1100 + 200 * i) + ", 12");
  const std::string lunga = "lunghezza percorso, 30000";
  s.push_back({"montagne_81", ingresso('1', linea(montagne, {}, lunga), treno({}))});
  montagne.pop_back();
  s.push_back({"montagne_80", ingresso('1', linea(montagne, {}, lunga), treno({}))});

  const std::string lungo(70000, 'N');
  s.push_back({"nome_stazione_troppo_lungo",
               ingresso('1', linea({}), treno({stazione(5000, 12, 400, lungo)}))});
  s.push_back(
      {"cartello_di_65535",
       ingresso('1', linea({"cartello_indicatore, 1500, " + std::string(65535, 'C')}), treno({}))});
  s.push_back(
      {"cartello_di_65536",
       ingresso('1', linea({"cartello_indicatore, 1500, " + std::string(65536, 'C')}), treno({}))});
  s.push_back(
      {"commento_lunghissimo",
       ingresso('1', linea({"- " + std::string(100000, 'x'), "pendenza, 500, 3"}), treno({}))});
  s.push_back({"numero_lunghissimo",
               ingresso('1', linea({"pendenza, " + std::string(5000, '9') + ", 3"}), treno({}))});
  s.push_back({"virgolette_fino_alla_fine",
               ingresso('1', linea({"cartello_indicatore, 1500, \"" + std::string(2000, 'v')}),
                        std::nullopt)});
}

int scrivi_semi(const fs::path& cartella) {
  std::vector<seme> semi;
  predefiniti(semi);
  numeri(semi);
  chiavi_linea(semi);
  chiavi_treno(semi);
  limiti(semi);
  return scrivi_semi_in("genera_semi", cartella, semi);
}

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: genera_semi DIRECTORY\n");
    return 2;
  }
  return scenario::scrivi_semi(argv[1]);
}
