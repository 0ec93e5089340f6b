// The command line of the authors' tools, GNU style: a command word and its
// operands, long options ("--dir DIR", "--dir=DIR", or any unambiguous
// prefix) and short ones ("-C DIR", "-CDIR", "-fC DIR") anywhere among them,
// "--" ending the options. Names of commands and options are English, every
// message and the usage text Italian. No arguments at all is the default run,
// which never comes here.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace scenario {

enum class comando { aiuto, versione, esporta, compila, ispeziona, disegna };

struct richiesta {
  comando cosa = comando::aiuto;
  std::vector<std::string> operandi;           // after the command word
  std::optional<std::string> cartella;         // --dir, -C
  std::optional<std::string> cartella_uscita;  // --output-dir, -o
  std::optional<std::string> tipo;             // --kind
  bool json = false;                           // --json
  bool forza = false;                          // --force, -f
};

// Either a request or the one-line reason it is not one (without the
// program's name, which the caller puts in front).
struct esito_opzioni {
  std::optional<richiesta> r;
  std::string errore;
};

esito_opzioni interpreta_opzioni(const std::vector<std::string>& argomenti);

std::string testo_aiuto();
std::string testo_versione();
// The line after a usage error.
std::string suggerimento_aiuto();

}  // namespace scenario
