// The CAN FD view's sections from the JSON of fd candidates, fd timing and fd kernel: the
// list of nominal and data pairs, the setting of both phases with the TDC, and the
// kernel's own choice beside Quillon's.
import { el, table, facts, findings, verdict } from './dom.js';
import { percent, registers } from './classic.js';

const kbps = (bps) => `${bps / 1000} kbit/s`;

// The pairs, a button per entry; `picked` is the 1-based entry in use.
export function fdCandidateList(c, picked, choose) {
  if (!c.candidates || c.candidates.length === 0) {
    return el('p', {}, 'No pair of prescalers and Tq counts hits both rates on this clock.');
  }
  const headings = ['#', 'NBRP', 'NTq', 'DBRP', 'DTq', 'Same Tq', 'TDC', '%Err nominal', '%Err data',
    'SP %', 'Tol %', 'Usable', 'Choose'];
  const rows = c.candidates.map((entry, i) => {
    const k = entry.candidate;
    const p = entry.proposal || {};
    const n = i + 1;
    const label = `pair ${n}: nominal ${k.nominal.brp} x ${k.nominal.tq_count} Tq, data ${k.data.brp} x ${k.data.tq_count} Tq`;
    return {
      className: picked === n ? 'picked' : undefined,
      cells: [String(n), k.nominal.brp, k.nominal.tq_count, k.data.brp, k.data.tq_count,
        k.same_quantum ? 'yes' : 'no', k.tdc_possible ? 'yes' : 'no',
        Number(k.nominal.error_percent.toFixed(3)), Number(k.data.error_percent.toFixed(3)),
        `${p.nominal_sample_point_percent} / ${p.data_sample_point_percent}`,
        percent(p.osc_tolerance_percent), k.usable ? 'yes' : 'no',
        el('button', { type: 'button', 'aria-label': `Use ${label}`, 'aria-pressed': String(picked === n),
          onclick: () => choose(n) }, picked === n ? 'In use' : 'Use')],
    };
  });
  const usable = rows.filter((_, i) => c.candidates[i].candidate.usable);
  const others = rows.filter((_, i) => !c.candidates[i].candidate.usable);
  return [
    usable.length ? table('The usable pairs', headings, usable) : el('p', {}, 'No pair is usable.'),
    others.length ? el('details', { open: others.some((r) => r.className) },
      el('summary', {}, `Pairs that are not usable (${others.length})`),
      table('The pairs that are not usable', headings, others)) : null,
  ];
}

function phaseRow(name, p) {
  return [name, String(p.brp), String(p.tq_count), p.tq_text,
    `1 + ${p.propagation} + ${p.phase1} + ${p.phase2}`, String(p.sjw), p.actual_text,
    `${Number(p.error_percent.toFixed(4))} %`, `${p.sample_point_text} % (${p.recommended_sample_point_percent} %)`];
}

// fd timing --json: both phases, the TDC, the verdict, findings and registers.
export function fdSetting(t) {
  const tdc = t.tdc || {};
  return [
    table('The two phases', ['Phase', 'BRP', 'Tq', 'Time quantum', 'Sync + prop + phase 1 + phase 2',
      'SJW', 'Rate', 'Error', 'Sample point (recommended)'],
    [phaseRow('Nominal', t.nominal), phaseRow('Data', t.data)]),
    facts([
      ['Clock (SYSCLK)', `${t.sysclk_mhz} MHz${t.pll ? ' (PLL)' : ''}`],
      ['TDC', `${tdc.mode}, TDCO ${tdc.tdco}, TDCV ${tdc.tdcv}` +
        (tdc.required ? ` (needed: ${tdc.required.mode}, TDCO ${tdc.required.tdco})` : '')],
      ['Oscillator tolerance', t.analysis ? percent(t.analysis.osc_tolerance_percent) : ''],
    ]),
    verdict(t.verdict),
    findings(t.findings),
    Object.entries(t.registers || {}).map(([family, set]) => registers(set, `Registers: ${family}`)),
  ];
}

// fd kernel --json beside Quillon's setting (fd timing --json, when one is chosen).
export function fdKernel(k, ours) {
  const d = k.driver || {};
  const choice = k.kernel_choice;
  if (!choice) {
    return [el('p', {}, d.refusal || 'The kernel has no setting for these rates.')];
  }
  const row = (name, p, q) => [name, `${p.tq_ns} ns`, String(p.brp), `${p.prop_seg} / ${p.phase_seg1} / ${p.phase_seg2}`,
    String(p.sjw), kbps(p.bitrate_bps), `${p.sample_point_percent} %`,
    q ? `${q.brp}, ${q.propagation} / ${q.phase1} / ${q.phase2}, SJW ${q.sjw}, ${q.sample_point_text} %` : '–'];
  return [
    el('p', {}, `Driver ${d.name} at ${d.clock_hz / 1e6} MHz${d.pll_note ? `; ${d.pll_note}` : ''}. TDC: ${choice.tdc.mode}, TDCO ${choice.tdc.tdco}.`),
    table("The kernel's choice beside Quillon's", ['Phase', 'Tq', 'BRP', 'Prop / phase 1 / phase 2', 'SJW', 'Rate',
      'Sample point', "Quillon's (BRP, segments, SJW, SP)"],
    [row('Nominal', choice.nominal, ours && ours.nominal), row('Data', choice.data, ours && ours.data)]),
    choice.tdc.rule ? el('p', { class: 'muted' }, choice.tdc.rule) : null,
    verdict(choice.verdict),
    findings(choice.findings, "Findings on the kernel's choice"),
  ];
}
