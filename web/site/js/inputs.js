// Controls drawn with the model's answers: the segment boxes over the chosen setting and the
// bus's node rows. Each names itself for screen readers and changes the state through the
// callback it is given.
import { el } from './dom.js';

const classicSegments = [['prop', 'Propagation', (t) => t.segments.propagation],
  ['phase1', 'Phase 1', (t) => t.segments.phase1], ['phase2', 'Phase 2', (t) => t.segments.phase2],
  ['sjw', 'SJW', (t) => t.segments.sjw]];
const classicFlags = [['sam', 'Triple sampling (SAM)'], ['wakfil', 'Wake-up filter'],
  ['larger-of', 'Phase 2 the larger of phase 1 and IPT']];
const fdSegments = ['nominal', 'data'].flatMap((phase) => {
  const p = phase[0];
  const name = phase === 'nominal' ? 'Nominal' : 'Data';
  return [[`${p}prop`, `${name} propagation`, (t) => t[phase].propagation],
    [`${p}phase1`, `${name} phase 1`, (t) => t[phase].phase1],
    [`${p}phase2`, `${name} phase 2`, (t) => t[phase].phase2],
    [`${p}sjw`, `${name} SJW`, (t) => t[phase].sjw]];
});

// Boxes for the segments in Tq: empty keeps the proposal (or recommendation), whose value
// shows as the placeholder; `change(name, value)` is called on each change.
export function segmentInputs(fd, opts, t, change) {
  const boxes = (fd ? fdSegments : classicSegments).map(([name, label, current]) => {
    const input = el('input', { name, inputmode: 'numeric', size: '4', value: opts[name] ?? '',
      placeholder: String(current(t)) });
    input.addEventListener('change', () => change(name, input.value.trim()));
    return el('label', {}, `${label} (Tq)`, input);
  });
  const flags = fd ? [] : classicFlags.map(([name, label]) => {
    const box = el('input', { type: 'checkbox', name, checked: opts[name] === true });
    box.addEventListener('change', () => change(name, box.checked));
    return el('label', { class: 'check' }, box, ` ${label}`);
  });
  const reset = el('button', { type: 'button', onclick: () => {
    for (const [name] of fd ? fdSegments : classicSegments) change(name, '');
  } }, 'Back to the proposal');
  return el('fieldset', { class: 'segment-inputs' },
    el('legend', {}, 'Segments (empty: as proposed)'), boxes, flags, reset);
}

// A node written as the command line takes it: NAME=CONTROLLER@MHZ[:setting][:ppm=N].
export function splitNode(text) {
  const m = /^([^=]*)=([^@]*)@([^:]*)(?::(.*))?$/.exec(text);
  if (!m) return { name: '', controller: '', osc: '', setting: text, ppm: '' };
  const parts = (m[4] || '').split(':').filter((p) => p !== '');
  const ppm = parts.find((p) => p.startsWith('ppm='));
  return { name: m[1], controller: m[2], osc: m[3],
    setting: parts.filter((p) => p !== ppm).join(':'), ppm: ppm ? ppm.slice(4) : '' };
}

export function joinNode(n) {
  let text = `${n.name}=${n.controller}@${n.osc}`;
  if (n.setting && n.setting !== 'free') text += `:${n.setting}`;
  if (n.ppm) text += `:ppm=${n.ppm}`;
  return text;
}

// The rows of the nodes table; `change(nodes)` gets the new list of node texts.
export function nodesTable(nodes, controllers, change) {
  const parts = nodes.map(splitNode);
  const commit = () => change(parts.map(joinNode));
  return parts.map((node, i) => {
    const label = (what) => `Node ${i + 1} ${what}`;
    const text = (key, what, size) => {
      const input = el('input', { value: node[key], size, 'aria-label': label(what) });
      input.addEventListener('change', () => { node[key] = input.value.trim(); commit(); });
      return input;
    };
    const select = el('select', { 'aria-label': label('controller') },
      controllers.map((c) => el('option', { value: c.name, selected: c.name === node.controller }, c.name)));
    if (!controllers.some((c) => c.name === node.controller)) {
      select.prepend(el('option', { value: node.controller, selected: true }, node.controller || '?'));
    }
    select.addEventListener('change', () => { node.controller = select.value; commit(); });
    const remove = el('button', { type: 'button', 'aria-label': `Remove node ${i + 1} (${node.name})`,
      onclick: () => { parts.splice(i, 1); commit(); } }, 'Remove');
    return el('tr', {},
      el('td', {}, text('name', 'name', 8)), el('td', {}, select), el('td', {}, text('osc', 'oscillator in MHz', 6)),
      el('td', {}, text('setting', 'setting (free, kernel, linux, cnf=..., segments=...)', 22)),
      el('td', {}, text('ppm', 'crystal tolerance in ppm', 5)), el('td', {}, remove));
  });
}
