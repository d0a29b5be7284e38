// Just enough of the DevTools protocol to drive Debian's Chromium from the tests: the
// browser is started with --remote-debugging-pipe (messages on its fds 3 and 4, so no
// WebSocket and no npm package), pages are attached in flat sessions. Also a static file
// server for the built site on 127.0.0.1, as any host would serve it.
import { spawn } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.svg': 'image/svg+xml' };

// Serves `root` on a free port of 127.0.0.1; resolves to {url, close}.
export function serve(root) {
  const server = createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, path.normalize(name === '/' ? '/index.html' : name));
    try {
      if (!file.startsWith(root) || !statSync(file).isFile()) throw new Error('not a file');
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}`,
    close: () => new Promise((done) => server.close(done)),
  })));
}

export const chromiumFlags = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
  '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'];

export class Browser {
  static async launch({ dark = false } = {}) {
    const profile = mkdtempSync(path.join(tmpdir(), 'quillon-chromium-'));
    const binary = process.env.CHROMIUM || '/usr/bin/chromium';
    const flags = [...chromiumFlags, `--user-data-dir=${profile}`, '--remote-debugging-pipe',
      '--window-size=1280,900', ...(dark ? ['--force-dark-mode'] : []), 'about:blank'];
    const child = spawn(binary, flags, { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
    return new Browser(child, profile);
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.next = 1;
    this.waiting = new Map();
    this.listeners = [];
    let buffered = '';
    child.stdio[4].on('data', (chunk) => {
      buffered += chunk.toString('utf8');
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        const message = JSON.parse(buffered.slice(0, end));
        buffered = buffered.slice(end + 1);
        if (message.id && this.waiting.has(message.id)) {
          const { resolve, reject, method } = this.waiting.get(message.id);
          this.waiting.delete(message.id);
          if (message.error) reject(new Error(`${method}: ${message.error.message}`));
          else resolve(message.result);
        } else {
          for (const listener of this.listeners) listener(message);
        }
      }
    });
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.next++;
    this.child.stdio[3].write(`${JSON.stringify({ id, method, params, sessionId })}\0`);
    return new Promise((resolve, reject) => this.waiting.set(id, { resolve, reject, method }));
  }

  // A new tab at `url`, attached; resolves once the page says it is drawn.
  async open(url) {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, sessionId, targetId);
    await page.send('Runtime.enable');
    await page.send('Log.enable');
    await page.send('Page.enable');
    await page.send('Emulation.setFocusEmulationEnabled', { enabled: true });
    await page.send('Page.navigate', { url });
    await page.waitFor('document.documentElement.dataset.ready === "true"');
    return page;
  }

  // Closes the browser as its own menu would (its helpers end with it), then removes the
  // profile; a browser that does not end within 5 s is killed.
  async close() {
    const exited = new Promise((resolve) => (this.child.exitCode !== null ? resolve() : this.child.once('exit', resolve)));
    this.send('Browser.close').catch(() => {});
    const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
    await exited;
    clearTimeout(timer);
    rmSync(this.profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
  }
}

export class Page {
  constructor(browser, sessionId, targetId) {
    this.browser = browser;
    this.sessionId = sessionId;
    this.targetId = targetId;
    this.problems = []; // console errors, exceptions and CSP or network refusals
    browser.listeners.push((m) => {
      if (m.sessionId !== sessionId) return;
      if (m.method === 'Runtime.exceptionThrown') this.problems.push(m.params.exceptionDetails.text);
      if (m.method === 'Runtime.consoleAPICalled' && ['error', 'warning'].includes(m.params.type)) {
        this.problems.push(m.params.args.map((a) => a.value ?? a.description).join(' '));
      }
      if (m.method === 'Log.entryAdded' && ['error', 'warning'].includes(m.params.entry.level)) {
        this.problems.push(m.params.entry.text);
      }
    });
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  // The value of a JavaScript expression in the page (promises awaited).
  async eval(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate',
      { expression, returnByValue: true, awaitPromise: true, userGesture: true });
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.exception?.description || exceptionDetails.text}`);
    return result.value;
  }

  async waitFor(expression, timeoutMs = 10000) {
    const until = Date.now() + timeoutMs;
    while (Date.now() < until) {
      if (await this.eval(`Boolean(${expression})`).catch(() => false)) return;
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
    throw new Error(`waited ${timeoutMs} ms for ${expression}`);
  }

  // A key pressed and released on the focused element, as a keyboard does it.
  async press(key, code = key, text = undefined) {
    const keyCodes = { Enter: 13, Tab: 9, ' ': 32 };
    const base = { key, code, windowsVirtualKeyCode: keyCodes[key], nativeVirtualKeyCode: keyCodes[key] };
    await this.send('Input.dispatchKeyEvent', { type: 'keyDown', ...base, text });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', ...base });
  }

  async screenshot() {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png', captureBeyondViewport: true });
    return Buffer.from(data, 'base64');
  }
}
