#include "strumenti/ispeziona.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "strumenti/elementi.h"
#include "strumenti/nomi_tipi.h"

namespace scenario {

namespace {

struct campo {
  const char* nome;
  int64_t valore;
};

// The cell's fields in file order.
std::array<campo, 11> campi(const cella& c) {
  return {{{"tipo_cella", c.tipo_cella},
           {"valore1", c.valore1},
           {"valore2", c.valore2},
           {"valore3", c.valore3},
           {"valore4", c.valore4},
           {"tempo_segnale", c.tempo_segnale},
           {"avvicinamento", c.avvicinamento},
           {"tipo_montagna", c.tipo_montagna},
           {"vel_limite", c.vel_limite},
           {"pendenza", c.pendenza},
           {"aderenza", c.aderenza}}};
}

// The row's numeric fields in declaration order; `nome` stands after the first five.
constexpr size_t campi_prima_del_nome = 5;
std::array<campo, 15> campi(const voce_scenario& v) {
  return {{{"tipo", v.tipo},
           {"inizio", v.inizio},
           {"fine", v.fine},
           {"posizione", v.posizione},
           {"dato1", v.dato1},
           {"dato4", v.dato4},
           {"dato5", v.dato5},
           {"dato7", v.dato7},
           {"dato8", v.dato8},
           {"dato9", v.dato9},
           {"dato6", v.dato6},
           {"dato10", v.dato10},
           {"dato3", v.dato3},
           {"dato2", v.dato2},
           {"orario", v.orario}}};
}

std::string numero(double x) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
  std::array<char, 32> b{};
  auto [fine, ec] = std::to_chars(b.data(), b.data() + b.size(), x);
  return ec == std::errc{} ? std::string(b.data(), fine) : std::string("?");
}

std::string esadecimale(unsigned char c) {
  std::array<char, 8> b{};
  std::snprintf(b.data(), b.size(), "%02X", c);
  return b.data();
}

// Printable ASCII as it stands, quotes and backslashes escaped, any other byte \xNN.
std::string testo_leggibile(const std::string& s) {
  std::string r = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      r += '\\';
      r += ch;
    } else if (c >= 0x20 && c < 0x7F) {
      r += ch;
    } else {
      r += "\\x" + esadecimale(c);
    }
  }
  return r + "\"";
}

// A JSON string of single-byte text read as Latin-1: every byte outside
// printable ASCII becomes \u00NN, so the output is plain ASCII.
std::string testo_json(const std::string& s) {
  std::string r = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      r += '\\';
      r += ch;
    } else if (c >= 0x20 && c < 0x7F) {
      r += ch;
    } else {
      r += "\\u00" + esadecimale(c);
    }
  }
  return r + "\"";
}

const char* nome_valore(tipo_valore t) {
  switch (t) {
    case tipo_valore::intero:
      return "intero";
    case tipo_valore::doppio:
      return "doppio";
    case tipo_valore::vuoto:
      break;
  }
  return "vuoto";
}

std::string valore_leggibile(const tracciato& t, int32_t m, int colonna) {
  const tipo_valore tipo = t.tipo(m, colonna);
  if (tipo == tipo_valore::vuoto) return "vuoto";
  return numero(t.valore(m, colonna)) + " (" + nome_valore(tipo) + ")";
}

// A JSON number, or for a value JSON cannot hold (not finite) its name as a string.
std::string numero_json(double x) {
  const std::string n = numero(x);
  return std::isfinite(x) ? n : "\"" + n + "\"";
}

std::string valore_json(const tracciato& t, int32_t m, int colonna) {
  return t.tipo(m, colonna) == tipo_valore::vuoto ? "null" : numero_json(t.valore(m, colonna));
}

const char* nome_tipo_file(tipo_file t) {
  switch (t) {
    case tipo_file::piano:
      return "piano";
    case tipo_file::tabella:
      return "tabella";
    case tipo_file::griglia:
      break;
  }
  return "griglia";
}

void intestazione_json(std::ostream& out, const std::string& nome, tipo_file tipo) {
  out << "{\"file\":" << testo_json(nome) << ",\"tipo\":\"" << nome_tipo_file(tipo) << "\"";
}

}  // namespace

void scrivi_griglia(std::ostream& out, const std::string& nome, const std::vector<cella>& celle) {
  out << "griglia " << nome << ": " << celle.size() << " celle\n";
  for (size_t i = 0; i < celle.size(); ++i) {
    out << "cella " << i << ":";
    const auto cc = campi(celle[i]);
    for (size_t k = 0; k < cc.size(); ++k) {
      out << ' ' << cc[k].nome << '=' << cc[k].valore;
      if (k == 0) out << " (" << nome_tipo_cella(celle[i].tipo_cella) << ")";
    }
    out << "\n";
  }
}

