// The real program, started as a user starts it: a copy of the executable (and
// of the window module, when built) in a directory of its own, run from
// another working directory, with the environment each case needs.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cartella_prova.h"
#include "driver/finestra_modulo.h"
#include "sources/nomi_file.h"

#ifdef _WIN32
#include "driver/finestra_win32.h"
#include "riquadro_win32.h"
#else
#include "strumenti/processo_prova.h"
#endif

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_prova;
using prova::leggi;
using prova::scrivi;

const nomi_file nomi = nomi_file::predefiniti();

std::vector<std::string> uscite() {
  return {nomi.note(),
          nomi.rallentamenti(),
          nomi.scheda_treno(),
          nomi.linea_compilata(),
          nomi.treno_compilato(),
          nomi.griglia_compilata()};
}

std::vector<std::string> tutti_i_file() {
  std::vector<std::string> tutti = {nomi.sorgente_linea(), nomi.sorgente_treno()};
  for (auto& n : uscite()) tutti.push_back(n);
  return tutti;
}

fs::path modulo_costruito() {
  return fs::path(SCENARIO_PROGRAMMA).parent_path() / nome_modulo_fltk;
}

struct esito_programma {
  int stato = -1;
  std::string errori;  // standard error
  std::string uscita;  // standard output
};

#ifdef _WIN32

