#include "driver/sorveglia.h"

#include <chrono>
#include <ctime>
#include <system_error>

#include "driver/sorvegliante.h"
#include "driver/stato_uscita.h"
#include "sources/nome_stampabile.h"

namespace scenario {

namespace {

// A burst of events (an editor writes, renames, sets attributes) is one
// change when this long passes without another; a stream that never pauses
// still gets its compile after the longest wait.
constexpr int quiete_ms = 200;
constexpr auto attesa_massima = std::chrono::seconds(2);

// The local time of day, HH:MM:SS.
std::string ora() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  if (localtime_s(&tm, &t) != 0) return "--:--:--";
#else
  if (localtime_r(&t, &tm) == nullptr) return "--:--:--";
#endif
  char b[16];
  if (std::strftime(b, sizeof b, "%H:%M:%S", &tm) == 0) return "--:--:--";
  return b;
}

std::string elenco(const std::vector<std::string>& nomi) {
  std::string r;
  for (size_t i = 0; i < nomi.size(); ++i) {
    if (i > 0) r += i + 1 == nomi.size() ? " e " : ", ";
    r += nome_stampabile(nomi[i]);
  }
  return r;
}

void riga(std::ostream& err, const std::string& testo) {
  err << "[" << ora() << "] " << testo << "\n";
  err.flush();
}

std::string esito(int stato) {
  switch (stato) {
    case uscita_normale:
      return "compilazione riuscita: file scritti";
    case uscita_codice_errore:
      return "errori nei sorgenti: i file compilati restano quelli di prima";
    case uscita_disco:
      return "guasto del disco: i file compilati restano quelli di prima";
    default:
      return "compilazione finita con stato " + std::to_string(stato);
  }
}

// Adds the names not yet in `a`.
void unisci(std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (const std::string& n : b) {
    bool presente = false;
    for (const std::string& x : a) presente = presente || x == n;
    if (!presente) a.push_back(n);
  }
}

}  // namespace

impronte_file::impronte_file(std::filesystem::path cartella, std::vector<std::string> nomi)
    : cartella_(std::move(cartella)), nomi_(std::move(nomi)) {
  for (const std::string& n : nomi_) viste_.push_back(leggi(n));
}

impronte_file::impronta impronte_file::leggi(const std::string& nome) const {
  std::error_code ec;
  const std::filesystem::path p = cartella_ / nome;
  impronta i;
  i.dimensione = std::filesystem::file_size(p, ec);
  if (ec) return {};
  i.ora = std::filesystem::last_write_time(p, ec);
  if (ec) return {};
  i.esiste = true;
  return i;
}

std::vector<std::string> impronte_file::confronta() {
  std::vector<std::string> cambiati;
  for (size_t i = 0; i < nomi_.size(); ++i) {
    const impronta ora = leggi(nomi_[i]);
    if (ora == viste_[i]) continue;
    viste_[i] = ora;
    cambiati.push_back(nomi_[i]);
  }
  return cambiati;
}

int sorveglia_sorgenti(const std::filesystem::path& cartella, const std::string& mostrata,
                       const std::vector<std::string>& nomi, bool a_intervalli,
                       const std::function<int()>& compila, std::ostream& err) {
  std::string motivo;
  // Watching starts before the first compile: a save during it is not lost.
  const std::unique_ptr<sorvegliante> s = crea_sorvegliante(cartella, nomi, a_intervalli, motivo);
  if (!s) {
    err << riga_guasto(esito_io::fallito(mostrata, motivo)) << "\n";
    return uscita_disco;
  }
  riga(err, "compilazione di " + elenco(nomi));
  riga(err, esito(compila()));
  for (;;) {
    riga(err, "in attesa di modifiche in " + nome_stampabile(mostrata) + " (" + s->modo() +
                  "); Ctrl-C per finire");
    evento_sorveglianza e = s->attendi(-1);
    std::vector<std::string> cambiati;
    const auto inizio = std::chrono::steady_clock::now();
    while (e.tipo == evento_sorveglianza::modifica) {
      unisci(cambiati, e.nomi);
      if (std::chrono::steady_clock::now() - inizio > attesa_massima) break;
      e = s->attendi(quiete_ms);
    }
    if (e.tipo == evento_sorveglianza::fine) {
      riga(err, "sorveglianza finita");
      return uscita_normale;
    }
    if (e.tipo == evento_sorveglianza::guasto) {
      err << riga_guasto(esito_io::fallito(mostrata, e.motivo)) << "\n";
      return uscita_disco;
    }
    riga(err,
         elenco(cambiati) + " modificat" + (cambiati.size() == 1 ? "o" : "i") + ": compilazione");
    riga(err, esito(compila()));
  }
}

}  // namespace scenario
