// The classic CAN view's sections drawn from the JSON of candidates, timing and kernel
// (the documents quillon-cli --json prints): the list, the grid, the setting and the kernel's
// choice beside Quillon's.
import { el, table, facts, findings, verdict } from './dom.js';

export const percent = (value, places = 4) =>
  (value === null || value === undefined ? '–' : `${Number(value.toFixed(places))} %`);

// The chosen list with a button per entry; `picked` is the 1-based entry in use, `choose`
// is called with the entry to use.
export function candidateList(c, picked, choose) {
  if (!c.candidates || c.candidates.length === 0) {
    return el('p', {}, 'No prescaler and Tq count hits this rate on this oscillator.');
  }
  const headings = [...c.list_headings, 'SP %', 'Tol %', 'Findings', 'Choose'];
  const rows = c.candidates.map((k, i) => {
    const a = k.analysis || {};
    const n = i + 1;
    const label = `candidate ${n}: ${k.texts.tq} Tq, BRP-1 ${k.texts.brp_minus_1}`;
    return {
      className: picked === n ? 'picked' : undefined,
      cells: [k.texts.tq, k.texts.brp_minus_1, k.texts.osc1_clks, k.texts.err,
        a.sample_point_percent ?? '', a.osc_tolerance_percent !== undefined ? percent(a.osc_tolerance_percent) : '',
        (k.findings || []).map((f) => f.severity).join(', ') || 'none',
        el('button', { type: 'button', 'aria-label': `Use ${label}`, 'aria-pressed': String(picked === n),
          onclick: () => choose(n) }, picked === n ? 'In use' : 'Use')],
    };
  });
  return table('The chosen candidates', headings, rows);
}

// The whole grid: a row per prescaler, a cell per Tq count; the cells that hit the rate are
// buttons that choose them.
export function candidateGrid(c, pickedCell, choose) {
  const g = c.grid;
  if (!g) return null;
  const rows = g.rows.map((r) => ({
    cells: [el('span', { title: r.tq_text }, r.label), ...r.cells.map((cell) => {
      const here = pickedCell && pickedCell.brp1 === r.brp_minus_1 && pickedCell.tq === cell.tq_count;
      if (!cell.matches) return { content: cell.text, className: here ? 'picked' : undefined };
      return { className: here ? 'picked' : undefined,
        content: el('button', { type: 'button', 'aria-pressed': String(!!here),
          'aria-label': `Use BRP-1 ${r.brp_minus_1}, ${cell.tq_count} Tq: ${cell.text}`,
          onclick: () => choose(r.brp_minus_1, cell.tq_count) }, cell.text) };
    })],
  }));
  return table('Every prescaler and Tq count', [g.corner, ...g.headings.slice(1)], rows, 'grid-table');
}

const segmentNames = [['sync', 'Sync'], ['propagation', 'Propagation'], ['phase1', 'Phase 1'],
  ['phase2', 'Phase 2'], ['sjw', 'SJW'], ['bit', 'Bit']];

// A register set as a table: name, hexadecimal, binary.
export function registers(set, caption = 'Registers') {
  const entries = Object.entries(set || {}).filter(([, r]) => r);
  const binary = entries.some(([, r]) => r.binary);
  const rows = entries.map(([name, r]) => [name, r.hex, ...(binary ? [r.binary] : []), String(r.value)]);
  const headings = ['Register', 'Hex', ...(binary ? ['Binary'] : []), 'Value'];
  return el('div', {}, el('h3', {}, caption), table(caption, headings, rows));
}

// The facts of one classic setting (timing, decode, a kernel's or a bus node's setting).
export function settingFacts(t) {
  const s = t.segments;
  const a = t.analysis || {};
  const phase2 = s.phase2_effective !== s.phase2 ? `${s.phase2} (runs as ${s.phase2_effective})` : s.phase2;
  return facts([
    ['Prescaler (BRP-1)', t.candidate.texts.brp_minus_1],
    ['Time quantum', t.rate.tq_text],
    ['Segments', `sync 1 + prop ${s.propagation} + phase 1 ${s.phase1} + phase 2 ${phase2} = ${s.tq_count} Tq, SJW ${s.sjw}` +
      (s.sam ? ', triple sampling' : '') + (s.wakfil ? ', wake-up filter' : '')],
    ['Bit rate', `${t.rate.actual_bps / 1000} kbit/s (error ${t.rate.error_text})`],
    ['Sample point', `${t.sample_point_text} % (recommended ${a.recommended_sample_point_percent} %)`],
    ['Oscillator tolerance', percent(a.osc_tolerance_percent)],
    ['Longest bus', a.bus_length_metres !== undefined ? `${a.bus_length_metres} m` : ''],
  ]);
}

export function durations(t) {
  const rows = segmentNames.map(([key, name]) => [name, String(t.durations[key].tq), t.durations[key].text]);
  return table('Segment durations', ['Segment', 'Tq', 'Duration'], rows);
}

// The whole setting of timing --json: facts, verdict, durations, findings and registers.
export function classicSetting(t) {
  return [
    settingFacts(t),
    verdict(t.verdict),
    t.bus_idle_warning ? el('p', { class: 'problem' }, el('strong', {}, t.bus_idle_warning.title), ' ', t.bus_idle_warning.text) : null,
    durations(t),
    findings(t.findings),
    registers(t.registers),
  ];
}

// kernel --json: the kernel's setting beside Quillon's proposal and recommendation.
export function kernelComparison(k) {
  const columns = [['The kernel', k.kernel_choice && k.kernel_choice.setting],
    ["Quillon's proposal", k.quillon && k.quillon.proposed],
    ["Quillon's recommendation", k.quillon && k.quillon.recommended]].filter(([, s]) => s);
  const row = (name, f) => [name, ...columns.map(([, s]) => f(s))];
  const rows = [
    row('BRP-1, Tq', (s) => `${s.candidate.brp_minus_1}, ${s.segments.tq_count} Tq`),
    row('Prop / phase 1 / phase 2 / SJW', (s) => `${s.segments.propagation} / ${s.segments.phase1} / ${s.segments.phase2} / ${s.segments.sjw}`),
    row('Sample point', (s) => `${s.sample_point_text} %`),
    row('Rate error', (s) => s.rate.error_text),
    row('Oscillator tolerance', (s) => percent(s.analysis.osc_tolerance_percent)),
    row('Longest bus', (s) => `${s.analysis.bus_length_metres} m`),
    row('Verdict', (s) => (s.verdict.pass ? 'passes' : 'fails')),
    row('Errors, warnings', (s) => `${s.findings.filter((f) => f.severity === 'error').length}, ${s.findings.filter((f) => f.severity === 'warning').length}`),
  ];
  const k0 = k.kernel_choice;
  return [
    k0 ? el('p', {}, `Given only the bit rate (ip link ... bitrate), the Linux driver runs tq ${k0.tq_ns} ns, prop-seg ${k0.prop_seg}, phase-seg1 ${k0.phase_seg1}, phase-seg2 ${k0.phase_seg2}, sjw ${k0.sjw}.`) : null,
    table("The kernel's choice beside Quillon's", ['', ...columns.map(([n]) => n)], rows),
    k.differences && k.differences.length ? el('ul', {}, k.differences.map((d) => el('li', {}, d))) : null,
  ];
}
