// The page in headless Chromium, as a user goes through it: one whole flow per kind of
// controller (classic, CAN FD, decode, bus), the address carried to a second window and
// read back to the same setting, an address it cannot read, and every control named for
// screen readers. Each text the page shows for a setting is checked against quillon-cli.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { Browser, serve } from './cdp.mjs';
import { site, cli } from './load-model.mjs';

let server;
let browser;
before(async () => {
  server = await serve(site);
  browser = await Browser.launch();
});
after(async () => {
  await browser?.close();
  await server?.close();
});

const native = (...args) => spawnSync(cli, args, { encoding: 'utf8' }).stdout;
const hash = (page) => page.eval('decodeURIComponent(location.hash)');
const text = (page, selector) => page.eval(`document.querySelector(${JSON.stringify(selector)})?.innerText ?? ''`);
const raw = (page, selector) => page.eval(`document.querySelector(${JSON.stringify(selector)})?.textContent ?? ''`);
// Sets a box or list as typing or choosing does, then leaves it (the change event).
const setValue = (page, selector, value) => page.eval(`(() => {
  const box = document.querySelector(${JSON.stringify(selector)});
  box.value = ${JSON.stringify(value)};
  box.dispatchEvent(new Event('change', { bubbles: true }));
})()`);
const click = (page, selector) => page.eval(`document.querySelector(${JSON.stringify(selector)}).click()`);

test('classic: an MCP2515 on 16 MHz at 500 kbit/s, its ip link line, shared and opened again', async () => {
  const page = await browser.open(`${server.url}/index.html`);
  await setValue(page, '#controller', 'mcp2515');
  assert.equal(await hash(page), '#candidates?controller=mcp2515&osc=16&rate=500');

  // The first candidate chosen by keyboard: focus its button, press Enter.
  await page.eval('document.querySelector(\'button[aria-label^="Use candidate 1:"]\').focus()');
  await page.press('Enter', 'Enter', '\r');
  await page.waitFor('location.hash.includes("pick=1")');
  assert.equal(await hash(page), '#timing?controller=mcp2515&osc=16&rate=500&pick=1');
  assert.match(await text(page, '#setting'), /These settings meet all timing requirements\./);
  assert.match(await page.eval('document.querySelector("#diagram svg title").textContent'), /time quanta/);

  assert.equal(await raw(page, '#export-ip-link'), native('export', '--format', 'ip-link', '--controller', 'mcp2515',
    '--osc', '16', '--rate', '500', '--pick', '1'));
  await click(page, 'button[aria-label="Copy Linux ip link command"]');
  await page.waitFor('document.getElementById("status").textContent.startsWith("Copied")');
  assert.match(await text(page, '#kernel'), /The kernel/);

  // Recommend, then the same address in a second window shows the same setting.
  await click(page, '#recommend');
  await page.waitFor('location.hash.endsWith("recommend")');
  const address = await page.eval('location.href');
  const second = await browser.open(address);
  assert.equal(await hash(second), await hash(page));
  for (const box of ['#controller', '#osc', '#rate']) {
    assert.equal(await second.eval(`document.querySelector('${box}').value`),
      await page.eval(`document.querySelector('${box}').value`), box);
  }
  assert.equal(await second.eval('document.querySelector("#recommend").checked'), true);
  for (const section of ['#setting', '#candidates', '#exports']) {
    assert.equal(await text(second, section), await text(page, section), section);
  }
  assert.match(await text(second, '#setting'), /sync 1 \+ prop 8 \+ phase 1 5 \+ phase 2 2 = 16 Tq, SJW 2/);
  assert.deepEqual([...page.problems, ...second.problems], []);
});

