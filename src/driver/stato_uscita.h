// Every exit status of compila_scenario with its meaning, in one list: the
// default run uses 0 to 3, the authors' tools 0, 2, 3 and 64 to 73. The help
// text prints the list as it stands here.
#pragma once

#include <array>
#include <string_view>

namespace scenario {

inline constexpr int uscita_normale = 0;
inline constexpr int uscita_errore = 1;            // a fatal error shown as " Errore n. N"
inline constexpr int uscita_disco = 2;             // a file could not be read or written
inline constexpr int uscita_codice_errore = 3;     // the sources recorded an error
inline constexpr int uscita_uso = 64;              // a wrong command line
inline constexpr int uscita_file_malformato = 65;  // a compiled file breaks its layout
inline constexpr int uscita_file_esistenti = 73;   // export would replace sources

struct significato_uscita {
  int stato;
  std::string_view testo;  // Italian, for the help; "\n" breaks a long one
};

inline constexpr std::array<significato_uscita, 7> significati_uscita{{
    {uscita_normale, "fatto"},
    {uscita_errore, "errore fatale della compilazione predefinita (\" Errore n. N\")"},
    {uscita_disco, "guasto del disco: un file non si legge o non si scrive"},
    {uscita_codice_errore,
     "errore nei sorgenti (compile: nessun file compilato scritto; compilazione\n"
     "predefinita: file scritti comunque)"},
    {uscita_uso, "riga di comando sbagliata"},
    {uscita_file_malformato, "file compilato non valido (inspect, draw)"},
    {uscita_file_esistenti, "export: i sorgenti esistono gia' (usare --force)"},
}};

}  // namespace scenario
