// The window on Windows: a fixed window, client area 4200 x 2688 twips (280 x
// 179 pixels at 96 dpi), with the one label "Attendere", painted before the
// work starts and never again; the error box is MB_OK with no icon. Both carry
// the application's title. Built only for Windows.
#pragma once

#include <memory>
#include <string_view>

#include "driver/finestra.h"

namespace scenario {

// The window class, by which the window can be found among the thread's.
inline constexpr const wchar_t* classe_finestra_win32 = L"compila_scenario_attendere";
inline constexpr const wchar_t* titolo_applicazione_win32 = L"Compilazione scenario";

// Null when no window can be made (no desktop): the caller keeps to the console.
std::unique_ptr<finestra> crea_finestra_win32();

// A box with no owner, as the error box looks. The text is UTF-8, the encoding
// the standard library gives file names in on Windows. Returns once closed.
void mostra_riquadro_win32(std::string_view testo);

}  // namespace scenario
