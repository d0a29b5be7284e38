// Loads the page's model (build-web/site/quillon.js and .wasm) under Node for the tests,
// and finds the native quillon-cli to compare it with.
import { createRequire } from 'node:module';
import { readFileSync, existsSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import path from 'node:path';

const here = path.dirname(fileURLToPath(import.meta.url));
export const root = path.resolve(here, '../..');
export const site = process.env.QUILLON_WEB_SITE || path.join(root, 'build-web/site');
export const cli = process.env.QUILLON_CLI || path.join(root, 'build/cli/quillon-cli');

export async function loadModel() {
  for (const file of ['quillon.js', 'quillon.wasm']) {
    if (!existsSync(path.join(site, file))) {
      throw new Error(`${path.join(site, file)} is missing: build the page first (tools/dev web)`);
    }
  }
  const require = createRequire(import.meta.url);
  const factory = require(path.join(site, 'quillon.js'));
  const { load } = await import(path.join(root, 'web/site/js/model.js'));
  return load(factory, { wasmBinary: readFileSync(path.join(site, 'quillon.wasm')) });
}
