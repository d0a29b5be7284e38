// The decode and bus views' results and the export forms, from the JSON of decode, fd decode
// and bus and the texts of export and fd export.
import { el, table, facts, findings, copyBlock } from './dom.js';
import { classicSetting, percent } from './classic.js';
import { fdSetting } from './fd.js';

// decode --json or fd decode --json.
export function decodeResult(d) {
  if (d.command === 'fd decode') {
    return [findings(d.register_findings, 'What the registers hold besides the timing'), fdSetting(d)];
  }
  const other = (d.decoded && d.decoded.other_bits) || [];
  return [
    d.rate_given ? null : el('p', { class: 'muted' }, 'No rate was given: the target is the rate these registers give.'),
    classicSetting(d),
    other.length ? el('div', {}, el('h3', {}, 'Bits that are no timing'),
      table('Bits that are no timing', ['Bit', 'Where', 'Set', 'Meaning'],
        other.map((b) => [b.name, b.position, b.set ? 'yes' : 'no', b.meaning]))) : null,
    d.oscillator_suggestions ? el('p', {}, JSON.stringify(d.oscillator_suggestions)) : null,
  ];
}

function nodeSegments(n) {
  if (n.segments) {
    const s = n.segments;
    return `${n.candidate.brp_minus_1}, ${s.tq_count} Tq: ${s.propagation}/${s.phase1}/${s.phase2}/${s.sjw}`;
  }
  if (n.nominal && n.data) {
    const p = (q) => `${q.brp} x ${q.tq_count} Tq: ${q.propagation}/${q.phase1}/${q.phase2}/${q.sjw}`;
    return `nominal ${p(n.nominal)}; data ${p(n.data)}`;
  }
  return '–';
}

function nodeSamplePoint(n) {
  if (n.sample_point_text) return `${n.sample_point_text} %`;
  if (n.nominal && n.data) return `${n.nominal.sample_point_text} / ${n.data.sample_point_text} %`;
  return '–';
}

function nodeRate(n) {
  if (n.rate) return `${n.rate.actual_bps / 1000} kbit/s (${n.rate.error_text})`;
  if (n.nominal && n.data) return `${n.nominal.actual_text} / ${n.data.actual_text}`;
  return '–';
}

// bus --json: the verdict and margin, a row per node, then each node's findings.
export function busResult(b) {
  const bus = b.bus || {};
  const nodes = b.nodes || [];
  return [
    el('p', { class: bus.verdict === 'compatible' ? 'verdict-pass' : 'verdict-fail' },
      `Bus: ${bus.verdict}.`),
    facts([
      ['Margin', percent(bus.margin_percent)],
      ['df_min (smallest tolerance)', percent(bus.df_min_percent)],
      ['Sample point spread', bus.sample_point_spread_percent !== undefined ? `${bus.sample_point_spread_percent} points` : ''],
    ]),
    (bus.problems || []).length ? el('ul', {}, bus.problems.map((p) => el('li', {}, typeof p === 'string' ? p : JSON.stringify(p)))) : null,
    table('The nodes', ['Node', 'Controller', 'Source', 'Oscillator', 'BRP-1 / Tq / segments', 'Rate', 'SP',
      'Tol %', 'Need %', 'Crystal'],
    nodes.map((n) => [n.name, n.family, n.source, `${n.oscillator_mhz} MHz`, nodeSegments(n), nodeRate(n),
      nodeSamplePoint(n), percent(n.osc_tolerance_percent), percent(n.need_percent), `${n.crystal_ppm} ppm`])),
    nodes.filter((n) => (n.findings || []).length).map((n) => findings(n.findings, `Findings: ${n.name}`)),
  ];
}

// One export form: its text with a copy button, and what the target refuses or changes.
export function exportForm(format, output) {
  const id = `export-${format.name}`;
  const reasons = output.err.trim();
  if (!output.out) {
    return el('div', { class: 'export' }, el('h3', {}, format.title), el('p', { class: 'problem' }, reasons || 'Nothing to export.'));
  }
  const block = copyBlock(format.title, output.out, id);
  if (reasons) block.append(el('p', { class: 'problem' }, reasons));
  return block;
}
