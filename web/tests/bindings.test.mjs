// The page's bindings under Node: the model's answers pass through them unchanged. The
// JSON and texts the page shows must be byte for byte what the native quillon-cli prints
// for the same command line (the rules themselves are proven in timing/tests).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { loadModel, cli } from './load-model.mjs';

const model = await loadModel();

function native(args) {
  assert.ok(existsSync(cli), `${cli} is missing: build quillon-cli first (or set QUILLON_CLI)`);
  const run = spawnSync(cli, args, { encoding: 'utf8', env: { ...process.env, LC_ALL: 'C.UTF-8' } });
  return { status: run.status, out: run.stdout, err: run.stderr };
}

// One fragment per command the page runs, over oscillators, rates, controllers and the bus
// options, with numbers that are not whole (tolerances, grid rates, FD errors).
const sameAsCli = [
  'candidates?osc=20&rate=125',
  'candidates?controller=mcp2515&osc=16&rate=500&grid&analyse',
  'candidates?controller=pic18&osc=40&rate=250&analyse&bus-length=40',
  'timing?controller=mcp2515&osc=16&rate=500&pick=1&recommend',
  'timing?osc=16&rate=500&pick=2&prop=2&phase1=3&phase2=2',
  'timing?osc=3.6864&rate=115.2&brp1=0&tq=16&sam&ppm=50',
  'timing?controller=at91&osc=18.432&rate=250&brp1=5&tq=12',
  'kernel?controller=mcp2515&osc=16&rate=500',
  'kernel?osc=10&rate=83.333&sample-point=87.5',
  'decode?controller=mcp2515&osc=16&registers=0x00,0x90,0x02',
  'decode?osc=8&cnf=0x41,0xF1,0x85&rate=125&measured-rate=124.2',
  'bus?rate=500&node=pi=mcp251x@16:kernel&node=uno=mcp251x@16:cnf=0x00,0xF0,0x86&node=plc=pic18@40',
  'fd/candidates?osc=40&rate=500&data-rate=2000',
  'fd/timing?controller=mcp2518fd&osc=40&rate=500&data-rate=2000&pick=1&recommend',
  'fd/timing?controller=mcan&osc=40&rate=1000&data-rate=5000&pick=3&transceiver=5M',
  'fd/kernel?osc=20&rate=500&data-rate=4000',
  'fd/decode?osc=40&registers=0x00440904,0x000D0401,0x00020F00',
  'bus?rate=500&data-rate=2000&node=pi=mcp2518fd@40:kernel&node=new=mcp2517fd@20',
  'controllers',
];

test('the page prints what quillon-cli --json prints', () => {
  for (const fragment of sameAsCli) {
    const page = model.run(fragment, true);
    assert.equal(page.error, '', fragment);
    assert.notEqual(page.status, 2, `${fragment}: ${page.err}`);
    assert.equal(page.args.at(-1), '--json', fragment);
    const expected = native(page.args);
    assert.equal(page.out, expected.out, fragment);
    assert.equal(page.err, expected.err, fragment);
    assert.equal(page.status, expected.status, fragment);
  }
});

test('export forms are the command line text', () => {
  for (const format of ['c-mcp251x', 'ip-link', 'networkd', 'rpi-overlay', 'json']) {
    const fragment = `export?controller=mcp2515&osc=16&rate=500&pick=1&format=${format}`;
    const page = model.run(fragment, false);
    const expected = native(page.args);
    assert.equal(page.out, expected.out, fragment);
    assert.equal(page.status, expected.status, fragment);
  }
  const fd = model.run('fd/export?osc=40&rate=500&data-rate=2000&pick=1&format=ip-link-tq', false);
  assert.equal(fd.out, native(fd.args).out);
});

test('values pass through: rows of the model tables', () => {
  // The README's examples: four candidates for 20 MHz / 125 kbit/s, CICFG2 0x0191.
  const list = JSON.parse(model.run('candidates?osc=20&rate=125').out);
  assert.deepEqual(list.candidates.map((c) => c.tq_count), [20, 16, 10, 8]);
  const timing = JSON.parse(model.run('timing?osc=16&rate=500&pick=2&prop=2&phase1=3&phase2=2').out);
  assert.equal(timing.registers.CICFG2.hex, '0x0191');
  const fd = JSON.parse(model.run('fd/timing?osc=40&rate=500&data-rate=2000&pick=1').out);
  assert.equal(fd.registers.mcp251xfd.CiNBTCFG.hex, '0x00440904');
});

test('refusals pass through with what was read', () => {
  const twice = model.run('timing?osc=16&osc=20&rate=500');
  assert.equal(twice.error, "address: 'osc': given more than once");
  assert.equal(twice.status, 2);
  const hz = model.run('timing?osc=16000000&rate=500&pick=1');
  assert.equal(hz.err, 'quillon-cli: --osc: 16000000 looks like Hz: did you mean 16 MHz?\n');
  assert.equal(hz.status, 2);
  const report = model.run('report?osc=16&rate=500&pick=1');
  assert.match(report.error, /^address: 'report': writes files/);
});

test('the diagram, the forms and the options come from the model', () => {
  const svg = model.diagram('timing?osc=16&rate=500&pick=1&recommend');
  assert.match(svg, /^<svg [^>]*viewBox="-6.00 0 956.00 106.00"/);
  for (const label of ['sync', 'prop', 'phase1', 'phase2', 'Sample Point (87.5 % of bit time)', '1.0 µs']) {
    assert.ok(svg.includes(`>${label}</text>`), label);
  }
  assert.match(model.diagram('fd/timing?osc=40&rate=500&data-rate=2000&pick=1'), /viewBox="-6.00 0 956.00 248.00"/);
  assert.equal(model.diagram('candidates?osc=16&rate=500'), '');
  assert.deepEqual(model.formats(false, 'pic18').map((f) => f.name), ['c-pic18', 'json']);
  assert.ok(model.options('fd/timing').some((o) => o.name === 'data-rate' && !o.flag));
  const args = ['bus', '--rate=500', '--node=a=mcp251x@16:kernel'];
  assert.deepEqual(model.read(model.fragment(args)).args, args);
});
