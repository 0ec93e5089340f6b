// The Win32 flavour. Sizes are kept in twips, the unit the form is laid out
// in, and turned into pixels with the screen's dots per inch, so the window
// keeps its proportions at any setting. The run never returns to a message
// loop: mostra_attendere paints everything synchronously and lets the system
// take what is pending once, then the window stays as painted until the end.
#include "driver/finestra_win32.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace scenario {

namespace {

constexpr int twip_per_pollice = 1440;
constexpr int punti_per_pollice = 72;

struct rettangolo_twip {
  int sinistra, alto, larghezza, altezza;
};

constexpr rettangolo_twip area_client{0, 0, 4200, 2688};
constexpr rettangolo_twip area_etichetta{960, 960, 2652, 792};
constexpr const wchar_t* testo_etichetta = L"Attendere";
constexpr const wchar_t* nome_carattere = L"MS Sans Serif";
constexpr int punti_carattere = 24;
constexpr int id_etichetta = 1;

struct dpi_schermo {
  int x = 96;
  int y = 96;
};

dpi_schermo leggi_dpi() {
  dpi_schermo d;
  if (HDC schermo = GetDC(nullptr)) {
    d.x = GetDeviceCaps(schermo, LOGPIXELSX);
    d.y = GetDeviceCaps(schermo, LOGPIXELSY);
    ReleaseDC(nullptr, schermo);
  }
  return d;
}

std::wstring largo(std::string_view testo) {
  if (testo.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), w.data(), n);
  return w;
}

// One OK button and no icon flag; with an owner the box is modal to it.
void riquadro(HWND proprietario, std::string_view testo) {
  MessageBoxW(proprietario, largo(testo).c_str(), titolo_applicazione_win32, MB_OK);
}

LRESULT CALLBACK procedura_finestra(HWND hwnd, UINT messaggio, WPARAM w, LPARAM l) {
  // The run ends by itself. A window destroyed mid-run would leave the error
  // box without its owner, and an ownerless call on a dead handle shows nothing.
  if (messaggio == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, messaggio, w, l);
}

bool registra_classe(HINSTANCE istanza) {
  WNDCLASSEXW classe{};
  classe.cbSize = sizeof classe;
  classe.lpfnWndProc = procedura_finestra;
  classe.hInstance = istanza;
  classe.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  classe.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  classe.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  classe.lpszClassName = classe_finestra_win32;
  // A second window in the same process finds the class already there.
  return RegisterClassExW(&classe) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

class finestra_win32 : public finestra {
 public:
  finestra_win32(HWND finestra, HFONT carattere) : finestra_(finestra), carattere_(carattere) {}
  ~finestra_win32() override {
    DestroyWindow(finestra_);
    // The label used the font until it was destroyed with its parent.
    DeleteObject(carattere_);
  }
  finestra_win32(const finestra_win32&) = delete;
  finestra_win32& operator=(const finestra_win32&) = delete;

  void mostra_attendere() override {
    ShowWindow(finestra_, SW_SHOWDEFAULT);
    RedrawWindow(finestra_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // What the system queued while showing (activation, the frame, and under
    // some systems the flush of the painted surface to the screen) is handled
    // now: after this the thread does not look at its queue again.
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    GdiFlush();
  }

  void mostra_errore(std::string_view testo) override { riquadro(finestra_, testo); }

 private:
  HWND finestra_;
  HFONT carattere_;
};

}  // namespace

std::unique_ptr<finestra> crea_finestra_win32() {
  HINSTANCE istanza = GetModuleHandleW(nullptr);
  if (!registra_classe(istanza)) return nullptr;
  const dpi_schermo dpi = leggi_dpi();
  const auto px_x = [&](int twip) { return MulDiv(twip, dpi.x, twip_per_pollice); };
  const auto px_y = [&](int twip) { return MulDiv(twip, dpi.y, twip_per_pollice); };

  // A fixed frame: no sizing border, no maximize or minimize box.
  const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  RECT r{0, 0, px_x(area_client.larghezza), px_y(area_client.altezza)};
  AdjustWindowRectEx(&r, stile, FALSE, 0);
  HWND finestra = CreateWindowExW(0, classe_finestra_win32, titolo_applicazione_win32, stile,
                                  CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top,
                                  nullptr, nullptr, istanza, nullptr);
  if (finestra == nullptr) return nullptr;

  HWND etichetta = CreateWindowExW(
      0, L"STATIC", testo_etichetta, WS_CHILD | WS_VISIBLE | SS_LEFT, px_x(area_etichetta.sinistra),
      px_y(area_etichetta.alto), px_x(area_etichetta.larghezza), px_y(area_etichetta.altezza),
      finestra, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_etichetta)), istanza, nullptr);
  // The named face when the system has it, else the nearest it finds.
  HFONT carattere =
      CreateFontW(-MulDiv(punti_carattere, dpi.y, punti_per_pollice), 0, 0, 0, FW_BOLD, FALSE,
                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, nome_carattere);
  if (etichetta == nullptr || carattere == nullptr) {
    DestroyWindow(finestra);
    if (carattere != nullptr) DeleteObject(carattere);
    return nullptr;
  }
  SendMessageW(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere), FALSE);
  return std::make_unique<finestra_win32>(finestra, carattere);
}

void mostra_riquadro_win32(std::string_view testo) { riquadro(nullptr, testo); }

}  // namespace scenario
