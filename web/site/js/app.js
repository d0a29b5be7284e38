// The page: loads the model, reads the address into the state, draws the view from the
// model's answers and writes every change back into the address. Each section is the
// JSON (or, for the export forms, the text) of the quillon-cli command it stands for.
import { load, model } from './model.js';
import { el, fill, problem, copyText } from './dom.js';
import * as S from './state.js';
import { candidateList, candidateGrid, classicSetting, kernelComparison } from './classic.js';
import { fdCandidateList, fdSetting, fdKernel } from './fd.js';
import { decodeResult, busResult, exportForm } from './results.js';
import { nodesTable, segmentInputs } from './inputs.js';

const $ = (id) => document.getElementById(id);
const views = {};            // the last state of each view, to come back to
let state = S.defaultState();
let controllers = [];        // the rows of controllers --json
let written = null;          // the fragment the page wrote last
let afterFirst = null;       // what the first drawing leaves for after the first paint

export const defaults = {
  classic: () => S.defaultState(),
  fd: () => ({ view: 'fd', opts: { controller: 'mcp2518fd', osc: '40', rate: '500', 'data-rate': '2000' }, nodes: [] }),
  decode: () => ({ view: 'decode', opts: { controller: 'mcp2515', osc: '16', registers: '0x00,0x90,0x02' }, nodes: [] }),
  bus: () => ({ view: 'bus', opts: { rate: '500' },
    nodes: ['pi=mcp251x@16:kernel', 'uno=mcp251x@16:cnf=0x00,0xF0,0x86', 'plc=pic18@40'] }),
};

// Which form fields and sections each view shows.
const layout = {
  classic: { fields: ['controller', 'osc', 'rate', 'recommend'], sections: ['candidates', 'setting', 'kernel', 'export'] },
  fd: { fields: ['controller', 'osc', 'rate', 'data-rate', 'pll', 'recommend', 'data-sample-point'],
    sections: ['candidates', 'setting', 'kernel', 'export'] },
  decode: { fields: ['controller', 'osc', 'rate', 'decode'], sections: ['result'] },
  bus: { fields: ['rate', 'data-rate', 'data-sample-point'], sections: ['nodes', 'result'] },
};
const allFields = ['controller', 'osc', 'rate', 'data-rate', 'pll', 'recommend', 'data-sample-point', 'decode'];
const allSections = ['nodes', 'candidates', 'setting', 'kernel', 'export', 'result'];

function run(args, json = true) {
  const answer = model().run(model().fragment(args), json);
  if (json && answer.out.startsWith('{')) answer.json = JSON.parse(answer.out);
  return answer;
}

const isFdController = (name) => (controllers.find((c) => c.name === name || c.aliases.includes(name)) || {}).kind === 'fd';

// ---- The form <-> the state

function fieldNode(name) {
  return name === 'decode' ? $('decode-inputs') : $(`${name}-field`) || $(name);
}

function showLayout() {
  const l = layout[state.view];
  for (const f of allFields) fieldNode(f).hidden = !l.fields.includes(f);
  for (const s of allSections) $(`${s}-section`).hidden = !l.sections.includes(s);
  // The CAN FD register words are for the FD controllers only.
  for (const f of ['nbtcfg', 'dbtcfg', 'tdc']) $(`${f}-field`).hidden = !isFdController(state.opts.controller);
  for (const b of document.querySelectorAll('nav button')) {
    b.setAttribute('aria-pressed', String(b.dataset.view === state.view));
  }
  const select = $('controller');
  const wanted = state.view === 'classic' ? 'classic' : state.view === 'fd' ? 'fd' : null;
  select.replaceChildren(...controllers.filter((c) => !wanted || c.kind === wanted)
    .map((c) => el('option', { value: c.name }, `${c.title} (${c.name})`)));
  const current = state.opts.controller || '';
  if (current && ![...select.options].some((o) => o.value === current)) {
    select.append(el('option', { value: current }, current));
  }
  select.value = current || (select.options[0] && select.options[0].value);
}

// Writes the state into the form's boxes.
function toForm() {
  showLayout();
  for (const input of $('inputs').querySelectorAll('input')) {
    const value = state.opts[input.name];
    if (input.type === 'checkbox') input.checked = value === true;
    else input.value = value === undefined || value === true ? '' : value;
  }
}

