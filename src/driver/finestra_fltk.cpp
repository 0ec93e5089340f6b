// The window on an X display, built as the module compila_scenario_fltk.so:
// a fixed 280 x 179 window with the one label "Attendere", painted once before
// the work starts, and a modal error box with a single OK button. When no
// display can be opened the factory returns null and the program keeps to the
// console; the toolkit's own fatal path (which exits) is never reached.
#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "driver/finestra.h"
#include "driver/finestra_modulo.h"

namespace scenario {

namespace {

constexpr const char* titolo_applicazione = "Compilazione scenario";
constexpr int larghezza_finestra = 280;
constexpr int altezza_finestra = 179;

// The label remembers that it has been painted, so the window can wait for the
// first paint instead of guessing how long the server takes to map it.
class etichetta : public Fl_Box {
 public:
  using Fl_Box::Fl_Box;
  bool disegnata = false;

 protected:
  void draw() override {
    Fl_Box::draw();
    disegnata = true;
  }
};

void chiudi_riquadro(Fl_Widget* pulsante, void*) { pulsante->window()->hide(); }

// The error box: the text, one OK button, no icon, the application's title.
std::unique_ptr<Fl_Window> crea_riquadro(const std::string& testo) {
  constexpr int margine = 20;
  constexpr int larghezza_pulsante = 80;
  constexpr int altezza_pulsante = 26;
  fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
  int tw = 0;
  int th = 0;
  fl_measure(testo.c_str(), tw, th, 0);
  const int w = std::max(tw + 2 * margine, 200);
  const int h = margine + th + margine + altezza_pulsante + margine / 2;
  auto riquadro = std::make_unique<Fl_Window>(w, h, titolo_applicazione);
  auto* scritta = new Fl_Box(margine, margine, w - 2 * margine, th);
  scritta->copy_label(testo.c_str());
  scritta->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP);
  auto* ok = new Fl_Button((w - larghezza_pulsante) / 2, h - margine / 2 - altezza_pulsante,
                           larghezza_pulsante, altezza_pulsante, "OK");
  ok->shortcut(FL_Enter);
  ok->callback(chiudi_riquadro);
  riquadro->end();
  riquadro->set_modal();
  riquadro->size_range(w, h, w, h);
  return riquadro;
}

class finestra_fltk : public finestra {
 public:
  finestra_fltk()
      : finestra_(std::make_unique<Fl_Window>(larghezza_finestra, altezza_finestra,
                                              titolo_applicazione)) {
    etichetta_ = new etichetta(64, 64, 177, 53, "Attendere");
    etichetta_->labelfont(FL_HELVETICA_BOLD);
    etichetta_->labelsize(32);
    etichetta_->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP);
    finestra_->end();
    finestra_->size_range(larghezza_finestra, altezza_finestra, larghezza_finestra,
                          altezza_finestra);
  }
  ~finestra_fltk() override {
    finestra_->hide();
    Fl::flush();
  }

  // The work that follows never returns to the event loop, so the window must
  // be on the screen and painted before this returns (bounded: 2 s at most).
  void mostra_attendere() override {
    finestra_->show();
    for (int i = 0; i < 40 && !etichetta_->disegnata; ++i) Fl::wait(0.05);
    Fl::flush();
  }

  void mostra_errore(std::string_view testo) override {
    auto riquadro = crea_riquadro(std::string(testo));
    riquadro->show();
    while (riquadro->shown()) Fl::wait();
  }

  Fl_Window& finestra() { return *finestra_; }
  etichetta& scritta() { return *etichetta_; }

 private:
  std::unique_ptr<Fl_Window> finestra_;
  etichetta* etichetta_ = nullptr;  // owned by the window
};

void copia(char* destinazione, size_t spazio, const char* origine) {
  std::snprintf(destinazione, spazio, "%s", origine != nullptr ? origine : "");
}

Fl_Window* riquadro_modale() {
  for (Fl_Window* w = Fl::first_window(); w != nullptr; w = Fl::next_window(w))
    if (w->modal()) return w;
  return nullptr;
}

struct prova_riquadro {
  descrizione_errore* esito;
  int tentativi = 0;
  bool letto = false;
};

