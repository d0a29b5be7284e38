// Starts compiling the model (quillon.wasm) while the rest of the page loads; model.js
// instantiates it from this promise. Where the server does not say application/wasm, the
// bytes are compiled as they are.
globalThis.quillonWasm = WebAssembly.compileStreaming(fetch('quillon.wasm'))
  .catch(() => fetch('quillon.wasm').then((response) => response.arrayBuffer()).then((bytes) => WebAssembly.compile(bytes)));