void scrivi_tabella(std::ostream& out, const std::string& nome, const tabella& t) {
  out << "tabella " << nome << ": " << t.size() << " righe\n";
  for (size_t r = 0; r < t.size(); ++r) {
    out << "riga " << r;
    if (const char* ru = ruolo_riga(r, t[r])) out << " (" << ru << ")";
    out << ":";
    const auto cc = campi(t[r]);
    for (size_t k = 0; k < cc.size(); ++k) {
      if (k == campi_prima_del_nome) out << " nome=" << testo_leggibile(t[r].nome);
      out << ' ' << cc[k].nome << '=' << cc[k].valore;
    }
    out << "\n";
  }
}

void scrivi_piano(std::ostream& out, const std::string& nome, const tracciato& t) {
  const int32_t punti = t.allocato() ? t.fine() + 1 : 0;
  out << "piano " << nome << ": " << punti << " punti\n";
  for (int32_t m = 0; m < punti; ++m) {
    out << "punto " << m << ": " << valore_leggibile(t, m, 0) << ' ' << valore_leggibile(t, m, 1)
        << "\n";
  }
}

void scrivi_griglia_json(std::ostream& out, const std::string& nome,
                         const std::vector<cella>& celle) {
  intestazione_json(out, nome, tipo_file::griglia);
  out << ",\"celle\":[";
  for (size_t i = 0; i < celle.size(); ++i) {
    out << (i == 0 ? "\n" : ",\n") << "{\"indice\":" << i;
    for (const campo& c : campi(celle[i])) out << ",\"" << c.nome << "\":" << c.valore;
    out << ",\"nome_tipo\":" << testo_json(std::string(nome_tipo_cella(celle[i].tipo_cella)))
        << "}";
  }
  out << "\n]}\n";
}

void scrivi_tabella_json(std::ostream& out, const std::string& nome, const tabella& t) {
  intestazione_json(out, nome, tipo_file::tabella);
  out << ",\"righe\":[";
  for (size_t r = 0; r < t.size(); ++r) {
    out << (r == 0 ? "\n" : ",\n") << "{\"indice\":" << r;
    const char* ru = ruolo_riga(r, t[r]);
    out << ",\"ruolo\":" << (ru != nullptr ? testo_json(ru) : std::string("null"));
    const auto cc = campi(t[r]);
    for (size_t k = 0; k < cc.size(); ++k) {
      if (k == campi_prima_del_nome) out << ",\"nome\":" << testo_json(t[r].nome);
      out << ",\"" << cc[k].nome << "\":" << cc[k].valore;
    }
    out << "}";
  }
  out << "\n]}\n";
}

void scrivi_piano_json(std::ostream& out, const std::string& nome, const tracciato& t) {
  const int32_t punti = t.allocato() ? t.fine() + 1 : 0;
  intestazione_json(out, nome, tipo_file::piano);
  out << ",\"punti\":[";
  for (int32_t m = 0; m < punti; ++m) {
    out << (m == 0 ? "\n" : ",\n") << "{\"m\":" << m << ",\"x\":" << valore_json(t, m, 0)
        << ",\"tipo_x\":\"" << nome_valore(t.tipo(m, 0)) << "\",\"y\":" << valore_json(t, m, 1)
        << ",\"tipo_y\":\"" << nome_valore(t.tipo(m, 1)) << "\"}";
  }
  out << "\n]}\n";
}

esito_strumento ispeziona(std::string_view dati, tipo_file tipo, const std::string& nome, bool json,
                          std::ostream& out, std::ostream& err) {
  std::optional<difetto> d;
  switch (tipo) {
    case tipo_file::griglia: {
      std::vector<cella> celle;
      d = decodifica_griglia(dati, celle);
      if (!d) json ? scrivi_griglia_json(out, nome, celle) : scrivi_griglia(out, nome, celle);
      break;
    }
    case tipo_file::tabella: {
      tabella t{};
      d = decodifica_tabella(dati, t);
      if (!d) json ? scrivi_tabella_json(out, nome, t) : scrivi_tabella(out, nome, t);
      break;
    }
    case tipo_file::piano: {
      tracciato t;
      d = decodifica_piano(dati, t);
      if (!d) json ? scrivi_piano_json(out, nome, t) : scrivi_piano(out, nome, t);
      break;
    }
  }
  if (!d) return esito_strumento::fatto;
  err << "compila_scenario: " << descrivi_difetto(nome, tipo, *d) << "\n";
  return esito_strumento::file_malformato;
}

}  // namespace scenario
