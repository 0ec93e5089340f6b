// Every number the error register can hold, named once, with its one-line
// meaning in the program's language. The parser, the placement operations,
// the finishing pass, the compile step and the authors' tools all take their
// numbers from here; README.md's table of meanings is checked against the list.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace scenario {

namespace errori {
inline constexpr int32_t lunghezza_eccessiva = 1;
inline constexpr int32_t progressiva_non_multipla = 2;
inline constexpr int32_t inizio_ripetizione = 3;
inline constexpr int32_t fine_ripetizione = 4;
inline constexpr int32_t ripetizione_senza_codici = 5;
inline constexpr int32_t cartello_occupato = 6;
inline constexpr int32_t abbattimento_occupato = 7;
inline constexpr int32_t stazione_non_multipla = 8;
inline constexpr int32_t area_stazione_non_multipla = 9;
inline constexpr int32_t troppe_stazioni = 10;
inline constexpr int32_t segnale_vicino_avviso = 11;
inline constexpr int32_t prima_dell_inizio = 12;
inline constexpr int32_t dentro_o_dopo = 13;
inline constexpr int32_t oltre_la_griglia = 15;
inline constexpr int32_t segnale_occupato = 16;
inline constexpr int32_t avviso_occupato = 17;
inline constexpr int32_t inizio_occupato = 18;
inline constexpr int32_t fine_occupato = 19;
inline constexpr int32_t approccio_occupato = 20;
inline constexpr int32_t indicatore_occupato = 21;
inline constexpr int32_t stazioni_vicine = 22;
inline constexpr int32_t stazione_in_partenza = 24;
inline constexpr int32_t lettura = 25;
// Our own numbers, for what the description leaves open.
inline constexpr int32_t fuori_griglia = 26;
inline constexpr int32_t troppe_montagne = 27;
inline constexpr int32_t curva_oltre_tracciato = 28;
inline constexpr int32_t troppi_cartelli = 29;
inline constexpr int32_t rallentamento_senza_fine = 30;
// Faults that leave no grid, or stop the compile step before any file.
inline constexpr int32_t linea_mancante = 101;
inline constexpr int32_t generale_mancante = 102;
inline constexpr int32_t curva_senza_classe = 103;
inline constexpr int32_t costanti_presenti = 1250;
inline constexpr int32_t codici_presenti = 1251;
}  // namespace errori

struct significato_errore {
  int32_t numero;
  std::string_view testo;
  bool proprio;  // a number of ours, not of the description
};

inline constexpr std::array<significato_errore, 33> elenco_errori{{
    {errori::lunghezza_eccessiva, "lunghezza del percorso oltre 1000000 m", false},
    {errori::progressiva_non_multipla, "progressiva chilometrica non multipla di 50", false},
    {errori::inizio_ripetizione, "inizio della ripetizione segnali non multiplo di 50", false},
    {errori::fine_ripetizione, "fine della ripetizione segnali non multipla di 50", false},
    {errori::ripetizione_senza_codici, "ripetizione segnali senza 4 o 9 codici", false},
    {errori::cartello_occupato, "cartello indicatore su una cella occupata", false},
    {errori::abbattimento_occupato, "punto di abbattimento su una cella occupata", false},
    {errori::stazione_non_multipla, "posizione della stazione non multipla di 50", false},
    {errori::area_stazione_non_multipla, "lunghezza della stazione non multipla di 100", false},
    {errori::troppe_stazioni, "troppe stazioni per le righe libere della tabella", false},
    {errori::segnale_vicino_avviso,
     "celle occupate prima di un segnale vicino a un avviso di rallentamento", false},
    {errori::prima_dell_inizio, "celle occupate prima dell'inizio di un rallentamento", false},
    {errori::dentro_o_dopo, "celle occupate nel rallentamento o prima del segnale che lo segue",
     false},
    {errori::oltre_la_griglia, "riga oltre la fine della griglia", false},
    {errori::segnale_occupato, "segnale su una cella occupata", false},
    {errori::avviso_occupato, "avviso di rallentamento su una cella occupata", false},
    {errori::inizio_occupato, "inizio di rallentamento su una cella occupata", false},
    {errori::fine_occupato, "fine di rallentamento su una cella occupata", false},
    {errori::approccio_occupato, "celle di approccio del rallentamento occupate", false},
    {errori::indicatore_occupato, "indicatore di velocita' su una cella occupata", false},
    {errori::stazioni_vicine, "stazione a meno di 350 m dalla precedente", false},
    {errori::stazione_in_partenza, "area della stazione che finisce entro i primi 100 m", false},
    {errori::lettura, "errore di lettura o di esecuzione nel file sorgente", false},
    {errori::fuori_griglia, "oggetto fuori dalla griglia del percorso", true},
    {errori::troppe_montagne, "piu' di 80 tratti di montagna", true},
    {errori::curva_oltre_tracciato, "curva oltre la fine del tracciato", true},
    {errori::troppi_cartelli, "piu' di 80 cartelli indicatori", true},
    {errori::rallentamento_senza_fine,
     "rallentamento senza cella di fine prima della fine della griglia", true},
    {errori::linea_mancante, "file sorgente della linea mancante", false},
    {errori::generale_mancante, "[generale] mancante nel file sorgente della linea", false},
    {errori::curva_senza_classe, "curva senza classe o tracciato oltre 1000000 m", false},
    {errori::costanti_presenti, "valori di intestazione gia' presenti", false},
    {errori::codici_presenti, "codici dello scenario gia' presenti", false},
}};

// The meaning of a number; an empty view for a number the compiler never records.
std::string_view descrizione_errore(int32_t codice);

// The faults of the finishing pass, which have no source row of their own.
inline constexpr bool del_completamento(int32_t codice) {
  return codice == errori::segnale_vicino_avviso || codice == errori::prima_dell_inizio ||
         codice == errori::dentro_o_dopo || codice == errori::rallentamento_senza_fine;
}

}  // namespace scenario
