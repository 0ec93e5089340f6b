// The real Win32 window and error box, read back through the system. Needs a
// desktop (under Wine: a display, e.g. xvfb-run); without one it skips.
#ifdef _WIN32

#include "driver/finestra_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "riquadro_win32.h"

namespace scenario {
namespace {

using prova::classe_di;
using prova::leggi_e_chiudi_riquadro;
using prova::riquadro_letto;
using prova::testo_di;

BOOL CALLBACK raccogli(HWND h, LPARAM dati) {
  reinterpret_cast<std::vector<HWND>*>(dati)->push_back(h);
  return TRUE;
}

// Our windows of the program's class: the tests' thread is the only one here.
std::vector<HWND> finestre_del_programma() {
  std::vector<HWND> tutte;
  EnumThreadWindows(GetCurrentThreadId(), raccogli, reinterpret_cast<LPARAM>(&tutte));
  std::vector<HWND> nostre;
  for (HWND h : tutte)
    if (classe_di(h) == classe_finestra_win32) nostre.push_back(h);
  return nostre;
}

std::vector<HWND> figli(HWND h) {
  std::vector<HWND> r;
  EnumChildWindows(h, raccogli, reinterpret_cast<LPARAM>(&r));
  return r;
}

int dpi_schermo() {
  HDC schermo = GetDC(nullptr);
  const int dpi = GetDeviceCaps(schermo, LOGPIXELSY);
  ReleaseDC(nullptr, schermo);
  return dpi;
}

// Pixels of a window's own painting, in the colour given.
int pixel_del_colore(HWND h, COLORREF colore) {
  RECT r;
  GetClientRect(h, &r);
  const int w = r.right;
  const int a = r.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -a;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bit = nullptr;
  HDC sorgente = GetDC(h);
  HDC memoria = CreateCompatibleDC(sorgente);
  HBITMAP immagine = CreateDIBSection(memoria, &info, DIB_RGB_COLORS, &bit, nullptr, 0);
  HGDIOBJ prima = SelectObject(memoria, immagine);
  BitBlt(memoria, 0, 0, w, a, sorgente, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const DWORD*>(bit);
  // A 32-bit DIB holds blue, green, red from the low byte up.
  const DWORD cercato =
      (DWORD{GetRValue(colore)} << 16) | (DWORD{GetGValue(colore)} << 8) | GetBValue(colore);
  int n = 0;
  for (int i = 0; i < w * a; ++i)
    if ((p[i] & 0xFFFFFF) == cercato) ++n;
  SelectObject(memoria, prima);
  DeleteObject(immagine);
  DeleteDC(memoria);
  ReleaseDC(h, sorgente);
  return n;
}

class FinestraWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    finestra_ = crea_finestra_win32();
    if (!finestra_)
      GTEST_SKIP() << "no desktop to show a window on (under Wine: run under xvfb-run)";
  }
  // The one window of the program, once shown.
  HWND mostrata() {
    finestra_->mostra_attendere();
    auto nostre = finestre_del_programma();
    EXPECT_EQ(nostre.size(), 1u);
    return nostre.empty() ? nullptr : nostre[0];
  }

