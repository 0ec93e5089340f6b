// The parser's outer frame: the line source, then the train-run source, each
// deleted once read; an abandon deletes the source being read, the failure
// trap deletes both and records 25. Both ways out are caught here and nowhere
// else, so no exception leaves the parser.
#include "compiler/memorizza_dati.h"

#include <array>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "compiler/errori.h"
#include "compiler/memorizza_dati_interno.h"
#include "compiler/misure_griglia.h"
#include "sources/nomi_file.h"

namespace scenario {

namespace {

using namespace lettura;

std::string carica(disco& d, const std::string& nome) {
  std::string testo;
  esito_io e = d.leggi(nome, testo);
  if (!e.ok) throw guasto{std::move(e), std::nullopt};
  return testo;
}

void elimina(disco& d, const std::string& nome) {
  esito_io e = d.elimina(nome);
  if (!e.ok) throw guasto{std::move(e), std::nullopt};
}

void leggi_linea(analisi& a, disco& d, const std::string& nome) {
  a.riga_corrente = {nome, 0, 0};
  a.c = controlli{};
  sorgente f(carica(d, nome), nome, &a.s.diagnostica.avvisi);
  leggi_sorgente_linea(a, f);
  osserva_mancanti(a, nome);
  elimina(d, nome);
  // What follows the body belongs to no row.
  a.riga_corrente = {nome, 0, 0};
  completa_linea(a);
}

void leggi_treno(analisi& a, disco& d, const std::string& nome) {
  a.riga_corrente = {nome, 0, 0};
  // A source that cannot be opened falls into the trap, like a reading failure.
  if (!d.esiste(nome)) fallisci();
  a.c = controlli{};
  a.c.sezione = sezione_sorgente::corpo_treno;
  a.c.linea = false;
  sorgente f(carica(d, nome), nome, &a.s.diagnostica.avvisi);
  leggi_sorgente_treno(a, f);
  osserva_mancanti(a, nome);
  elimina(d, nome);
  a.riga_corrente = {nome, 0, 0};
  completa_treno(a);
}

bool multipli_di_50(const voce_scenario& v) {
  return v.inizio % metri_cella == 0 && v.fine % metri_cella == 0;
}

// The source row of an ordered origin: the one read with the same position
// and flag whose value the ordering kept (or raised by 100), else the first
// faulty one read.
luogo_sorgente luogo_progressiva(const analisi& a, const voce_scenario& ordinata) {
  for (const progressiva_letta& p : a.progressive) {
    const voce_scenario& v = p.valori;
    const bool stessa =
        v.inizio == ordinata.inizio && v.posizione == ordinata.posizione &&
        (int64_t{v.fine} == ordinata.fine || int64_t{v.fine} + 100 == ordinata.fine);
    if (p.luogo.riga > 0 && stessa && !multipli_di_50(v)) return p.luogo;
  }
  for (const progressiva_letta& p : a.progressive) {
    if (p.luogo.riga > 0 && !multipli_di_50(p.valori)) return p.luogo;
  }
  return {};
}

// The kilometric origins, checked once both sources are gone.
void controlla_progressive(analisi& a) {
  stato& s = a.s;
  for (int r = 81; r <= 83; ++r) {
    const voce_scenario& v = s.tabella_scenario[static_cast<size_t>(r)];
    if (!multipli_di_50(v)) {
      s.codice_errore = errori::progressiva_non_multipla;
      s.diagnostica.luogo = luogo_progressiva(a, v);
      annota_errore(s);
    }
  }
}

// Records 25 and deletes both sources where they still exist. The first disk
// failure met is the one returned.
esito_io trappola(stato& s, disco& d, const nomi_file& nomi, esito_io io) {
  s.codice_errore = errori::lettura;
  annota_errore(s);
  for (const std::string& nome : {nomi.sorgente_linea(), nomi.sorgente_treno()}) {
    esito_io e = d.elimina(nome);
    if (!e.ok && io.ok) io = std::move(e);
  }
  return io;
}

esito_io abbandona_sorgente(stato& s, disco& d, const nomi_file& nomi,
                            const std::string& in_lettura, const abbandono& a,
                            const luogo_sorgente& luogo) {
  if (!a.ereditato) s.diagnostica.luogo = luogo;
  s.codice_errore = a.codice;
  if (a.con_posizione) s.posizione_errore = a.posizione;
  if (!a.ereditato) annota_errore(s);
  esito_io e = d.elimina(in_lettura);
  if (!e.ok) return trappola(s, d, nomi, std::move(e));
  return {};
}

// A grid or plan left over from an earlier call of the same state must not
// pass for this call's.
void azzera_costruzione(stato& s) {
  s.percorso.clear();
  s.ultima_cella = 0;
  s.tracciato.libera();
  s.fine_tracciato = 0;
  s.diagnostica = {};
}

// A failure with no grid while no route length was read comes from that row's
// absence: its place is the row that looks like it, or "[generale]".
void luogo_del_guasto(analisi& a, const luogo_sorgente& dove) {
  stato& s = a.s;
  s.diagnostica.luogo = dove;
  s.diagnostica.nota.clear();
  if (a.lunghezza_letta || s.griglia_creata()) return;
  const std::optional<luogo_sorgente> l = a.c.linea ? a.c.lunghezza_simile : std::nullopt;
  if (!l && !(a.c.linea && a.c.generale)) return;
  s.diagnostica.luogo = l ? *l : *a.c.generale;
  s.diagnostica.nota =
      "manca la riga \"lunghezza percorso\" in [generale]: senza di essa la "
      "griglia del percorso non esiste";
}

esito_io leggi_sorgenti(analisi& a, disco& d, const nomi_file& nomi) {
  stato& s = a.s;
  std::string in_lettura = nomi.sorgente_linea();
  try {
    leggi_linea(a, d, in_lettura);
    in_lettura = nomi.sorgente_treno();
    leggi_treno(a, d, in_lettura);
    controlla_progressive(a);
  } catch (const abbandono& e) {
    return abbandona_sorgente(s, d, nomi, in_lettura, e, a.riga_corrente);
  } catch (const guasto& g) {
    luogo_del_guasto(a, g.campo ? *g.campo : a.riga_corrente);
    return trappola(s, d, nomi, g.io);
  } catch (const std::bad_alloc&) {
    luogo_del_guasto(a, a.riga_corrente);
    s.diagnostica.memoria_esaurita = true;
    return trappola(s, d, nomi, {});
  }
  return {};
}

}  // namespace

esito_io memorizza_dati(stato& s, disco& d, uscita_piano* piano) {
  const nomi_file nomi{s.nome_linea, s.nome_treno};
  s.tabella_scenario[riga_linea].nome = s.nome_linea;
  s.tabella_scenario[riga_servizio].nome = s.nome_treno;
  azzera_costruzione(s);
  if (!d.esiste(nomi.sorgente_linea())) {
    s.codice_errore = errori::linea_mancante;
    s.diagnostica.luogo = {nomi.sorgente_linea(), 0, 0};
    annota_errore(s);
    return {};
  }

  analisi a{s, {}, piano, std::nullopt, -1};
  esito_io io = leggi_sorgenti(a, d, nomi);
  // However the reading ended, a route length read leaves its grid (and,
  // with the plan asked for, its plan), empty where nothing was written.
  try {
    crea_dovuti(a);
  } catch (const guasto&) {
    luogo_del_guasto(a, a.riga_corrente);
    io = trappola(s, d, nomi, std::move(io));
  } catch (const std::bad_alloc&) {
    s.diagnostica.luogo = a.riga_corrente;
    s.diagnostica.memoria_esaurita = true;
    io = trappola(s, d, nomi, std::move(io));
  }
  return io;
}

}  // namespace scenario
