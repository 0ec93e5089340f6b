// Linux: inotify on the sources' folder and a signalfd for SIGINT, SIGTERM and
// SIGHUP (blocked while the watch runs, so they arrive as data, never in the
// middle of a compile), both waited on with poll(); the periodic reading
// waits on the signalfd between two looks. (Windows: sorvegliante_win32.cpp.)
#ifndef _WIN32

#include "driver/sorvegliante.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace scenario {

namespace {

class descrittore {
 public:
  explicit descrittore(int fd = -1) : fd_(fd) {}
  descrittore(const descrittore&) = delete;
  descrittore& operator=(const descrittore&) = delete;
  ~descrittore() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

std::string errore_sistema(const char* cosa) {
  return std::string(cosa) + ": " + std::strerror(errno);
}

class sorvegliante_linux : public sorvegliante {
 public:
  sorvegliante_linux(const std::filesystem::path& cartella, std::vector<std::string> nomi,
                     bool a_intervalli, std::string& motivo)
      : nomi_(nomi), impronte_(cartella, std::move(nomi)) {
    sigset_t segnali;
    sigemptyset(&segnali);
    sigaddset(&segnali, SIGINT);
    sigaddset(&segnali, SIGTERM);
    sigaddset(&segnali, SIGHUP);
    if (pthread_sigmask(SIG_BLOCK, &segnali, &prima_) != 0) {
      motivo = "impossibile trattenere i segnali";
      return;
    }
    bloccati_ = true;
    segnali_ = std::make_unique<descrittore>(signalfd(-1, &segnali, SFD_CLOEXEC | SFD_NONBLOCK));
    if (segnali_->fd() < 0) {
      motivo = errore_sistema("signalfd");
      return;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(cartella, ec)) {
      motivo = "cartella inesistente";
      return;
    }
    if (!a_intervalli) {
      // Without inotify (its limits reached, a kernel without it) the
      // periodic reading serves.
      auto in = std::make_unique<descrittore>(inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
      constexpr uint32_t eventi = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE |
                                  IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF |
                                  IN_MOVE_SELF | IN_ONLYDIR;
      if (in->fd() >= 0 && inotify_add_watch(in->fd(), cartella.c_str(), eventi) >= 0) {
        inotify_ = std::move(in);
      }
    }
    pronto_ = true;
  }

  ~sorvegliante_linux() override {
    segnali_.reset();
    if (bloccati_) pthread_sigmask(SIG_SETMASK, &prima_, nullptr);
  }

  bool pronto() const { return pronto_; }

  std::string modo() const override {
    return inotify_ ? "inotify" : "controllo ogni mezzo secondo";
  }

  evento_sorveglianza attendi(int millisecondi) override {
    using orologio = std::chrono::steady_clock;
    const auto scadenza = orologio::now() + std::chrono::milliseconds(millisecondi);
    for (;;) {
      if (!inotify_) {
        if (std::vector<std::string> c = impronte_.confronta(); !c.empty())
          return {evento_sorveglianza::modifica, std::move(c), {}};
      }
      int attesa = inotify_ ? millisecondi : impronte_file::intervallo_ms;
      if (millisecondi >= 0) {
        const auto resto =
            std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - orologio::now())
                .count();
        if (resto <= 0) return {};
        attesa = static_cast<int>(std::min<long long>(attesa, resto));
      }
      pollfd fd[2] = {{segnali_->fd(), POLLIN, 0}, {inotify_ ? inotify_->fd() : -1, POLLIN, 0}};
      const int n = poll(fd, 2, attesa);
      if (n < 0 && errno != EINTR) return {evento_sorveglianza::guasto, {}, errore_sistema("poll")};
      if (n <= 0) continue;
      if (fd[0].revents != 0) {
        signalfd_siginfo info{};
        if (read(segnali_->fd(), &info, sizeof info) == static_cast<ssize_t>(sizeof info))
          return {evento_sorveglianza::fine, {}, {}};
      }
      if (fd[1].revents != 0) {
        evento_sorveglianza e = leggi_inotify();
        if (e.tipo != evento_sorveglianza::nulla) return e;
      }
    }
  }

 private:
  // The events waiting: a source's name, the queue overflowing (a change may
  // be among those lost) or the folder gone.
  evento_sorveglianza leggi_inotify() {
    evento_sorveglianza r;
    alignas(inotify_event) char b[16384];
    for (;;) {
      const ssize_t n = read(inotify_->fd(), b, sizeof b);
      if (n <= 0) break;
      for (ssize_t i = 0; i + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
        inotify_event e{};
        std::memcpy(&e, b + i, sizeof e);
        const char* testo = b + i + sizeof(inotify_event);
        const std::string nome(testo, e.len > 0 ? strnlen(testo, e.len) : 0);
        i += static_cast<ssize_t>(sizeof(inotify_event) + e.len);
        if ((e.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
          return {evento_sorveglianza::guasto, {}, "la cartella e' stata rimossa o spostata"};
        }
        if ((e.mask & IN_Q_OVERFLOW) != 0) {
          r.tipo = evento_sorveglianza::modifica;
          for (const std::string& x : nomi_) aggiungi(r, x);
          continue;
        }
        for (const std::string& x : nomi_) {
          if (x == nome) {
            r.tipo = evento_sorveglianza::modifica;
            aggiungi(r, x);
          }
        }
      }
    }
    return r;
  }

  static void aggiungi(evento_sorveglianza& e, const std::string& nome) {
    for (const std::string& x : e.nomi) {
      if (x == nome) return;
    }
    e.nomi.push_back(nome);
  }

  std::vector<std::string> nomi_;
  impronte_file impronte_;
  sigset_t prima_{};
  bool bloccati_ = false;
  bool pronto_ = false;
  std::unique_ptr<descrittore> segnali_;
  std::unique_ptr<descrittore> inotify_;
};

}  // namespace

std::unique_ptr<sorvegliante> crea_sorvegliante(const std::filesystem::path& cartella,
                                                const std::vector<std::string>& nomi,
                                                bool a_intervalli, std::string& motivo) {
  auto s = std::make_unique<sorvegliante_linux>(cartella, nomi, a_intervalli, motivo);
  if (!s->pronto()) return nullptr;
  return s;
}

}  // namespace scenario

#endif  // _WIN32
