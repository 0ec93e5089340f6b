// A window that keeps what the run asked it to show, so a test can check the
// "Attendere" window and the error boxes without a display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver/finestra.h"

namespace scenario::prova {

class finestra_registro : public finestra {
 public:
  void mostra_attendere() override { ++attendere; }
  void mostra_errore(std::string_view testo) override { errori.emplace_back(testo); }
  int attendere = 0;
  std::vector<std::string> errori;
};

}  // namespace scenario::prova
