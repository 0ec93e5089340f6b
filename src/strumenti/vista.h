// view: one self-contained HTML page of a scenario (LINEA_TRENO_vista.html):
// draw's plan and profile inline, linked by the position along the route (a
// place pointed at on either, or chosen on a km slider, is marked on both,
// with what lies there), pan and zoom on the plan, and the table of every
// object, filtered by text and by km range, each row marking its object on
// both drawings. CSS and script inline, nothing fetched: it works opened from
// disk. Made from the sources (compile --view), it lists the compile's
// messages at the top with file and line, and shows what compiled in memory
// even when the compiled files were not written.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "sources/disco.h"
#include "sources/nomi_file.h"
#include "strumenti/diagnosi.h"
#include "strumenti/elementi.h"
#include "strumenti/esito.h"

namespace scenario {

// The compile behind a page made from the sources.
struct compilazione_vista {
  std::vector<messaggio_diagnosi> messaggi;
  bool scritti = false;  // the compiled files were written
  bool fatale = false;   // no compiled file came out: nothing to draw
};

// The page; `s` null when there is nothing to draw, `c` null for a page
// made from compiled files alone.
std::string pagina_vista(const nomi_file& nomi, const scenario_compilato* s,
                         const compilazione_vista* c);

// view: the three compiled files read from `ingresso`, the page written to
// `uscita`. `prefisso_ingresso` goes before the compiled files' names in the
// messages.
esito_strumento vista(disco& ingresso, disco& uscita, const std::string& nome_linea,
                      const std::string& nome_treno, const std::string& prefisso_ingresso,
                      std::ostream& err);

}  // namespace scenario