test('CAN FD: an MCP2518FD pair chosen, both bits drawn, the kernel beside it', async () => {
  const page = await browser.open(`${server.url}/index.html`);
  await click(page, 'nav button[data-view="fd"]');
  await page.waitFor('location.hash.startsWith("#fd/candidates")');
  await click(page, 'button[aria-label^="Use pair 2:"]');
  await page.waitFor('location.hash.includes("pick=2")');
  assert.equal(await hash(page), '#fd/timing?controller=mcp2518fd&osc=40&rate=500&data-rate=2000&pick=2');
  assert.match(await text(page, '#setting'), /These settings meet all CAN FD timing requirements\./);
  assert.match(await page.eval('document.querySelector("#diagram svg").getAttribute("viewBox")'), / 248\.00$/);
  await setValue(page, '#segments input[name="dsjw"]', '1');
  await page.waitFor('location.hash.endsWith("dsjw=1")');
  assert.equal(await raw(page, '#export-ip-link-tq'), native('fd', 'export', '--format', 'ip-link-tq',
    '--controller', 'mcp2518fd', '--osc', '40', '--rate', '500', '--data-rate', '2000', '--pick', '2', '--dsjw', '1'));
  assert.match(await text(page, '#kernel'), /Driver mcp251xfd/);
  assert.deepEqual(page.problems, []);
});

test('decode: classic registers, then an FD controller\'s words', async () => {
  const page = await browser.open(`${server.url}/index.html#decode?controller=mcp2515&osc=16&registers=0x00,0xF0,0x86`);
  assert.match(await text(page, '#result'), /Sample point\s+56\.3 %/);
  assert.match(await text(page, '#result'), /sample-point-early/);
  await setValue(page, '#controller', 'mcp2518fd');
  await setValue(page, '#osc', '40');
  await setValue(page, '#registers', '0x00440904,0x000D0401,0x00020F00');
  await page.waitFor('location.hash.startsWith("#fd/decode")');
  assert.match(await text(page, '#result'), /500\.000\s*kbps/);
  assert.deepEqual(page.problems, []);
});

test('bus: three nodes checked, a fourth added by its button', async () => {
  const page = await browser.open(`${server.url}/index.html`);
  await click(page, 'nav button[data-view="bus"]');
  await page.waitFor('document.querySelector("#result").innerText.includes("Bus:")');
  assert.match(await text(page, '#result'), /Bus: compatible\./);
  await click(page, '#add-node');
  await page.waitFor('document.querySelectorAll("#nodes-body tr").length === 4');
  assert.equal((await hash(page)).split('&node=').length - 1, 4);
  await setValue(page, '#nodes-body tr:nth-child(4) input[aria-label="Node 4 oscillator in MHz"]', '8000000');
  assert.match(await text(page, '#result'), /8000000 looks like Hz: did you mean 8 MHz\?/);
  assert.deepEqual(page.problems, []);
});

test('an address the page cannot read is named and left as it is', async () => {
  const page = await browser.open(`${server.url}/index.html#timing?osc=16&osc=20&rate=500`);
  assert.equal(await page.eval('document.getElementById("address-problem").hidden'), false);
  assert.match(await text(page, '#address-problem'), /address: 'osc': given more than once/);
  assert.equal(await hash(page), '#timing?osc=16&osc=20&rate=500');
  const script = await browser.open(`${server.url}/index.html#timing?osc=%3Cscript%3Ealert(1)%3C/script%3E&rate=500&pick=1`);
  assert.match(await text(script, '#candidates'), /'<script>alert\(1\)<\/script>' is not a number/);
  // The text is shown as text: no script but the page's own files, none in the body.
  assert.equal(await script.eval('[...document.scripts].every((s) => s.src.startsWith(location.origin) && !s.closest("body"))'), true);
  assert.equal(await script.eval('document.body.querySelectorAll("script").length'), 0);
});

test('every control has an accessible name and takes the keyboard focus', async () => {
  const page = await browser.open(`${server.url}/index.html#timing?controller=mcp2515&osc=16&rate=500&pick=1`);
  const unnamed = await page.eval(`[...document.querySelectorAll('input, select, button, pre')]
    .filter((e) => !e.closest('[hidden]'))
    .filter((e) => !((e.getAttribute('aria-label') || '').trim() || (e.labels && [...e.labels].some((l) => l.textContent.trim()))
      || (e.tagName === 'BUTTON' && e.textContent.trim())) || e.tabIndex < 0)
    .map((e) => e.outerHTML.slice(0, 80))`);
  assert.deepEqual(unnamed, []);
});
