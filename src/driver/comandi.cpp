#include "driver/comandi.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "driver/blocco_cartella.h"
#include "driver/esecuzione.h"
#include "driver/file_programma.h"
#include "driver/sorveglia.h"
#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"
#include "strumenti/compila_sorgenti.h"
#include "strumenti/decodifica.h"
#include "strumenti/disegna.h"
#include "strumenti/esporta.h"
#include "strumenti/ispeziona.h"
#include "strumenti/vista.h"

namespace scenario {

namespace {

namespace fs = std::filesystem;

int stato_di(esito_strumento e) {
  switch (e) {
    case esito_strumento::fatto:
      return uscita_normale;
    case esito_strumento::errore_compilazione:
      return uscita_codice_errore;
    case esito_strumento::guasto_disco:
      return uscita_disco;
    case esito_strumento::file_malformato:
      return uscita_file_malformato;
    case esito_strumento::file_esistenti:
      return uscita_file_esistenti;
  }
  return uscita_disco;
}

// A usage message repeats what the user wrote: made printable whole.
int errore_uso(std::ostream& err, const std::string& motivo) {
  err << "compila_scenario: " << nome_stampabile(motivo) << "\n" << suggerimento_aiuto();
  return uscita_uso;
}

int guasto(std::ostream& err, const std::string& file, const std::string& motivo) {
  err << riga_guasto(esito_io::fallito(file, motivo)) << "\n";
  return uscita_disco;
}

// The directory as the user wrote it, ready to go before a file name; the
// current directory, unnamed, adds nothing.
std::string prefisso(const std::optional<std::string>& cartella) {
  return cartella ? (fs::path(*cartella) / "").string() : std::string();
}

// An identifier becomes part of file names: it must name no other directory.
bool identificatore_valido(const std::string& id) {
  return !id.empty() && id.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

// Names equal but for the case of ASCII letters name one file on Windows (and
// on any folder copied there), so they count as one name everywhere.
bool stesso_nome(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto minuscola = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (minuscola(a[i]) != minuscola(b[i])) return false;
  }
  return true;
}

// Two outputs of one command under one name: the second would overwrite the
// first. Returns the usage message, or nothing when every name is its own.
std::optional<std::string> nomi_in_conflitto(const std::vector<std::string>& uscite) {
  for (size_t i = 0; i < uscite.size(); ++i) {
    for (size_t j = i + 1; j < uscite.size(); ++j) {
      if (!stesso_nome(uscite[i], uscite[j])) continue;
      if (uscite[i] == uscite[j])
        return "due file da scrivere avrebbero lo stesso nome, " + uscite[i] +
               ": scegliere altri identificatori";
      return "due file da scrivere, " + uscite[i] + " e " + uscite[j] +
             ", sarebbero lo stesso file dove le maiuscole non contano: scegliere altri "
             "identificatori";
    }
  }
  return std::nullopt;
}

// A directory to write into, made (with its parents) when missing.
bool prepara_cartella(const fs::path& cartella, std::ostream& err) {
  std::error_code ec;
  // A link to nothing: the system would only say that the name exists.
  if (fs::is_symlink(fs::symlink_status(cartella, ec)) && !fs::exists(cartella, ec)) {
    const fs::path meta = fs::read_symlink(cartella, ec);
    guasto(err, cartella.string(),
           "collegamento simbolico a una cartella inesistente (" + meta.string() + ")");
    return false;
  }
  fs::create_directories(cartella, ec);
  if (!ec && fs::is_directory(cartella, ec)) return true;
  guasto(err, cartella.string(), ec ? ec.message() : "non e' una cartella");
  return false;
}

// A directory to read from must exist.
bool cartella_esistente(const fs::path& cartella, std::ostream& err) {
  std::error_code ec;
  if (fs::is_directory(cartella, ec)) return true;
  guasto(err, cartella.string(),
         fs::exists(cartella, ec) ? "non e' una cartella" : "cartella inesistente");
  return false;
}

// Only plain files are read whole: a device or a pipe could be endless.
bool non_regolare(const fs::path& p, std::ostream& err) {
  std::error_code ec;
  if (!fs::exists(p, ec) || fs::is_regular_file(p, ec)) return false;
  guasto(err, p.string(), "non e' un file regolare");
  return true;
}

// For export a source name is taken by anything standing there, a link to
// nothing included: only --force replaces it.
class disco_esportazione : public disco_reale {
 public:
  using disco_reale::disco_reale;
  bool esiste(const std::string& nome) override {
    std::error_code ec;
    return fs::exists(fs::symlink_status(percorso(nome), ec));
  }
};

// The program's own directory: the next run without arguments writes its
// built-in sources over these and then deletes them.
bool cartella_del_programma(const fs::path& cartella) {
  fs::path programma;
  if (!cartella_programma(programma).ok) return false;
  std::error_code ec;
  return fs::equivalent(cartella, programma, ec);
}

int esporta_in(const richiesta& r, std::ostream&, std::ostream& err) {
  const fs::path cartella = r.operandi[0];
  if (!prepara_cartella(cartella, err)) return uscita_disco;
  blocco_cartella blocco(cartella, err);
  if (!blocco.esito().ok) return guasto(err, blocco.esito().file, blocco.esito().motivo);
  togli_rimasugli(cartella, sorgenti_predefinite());
  disco_esportazione d(cartella);
  const int stato = stato_di(esporta(d, r.forza, prefisso(r.operandi[0]), err));
  if (stato == uscita_normale && cartella_del_programma(cartella)) {
    err << "compila_scenario: avviso: " << r.operandi[0]
        << " e' la cartella del programma: la prossima esecuzione senza argomenti\n"
           "sovrascrive questi sorgenti con quelli predefiniti e poi li elimina\n";
  }
  return stato;
}

// compile and draw: two identifiers, the directory read (where no file of
// the scenario may be anything but a plain file), the one written.
// What is wrong with the two identifiers as file names, before anything is
// read or written: a character naming another directory, or two outputs that
// would take one name.
template <typename nomi_uscite>
std::optional<std::string> errore_identificatori(const richiesta& r, nomi_uscite uscite) {
  for (const std::string& id : r.operandi) {
    if (!identificatore_valido(id)) return "identificatore non valido: '" + id + "'";
  }
  return nomi_in_conflitto(uscite(nomi_file{r.operandi[0], r.operandi[1]}));
}

template <typename nomi_uscite, typename strumento>
int con_identificatori(const richiesta& r, std::ostream& err, nomi_uscite uscite, strumento fai) {
  if (auto errore = errore_identificatori(r, uscite)) return errore_uso(err, *errore);
  const nomi_file n{r.operandi[0], r.operandi[1]};
  const fs::path letta = r.cartella.value_or(".");
  if (!cartella_esistente(letta, err)) return uscita_disco;
  for (const std::string& f : {n.sorgente_linea(), n.sorgente_treno(), n.linea_compilata(),
                               n.treno_compilato(), n.griglia_compilata()}) {
    if (non_regolare(letta / f, err)) return uscita_disco;
  }
  const fs::path scritta = r.cartella_uscita ? fs::path(*r.cartella_uscita) : letta;
  if (r.cartella_uscita && !prepara_cartella(scritta, err)) return uscita_disco;
  // Runs writing into one folder take turns, so every set there is one run's.
  blocco_cartella blocco(scritta, err);
  if (!blocco.esito().ok) return guasto(err, blocco.esito().file, blocco.esito().motivo);
  togli_rimasugli(scritta, uscite(n));
  disco_reale ingresso(letta);
  disco_reale uscita(scritta);
  return stato_di(fai(ingresso, uscita, r.operandi[0], r.operandi[1], prefisso(r.cartella), err));
}

int ispeziona_file(const richiesta& r, std::ostream& out, std::ostream& err) {
  const std::string& nome = r.operandi[0];
  const std::optional<tipo_file> tipo = r.tipo ? tipo_da_parola(*r.tipo) : tipo_da_nome(nome);
  if (!tipo)
    return errore_uso(err,
                      "tipo di file sconosciuto per " + nome + ": usare --kind=plan|table|grid");
  opzioni_ispezione o;
  o.json = r.json;
  o.tutto = r.tutto;
  // Checked when the line was read.
  if (r.da_km) o.da = metri_da_km(*r.da_km);
  if (r.a_km) o.a = metri_da_km(*r.a_km);
  if (o.da && o.a && *o.da > *o.a)
    return errore_uso(err, "--from " + *r.da_km + " sta oltre --to " + *r.a_km);
  const fs::path p = nome;
  if (non_regolare(p, err)) return uscita_disco;
  disco_reale d(p.parent_path());
  std::string dati;
  if (auto fallito = leggi_compilato(d, p.filename().string(), *tipo, nome, dati, err))
    return stato_di(*fallito);
  return stato_di(ispeziona(dati, *tipo, nome, o, out, err));
}

int compila(const richiesta& r, std::ostream&, std::ostream& err) {
  const trattamento_avvisi avvisi = r.avvisi_errori  ? trattamento_avvisi::errori
                                    : r.senza_avvisi ? trattamento_avvisi::silenzia
                                                     : trattamento_avvisi::mostra;
  const prodotti_compilazione prodotti{r.vista, r.disegni};
  // The page and the pictures, when asked for, are outputs of the same set.
  const auto uscite = [prodotti](const nomi_file& n) {
    std::vector<std::string> nomi{n.linea_compilata(), n.treno_compilato(), n.griglia_compilata()};
    if (prodotti.vista) nomi.push_back(n.vista());
    if (prodotti.disegni) {
      nomi.push_back(n.pianta());
      nomi.push_back(n.profilo());
    }
    return nomi;
  };
  const auto una_volta = [&r, &err, avvisi, prodotti, uscite] {
    return con_identificatori(r, err, uscite, [avvisi, prodotti](auto&&... a) {
      return compila_sorgenti(a..., avvisi, prodotti);
    });
  };
  if (r.a_intervalli && !r.sorveglia)
    return errore_uso(err, "l'opzione --poll vale solo con --watch");
  if (!r.sorveglia) return una_volta();
  if (auto errore = errore_identificatori(r, uscite)) return errore_uso(err, *errore);
  const nomi_file n{r.operandi[0], r.operandi[1]};
  return sorveglia_sorgenti(r.cartella.value_or("."), r.cartella.value_or("."),
                            {n.sorgente_linea(), n.sorgente_treno()}, r.a_intervalli, una_volta,
                            err);
}

int disegna_scenario(const richiesta& r, std::ostream&, std::ostream& err) {
  return con_identificatori(
      r, err,
      [](const nomi_file& n) {
        return std::vector<std::string>{n.pianta(), n.profilo()};
      },
      disegna);
}

int mostra_scenario(const richiesta& r, std::ostream&, std::ostream& err) {
  return con_identificatori(
      r, err, [](const nomi_file& n) { return std::vector<std::string>{n.vista()}; }, vista);
}

// Built at the first call, inside main's handlers: nothing of ours allocates
// before main, where running out of memory could not be reported.
const std::vector<descrizione_comando>& comandi() {
  static const std::vector<descrizione_comando> tabella{
      {"export",
       {"CARTELLA"},
       {"force"},
       "scrive in CARTELLA (creata se manca) i due sorgenti dello\n"
       "scenario predefinito, da cui partire",
       esporta_in},
      {"compile",
       {"LINEA", "TRENO"},
       {"dir", "output-dir", "warnings-as-errors", "no-warnings", "watch", "view", "draw", "poll"},
       "compila LINEA_linea.txt e LINEA_TRENO-.txt e scrive\n"
       "LINEA_linea.dat, LINEA_TRENO.sim e LINEA_TRENO.dat;\n"
       "i sorgenti restano; con un errore indica file, riga e\n"
       "colonna e non scrive nulla; con --watch ricompila a ogni\n"
       "salvataggio",
       compila},
      {"inspect",
       {"FILE"},
       {"json", "kind", "all", "from", "to"},
       "decodifica un file compilato in testo leggibile, in metri,\n"
       "km/h e per mille (*_linea.dat: piano, *.sim: tabella,\n"
       "altri *.dat: griglia)",
       ispeziona_file},
      {"draw",
       {"LINEA", "TRENO"},
       {"dir", "output-dir"},
       "da uno scenario compilato disegna la pianta e il profilo\n"
       "della linea: LINEA_TRENO_pianta.svg, LINEA_TRENO_profilo.svg",
       disegna_scenario},
      {"view",
       {"LINEA", "TRENO"},
       {"dir", "output-dir"},
       "da uno scenario compilato scrive LINEA_TRENO_vista.html:\n"
       "pianta e profilo collegati per chilometro, con la tabella\n"
       "di ogni oggetto; si apre in un browser, senza rete",
       mostra_scenario},
  };
  return tabella;
}

}  // namespace

std::span<const descrizione_comando> tabella_comandi() { return comandi(); }

int esegui_comando(const std::vector<std::string>& argomenti, std::ostream& out,
                   std::ostream& err) {
  const esito_opzioni o = interpreta_opzioni(argomenti, comandi());
  if (!o.r) return errore_uso(err, o.errore);
  const richiesta& r = *o.r;
  if (r.aiuto) {
    out << testo_aiuto(comandi());
    return uscita_normale;
  }
  if (r.versione) {
    out << testo_versione();
    return uscita_normale;
  }
  return r.comando->esegui(r, out, err);
}

}  // namespace scenario
