// export: the two built-in sources, byte for byte what the default run writes
// (the same writers), put on a disk for an author to start from. Sources
// already there are an author's work: they are replaced only when asked.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "sources/disco.h"
#include "strumenti/esito.h"

namespace scenario {

// The names of the two built-in sources.
std::vector<std::string> sorgenti_predefinite();

// `prefisso` goes before each name in the messages (the directory as the
// user wrote it, with its separator, or nothing).
esito_strumento esporta(disco& d, bool sostituisci_esistenti, const std::string& prefisso,
                        std::ostream& err);

}  // namespace scenario