  std::unique_ptr<finestra> finestra_;
};

TEST_F(FinestraWin32, MostraAttendereInUnaFinestraFissaGiaDisegnata) {
  if (dpi_schermo() != 96)
    GTEST_SKIP() << "the sizes checked are those at 96 dpi, the screen has " << dpi_schermo();
  HWND h = mostrata();
  ASSERT_NE(h, nullptr);

  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(testo_di(h), L"Compilazione scenario");
  RECT client;
  GetClientRect(h, &client);
  EXPECT_EQ(client.right, 280);
  EXPECT_EQ(client.bottom, 179);
  const LONG_PTR stile = GetWindowLongPtrW(h, GWL_STYLE);
  EXPECT_EQ(stile & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(stile & WS_THICKFRAME, 0) << "the window can be resized";
  EXPECT_EQ(stile & WS_MAXIMIZEBOX, 0) << "the window can be maximized";

  const auto controlli = figli(h);
  ASSERT_EQ(controlli.size(), 1u);
  HWND etichetta = controlli[0];
  EXPECT_EQ(_wcsicmp(classe_di(etichetta).c_str(), L"Static"), 0) << classe_di(etichetta);
  EXPECT_EQ(testo_di(etichetta), L"Attendere");
  RECT r;
  GetWindowRect(etichetta, &r);
  MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 64);
  EXPECT_EQ(r.top, 64);
  EXPECT_EQ(r.right - r.left, 177);
  EXPECT_EQ(r.bottom - r.top, 53);

  auto carattere = reinterpret_cast<HFONT>(SendMessageW(etichetta, WM_GETFONT, 0, 0));
  ASSERT_NE(carattere, nullptr) << "the label keeps the system font";
  LOGFONTW chiesto{};
  ASSERT_NE(GetObjectW(carattere, sizeof chiesto, &chiesto), 0);
  EXPECT_STREQ(chiesto.lfFaceName, L"MS Sans Serif");
  EXPECT_EQ(chiesto.lfHeight, -32) << "24 points at 96 dpi, as a character height";
  EXPECT_EQ(chiesto.lfWeight, FW_BOLD);
  // What the system made of it: the face itself or its nearest, bold either way.
  HDC dc = GetDC(etichetta);
  HGDIOBJ prima = SelectObject(dc, carattere);
  TEXTMETRICW metrica{};
  GetTextMetricsW(dc, &metrica);
  wchar_t faccia[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, faccia);
  SelectObject(dc, prima);
  ReleaseDC(etichetta, dc);
  EXPECT_GE(metrica.tmWeight, FW_BOLD)
      << "chosen face: " << std::string(faccia, faccia + wcslen(faccia));

  // Painted before anything else runs: the label's text and the form's face
  // are already in the window, with no message handled since.
  EXPECT_GT(pixel_del_colore(etichetta, GetSysColor(COLOR_WINDOWTEXT)), 100)
      << "the label is not painted";
  EXPECT_GT(pixel_del_colore(h, GetSysColor(COLOR_BTNFACE)), 280 * 179 / 2)
      << "the window is not painted";
}

TEST_F(FinestraWin32, IlRiquadroDiErroreHaIlTestoEUnSoloOk) {
  HWND h = mostrata();
  ASSERT_NE(h, nullptr);
  for (const wchar_t* testo : {L" Errore n. 1250", L" Errore n. 1251", L" Errore n. 101"}) {
    const std::string stretto(testo, testo + wcslen(testo));
    SCOPED_TRACE(stretto);
    riquadro_letto letto;
    std::thread lettore([&letto] { letto = leggi_e_chiudi_riquadro(GetCurrentProcessId()); });
    finestra_->mostra_errore(stretto);
    lettore.join();

    ASSERT_TRUE(letto.trovato) << "no box came up";
    EXPECT_EQ(letto.titolo, L"Compilazione scenario");
    EXPECT_EQ(letto.testo, testo);
    EXPECT_EQ(letto.pulsanti, 1);
    EXPECT_EQ(letto.pulsante, L"OK");
    EXPECT_EQ(letto.icone, 0);
    // Modal to the window: owned by it, which cannot be used meanwhile.
    EXPECT_EQ(letto.proprietario, h);
    EXPECT_FALSE(letto.proprietario_abilitato);
  }
  EXPECT_TRUE(IsWindowEnabled(h)) << "the window stays disabled after the box";
}

// Closing the window mid-run would take the box's owner away; the run ends by itself.
TEST_F(FinestraWin32, ChiudereLaFinestraNonLaToglie) {
  HWND h = mostrata();
  ASSERT_NE(h, nullptr);
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(h));
  finestra_.reset();
  EXPECT_FALSE(IsWindow(h)) << "the window outlives its owner";
  EXPECT_TRUE(finestre_del_programma().empty());
}

// The program's own choice of flavour on Windows is this window.
TEST_F(FinestraWin32, CreaFinestraSceglieLaFinestraWin32) {
  finestra_.reset();
  auto f = crea_finestra();
  ::testing::internal::CaptureStderr();
  f->mostra_attendere();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the console was chosen";
  EXPECT_EQ(finestre_del_programma().size(), 1u);
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