// Reads the visible boxes of the form into the state; hidden ones belong to other views.
function fromForm() {
  for (const input of $('inputs').querySelectorAll('input, select')) {
    if (input.closest('[hidden]')) continue;
    if (input.type === 'checkbox') {
      if (input.checked) state.opts[input.name] = true;
      else delete state.opts[input.name];
    } else if (input.value.trim() === '') delete state.opts[input.name];
    else state.opts[input.name] = input.value.trim();
  }
}

// ---- Drawing

function clearSections() {
  for (const id of ['candidates', 'grid', 'segments', 'diagram', 'setting', 'kernel', 'exports', 'result']) fill(id);
}

function chooser(fd) {
  return {
    pick: (n) => {
      for (const k of fd ? ['nbrp', 'ntq', 'dbrp', 'dtq'] : ['brp1', 'tq']) delete state.opts[k];
      clearSegments(fd);
      state.opts.pick = String(n);
      update();
    },
    cell: (brp1, tq) => {
      delete state.opts.pick;
      clearSegments(fd);
      state.opts.brp1 = String(brp1);
      state.opts.tq = String(tq);
      update();
    },
  };
}

function clearSegments(fd) {
  const names = fd ? ['nprop', 'nphase1', 'nphase2', 'nsjw', 'dprop', 'dphase1', 'dphase2', 'dsjw']
    : ['prop', 'phase1', 'phase2', 'sjw'];
  for (const n of names) delete state.opts[n];
}

function drawExports(fd, hasChoice) {
  if (!hasChoice) {
    fill('exports', el('p', { class: 'muted' }, 'Choose a candidate to export its setting.'));
    return;
  }
  const command = fd ? 'fd/export' : 'export';
  const forms = model().formats(fd, state.opts.controller);
  const own = Object.keys(state.opts).some((n) => /^(n|d)?(prop|phase1|phase2|sjw)$|^larger-of$|^recommend$/.test(n));
  fill('exports',
    own ? null : el('p', { class: 'muted' }, 'Without segments of your own the forms carry the recommended segments, '
      + 'as quillon-cli export does; tick "Recommend segments" to see them above.'),
    forms.map((f) => exportForm(f, run(S.argsFor(state, command, { format: f.name }), false))));
}

function drawSetting(t, timingArgs, fd) {
  fill('segments', segmentInputs(fd, state.opts, t, (name, value) => {
    if (value === '' || value === false) delete state.opts[name];
    else state.opts[name] = value;
    update();
  }));
  const svg = model().diagram(model().fragment(timingArgs));
  const figure = fill('diagram');
  if (svg) {
    figure.innerHTML = svg; // the model's own SVG: numbers and its escaped texts only
    figure.append(el('figcaption', { class: 'visually-hidden' }, 'The bit timing diagram'));
  }
  fill('setting', fd ? fdSetting(t) : classicSetting(t));
}

// With `defer`, the kernel's choice and the export forms wait for afterFirst.
function drawChoiceViews(fd, defer) {
  // The grid (64 x 18 cells) only while it is open: it is most of the list's cost.
  const gridOpen = !fd && $('grid-details').open;
  const c = run(S.argsFor(state, fd ? 'fd/candidates' : 'candidates', fd ? {} : { grid: gridOpen, analyse: true }));
  if (!c.json) {
    clearSections();
    fill('candidates', problem(c.err));
    return;
  }
  const choose = chooser(fd);
  const picked = state.opts.pick ? Number(state.opts.pick) : null;
  if (fd) {
    fill('candidates', fdCandidateList(c.json, picked, choose.pick));
    $('grid-details').hidden = true;
  } else {
    $('grid-details').hidden = false;
    fill('candidates', candidateList(c.json, picked, choose.pick));
    const cell = state.opts.brp1 !== undefined && state.opts.tq !== undefined
      ? { brp1: Number(state.opts.brp1), tq: Number(state.opts.tq) } : null;
    fill('grid', gridOpen ? candidateGrid(c.json, cell, choose.cell) : null);
  }
  const o = state.opts;
  const hasChoice = !!(o.pick || (fd ? o.nbrp && o.ntq && o.dbrp && o.dtq : o.brp1 && o.tq));
  let timing = null;
  if (hasChoice) {
    const timingArgs = S.argsFor(state, fd ? 'fd/timing' : 'timing');
    const t = run(timingArgs);
    if (t.json) {
      timing = t.json;
      drawSetting(t.json, timingArgs, fd);
    } else {
      fill('segments'); fill('diagram');
      fill('setting', problem(t.err));
    }
  } else {
    fill('segments'); fill('diagram');
    fill('setting', el('p', { class: 'muted' }, 'Choose a candidate above (Use), or a cell of the grid, to see its segments, diagram, findings and registers.'));
  }
  const rest = () => {
    const k = run(S.argsFor(state, fd ? 'fd/kernel' : 'kernel'));
    fill('kernel', k.json ? (fd ? fdKernel(k.json, timing) : kernelComparison(k.json)) : problem(k.err));
    drawExports(fd, hasChoice);
  };
  if (defer) afterFirst = rest;
  else rest();
}

