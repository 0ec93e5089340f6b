// Entry of compila_scenario: no arguments, one run of the built-in scenario in
// the directory that holds the program; with arguments, one of the authors'
// tools, whose standard output is checked to the last byte. Running out of
// memory ends the run with "memoria esaurita" and status 4; anything else the
// platform throws with one line on standard error and status 2; never a crash.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "driver/blocco_cartella.h"
#include "driver/comandi.h"
#include "driver/esecuzione.h"
#include "driver/file_programma.h"
#include "driver/finestra.h"
#include "driver/uscita_standard.h"
#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"

#ifdef _WIN32
#include "driver/errori_standard_win32.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace {

int memoria_esaurita() {
  // Neither the stream nor the words need memory.
  std::fputs("compila_scenario: memoria esaurita\n", stderr);
  return scenario::uscita_memoria;
}

// Set once an allocation has failed. The two handlers below receive no
// argument, so this one fact lives here and nowhere else.
std::atomic<bool>& allocazione_fallita() {
  static std::atomic<bool> fallita{false};
  return fallita;
}

// Called by operator new when memory is lacking: noted, then the usual
// std::bad_alloc, which main (or the parser's own trap) takes.
void memoria_mancante() {
  allocazione_fallita() = true;
  throw std::bad_alloc();
}

// An exception no handler takes (one leaving a destructor, a noexcept
// function or a thread), or none at all when memory lacked even for the
// exception object: out of memory is still said as such.
[[noreturn]] void fine_senza_gestore() {
  if (std::exception_ptr e = std::current_exception()) {
    try {
      std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
      std::_Exit(memoria_esaurita());
    } catch (...) {
    }
  } else if (allocazione_fallita()) {
    std::_Exit(memoria_esaurita());
  }
  std::abort();
}

#ifndef _WIN32
// A standard descriptor the parent closed would be the next file opened: a
// compiled file would then receive our messages, or standard output write
// into an input. A closed one is taken by /dev/null opened for reading only,
// so writing to it still fails (and is reported) as it would have.
void occupa_descrittori_chiusi() {
  for (int d = 0; d <= 2; ++d) {
    if (fcntl(d, F_GETFD) != -1 || errno != EBADF) continue;
    const int n = open("/dev/null", O_RDONLY);
    if (n >= 0 && n != d) {
      dup2(n, d);
      close(n);
    }
  }
}
#endif

int fallimento(const char* motivo) {
  // The system's words may carry a path.
  std::fprintf(stderr, "compila_scenario: %s\n", scenario::nome_stampabile(motivo).c_str());
  return scenario::uscita_disco;
}

int fallimento_io(const scenario::esito_io& e) {
  std::fprintf(stderr, "%s\n", scenario::riga_guasto(e).c_str());
  return scenario::uscita_disco;
}

int avvia() {
  std::filesystem::path cartella;
  if (auto e = scenario::cartella_programma(cartella); !e.ok) return fallimento_io(e);
  auto finestra = scenario::crea_finestra();
  // From writing the sources to deleting them: another run in this folder
  // would read or delete them halfway.
  scenario::blocco_cartella blocco(cartella, std::cerr);
  if (!blocco.esito().ok) return fallimento_io(blocco.esito());
  const scenario::nomi_file n = scenario::nomi_file::predefiniti();
  scenario::togli_rimasugli(cartella, {n.sorgente_linea(), n.sorgente_treno(), n.note(),
                                       n.rallentamenti(), n.scheda_treno(), n.linea_compilata(),
                                       n.treno_compilato(), n.griglia_compilata()});
  scenario::disco_reale disco(cartella);
  return scenario::esegui(disco, *finestra);
}

// A tool: what it writes to standard output is checked to the final flush.
int strumento(int argc, char** argv) {
  scenario::uscita_standard uscita;
  std::ostream out(&uscita);
  const int stato =
      scenario::esegui_comando(std::vector<std::string>(argv + 1, argv + argc), out, std::cerr);
  const std::string motivo = uscita.chiudi();
  if (motivo.empty()) return stato;
  std::fprintf(stderr, "compila_scenario: uscita standard: %s\n", motivo.c_str());
  // A failure the command already reported keeps its own status.
  return stato != scenario::uscita_normale ? stato : scenario::uscita_disco;
}

}  // namespace

int main(int argc, char** argv) {
  std::set_terminate(fine_senza_gestore);
  std::set_new_handler(memoria_mancante);
#ifdef _WIN32
  // Before anything can be written to standard error.
  scenario::errori_standard_win32 errori;
#else
  // Past a file-size limit (ulimit -f) a write fails with EFBIG and is
  // reported like any disk failure, temporaries removed, instead of the
  // signal killing the run silently halfway.
  std::signal(SIGXFSZ, SIG_IGN);
  occupa_descrittori_chiusi();
#endif
  try {
    return argc > 1 ? strumento(argc, argv) : avvia();
  } catch (const std::bad_alloc&) {
    return memoria_esaurita();
  } catch (const std::exception& e) {
    return fallimento(e.what());
  } catch (...) {
    return fallimento("errore imprevisto");
  }
}
