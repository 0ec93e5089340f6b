#!/usr/bin/env node
// The page of `view` in a real browser: headless Chromium driven over the
// DevTools protocol through --remote-debugging-pipe (the child's descriptors
// 3 and 4, messages ended by a NUL byte), with nothing but Node's own modules.
// On the built-in scenario's page, opened from a file:// address:
// - it loads with no console error, no exception and no request but its own;
// - the table lists every station and signal at the km `inspect` gives;
// - a km chosen on the slider is marked on both drawings at the place the
//   drawings themselves put it (a station's circle on the plan, its line on
//   the profile; the km tick on the profile axis, the track on the plan), and
//   pointing at either drawing moves the mark on the other;
// - the filter narrows the table by text and by km range;
// - a row chosen marks its object (a tunnel: its whole stretch) on both;
// - the plan zooms.
// A screenshot of the page is saved. Without node or Chromium the test is
// skipped (status 77).
//
//   node vista_nel_browser.js PROGRAMMA CARTELLA_DI_LAVORO [SCREENSHOT.png]
"use strict";

const { spawn, spawnSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const { pathToFileURL } = require("url");

const SALTATO = 77;
const [programma, lavoro, schermata] = process.argv.slice(2);
if (!programma || !lavoro) {
  console.error("uso: node vista_nel_browser.js PROGRAMMA CARTELLA_DI_LAVORO [SCREENSHOT.png]");
  process.exit(2);
}

function sulPercorso(nome) {
  for (const d of (process.env.PATH || "").split(path.delimiter)) {
    const p = path.join(d, nome);
    try {
      fs.accessSync(p, fs.constants.X_OK);
      return p;
    } catch (e) {
      /* not here */
    }
  }
  return null;
}
const chromium =
  process.env.CHROMIUM ||
  ["chromium", "chromium-browser", "google-chrome", "google-chrome-stable"].map(sulPercorso).find(Boolean);
if (!chromium) {
  console.log("Chromium non trovato: test saltato");
  process.exit(SALTATO);
}

// ---- the page and what inspect says ----
fs.rmSync(lavoro, { recursive: true, force: true });
fs.mkdirSync(lavoro, { recursive: true });
const scenario = path.join(lavoro, "scenario");
function esegui(...argomenti) {
  const r = spawnSync(programma, argomenti, { encoding: "utf8" });
  if (r.status !== 0) throw new Error(`${argomenti.join(" ")}: stato ${r.status}\n${r.stderr}`);
  return r.stdout;
}
esegui("export", scenario);
esegui("compile", "Brossalenta_Morla", "iR31457", "-C", scenario, "--view");
const pagina = path.join(scenario, "Brossalenta_Morla_iR31457_vista.html");
const indirizzo = pathToFileURL(pagina).href;
const jsonDi = (file) => JSON.parse(esegui("inspect", "--json", path.join(scenario, file)));
const stazioni = jsonDi("Brossalenta_Morla_iR31457.sim")
  .righe.filter((r) => r.ruolo === "stazione")
  .map((r) => ({ m: r.metri, nome: r.nome }));
const segnali = jsonDi("Brossalenta_Morla_iR31457.dat")
  .celle.filter((c) => c.nome_tipo === "segnale")
  .map((c) => c.metri);

// ---- the browser ----
const argomenti = [
  "--headless",
  "--remote-debugging-pipe",
  "--disable-gpu",
  "--no-first-run",
  "--no-default-browser-check",
  "--disable-extensions",
  "--disable-background-networking",
  "--disable-component-update",
  "--disable-sync",
  `--user-data-dir=${path.join(lavoro, "profilo")}`,
  "about:blank",
];
if (process.getuid && process.getuid() === 0) argomenti.unshift("--no-sandbox");
const browser = spawn(chromium, argomenti, {
  stdio: ["ignore", "ignore", fs.openSync(path.join(lavoro, "chromium.log"), "w"), "pipe", "pipe"],
});
const verso = browser.stdio[3];
const da = browser.stdio[4];
let prossimo = 1;
const attese = new Map();
const ascoltatori = [];
let resto = Buffer.alloc(0);
da.on("data", (pezzo) => {
  resto = Buffer.concat([resto, pezzo]);
  for (let fine; (fine = resto.indexOf(0)) >= 0; ) {
    const m = JSON.parse(resto.subarray(0, fine).toString("utf8"));
    resto = resto.subarray(fine + 1);
    if (m.id && attese.has(m.id)) {
      const { risolvi, rifiuta, metodo } = attese.get(m.id);
      attese.delete(m.id);
      if (m.error) rifiuta(new Error(`${metodo}: ${m.error.message}`));
      else risolvi(m.result);
    } else if (m.method) {
      for (const a of ascoltatori) a(m);
    }
  }
});
function invia(metodo, parametri = {}, sessione) {
  const id = prossimo++;
  const m = { id, method: metodo, params: parametri };
  if (sessione) m.sessionId = sessione;
  return new Promise((risolvi, rifiuta) => {
    attese.set(id, { risolvi, rifiuta, metodo });
    verso.write(JSON.stringify(m) + "\0");
  });
}
function evento(nome, sessione) {
  return new Promise((risolvi) => {
    const a = (m) => {
      if (m.method === nome && (!sessione || m.sessionId === sessione)) {
        ascoltatori.splice(ascoltatori.indexOf(a), 1);
        risolvi(m.params);
      }
    };
    ascoltatori.push(a);
  });
}
const scadenza = setTimeout(() => {
  console.error("FALLITO - il browser non ha risposto entro 60 s");
  browser.kill("SIGKILL");
  process.exit(1);
}, 60000);

// ---- checks ----
let falliti = 0;
function verifica(condizione, testo, dettaglio) {
  console.log(`${condizione ? "ok" : "FALLITO"} - ${testo}${condizione || !dettaglio ? "" : ": " + dettaglio}`);
  if (!condizione) falliti++;
}

async function principale() {
  const { targetId } = await invia("Target.createTarget", { url: "about:blank" });
  const { sessionId: s } = await invia("Target.attachToTarget", { targetId, flatten: true });
  const problemi = [];
  const richieste = [];
  ascoltatori.push((m) => {
    if (m.sessionId !== s) return;
    const p = m.params;
    if (m.method === "Runtime.consoleAPICalled" && (p.type === "error" || p.type === "assert"))
      problemi.push("console: " + p.args.map((a) => a.value ?? a.description).join(" "));
    if (m.method === "Runtime.exceptionThrown") problemi.push("eccezione: " + JSON.stringify(p.exceptionDetails));
    if (m.method === "Log.entryAdded" && p.entry.level === "error") problemi.push("log: " + p.entry.text);
    if (m.method === "Network.requestWillBeSent") richieste.push(p.request.url);
  });
  for (const d of ["Runtime.enable", "Log.enable", "Network.enable", "Page.enable"]) await invia(d, {}, s);
  await invia("Emulation.setDeviceMetricsOverride", { width: 1400, height: 1250, deviceScaleFactor: 1, mobile: false }, s);
  const caricata = evento("Page.loadEventFired", s);
  await invia("Page.navigate", { url: indirizzo }, s);
  await caricata;

  async function valuta(espressione) {
    const r = await invia("Runtime.evaluate", { expression: espressione, returnByValue: true, awaitPromise: true }, s);
    if (r.exceptionDetails) throw new Error("valutazione: " + JSON.stringify(r.exceptionDetails));
    return r.result.value;
  }
  // Helpers inside the page: the two drawings' shadow roots and the marks.
  await valuta(`window.__prova = {
    pianta: document.getElementById("pianta").shadowRoot,
    profilo: document.getElementById("profilo").shadowRoot,
    km(v) { const k = document.getElementById("km"); k.value = String(v); k.dispatchEvent(new Event("input")); },
    segni() {
      const c = this.pianta.querySelector("#segno_pianta circle.vista_centro");
      const l = this.profilo.querySelector("#segno_profilo line.vista_asta");
      return { px: c ? +c.getAttribute("cx") : null, py: c ? +c.getAttribute("cy") : null,
               x: l ? +l.getAttribute("x1") : null, km: document.getElementById("km_numero").value };
    },
    righe() { return Array.from(document.querySelectorAll("#tabella tbody tr")).filter((r) => !r.hidden)
      .map((r) => ({ m: +r.dataset.m, tipo: r.cells[1].textContent, nome: r.cells[3].textContent })); },
    filtra(id, v) { const e = document.getElementById(id); e.value = v; e.dispatchEvent(new Event("input")); },
  }; true`);

  // 1. Loaded offline, cleanly.
  verifica(problemi.length === 0, "nessun errore in console", problemi.join("; "));
  const estranee = richieste.filter((u) => u !== indirizzo && !u.startsWith("data:"));
  verifica(estranee.length === 0 && richieste.includes(indirizzo), "nessuna richiesta oltre la pagina", estranee.join(", "));

  // 2. Every station and signal in the table, at inspect's km.
  const righe = await valuta("__prova.righe()");
  const inTabella = righe.filter((r) => r.tipo === "stazione").map((r) => `${r.m} ${r.nome}`);
  const attese = stazioni.map((x) => `${x.m} ${x.nome}`);
  verifica(stazioni.length > 10 && JSON.stringify(inTabella) === JSON.stringify(attese),
    `le ${stazioni.length} stazioni di inspect nella tabella, ciascuna al suo km`,
    `tabella ${JSON.stringify(inTabella)}, inspect ${JSON.stringify(attese)}`);
  const segnaliTabella = righe.filter((r) => r.tipo === "segnale").map((r) => r.m);
  verifica(segnali.length > 10 && JSON.stringify(segnaliTabella) === JSON.stringify(segnali),
    `i ${segnali.length} segnali di inspect nella tabella, ciascuno al suo km`,
    `tabella ${segnaliTabella}, inspect ${segnali}`);

  // 3. A km chosen is marked where the drawings put it.
  const disegnate = await valuta(`({
    pianta: Array.from(__prova.pianta.querySelectorAll("circle.stazione")).map((c) =>
      ({ nome: c.textContent, x: +c.getAttribute("cx"), y: +c.getAttribute("cy") })),
    profilo: Array.from(__prova.profilo.querySelectorAll("line.stazione")).map((l) => +l.getAttribute("x1")),
    tacca30: (() => { const t = Array.from(__prova.profilo.querySelectorAll("text.asse")).find((t) => t.textContent === "30");
      if (!t) return null;
      const b = t.getAttribute("data-riquadro").split(" ").map(Number);  // the label's box: its middle
      return (b[0] + b[2]) / 2; })(),
    binario: __prova.pianta.querySelector("polyline.binario").getAttribute("points").trim().split(/\\s+/)
      .map((p) => p.split(",").map(Number)),
  })`);
  let scarto = [];
  for (const [i, st] of stazioni.entries()) {
    await valuta(`__prova.km(${st.m / 1000})`);
    const g = await valuta("__prova.segni()");
    const cerchio = disegnate.pianta.find((c) => c.nome === st.nome);
    const dp = cerchio ? Math.hypot(g.px - cerchio.x, g.py - cerchio.y) : Infinity;
    const dx = Math.abs(g.x - disegnate.profilo[i]);
    if (!(dp <= 1 && dx <= 0.5)) scarto.push(`${st.nome}: pianta a ${dp.toFixed(2)} px, profilo a ${dx.toFixed(2)} px`);
  }
  verifica(scarto.length === 0, "il km di ogni stazione segnato sul suo cerchio nella pianta e sulla sua linea nel profilo",
    scarto.join("; "));
  await valuta("__prova.km(30)");
  const g30 = await valuta("__prova.segni()");
  const daBinario = Math.min(...disegnate.binario.slice(1).map((b, k) => {
    const a = disegnate.binario[k];
    const vx = b[0] - a[0], vy = b[1] - a[1];
    const t = Math.max(0, Math.min(1, ((g30.px - a[0]) * vx + (g30.py - a[1]) * vy) / (vx * vx + vy * vy || 1)));
    return Math.hypot(g30.px - a[0] - t * vx, g30.py - a[1] - t * vy);
  }));
  verifica(disegnate.tacca30 !== null && Math.abs(g30.x - disegnate.tacca30) <= 0.5 && daBinario <= 1.5 && g30.km === "30.000",
    "il km 30 segnato sulla tacca 30 del profilo e sul binario della pianta",
    `profilo ${g30.x} contro ${disegnate.tacca30}, pianta a ${daBinario.toFixed(2)} px dal binario, campo ${g30.km}`);

  // Pointing at either drawing moves the mark on the other.
  async function indica(espressione) {
    const p = await valuta(`(() => { const r = (${espressione}).getBoundingClientRect();
      return { x: r.left + r.width / 2, y: r.top + r.height / 2 }; })()`);
    await invia("Input.dispatchMouseEvent", { type: "mouseMoved", x: p.x, y: p.y }, s);
    return valuta("__prova.segni()");
  }
  const nona = stazioni[8];
  await valuta(`document.getElementById("riquadro_profilo").scrollIntoView()`);
  const daProfilo = await indica(`__prova.profilo.querySelectorAll("line.stazione")[8]`);
  const cerchioNona = disegnate.pianta.find((c) => c.nome === nona.nome);
  verifica(Math.abs(Number(daProfilo.km) * 1000 - nona.m) <= 250 &&
      Math.hypot(daProfilo.px - cerchioNona.x, daProfilo.py - cerchioNona.y) <= 15,
    `indicare ${nona.nome} sul profilo la segna sulla pianta`, JSON.stringify(daProfilo));
  await valuta(`document.getElementById("riquadro_pianta").scrollIntoView()`);
  const daPianta = await indica(`Array.from(__prova.pianta.querySelectorAll("circle.stazione")).find((c) => c.textContent === ${JSON.stringify(nona.nome)})`);
  verifica(Math.abs(Number(daPianta.km) * 1000 - nona.m) <= 100 && Math.abs(daPianta.x - disegnate.profilo[8]) <= 2,
    `indicare ${nona.nome} sulla pianta la segna sul profilo`, JSON.stringify(daPianta));

  // 4. The filter narrows the table.
  const tutte = righe.length;
  await valuta(`__prova.filtra("filtro", "stazione")`);
  const soloStazioni = await valuta("__prova.righe()");
  verifica(soloStazioni.length === stazioni.length && soloStazioni.every((r) => r.tipo === "stazione"),
    "il filtro 'stazione' lascia le sole stazioni", `${soloStazioni.length} righe`);
  await valuta(`__prova.filtra("filtro", ""); __prova.filtra("da_km", "30"); __prova.filtra("a_km", "40,5")`);
  const tratto = await valuta("__prova.righe()");
  const conteggio = await valuta(`document.getElementById("conteggio").textContent`);
  verifica(tratto.length > 0 && tratto.length < tutte && tratto.every((r) => r.m <= 40500) &&
      tratto.some((r) => r.m >= 30000) && conteggio === `${tratto.length} di ${tutte} oggetti`,
    "da km 30 a km 40,5 la tabella tiene solo quel tratto", `${tratto.length} di ${tutte}, "${conteggio}"`);
  await valuta(`__prova.filtra("da_km", ""); __prova.filtra("a_km", ""); __prova.filtra("filtro", "COLMA")`);

  // 5. A row chosen marks its object, a tunnel its whole stretch.
  const riga = await valuta(`(() => { const r = Array.from(document.querySelectorAll("#tabella tbody tr"))
    .find((r) => !r.hidden && r.cells[1].textContent === "galleria"); r.click();
    return { m: +r.dataset.m, fino: +r.dataset.fino }; })()`);
  const scelta = await valuta(`({ segni: __prova.segni(),
    tratti: [__prova.pianta.querySelectorAll("#segno_pianta .vista_tratto").length,
             __prova.profilo.querySelectorAll("#segno_profilo .vista_tratto").length],
    larghezza: +__prova.profilo.querySelector("#segno_profilo rect.vista_tratto").getAttribute("width") })`);
  verifica(Number(scelta.segni.km) * 1000 === riga.m && scelta.tratti[0] === 1 && scelta.tratti[1] === 1 &&
      scelta.larghezza > 5,
    "la riga della galleria COLMA la segna, tutta, sui due disegni", JSON.stringify({ riga, scelta }));

  // 6. The plan zooms.
  const zoom = await valuta(`(() => { const svg = __prova.pianta.querySelector("svg");
    const intera = +svg.getAttribute("width");
    document.getElementById("zoom_piu").click(); document.getElementById("zoom_piu").click();
    return { intera, vista: svg.getAttribute("viewBox") }; })()`);
  const larga = Number(zoom.vista.split(" ")[2]);
  verifica(larga > 0.3 * zoom.intera && larga < 0.5 * zoom.intera, "due volte + ingrandiscono la pianta 2,56 volte",
    JSON.stringify(zoom));

  verifica(problemi.length === 0, "ancora nessun errore in console dopo l'uso", problemi.join("; "));

  if (schermata) {
    await valuta(`document.getElementById("zoom_intera").click(); __prova.filtra("filtro", "");
      Array.from(document.querySelectorAll("#tabella tbody tr")).find((r) => r.cells[3].textContent === "COLMA").click();
      window.scrollTo(0, 0); true`);
    const { data } = await invia("Page.captureScreenshot", { format: "png" }, s);
    fs.writeFileSync(schermata, Buffer.from(data, "base64"));
    console.log(`schermata: ${schermata}`);
  }
}

principale()
  .catch((e) => {
    console.error("FALLITO - " + (e.stack || e));
    falliti++;
  })
  .finally(async () => {
    clearTimeout(scadenza);
    const chiuso = new Promise((r) => browser.once("exit", r));
    invia("Browser.close").catch(() => {});
    await Promise.race([chiuso, new Promise((r) => setTimeout(r, 5000))]);
    if (browser.exitCode === null) browser.kill("SIGKILL");
    console.log(falliti === 0 ? "vista nel browser: tutto in ordine" : `vista nel browser: ${falliti} verifiche fallite`);
    process.exit(falliti === 0 ? 0 : 1);
  });
