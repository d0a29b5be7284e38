// The page's budgets, measured (a benchmark, not a test): the first render of a shared
// address in headless Chromium, in ms after navigation starts (budget 300 ms), and the size
// of the site's files (budget 1.5 MB). Optionally writes a screenshot of the page, light
// or dark, for the README:
//   node web/tests/bench.mjs [--runs N] [--screenshot FILE [--dark]] [FRAGMENT]
import { readdirSync, statSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { Browser, serve } from './cdp.mjs';
import { site } from './load-model.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => (args.includes(name) ? args[args.indexOf(name) + 1] : fallback);
const runs = Number(option('--runs', 10));
const screenshot = option('--screenshot', null);
const dark = args.includes('--dark');
const fragment = args.filter((a, i) => !a.startsWith('--') && !['--runs', '--screenshot'].includes(args[i - 1]))[0]
  || 'timing?controller=mcp2515&osc=16&rate=500&pick=1&recommend';

function sizeOf(folder) {
  return readdirSync(folder).reduce((sum, name) => {
    const file = path.join(folder, name);
    return sum + (statSync(file).isDirectory() ? sizeOf(file) : statSync(file).size);
  }, 0);
}

const server = await serve(site);
const browser = await Browser.launch({ dark });
try {
  const times = [];
  const parts = []; // when the page's parts were there: DOM, wasm file, model compiled
  for (let i = 0; i < runs; i++) {
    const page = await browser.open(`${server.url}/index.html?run=${i}#${fragment}`);
    times.push(Number(await page.eval('document.documentElement.dataset.drawnAt')));
    parts.push(await page.eval(`({ loaded: Math.round(performance.getEntriesByName('quillon-model-loaded')[0].startTime),
      wasm: Math.round(performance.getEntriesByType('resource').find((r) => r.name.endsWith('.wasm')).responseEnd),
      dom: Math.round(performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd) })`));
    if (screenshot && i === runs - 1) {
      await page.send('Emulation.setDeviceMetricsOverride', { width: 1100, height: 1500, deviceScaleFactor: 1, mobile: false });
      await page.eval('document.getElementById("grid-details").open = false');
      const { data } = await page.send('Page.captureScreenshot', { format: 'png',
        clip: { x: 0, y: 0, width: 1100, height: 1500, scale: 1 } });
      writeFileSync(screenshot, Buffer.from(data, 'base64'));
    }
    await browser.send('Target.closeTarget', { targetId: page.targetId });
  }
  times.sort((a, b) => a - b);
  const bytes = sizeOf(site);
  console.log(`first render of #${fragment}: median ${times[Math.floor(times.length / 2)]} ms, ` +
    `fastest ${times[0]} ms, slowest ${times.at(-1)} ms over ${runs} loads (budget 300 ms)`);
  const middle = (key) => parts.map((p) => p[key]).sort((a, b) => a - b)[Math.floor(parts.length / 2)];
  console.log(`  medians: DOM ready ${middle('dom')} ms, wasm fetched ${middle('wasm')} ms, model ready ${middle('loaded')} ms`);
  console.log(`site: ${bytes} bytes (${(bytes / 1048576).toFixed(2)} MB; budget 1.5 MB)`);
} finally {
  await browser.close();
  await server.close();
}
