// Every exit status of compila_scenario with its meaning, in one list: the
// default run uses 0 to 4, the authors' tools 0, 2, 3, 4 and 64 to 73. The help
// text prints the list as it stands here, and README.md's table says the same.
#pragma once

#include <array>
#include <string_view>

namespace scenario {

inline constexpr int uscita_normale = 0;
inline constexpr int uscita_errore = 1;            // a fatal error shown as " Errore n. N"
inline constexpr int uscita_disco = 2;             // a file, or standard output, failed
inline constexpr int uscita_codice_errore = 3;     // the sources recorded an error
inline constexpr int uscita_memoria = 4;           // the memory ran out
inline constexpr int uscita_uso = 64;              // a wrong command line
inline constexpr int uscita_file_malformato = 65;  // a compiled file breaks its layout
inline constexpr int uscita_file_esistenti = 73;   // export would replace sources

struct significato_uscita {
  int stato;
  std::string_view testo;  // Italian, for the help; "\n" breaks a long one
};

inline constexpr std::array<significato_uscita, 8> significati_uscita{{
    {uscita_normale, "fatto"},
    {uscita_errore, "errore fatale della compilazione predefinita (\" Errore n. N\")"},
    {uscita_disco,
     "guasto del disco: un file non si legge o non si scrive, o\n"
     "l'uscita standard non si scrive"},
    {uscita_codice_errore,
     "errore nei sorgenti (compile: nessun file compilato scritto; compilazione\n"
     "predefinita: file scritti comunque)"},
    {uscita_memoria, "memoria esaurita"},
    {uscita_uso, "riga di comando sbagliata"},
    {uscita_file_malformato, "file compilato non valido o troppo grande (inspect, draw,\nview)"},
    {uscita_file_esistenti, "export: i sorgenti esistono gia' (usare --force)"},
}};

}  // namespace scenario