std::wstring largo(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The run's environment block: ours, less what is removed, plus what is
// added. Names are compared as the ASCII they are; the block stays wide.
std::wstring ambiente(const std::map<std::string, std::string>& aggiunte,
                      const std::set<std::string>& tolte) {
  std::wstring blocco;
  wchar_t* nostro = GetEnvironmentStringsW();
  for (const wchar_t* v = nostro; *v != L'\0'; v += wcslen(v) + 1) {
    const std::wstring riga = v;
    const std::wstring nome_largo =
        riga.substr(0, riga.find(L'=', 1));  // "=C:=..." names start with '='
    std::string nome;
    for (wchar_t c : nome_largo) nome += static_cast<char>(c);
    if (tolte.count(nome) == 0 && aggiunte.count(nome) == 0) blocco += riga + L'\0';
  }
  FreeEnvironmentStringsW(nostro);
  for (const auto& [nome, valore] : aggiunte) blocco += largo(nome + "=" + valore) + L'\0';
  return blocco + L'\0';
}

// The child's standard input: the null device, inherited.
HANDLE nulla_ereditabile() {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A pipe whose write end the child inherits as a standard handle (under Wine
// a finished child's files can stay open a moment longer, and the test
// directory then cannot be removed; a pipe leaves nothing on disk).
struct tubo {
  HANDLE lettura = nullptr;
  HANDLE scrittura = nullptr;
};

tubo crea_tubo() {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  tubo t;
  if (CreatePipe(&t.lettura, &t.scrittura, &sa, 0))
    SetHandleInformation(t.lettura, HANDLE_FLAG_INHERIT, 0);
  return t;
}

// Takes what is waiting in the pipe, without blocking.
bool prendi(HANDLE h, std::string& dove) {
  DWORD disponibili = 0;
  if (!PeekNamedPipe(h, nullptr, 0, nullptr, &disponibili, nullptr) || disponibili == 0)
    return false;
  std::string blocco(disponibili, '\0');
  DWORD letti = 0;
  if (!ReadFile(h, blocco.data(), disponibili, &letti, nullptr)) return false;
  dove.append(blocco, 0, letti);
  return letti > 0;
}

// Empties both pipes while the child runs (so it never waits on a full one)
// and once more after it ends. The end of the child, not of the pipes, ends
// the reading: a process the child started (under Wine, the desktop) may
// keep a copy of the write ends for the rest of the session.
void svuota_fino_alla_fine(HANDLE processo, HANDLE errori, HANDLE uscita, std::string& e,
                           std::string& u) {
  for (int attesa = 0; attesa < 6000;) {
    const bool letto = prendi(errori, e) | prendi(uscita, u);
    if (letto) continue;
    if (WaitForSingleObject(processo, 10) == WAIT_OBJECT_0) break;
    ++attesa;
  }
  while (prendi(errori, e) | prendi(uscita, u)) {
  }
}

struct processo {
  PROCESS_INFORMATION info{};
  bool avviato = false;
};

// Starts the program with the given standard handles or, with none, as the
// desktop starts it: no handles and no console to attach to.
processo lancia(const fs::path& eseguibile, const std::wstring& ambiente, const fs::path& cartella,
                HANDLE ingresso, HANDLE uscita, HANDLE errori) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ingresso;
  si.hStdOutput = uscita;
  si.hStdError = errori;
  const bool dal_desktop = errori == nullptr;
  std::wstring riga = L"\"" + eseguibile.wstring() + L"\"";
  processo p;
  // Wine now and then refuses a start under load with ERROR_INTERNAL_ERROR
  // before the program runs at all; that start is tried again.
  for (int tentativo = 0; tentativo < 3 && !p.avviato; ++tentativo) {
    p.avviato = CreateProcessW(
                    eseguibile.c_str(), riga.data(), nullptr, nullptr, dal_desktop ? FALSE : TRUE,
                    CREATE_UNICODE_ENVIRONMENT | (dal_desktop ? DETACHED_PROCESS : 0),
                    const_cast<wchar_t*>(ambiente.data()), cartella.c_str(), &si, &p.info) != FALSE;
    if (!p.avviato && GetLastError() != ERROR_INTERNAL_ERROR) break;
  }
  return p;
}

// The exit status; a program still running after a minute is waiting for a
// person (a box nobody closes): it is ended and the test fails.
int attendi(processo& p) {
  int stato = -1;
  if (WaitForSingleObject(p.info.hProcess, 60000) == WAIT_OBJECT_0) {
    DWORD codice = 0;
    if (GetExitCodeProcess(p.info.hProcess, &codice)) stato = static_cast<int>(codice);
  } else {
    ADD_FAILURE() << "the program did not end by itself";
    TerminateProcess(p.info.hProcess, 255);
    WaitForSingleObject(p.info.hProcess, INFINITE);
  }
  CloseHandle(p.info.hThread);
  CloseHandle(p.info.hProcess);
  return stato;
}

// The C runtime writes standard error in text mode on Windows.
std::string senza_cr(std::string testo) {
  std::string r;
  for (size_t i = 0; i < testo.size(); ++i)
    if (!(testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n')) r += testo[i];
  return r;
}

bool con_desktop() { return crea_finestra_win32() != nullptr; }

#endif

class impianto {
 public:
  explicit impianto(bool con_modulo = true) {
    fs::create_directories(programma_);
    fs::create_directories(altrove_);
    fs::copy_file(SCENARIO_PROGRAMMA, eseguibile());
    fs::permissions(eseguibile(), fs::perms::owner_all);
    if (con_modulo && fs::exists(modulo_costruito()))
      fs::copy_file(modulo_costruito(), programma_ / nome_modulo_fltk);
  }

  fs::path eseguibile() const { return programma_ / fs::path(SCENARIO_PROGRAMMA).filename(); }
  const fs::path& cartella() const { return programma_; }
  fs::path operator/(const std::string& nome) const { return programma_ / nome; }

  esito_programma avvia(const std::map<std::string, std::string>& aggiunte = {},
                        const std::set<std::string>& tolte = {}) const {
#ifdef _WIN32
    const tubo e = crea_tubo();
    const tubo u = crea_tubo();
    HANDLE i = nulla_ereditabile();
    processo p = lancia(eseguibile(), ambiente(con_soppressioni(aggiunte), tolte), altrove_, i,
                        u.scrittura, e.scrittura);
    const DWORD errore_avvio = GetLastError();
    for (HANDLE h : {e.scrittura, u.scrittura, i}) CloseHandle(h);
    esito_programma r;
    std::string errori_letti;
    std::string uscita_letta;
    if (p.avviato) {
      svuota_fino_alla_fine(p.info.hProcess, e.lettura, u.lettura, errori_letti, uscita_letta);
      r.stato = attendi(p);
    } else {
      ADD_FAILURE() << "cannot start " << eseguibile().string() << ": error " << errore_avvio;
    }
    CloseHandle(e.lettura);
    CloseHandle(u.lettura);
    r.errori = senza_cr(errori_letti);
    r.uscita = senza_cr(uscita_letta);
    return r;
#else
    const prova::esito_processo e =
        prova::esegui({.programma = eseguibile(),
                       .cartella = altrove_,
                       .uscita = c_ / "stdout.txt",
                       .errori = c_ / "stderr.txt",
                       .ambiente = prova::ambiente_con(con_soppressioni(aggiunte), tolte)});
    EXPECT_TRUE(e.uscito) << "ended by signal " << e.segnale;
    return {.stato = e.stato, .errori = e.errori, .uscita = e.uscita};
#endif
  }

#ifdef _WIN32
  // As a double-click starts it: no standard handles, no console.
  processo lancia_dal_desktop() const {
    return lancia(eseguibile(), ambiente({}, {}), altrove_, nullptr, nullptr, nullptr);
  }
#endif

  // Under the leak checker, a run with a display inherits the font library's
  // lifetime caches; those are the system's, not the program's.
  std::map<std::string, std::string> con_soppressioni(
      std::map<std::string, std::string> aggiunte) const {
    const fs::path file = c_ / "lsan.supp";
    scrivi(file, "leak:libfontconfig.so\n");
    const char* esistenti = std::getenv("LSAN_OPTIONS");
    std::string opzioni =
        esistenti != nullptr && *esistenti != '\0' ? std::string(esistenti) + ":" : "";
    aggiunte["LSAN_OPTIONS"] = opzioni + "print_suppressions=0:suppressions=" + file.string();
    return aggiunte;
  }

  // Every output of a run, by name.
  std::map<std::string, std::string> contenuti() const {
    std::map<std::string, std::string> m;
    for (auto& n : uscite())
      if (fs::is_regular_file(programma_ / n)) m[n] = leggi(programma_ / n);
    return m;
  }

  std::set<std::string> elenco() const {
    std::set<std::string> s;
    for (const auto& v : fs::directory_iterator(programma_)) s.insert(v.path().filename().string());
    return s;
  }

 private:
  cartella_prova c_;
  fs::path programma_ = c_ / "programma";
  fs::path altrove_ = c_ / "altrove";
};

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string riga; std::getline(in, riga);) r.push_back(riga);
  return r;
}

// The lines on standard error besides the console's "Attendere".
std::vector<std::string> messaggi(const std::string& errori) {
  std::vector<std::string> r;
  for (auto& riga : righe(errori))
    if (riga != "Attendere") r.push_back(riga);
  return r;
}

bool con_display() {
  const char* d = std::getenv("DISPLAY");
  return d != nullptr && *d != '\0';
}

std::string registro_caricamenti(const fs::path& cartella) {
  std::string tutto;
  for (const auto& v : fs::directory_iterator(cartella))
    if (v.path().filename().string().rfind("ld.", 0) == 0) tutto += leggi(v.path());
  return tutto;
}

TEST(Programma, UnaRunNormaleLasciaLeSeiUsciteEToglieISorgenti) {
  impianto p;
  esito_programma r = p.avvia();

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_TRUE(messaggi(r.errori).empty()) << r.errori;
  EXPECT_EQ(r.uscita, "");
  std::set<std::string> atteso = {p.eseguibile().filename().string()};
  if (fs::exists(p / nome_modulo_fltk)) atteso.insert(nome_modulo_fltk);
  for (auto& n : uscite()) atteso.insert(n);
  EXPECT_EQ(p.elenco(), atteso);
  for (auto& n : uscite()) EXPECT_GT(fs::file_size(p / n), 0u) << n;
}

TEST(Programma, UnaSecondaRunSostituisceOgniUscitaConGliStessiByte) {
  impianto p;
  ASSERT_EQ(p.avvia().stato, 0);
  const auto prima = p.contenuti();
  ASSERT_EQ(prima.size(), uscite().size());
  // Longer leftovers must not survive at the end of any file.
  for (const auto& [nome, contenuto] : prima) scrivi(p / nome, contenuto + std::string(4096, '#'));

  esito_programma r = p.avvia();

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(p.contenuti(), prima);
}

TEST(Programma, UnFileBloccatoFermaLaRunConUnaRigaCheLoNomina) {
  for (const std::string& bloccato : tutti_i_file()) {
    SCOPED_TRACE(bloccato);
    impianto p;
    ASSERT_EQ(p.avvia().stato, 0);
    const auto prima = p.contenuti();
    fs::remove(p / bloccato);
    fs::create_directory(p / bloccato);
    scrivi(p / bloccato / "dentro", "resta");

    esito_programma r = p.avvia();

    EXPECT_EQ(r.stato, 2);
    // Refused before anything is written: a directory is no output.
    const std::string atteso =
        "compila_scenario: " + (p / bloccato).string() + ": non e' un file regolare";
    EXPECT_EQ(messaggi(r.errori), std::vector<std::string>{atteso}) << r.errori;
    EXPECT_EQ(leggi(p / bloccato / "dentro"), "resta");
    auto dopo = p.contenuti();
    auto attesi = prima;
    attesi.erase(bloccato);
    EXPECT_EQ(dopo, attesi);
    for (const auto& nome : p.elenco())
      EXPECT_NE(fs::path(nome).extension(), ".nuovo") << "temporary left: " << nome;
  }
}

TEST(Programma, SenzaDisplayNonCaricaLaLibreriaGrafica) {
#ifdef _WIN32
  GTEST_SKIP() << "a trace of the GNU loader; Windows builds no toolkit module";
#endif
  impianto p;
  esito_programma r = p.avvia(
      {{"LD_DEBUG", "libs"}, {"LD_DEBUG_OUTPUT", (p.cartella().parent_path() / "ld").string()}},
      {"DISPLAY", "WAYLAND_DISPLAY"});

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "Attendere\n");
  const std::string registro = registro_caricamenti(p.cartella().parent_path());
  ASSERT_NE(registro.find("libc.so"), std::string::npos) << "the loader wrote no trace";
  EXPECT_EQ(registro.find("libfltk"), std::string::npos);
  EXPECT_EQ(registro.find(nome_modulo_fltk), std::string::npos);
}

#ifdef _WIN32
TEST(Programma, ConIlDesktopUsaLaFinestra) {
  if (!con_desktop())
    GTEST_SKIP() << "no desktop to show a window on (under Wine: run under xvfb-run)";
  impianto p;
  esito_programma r = p.avvia();

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "") << "the console was used instead of the window";
}

