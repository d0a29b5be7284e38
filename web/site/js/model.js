// The model in WebAssembly (quillon.js, built from the C++ sources with Emscripten): loads
// it once and wraps its entry points (web/Bindings.cpp) as plain functions that take and
// give strings and parsed JSON. Works in the page and, through load(factory), under Node.
let calls = null;

function wrap(module) {
  const text = (name, ...types) => module.cwrap(name, 'string', types);
  const run = text('quillon_run', 'string', 'number');
  const read = text('quillon_read', 'string');
  const diagram = text('quillon_diagram', 'string');
  const options = text('quillon_options', 'string');
  const formats = text('quillon_formats', 'number', 'string');
  const fragment = text('quillon_fragment', 'string');
  return {
    // {args, error, status, out, err} for a fragment, with --json where `json` is true.
    run: (frag, json = true) => JSON.parse(run(frag, json ? 1 : 0)),
    // {args, error}: the fragment read into its command line.
    read: (frag) => JSON.parse(read(frag)),
    // The SVG of the setting a timing or export fragment chooses, or ''.
    diagram: (frag) => diagram(frag),
    // [{name, flag, repeats}] for 'timing', 'fd/timing', ...
    options: (command) => JSON.parse(options(command)),
    // [{name, title}]: the export forms for a controller, or the CAN FD ones.
    formats: (fd, controller) => JSON.parse(formats(fd ? 1 : 0, controller || '')),
    // The fragment of an argument list.
    fragment: (args) => fragment(args.join('\n')),
  };
}

// Loads the model with a factory (the QuillonModule global in the page, require() under
// Node, with the wasm file's bytes in `overrides.wasmBinary`); standard input reads as
// empty, output goes nowhere.
export async function load(factory, overrides = {}) {
  if (!calls) {
    // In the page, boot.js has started compiling the model already.
    const compiled = globalThis.quillonWasm;
    const instantiateWasm = compiled && ((imports, receive) => {
      compiled.then((wasm) => WebAssembly.instantiate(wasm, imports)).then((instance) => receive(instance));
      return {};
    });
    const module = await factory({
      stdin: () => null, print: () => {}, printErr: () => {}, ...(instantiateWasm ? { instantiateWasm } : {}), ...overrides,
    });
    calls = wrap(module);
  }
  return calls;
}

export function model() {
  if (!calls) throw new Error('the model is not loaded');
  return calls;
}
