#include "driver/blocco_cartella.h"

#ifndef _WIN32

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace scenario {

blocco_cartella::blocco_cartella(const std::filesystem::path& cartella, std::ostream& err)
    : file_(cartella / nome_blocco) {
  bool avvisato = false;
  for (;;) {
    const int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      // A folder nobody may write into needs no turns: the run's first write
      // fails there and names its own file.
      if (errno != EACCES && errno != EROFS && errno != EPERM)
        esito_ = esito_io::fallito(file_.string(), std::strerror(errno));
      return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) {
        esito_ = esito_io::fallito(file_.string(), std::strerror(errno));
        ::close(fd);
        return;
      }
      annuncia_attesa(err, cartella, avvisato);
      int r = 0;
      while ((r = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
      }
      if (r != 0) {
        esito_ = esito_io::fallito(file_.string(), std::strerror(errno));
        ::close(fd);
        return;
      }
    }
    // The holder before us removed the file it locked: ours must still be
    // the one at the name, else another run may lock that one meanwhile.
    struct stat aperto {};
    struct stat al_nome {};
    if (::fstat(fd, &aperto) == 0 && ::lstat(file_.c_str(), &al_nome) == 0 &&
        aperto.st_dev == al_nome.st_dev && aperto.st_ino == al_nome.st_ino) {
      fd_ = fd;
      return;
    }
    ::close(fd);
  }
}

blocco_cartella::~blocco_cartella() {
  if (fd_ < 0) return;
  ::unlink(file_.c_str());
  ::close(fd_);
}

}  // namespace scenario

#endif  // _WIN32