// Started from the desktop the program has no standard error: what it would
// write there comes up in a box when the run ends, and only then.
TEST(Programma, DalDesktopUnGuastoDelDiscoSiLeggeInUnRiquadro) {
  if (!con_desktop())
    GTEST_SKIP() << "no desktop to show a window on (under Wine: run under xvfb-run)";
  impianto p;
  processo normale = p.lancia_dal_desktop();
  ASSERT_TRUE(normale.avviato) << GetLastError();
  EXPECT_EQ(attendi(normale), 0) << "a run with nothing to report must not wait on a box";
  const auto prima = p.contenuti();
  ASSERT_EQ(prima.size(), uscite().size());

  const std::string bloccato = nomi.scheda_treno();
  fs::remove(p / bloccato);
  fs::create_directory(p / bloccato);
  processo guasto = p.lancia_dal_desktop();
  ASSERT_TRUE(guasto.avviato) << GetLastError();
  const prova::riquadro_letto letto = prova::leggi_e_chiudi_riquadro(guasto.info.dwProcessId);
  const int stato = attendi(guasto);

  ASSERT_TRUE(letto.trovato) << "no box came up";
  EXPECT_EQ(letto.titolo, L"Compilazione scenario");
  const std::string atteso =
      "compila_scenario: " + (p / bloccato).string() + ": non e' un file regolare";
  EXPECT_EQ(letto.testo, largo(atteso));
  EXPECT_EQ(letto.pulsanti, 1);
  EXPECT_EQ(letto.icone, 0);
  EXPECT_EQ(stato, 2);
  auto attesi = prima;
  attesi.erase(bloccato);
  EXPECT_EQ(p.contenuti(), attesi);
}
#endif

