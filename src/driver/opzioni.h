// The authors' command line, GNU style: a command word, its operands, long
// options (any unambiguous prefix, "=" or next word) and short ones anywhere,
// "--" ending the options. The table of options (here) and the caller's table
// of commands drive the reading, the usage errors and the help. Names English,
// messages Italian; no arguments at all is the default run, never read here.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

struct descrizione_comando;

struct richiesta {
  const descrizione_comando* comando = nullptr;  // null with --help or --version
  bool aiuto = false;                            // --help, -h
  bool versione = false;                         // --version
  std::vector<std::string> operandi;             // after the command word
  std::optional<std::string> cartella;           // --dir, -C
  std::optional<std::string> cartella_uscita;    // --output-dir, -o
  std::optional<std::string> tipo;               // --kind
  std::optional<std::string> da_km;              // --from
  std::optional<std::string> a_km;               // --to
  bool json = false;                             // --json
  bool forza = false;                            // --force, -f
  bool tutto = false;                            // --all, -a
  bool avvisi_errori = false;                    // --warnings-as-errors
  bool senza_avvisi = false;                     // --no-warnings, -w
  bool sorveglia = false;                        // --watch
  bool vista = false;                            // --view
  bool disegni = false;                          // --draw
  bool a_intervalli = false;                     // --poll
};

// One command: its word, the names of its operands (their number is the
// number it takes), the long names of the options it accepts, its help (a
// "\n" breaks a long one) and what runs it, returning the exit status.
struct descrizione_comando {
  std::string_view parola;
  std::vector<std::string_view> operandi;
  std::vector<std::string_view> opzioni;
  std::string_view aiuto;
  int (*esegui)(const richiesta& r, std::ostream& out, std::ostream& err);
};

// Either a request or the one-line reason it is not one (without the
// program's name, which the caller puts in front).
struct esito_opzioni {
  std::optional<richiesta> r;
  std::string errore;
};

esito_opzioni interpreta_opzioni(const std::vector<std::string>& argomenti,
                                 std::span<const descrizione_comando> comandi);

std::string testo_aiuto(std::span<const descrizione_comando> comandi);
std::string testo_versione();
// The line after a usage error.
std::string suggerimento_aiuto();

// "30", "30.5" or "30,5" kilometres into metres; none for anything else.
std::optional<double> metri_da_km(std::string_view testo);

}  // namespace scenario
