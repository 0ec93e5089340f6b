// Reads a message box of a given process while it is on the screen, then
// presses its button, so a test can check the real box with no person at the
// screen. Only what is shown counts: a system may keep hidden buttons and an
// empty icon control in its box template. Windows only.
#pragma once

#include <windows.h>

#include <string>

namespace scenario::prova {

struct riquadro_letto {
  bool trovato = false;
  std::wstring titolo;
  std::wstring testo;
  int pulsanti = 0;
  std::wstring pulsante;
  int icone = 0;
  HWND proprietario = nullptr;
  bool proprietario_abilitato = true;
};

inline std::wstring classe_di(HWND h) {
  wchar_t nome[64] = {};
  GetClassNameW(h, nome, 64);
  return nome;
}

inline std::wstring testo_di(HWND h) {
  std::wstring t(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  t.resize(static_cast<size_t>(GetWindowTextW(h, t.data(), static_cast<int>(t.size()))));
  return t;
}

struct ricerca_riquadro {
  DWORD processo;
  HWND trovato = nullptr;
};

inline BOOL CALLBACK cerca_riquadro(HWND h, LPARAM dati) {
  auto* r = reinterpret_cast<ricerca_riquadro*>(dati);
  DWORD processo = 0;
  GetWindowThreadProcessId(h, &processo);
  if (processo == r->processo && IsWindowVisible(h) && classe_di(h) == L"#32770") {
    r->trovato = h;
    return FALSE;
  }
  return TRUE;
}

inline BOOL CALLBACK leggi_controllo(HWND c, LPARAM dati) {
  auto* r = reinterpret_cast<riquadro_letto*>(dati);
  if (!IsWindowVisible(c)) return TRUE;
  const std::wstring classe = classe_di(c);
  const LONG_PTR stile = GetWindowLongPtrW(c, GWL_STYLE);
  if (_wcsicmp(classe.c_str(), L"Button") == 0) {
    ++r->pulsanti;
    r->pulsante = testo_di(c);
  } else if (_wcsicmp(classe.c_str(), L"Static") == 0 && (stile & SS_TYPEMASK) == SS_ICON) {
    if (SendMessageW(c, STM_GETICON, 0, 0) != 0) ++r->icone;
  } else if (_wcsicmp(classe.c_str(), L"Static") == 0 && r->testo.empty()) {
    r->testo = testo_di(c);
  }
  return TRUE;
}

inline BOOL CALLBACK trova_pulsante(HWND c, LPARAM dati) {
  if (IsWindowVisible(c) && _wcsicmp(classe_di(c).c_str(), L"Button") == 0) {
    *reinterpret_cast<HWND*>(dati) = c;
    return FALSE;
  }
  return TRUE;
}

// Waits up to about ten seconds for the box to appear: it is never left
// waiting for a person, and a box that does not come is reported as not found.
inline riquadro_letto leggi_e_chiudi_riquadro(DWORD processo) {
  riquadro_letto r;
  ricerca_riquadro ricerca{processo};
  for (int tentativo = 0; tentativo < 500 && ricerca.trovato == nullptr; ++tentativo) {
    EnumWindows(cerca_riquadro, reinterpret_cast<LPARAM>(&ricerca));
    if (ricerca.trovato == nullptr) Sleep(20);
  }
  HWND riquadro = ricerca.trovato;
  if (riquadro == nullptr) return r;
  r.trovato = true;
  r.titolo = testo_di(riquadro);
  EnumChildWindows(riquadro, leggi_controllo, reinterpret_cast<LPARAM>(&r));
  r.proprietario = GetWindow(riquadro, GW_OWNER);
  if (r.proprietario != nullptr)
    r.proprietario_abilitato = IsWindowEnabled(r.proprietario) != FALSE;
  HWND pulsante = nullptr;
  EnumChildWindows(riquadro, trova_pulsante, reinterpret_cast<LPARAM>(&pulsante));
  // The button's own notification, as a click sends it: a simulated mouse
  // click would depend on which window is active.
  if (pulsante != nullptr)
    PostMessageW(riquadro, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(pulsante), BN_CLICKED),
                 reinterpret_cast<LPARAM>(pulsante));
  else
    PostMessageW(riquadro, WM_CLOSE, 0, 0);
  return r;
}

}  // namespace scenario::prova