TEST(Programma, ConIlDisplayUsaLaFinestra) {
#ifdef _WIN32
  GTEST_SKIP() << "the X display and the toolkit module: on Windows see ConIlDesktopUsaLaFinestra";
#endif
  if (!con_display()) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
  if (!fs::exists(modulo_costruito())) GTEST_SKIP() << "window module not built";
  impianto p;
  esito_programma r = p.avvia(
      {{"LD_DEBUG", "libs"}, {"LD_DEBUG_OUTPUT", (p.cartella().parent_path() / "ld").string()}});

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "") << "the console was used instead of the window";
  EXPECT_NE(registro_caricamenti(p.cartella().parent_path()).find("libfltk"), std::string::npos);
}

TEST(Programma, UnDisplayCheNonSiApreRipiegaSullaConsole) {
  if (!fs::exists(modulo_costruito())) GTEST_SKIP() << "window module not built";
  const std::string display = ":4093";
  ASSERT_FALSE(fs::exists("/tmp/.X11-unix/X4093"));
  impianto p;
  esito_programma r = p.avvia({{"DISPLAY", display}}, {"WAYLAND_DISPLAY"});

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "Attendere\n");
  EXPECT_EQ(p.contenuti().size(), uscite().size());
}

}  // namespace
}  // namespace scenario