// Reads the box once it is up, then presses OK through its own callback.
void leggi_e_chiudi(void* dati) {
  auto* prova = static_cast<prova_riquadro*>(dati);
  Fl_Window* riquadro = riquadro_modale();
  if (riquadro == nullptr || !riquadro->visible()) {
    if (++prova->tentativi < 200)
      Fl::repeat_timeout(0.02, leggi_e_chiudi, dati);
    else if (riquadro != nullptr)
      riquadro->hide();  // never left waiting for a person
    return;
  }
  descrizione_errore& d = *prova->esito;
  copia(d.titolo, sizeof d.titolo, riquadro->label());
  d.modale = riquadro->modal() ? 1 : 0;
  Fl_Button* ok = nullptr;
  for (int i = 0; i < riquadro->children(); ++i) {
    Fl_Widget* figlio = riquadro->child(i);
    if (auto* pulsante = dynamic_cast<Fl_Button*>(figlio)) {
      ++d.pulsanti;
      copia(d.pulsante, sizeof d.pulsante, pulsante->label());
      ok = pulsante;
    } else if (figlio->label() != nullptr && d.testo[0] == '\0') {
      copia(d.testo, sizeof d.testo, figlio->label());
    } else {
      ++d.altri;
    }
  }
  prova->letto = true;
  if (ok != nullptr)
    ok->do_callback();
  else
    riquadro->hide();
}

}  // namespace

}  // namespace scenario

extern "C" {

// Opens the display first with Xlib itself: the toolkit's own opener ends the
// process when there is no display, and here that must be a quiet fallback.
__attribute__((visibility("default"))) scenario::finestra* compila_scenario_fltk_crea() {
  if (fl_display == nullptr) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    fl_open_display(display);
  }
  return new scenario::finestra_fltk();
}

__attribute__((visibility("default"))) int compila_scenario_fltk_descrivi(
    scenario::finestra* f, scenario::descrizione_finestra* d) {
  auto* ff = dynamic_cast<scenario::finestra_fltk*>(f);
  if (ff == nullptr || d == nullptr) return 0;
  *d = {};
  Fl_Window& w = ff->finestra();
  auto& e = ff->scritta();
  scenario::copia(d->titolo, sizeof d->titolo, w.label());
  scenario::copia(d->etichetta, sizeof d->etichetta, e.label());
  int attributi = 0;
  scenario::copia(d->carattere, sizeof d->carattere, Fl::get_font_name(e.labelfont(), &attributi));
  d->numero_carattere = e.labelfont();
  d->grassetto = (attributi & FL_BOLD) != 0;
  d->grandezza = e.labelsize();
  d->etichetta_x = e.x();
  d->etichetta_y = e.y();
  d->etichetta_larghezza = e.w();
  d->etichetta_altezza = e.h();
  d->larghezza = w.w();
  d->altezza = w.h();
  d->controlli = w.children();
  d->disegnata = e.disegnata ? 1 : 0;
  if (w.shown()) {
    XWindowAttributes attr{};
    if (XGetWindowAttributes(fl_display, fl_xid(&w), &attr) != 0) {
      d->larghezza_x = attr.width;
      d->altezza_x = attr.height;
    }
    XSizeHints suggerimenti{};
    long forniti = 0;
    if (XGetWMNormalHints(fl_display, fl_xid(&w), &suggerimenti, &forniti) != 0) {
      if (suggerimenti.flags & PMinSize) {
        d->minima_x = suggerimenti.min_width;
        d->minima_y = suggerimenti.min_height;
      }
      if (suggerimenti.flags & PMaxSize) {
        d->massima_x = suggerimenti.max_width;
        d->massima_y = suggerimenti.max_height;
      }
    }
  }
  return 1;
}

__attribute__((visibility("default"))) int compila_scenario_fltk_prova_errore(
    scenario::finestra* f, const char* testo, scenario::descrizione_errore* d) {
  auto* ff = dynamic_cast<scenario::finestra_fltk*>(f);
  if (ff == nullptr || testo == nullptr || d == nullptr) return 0;
  *d = {};
  scenario::prova_riquadro prova{d};
  Fl::add_timeout(0.02, scenario::leggi_e_chiudi, &prova);
  ff->mostra_errore(testo);
  Fl::remove_timeout(scenario::leggi_e_chiudi, &prova);
  return prova.letto ? 1 : 0;
}

}  // extern "C"
