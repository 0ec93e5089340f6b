#include "strumenti/vista.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "sources/nome_stampabile.h"
#include "sources/testo_1252.h"
#include "strumenti/disegna.h"
#include "strumenti/disegna_pianta.h"
#include "strumenti/disegna_profilo.h"
#include "strumenti/oggetti.h"
#include "strumenti/svg.h"

namespace scenario {

namespace {

// The marks a page can put on a drawing are sampled this often along the
// route (the script interpolates between samples), never more than
// campioni_massimi times, so a 1000 km route gives a page of bounded size.
constexpr double passo_campioni = 50;
constexpr double campioni_massimi = 10000;

// One code point as HTML character data or attribute value; controls, which
// HTML forbids or hides, become "?" (line ends and tabs are kept in a quoted
// source line, which is preformatted text).
void aggiungi_html(std::string& r, char32_t u, bool preformattato = false) {
  switch (u) {
    case '&':
      r += "&amp;";
      return;
    case '<':
      r += "&lt;";
      return;
    case '>':
      r += "&gt;";
      return;
    case '"':
      r += "&quot;";
      return;
    case '\'':
      r += "&#39;";
      return;
    default:
      if (preformattato && (u == '\n' || u == '\t')) {
        r += static_cast<char>(u);
      } else if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
        r += '?';
      } else {
        aggiungi_utf8(r, u);
      }
  }
}

// Windows-1252 text (the compiled files' names, the sources' lines).
std::string html_1252(std::string_view t, bool preformattato = false) {
  std::string r;
  for (const char c : t)
    aggiungi_html(r, carattere_1252(static_cast<unsigned char>(c)), preformattato);
  return r;
}

// The code points of UTF-8 text (up to U+FFFF, as aggiungi_utf8 writes);
// none when it is not such text.
std::optional<std::u32string> da_utf8(std::string_view t) {
  std::u32string r;
  for (size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    const auto segue = [&](size_t k) {
      return i + k < t.size() && (static_cast<unsigned char>(t[i + k]) & 0xC0) == 0x80;
    };
    const auto bit = [&](size_t k) { return static_cast<char32_t>(t[i + k] & 0x3F); };
    if (c < 0x80) {
      r += c;
      i += 1;
    } else if (c >= 0xC2 && c < 0xE0 && segue(1)) {
      r += static_cast<char32_t>(c & 0x1F) << 6 | bit(1);
      i += 2;
    } else if (c >= 0xE0 && c < 0xF0 && segue(1) && segue(2)) {
      const char32_t u = static_cast<char32_t>(c & 0x0F) << 12 | bit(1) << 6 | bit(2);
      if (u < 0x800 || (u >= 0xD800 && u < 0xE000)) return std::nullopt;
      r += u;
      i += 3;
    } else {
      return std::nullopt;
    }
  }
  return r;
}

// The program's own words (UTF-8), or a message that may quote a source's
// bytes: UTF-8 when it reads as such, else Windows-1252 like the sources.
std::string html_testo(std::string_view t) {
  const std::optional<std::u32string> u = da_utf8(t);
  if (!u) return html_1252(t);
  std::string r;
  for (const char32_t c : *u) aggiungi_html(r, c);
  return r;
}

// "12.345": metres as kilometres with three decimals, for the table.
std::string km_cella(double metri) { return km_testo(metri).substr(3); }

std::string punti_json(const std::vector<punto_svg>& p) {
  std::string r = "[";
  for (size_t i = 0; i < p.size(); ++i) {
    if (i > 0) r += ',';
    r += '[';
    r += numero_svg(p[i].x);
    r += ',';
    r += numero_svg(p[i].y);
    r += ']';
  }
  return r + "]";
}

std::string gradini_json(const std::vector<gradino>& g) {
  std::string r = "[";
  for (size_t i = 0; i < g.size(); ++i) {
    if (i > 0) r += ',';
    r += '[';
    r += numero_svg(g[i].da);
    r += ',';
    r += numero_svg(g[i].a);
    r += ',';
    r += numero_svg(g[i].valore);
    r += ']';
  }
  return r + "]";
}

// An SVG document as a shadow root of its own: the drawing's style sheet
// then holds for it alone (the plan's and the profile's classes differ).
std::string disegno_in_pagina(std::string_view id, std::string_view svg) {
  if (svg.substr(0, 5) == "<?xml") svg.remove_prefix(std::min(svg.find('\n') + 1, svg.size()));
  std::string r = "<div id=\"";
  r += id;
  r += "\" class=\"disegno\"><template shadowrootmode=\"open\"><style>";
  r += R"(:host { display: block; }
svg { display: block; width: 100%; height: auto; touch-action: none; user-select: none; }
.vista_tratto { fill: none; stroke: #ff8c00; stroke-width: 7; stroke-linecap: round; stroke-linejoin: round; opacity: 0.55; }
rect.vista_tratto { fill: #ff8c00; stroke: none; opacity: 0.22; }
.vista_anello { fill: none; stroke: #ff8c00; stroke-width: 3; }
.vista_centro { fill: #ff8c00; stroke: white; stroke-width: 1; }
.vista_asta { stroke: #ff8c00; stroke-width: 2; }
.vista_km { font: bold 12px DejaVu Sans, Arial, sans-serif; fill: #a35a00; paint-order: stroke; stroke: white; stroke-width: 3px; stroke-linejoin: round; }
.nascosto { display: none; }
.binario, .galleria { vector-effect: non-scaling-stroke; }
</style>)";
  r += svg;
  r += "</template></div>\n";
  return r;
}

constexpr const char* stile_pagina = R"(
:root { color-scheme: light; --bordo: #c9ced6; --accento: #ff8c00; }
* { box-sizing: border-box; }
body { margin: 0; font: 14px/1.4 system-ui, "DejaVu Sans", Arial, sans-serif; color: #222; background: #f4f5f7; }
header { padding: 10px 18px 6px; background: #1f4e99; color: white; }
header h1 { margin: 0; font-size: 20px; }
header p { margin: 2px 0 0; opacity: 0.9; }
.sommario_linea { margin: 8px 18px; }
#diagnostica { margin: 10px 18px; padding: 8px 12px; background: white; border: 1px solid var(--bordo); border-left: 6px solid #27ae60; }
#diagnostica.con_errori { border-left-color: #c0392b; }
#diagnostica.con_avvisi { border-left-color: #e6a100; }
#diagnostica h2 { margin: 0 0 4px; font-size: 16px; }
#diagnostica ol { margin: 4px 0; padding-left: 22px; }
#diagnostica li { margin: 3px 0; }
#diagnostica .luogo { font-family: "DejaVu Sans Mono", monospace; font-weight: bold; }
#diagnostica .errore .testo { color: #c0392b; font-weight: bold; }
#diagnostica .avviso .testo { color: #8a5a00; }
#diagnostica .nota { list-style: none; margin-left: 18px; color: #555; }
#diagnostica pre { margin: 2px 0 4px; padding: 3px 6px; background: #f6f6f6; overflow-x: auto; font-size: 12px; }
#comandi { position: sticky; top: 0; z-index: 2; display: flex; flex-wrap: wrap; gap: 6px 14px; align-items: center; padding: 8px 18px; background: white; border-bottom: 1px solid var(--bordo); box-shadow: 0 1px 4px rgba(0,0,0,0.08); }
#comandi label { display: flex; align-items: center; gap: 6px; font-weight: bold; }
#km { width: min(520px, 60vw); accent-color: var(--accento); }
#km_numero { width: 7em; }
#qui { flex: 1 1 100%; min-height: 2.8em; font-size: 13px; }
#qui .dove { font-weight: bold; color: #a35a00; }
#qui .vicino { color: #444; }
#disegni { display: grid; grid-template-columns: minmax(0, 1fr) minmax(0, 1.25fr); gap: 12px; padding: 12px 18px; }
@media (max-width: 1100px) { #disegni { grid-template-columns: minmax(0, 1fr); } }
figure { margin: 0; background: white; border: 1px solid var(--bordo); }
figcaption { display: flex; flex-wrap: wrap; gap: 4px 12px; align-items: center; padding: 5px 8px; border-bottom: 1px solid var(--bordo); font-weight: bold; }
figcaption .strumenti { display: flex; flex-wrap: wrap; gap: 4px 10px; align-items: center; font-weight: normal; }
figcaption button { min-width: 2.2em; }
#pianta { cursor: crosshair; overflow: hidden; }
#pianta.trascina { cursor: grabbing; }
#profilo { cursor: crosshair; }
.aiuto { font-weight: normal; color: #666; font-size: 12px; }
#oggetti { margin: 0 18px 18px; background: white; border: 1px solid var(--bordo); }
#oggetti h2 { margin: 0; padding: 6px 10px; font-size: 16px; border-bottom: 1px solid var(--bordo); }
.filtri { display: flex; flex-wrap: wrap; gap: 6px 14px; align-items: center; padding: 6px 10px; }
.filtri input { width: 7em; }
.filtri #filtro { width: 18em; }
.scorrimento { max-height: 60vh; overflow: auto; }
table { border-collapse: collapse; width: 100%; font-size: 13px; }
th { position: sticky; top: 0; background: #e8ebf0; text-align: left; padding: 4px 8px; }
td { padding: 2px 8px; border-top: 1px solid #eceef2; vertical-align: top; }
td.km { font-family: "DejaVu Sans Mono", monospace; text-align: right; white-space: nowrap; }
tbody tr { cursor: pointer; }
tbody tr:hover { background: #fff4e5; }
tbody tr.scelta { background: #ffd9a8; }
.vuota { padding: 12px 18px; }
)";

constexpr const char* script_pagina = R"JS(
"use strict";
(function () {
  // Shadow roots the browser did not make from their templates.
  for (const t of document.querySelectorAll("template[shadowrootmode]")) {
    const ospite = t.parentElement;
    if (!ospite.shadowRoot) ospite.attachShadow({ mode: "open" }).appendChild(t.content);
    t.remove();
  }
  const DATI = JSON.parse(document.getElementById("dati").textContent);
  const NS = "http://www.w3.org/2000/svg";
  const $ = (id) => document.getElementById(id);
  const svgPianta = $("pianta").shadowRoot.querySelector("svg");
  const svgProfilo = $("profilo").shadowRoot.querySelector("svg");
  const L = DATI.lunghezza;
  const PROFILI = new Set(["pendenza", "limite di velocit\u00e0", "aderenza"]);

  // ---- positions along the route on each drawing ----
  const metroDi = (k) => Math.min(k * DATI.passo, L);
  function interpola(punti, m) {
    if (!punti.length) return null;
    m = Math.min(Math.max(m, 0), L);
    const i = Math.min(Math.floor(m / DATI.passo), punti.length - 1);
    const j = Math.min(i + 1, punti.length - 1);
    const da = metroDi(i), a = metroDi(j);
    const t = a > da ? (m - da) / (a - da) : 0;
    return [punti[i][0] + (punti[j][0] - punti[i][0]) * t, punti[i][1] + (punti[j][1] - punti[i][1]) * t];
  }
  // The position whose mark on the profile lies at x.
  function metriDelProfilo(x) {
    const p = DATI.profilo.punti;
    if (!p.length) return 0;
    if (x <= p[0][0]) return 0;
    if (x >= p[p.length - 1][0]) return L;
    let a = 0, b = p.length - 1;
    while (b - a > 1) { const c = (a + b) >> 1; if (p[c][0] <= x) a = c; else b = c; }
    const t = p[b][0] > p[a][0] ? (x - p[a][0]) / (p[b][0] - p[a][0]) : 0;
    return metroDi(a) + (metroDi(b) - metroDi(a)) * t;
  }
  // The position of the plan's sample nearest to (x, y), within `raggio`.
  function metriDellaPianta(x, y, raggio) {
    let migliore = -1, d2 = raggio * raggio;
    DATI.pianta.forEach((q, k) => {
      const d = (q[0] - x) * (q[0] - x) + (q[1] - y) * (q[1] - y);
      if (d < d2) { d2 = d; migliore = k; }
    });
    return migliore < 0 ? null : metroDi(migliore);
  }
  function inSvg(svg, e) {
    const p = svg.createSVGPoint();
    p.x = e.clientX; p.y = e.clientY;
    return p.matrixTransform(svg.getScreenCTM().inverse());
  }
  // SVG units per screen pixel, for marks of a constant size.
  const unita = (svg) => svg.viewBox.baseVal.width / Math.max(svg.getBoundingClientRect().width, 1);

  function elemento(svg, genitore, nome, attributi) {
    const e = document.createElementNS(NS, nome);
    for (const [k, v] of Object.entries(attributi)) e.setAttribute(k, v);
    genitore.appendChild(e);
    return e;
  }
  function gruppo(svg, id) {
    let g = svg.getElementById(id);
    if (!g) g = elemento(svg, svg, "g", { id: id });
    while (g.firstChild) g.firstChild.remove();
    return g;
  }

  // ---- the table ----
  const righe = Array.from(document.querySelectorAll("#tabella tbody tr")).map((tr) => ({
    tr: tr,
    m: Number(tr.dataset.m),
    fino: tr.dataset.fino === undefined ? null : Number(tr.dataset.fino),
    tipo: tr.cells[1].textContent,
    valori: tr.cells[2].textContent,
    nome: tr.cells[3].textContent,
    testo: tr.textContent.toLowerCase(),
  }));
  const km = (m) => (m / 1000).toFixed(3);

  // ---- the place chosen ----
  let scelto = { m: 0, fino: null };

  function valoreA(gradini, m) {
    let v = null;
    for (const [da, , x] of gradini) { if (da > m) break; v = x; }
    return v;
  }
  function mostraQui(m) {
    const qui = $("qui");
    qui.textContent = "";
    const riga = document.createElement("div");
    const dove = document.createElement("span");
    dove.className = "dove";
    dove.textContent = "km " + km(m);
    riga.appendChild(dove);
    const parti = [];
    const p = valoreA(DATI.profili.pendenza, m);
    if (p !== null) parti.push("pendenza " + p + " \u2030");
    const v = valoreA(DATI.profili.limite, m);
    if (v !== null) parti.push("limite " + v + " km/h");
    const a = valoreA(DATI.profili.aderenza, m);
    if (a !== null) parti.push("aderenza " + a);
    for (const r of righe) {
      if (r.fino !== null && r.m <= m && m <= r.fino)
        parti.push((r.tipo === "galleria" ? "in galleria" : "in " + r.tipo) + (r.nome ? " " + r.nome : "") +
          (r.valori ? " (" + r.valori + ")" : ""));
    }
    riga.appendChild(document.createTextNode(": " + parti.join("; ")));
    qui.appendChild(riga);
    const vicini = righe.filter((r) => !PROFILI.has(r.tipo) && r.fino === null && Math.abs(r.m - m) <= 150);
    const sotto = document.createElement("div");
    sotto.className = "vicino";
    sotto.textContent = vicini.length
      ? "Entro 150 m: " + vicini.map((r) => {
          const d = Math.round(r.m - m);
          return r.tipo + (r.nome ? " " + r.nome : "") + (r.valori ? " (" + r.valori + ")" : "") +
            " al km " + km(r.m) + (d === 0 ? "" : d < 0 ? " (" + -d + " m prima)" : " (" + d + " m dopo)");
        }).join("; ")
      : "Nessun oggetto entro 150 m.";
    qui.appendChild(sotto);
  }

  function segnaPianta() {
    const g = gruppo(svgPianta, "segno_pianta");
    const p = interpola(DATI.pianta, scelto.m);
    if (!p) return;
    const u = unita(svgPianta);
    g.dataset.m = String(scelto.m);
    if (scelto.fino !== null) {
      const punti = [];
      for (let m = scelto.m; m < scelto.fino; m += DATI.passo / 2) punti.push(interpola(DATI.pianta, m));
      punti.push(interpola(DATI.pianta, scelto.fino));
      elemento(svgPianta, g, "polyline", { class: "vista_tratto", points: punti.map((q) => q.join(",")).join(" "),
        "stroke-width": 7 * u });
    }
    elemento(svgPianta, g, "circle", { class: "vista_anello", cx: p[0], cy: p[1], r: 9 * u, "stroke-width": 3 * u });
    elemento(svgPianta, g, "circle", { class: "vista_centro", cx: p[0], cy: p[1], r: 2.5 * u, "stroke-width": u });
    const t = elemento(svgPianta, g, "text", { class: "vista_km", x: p[0] + 12 * u, y: p[1] - 10 * u,
      style: "font-size:" + 12 * u + "px;stroke-width:" + 3 * u + "px" });
    t.textContent = "km " + km(scelto.m);
  }
  function segnaProfilo() {
    const g = gruppo(svgProfilo, "segno_profilo");
    const p = interpola(DATI.profilo.punti, scelto.m);
    if (!p) return;
    g.dataset.m = String(scelto.m);
    if (scelto.fino !== null) {
      const b = interpola(DATI.profilo.punti, scelto.fino);
      elemento(svgProfilo, g, "rect", { class: "vista_tratto", x: p[0], y: DATI.profilo.alto,
        width: Math.max(b[0] - p[0], 2), height: DATI.profilo.basso - DATI.profilo.alto });
    }
    elemento(svgProfilo, g, "line", { class: "vista_asta", x1: p[0], y1: DATI.profilo.alto, x2: p[0], y2: DATI.profilo.basso });
    elemento(svgProfilo, g, "circle", { class: "vista_centro", cx: p[0], cy: p[1], r: 4 });
    const t = elemento(svgProfilo, g, "text", { class: "vista_km", x: p[0] + 5, y: DATI.profilo.alto - 4,
      "text-anchor": p[0] > svgProfilo.viewBox.baseVal.width - 120 ? "end" : "start" });
    t.textContent = "km " + km(scelto.m);
  }
  function scegli(m, fino, origine) {
    if (!Number.isFinite(m)) return;
    scelto = { m: Math.min(Math.max(m, 0), L), fino: fino };
    if (origine !== "cursore") $("km").value = String(scelto.m / 1000);
    if (origine !== "numero") $("km_numero").value = km(scelto.m);
    if (origine !== "tabella") for (const r of righe) r.tr.classList.remove("scelta");
    segnaPianta();
    segnaProfilo();
    mostraQui(scelto.m);
  }
  const leggiKm = (t) => {
    const s = String(t).trim().replace(",", ".");
    return s === "" || !Number.isFinite(Number(s)) ? null : Number(s) * 1000;
  };

  $("km").max = String(L / 1000);
  $("km").addEventListener("input", (e) => scegli(Number(e.target.value) * 1000, null, "cursore"));
  $("km_numero").addEventListener("change", (e) => {
    const m = leggiKm(e.target.value);
    if (m !== null) scegli(m, null, "numero");
  });

  // ---- pointing ----
  svgProfilo.addEventListener("pointermove", (e) => {
    const p = inSvg(svgProfilo, e);
    if (p.y < DATI.profilo.alto - 20 || p.y > DATI.profilo.basso) return;
    scegli(metriDelProfilo(p.x), null, "profilo");
  });

  // ---- pan and zoom on the plan ----
  const W = svgPianta.viewBox.baseVal.width, H = svgPianta.viewBox.baseVal.height;
  const vista = { x: 0, y: 0, w: W, h: H };
  function applica() {
    vista.w = Math.min(Math.max(vista.w, W / 400), W);
    vista.h = vista.w * H / W;
    vista.x = Math.min(Math.max(vista.x, 0), W - vista.w);
    vista.y = Math.min(Math.max(vista.y, 0), H - vista.h);
    svgPianta.setAttribute("viewBox", [vista.x, vista.y, vista.w, vista.h].join(" "));
    segnaPianta();
  }
  function ingrandisci(f, cx, cy) {
    const w = Math.min(Math.max(vista.w / f, W / 400), W);
    const k = w / vista.w;
    vista.x = cx - (cx - vista.x) * k;
    vista.y = cy - (cy - vista.y) * k;
    vista.w = w;
    applica();
  }
  function centra(x, y) {
    vista.x = x - vista.w / 2;
    vista.y = y - vista.h / 2;
    applica();
  }
  svgPianta.addEventListener("wheel", (e) => {
    e.preventDefault();
    const p = inSvg(svgPianta, e);
    ingrandisci(Math.pow(1.0015, -e.deltaY * (e.deltaMode === 1 ? 30 : 1)), p.x, p.y);
  }, { passive: false });
  let presa = null;
  svgPianta.addEventListener("pointerdown", (e) => {
    if (e.button !== 0) return;
    presa = { x: e.clientX, y: e.clientY, vx: vista.x, vy: vista.y, mossa: false, id: e.pointerId };
  });
  svgPianta.addEventListener("pointermove", (e) => {
    if (presa && presa.id === e.pointerId) {
      const dx = e.clientX - presa.x, dy = e.clientY - presa.y;
      if (!presa.mossa && Math.hypot(dx, dy) < 4) return;
      if (!presa.mossa) { presa.mossa = true; svgPianta.setPointerCapture(e.pointerId); $("pianta").classList.add("trascina"); }
      const u = unita(svgPianta);
      vista.x = presa.vx - dx * u;
      vista.y = presa.vy - dy * u;
      applica();
      return;
    }
    const p = inSvg(svgPianta, e);
    const m = metriDellaPianta(p.x, p.y, 25 * unita(svgPianta));
    if (m !== null) scegli(m, null, "pianta");
  });
  const lascia = () => { presa = null; $("pianta").classList.remove("trascina"); };
  svgPianta.addEventListener("pointerup", lascia);
  svgPianta.addEventListener("pointercancel", lascia);
  $("zoom_piu").addEventListener("click", () => ingrandisci(1.6, vista.x + vista.w / 2, vista.y + vista.h / 2));
  $("zoom_meno").addEventListener("click", () => ingrandisci(1 / 1.6, vista.x + vista.w / 2, vista.y + vista.h / 2));
  $("zoom_intera").addEventListener("click", () => { vista.w = W; applica(); });

  // ---- what the drawings show ----
  function interruttore(id, svg, selettore) {
    const aggiorna = () => svg.querySelectorAll(selettore).forEach((g) => g.classList.toggle("nascosto", !$(id).checked));
    $(id).addEventListener("change", aggiorna);
    aggiorna();
  }
  interruttore("mostra_segnali", svgPianta, "#pianta_nomi_segnali");
  interruttore("mostra_km", svgPianta, "#pianta_nomi_km, #pianta_progressive");
  interruttore("mostra_pendenze", svgProfilo, "#profilo_valori_pendenze");

  // ---- the table: filter and choice ----
  function filtra() {
    const q = $("filtro").value.trim().toLowerCase();
    const da = leggiKm($("da_km").value), a = leggiKm($("a_km").value);
    let n = 0;
    for (const r of righe) {
      const si = (!q || r.testo.includes(q)) && (da === null || (r.fino === null ? r.m : r.fino) >= da) &&
        (a === null || r.m <= a);
      r.tr.hidden = !si;
      if (si) n++;
    }
    $("conteggio").textContent = n + " di " + righe.length + " oggetti";
  }
  ["filtro", "da_km", "a_km"].forEach((id) => $(id).addEventListener("input", filtra));
  function scegliRiga(r) {
    for (const x of righe) x.tr.classList.toggle("scelta", x === r);
    scegli(r.m, r.fino, "tabella");
    const p = interpola(DATI.pianta, r.m);
    if (p && vista.w < W) centra(p[0], p[1]);
  }
  for (const r of righe) {
    r.tr.tabIndex = 0;
    r.tr.addEventListener("click", () => scegliRiga(r));
    r.tr.addEventListener("keydown", (e) => { if (e.key === "Enter" || e.key === " ") { e.preventDefault(); scegliRiga(r); } });
  }
  filtra();
  scegli(0, null, "inizio");
})();
)JS";

void sezione_diagnostica(std::string& h, const compilazione_vista& c) {
  size_t errori = 0;
  size_t avvisi = 0;
  for (const messaggio_diagnosi& m : c.messaggi) {
    if (m.testo.starts_with("errore")) ++errori;
    if (m.testo.starts_with("avviso")) ++avvisi;
  }
  const char* classe = c.scritti ? (avvisi > 0 ? "con_avvisi" : "pulita") : "con_errori";
  h += "<section id=\"diagnostica\" class=\"" + std::string(classe) + "\">\n<h2>Compilazione: ";
  h += std::to_string(errori) + (errori == 1 ? " errore, " : " errori, ") + std::to_string(avvisi) +
       (avvisi == 1 ? " avviso" : " avvisi") + "</h2>\n<p>";
  if (c.scritti) {
    h += "File compilati scritti.";
  } else if (c.fatale) {
    h += "Nessun file compilato scritto: la compilazione non ha prodotto nulla da disegnare.";
  } else {
    h += "Nessun file compilato scritto: i disegni e la tabella mostrano ci\u00F2 che la "
         "compilazione ha prodotto in memoria.";
  }
  h += "</p>\n";
  if (!c.messaggi.empty()) {
    h += "<ol>\n";
    for (const messaggio_diagnosi& m : c.messaggi) {
      const char* tipo = m.testo.starts_with("errore")   ? "errore"
                         : m.testo.starts_with("avviso") ? "avviso"
                         : m.testo.starts_with("nota")   ? "nota"
                                                         : "altro";
      h += "<li class=\"" + std::string(tipo) + "\" data-file=\"" + html_1252(m.file) +
           "\" data-riga=\"" + std::to_string(m.riga) + "\"><span class=\"luogo\">" +
           html_1252(luogo_messaggio(m)) + "</span>: <span class=\"testo\">" + html_testo(m.testo) +
           "</span>";
      if (!m.citazione.empty()) h += "<pre>" + html_1252(m.citazione, true) + "</pre>";
      h += "</li>\n";
    }
    h += "</ol>\n";
  }
  h += "</section>\n";
}

void tabella_oggetti(std::string& h, const std::vector<oggetto_linea>& oggetti) {
  h += "<section id=\"oggetti\">\n<h2>Oggetti della linea</h2>\n<div class=\"filtri\">"
       "<label>Cerca <input id=\"filtro\" type=\"search\" placeholder=\"tipo, nome o "
       "valore\"></label>"
       "<label>da km <input id=\"da_km\" type=\"text\" inputmode=\"decimal\"></label>"
       "<label>a km <input id=\"a_km\" type=\"text\" inputmode=\"decimal\"></label>"
       "<span id=\"conteggio\"></span> <span class=\"aiuto\">Scegliere una riga la segna sui "
       "due disegni.</span></div>\n<div class=\"scorrimento\"><table id=\"tabella\">\n"
       "<thead><tr><th>km</th><th>tipo</th><th>valori</th><th>nome</th></tr></thead>\n<tbody>\n";
  for (const oggetto_linea& o : oggetti) {
    h += "<tr data-m=\"" + numero_svg(o.metri) + "\"";
    if (o.fino) h += " data-fino=\"" + numero_svg(*o.fino) + "\"";
    h += "><td class=\"km\">" + km_cella(o.metri) + "</td><td>" + html_testo(o.tipo) + "</td><td>" +
         html_testo(o.valori) + "</td><td>" + html_1252(o.nome) + "</td></tr>\n";
  }
  h += "</tbody>\n</table></div>\n</section>\n";
}

// The drawings, the cursor and the table of a decoded scenario, with the
// data the script needs.
void scenario_in_pagina(std::string& h, const nomi_file& nomi, const scenario_compilato& s) {
  const elementi_linea e = elementi_di(s);
  const std::vector<oggetto_linea> oggetti = oggetti_di(s, e);
  const disegni_scenario d = disegni_di(s, e, nomi);

  const double passo = std::max(
      passo_campioni, std::ceil(e.lunghezza / campioni_massimi / passo_campioni) * passo_campioni);
  std::vector<double> metri;
  for (double k = 0; k * passo < e.lunghezza; ++k) metri.push_back(k * passo);
  metri.push_back(e.lunghezza);
  const std::vector<punto_svg> pianta = posizioni_pianta(s, e, metri);
  const posizioni_profilo_linea profilo = posizioni_profilo(e, metri);

  const std::string lunghezza_km = numero_svg(e.lunghezza / 1000);
  const auto quanti = [](size_t n, const char* uno, const char* molti) {
    return std::to_string(n) + " " + (n == 1 ? uno : molti);
  };
  h += "<p class=\"sommario_linea\">Lunghezza " + lunghezza_km + " km, " +
       quanti(e.stazioni.size(), "stazione", "stazioni") + ", " +
       quanti(e.segnali.size(), "segnale", "segnali") + ", " +
       quanti(e.gallerie.size(), "galleria", "gallerie") + ", " +
       quanti(e.rallentamenti.size(), "rallentamento", "rallentamenti") + ".</p>\n";
  h += "<nav id=\"comandi\"><label for=\"km\">km</label><input id=\"km\" type=\"range\" min=\"0\" "
       "max=\"" +
       lunghezza_km +
       "\" step=\"0.05\" value=\"0\" aria-label=\"chilometro della linea\">"
       "<input id=\"km_numero\" type=\"text\" inputmode=\"decimal\" value=\"0.000\" "
       "aria-label=\"chilometro\"><span class=\"aiuto\">Indicare un punto sulla pianta o sul "
       "profilo, o spostare il cursore: il punto \u00E8 segnato su entrambi.</span>"
       "<div id=\"qui\" aria-live=\"polite\"></div></nav>\n";
  h += "<main id=\"disegni\">\n<figure id=\"riquadro_pianta\"><figcaption>Pianta"
       "<span class=\"strumenti\"><button id=\"zoom_piu\" type=\"button\" title=\"ingrandisci\">+"
       "</button><button id=\"zoom_meno\" type=\"button\" title=\"riduci\">\u2212</button>"
       "<button id=\"zoom_intera\" type=\"button\">intera</button>"
       "<label><input id=\"mostra_segnali\" type=\"checkbox\"> nomi dei segnali</label>"
       "<label><input id=\"mostra_km\" type=\"checkbox\" checked> km</label>"
       "<span class=\"aiuto\">rotella: zoom; trascinare: spostare</span></span></figcaption>\n";
  h += disegno_in_pagina("pianta", d.pianta);
  h += "</figure>\n<figure id=\"riquadro_profilo\"><figcaption>Profilo<span class=\"strumenti\">"
       "<label><input id=\"mostra_pendenze\" type=\"checkbox\" checked> pendenze (\u2030)"
       "</label></span></figcaption>\n";
  h += disegno_in_pagina("profilo", d.profilo);
  h += "</figure>\n</main>\n";
  tabella_oggetti(h, oggetti);

  h += "<script type=\"application/json\" id=\"dati\">{\"lunghezza\":" + numero_svg(e.lunghezza) +
       ",\"passo\":" + numero_svg(passo) + ",\"pianta\":" + punti_json(pianta) +
       ",\n\"profilo\":{\"alto\":" + numero_svg(profilo.alto) +
       ",\"basso\":" + numero_svg(profilo.basso) + ",\"punti\":" + punti_json(profilo.punti) +
       "},\n\"profili\":{\"pendenza\":" + gradini_json(pendenze_di(s, e.lunghezza)) +
       ",\"limite\":" + gradini_json(e.limiti) +
       ",\"aderenza\":" + gradini_json(aderenze_di(s, e.lunghezza)) + "}}</script>\n";
  h += "<script>";
  h += script_pagina;
  h += "</script>\n";
}

}  // namespace

std::string pagina_vista(const nomi_file& nomi, const scenario_compilato* s,
                         const compilazione_vista* c) {
  const std::string titolo =
      html_1252(nomi.nome_linea) + " (" + html_1252(nomi.nome_treno) + "): vista della linea";
  std::string h =
      "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
      "'unsafe-inline'; script-src 'unsafe-inline'; img-src data:\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<link rel=\"icon\" href=\"data:,\">\n<title>" +
      titolo + "</title>\n<style>" + stile_pagina + "</style>\n</head>\n<body>\n<header><h1>" +
      titolo + "</h1></header>\n";
  if (c != nullptr) sezione_diagnostica(h, *c);
  if (s != nullptr) {
    scenario_in_pagina(h, nomi, *s);
  } else {
    h +=
        "<p class=\"vuota\">Nessun disegno: non c'\u00E8 uno scenario compilato da mostrare.</p>\n";
  }
  return h + "</body>\n</html>\n";
}

esito_strumento vista(disco& ingresso, disco& uscita, const std::string& nome_linea,
                      const std::string& nome_treno, const std::string& prefisso_ingresso,
                      std::ostream& err) {
  const nomi_file nomi{nome_linea, nome_treno};
  scenario_compilato s;
  if (auto fallito = carica_compilati(ingresso, nomi, prefisso_ingresso, s, err)) return *fallito;
  const std::string pagina = pagina_vista(nomi, &s, nullptr);
  if (esito_io e = uscita.sostituisci_insieme(
          {{nomi.vista(), [&pagina](const scrivi_pezzo& scrivi) { return scrivi(pagina); }}});
      !e.ok) {
    err << riga_guasto(e) << "\n";
    return esito_strumento::guasto_disco;
  }
  return esito_strumento::fatto;
}

}  // namespace scenario