function drawDecode(command) {
  const d = run(S.argsFor(state, command));
  fill('result', d.json ? decodeResult(d.json) : problem(d.err));
}

function drawBus() {
  fill('nodes-body', nodesTable(state.nodes, controllers, (nodes) => {
    state.nodes = nodes;
    update();
  }));
  const b = run(S.argsFor(state, 'bus'));
  fill('result', b.json ? busResult(b.json) : problem(b.err));
}

// Draws the whole view and, unless `write` is false, writes the address; `defer` as for
// drawChoiceViews.
function update(write = true, defer = false) {
  const command = S.commandOf(state, isFdController(state.opts.controller));
  const args = S.argsFor(state, command);
  const fragment = model().fragment(args);
  if (write && location.hash.slice(1) !== fragment) history.replaceState(null, '', `#${fragment}`);
  if (write) written = fragment;
  $('command-line').textContent = S.commandLine(args);
  views[state.view] = state;
  if (state.view === 'classic' || state.view === 'fd') drawChoiceViews(state.view === 'fd', defer);
  else if (state.view === 'decode') drawDecode(command);
  else drawBus();
  $('status').textContent = 'Ready.';
}

// ---- The address

function openFragment(fragment, defer = false) {
  const box = $('address-problem');
  box.hidden = true;
  if (!fragment) {
    state = defaults.classic();
  } else {
    const read = S.readFragment(fragment);
    if (read.problem) {
      box.replaceChildren(el('p', {}, 'This address holds a setting the page cannot read; it shows its own instead:'),
        el('p', {}, el('code', {}, read.problem)));
      box.hidden = false;
      state = state || defaults.classic();
      toForm();
      update(false, defer); // the address that could not be read stays as it is
      return;
    }
    state = read.state;
  }
  toForm();
  update(true, defer);
}

async function start() {
  const factory = globalThis.QuillonModule;
  if (typeof factory !== 'function') {
    $('status').textContent = 'The model (quillon.js) did not load.';
    return;
  }
  await load(factory);
  performance.mark('quillon-model-loaded');
  controllers = JSON.parse(model().run('controllers').out).controllers;
  for (const b of document.querySelectorAll('nav button')) {
    b.addEventListener('click', () => {
      views[state.view] = state;
      state = views[b.dataset.view] || defaults[b.dataset.view]();
      $('address-problem').hidden = true;
      toForm();
      update();
    });
  }
  $('inputs').addEventListener('change', () => { fromForm(); showLayout(); update(); });
  $('grid-details').addEventListener('toggle', () => { if ($('grid-details').open) update(); });
  $('inputs').addEventListener('submit', (e) => { e.preventDefault(); fromForm(); update(); });
  $('copy-link').addEventListener('click', () => copyText(location.href, 'the link'));
  $('copy-command').addEventListener('click', () => copyText($('command-line').textContent, 'the command line'));
  $('add-node').addEventListener('click', () => {
    state.nodes = [...state.nodes, `node${state.nodes.length + 1}=mcp251x@16`];
    update();
  });
  window.addEventListener('hashchange', () => {
    if (location.hash.slice(1) !== written) openFragment(location.hash.slice(1));
  });
  openFragment(location.hash.slice(1), true);
  // For the tests and the first-render benchmark: drawn, and when (ms after navigation);
  // the rest follows once the browser has painted it.
  document.documentElement.dataset.drawnAt = String(Math.round(performance.now()));
  await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
  if (afterFirst) afterFirst();
  afterFirst = null;
  document.documentElement.dataset.ready = 'true';
}

if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
else start();
