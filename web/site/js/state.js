// The page's state and the address: the view, the options in quillon-cli's names (without
// dashes) and the bus's nodes. The address's fragment holds the command that stands for the
// whole view and exactly these options; it is read by the model's own reader
// (quillon_read), which refuses what it cannot read, and written by its writer.
import { model } from './model.js';

// The commands of each view, in the order the fragment's command is chosen from: the first
// that takes every option the state holds.
export const viewCommands = {
  classic: ['candidates', 'timing', 'kernel', 'export'],
  fd: ['fd/candidates', 'fd/timing', 'fd/kernel', 'fd/export'],
  decode: ['decode', 'fd/decode'],
  bus: ['bus'],
};

// Flags the page adds to its own runs; a fragment that holds them loses nothing without.
const pageFlags = new Set(['json', 'grid', 'analyse', 'analyze']);

const optionCache = new Map();
// {name -> {flag, repeats}} of a command.
export function optionsOf(command) {
  if (!optionCache.has(command)) {
    const map = new Map();
    for (const o of model().options(command)) map.set(o.name, o);
    optionCache.set(command, map);
  }
  return optionCache.get(command);
}

export function viewOf(command) {
  for (const [view, commands] of Object.entries(viewCommands)) {
    if (commands.includes(command)) return view;
  }
  return null;
}

export function defaultState() {
  return { view: 'classic', opts: { controller: 'mcp251x', osc: '16', rate: '500' }, nodes: [] };
}

// The state of a fragment: {state} or {problem} naming what could not be read.
export function readFragment(fragment) {
  const { args, error } = model().read(fragment);
  if (error) return { problem: error };
  const words = args.filter((a) => !a.startsWith('--'));
  const command = words.join('/');
  const view = viewOf(command);
  if (!view) {
    return { problem: `address: '${command}': the page shows ${Object.values(viewCommands).flat().join(', ')}` };
  }
  const state = { view, opts: {}, nodes: [], command };
  for (const argument of args.slice(words.length)) {
    const at = argument.indexOf('=');
    const name = argument.slice(2, at < 0 ? undefined : at);
    const value = at < 0 ? true : argument.slice(at + 1);
    if (pageFlags.has(name)) continue;
    if (name === 'node') state.nodes.push(value);
    else state.opts[name] = value;
  }
  return { state };
}

// The names the state gives a value (empty texts are not given).
function givenNames(state) {
  const names = Object.keys(state.opts).filter((n) => state.opts[n] !== '' && state.opts[n] !== false);
  if (state.nodes.length) names.push('node');
  return names;
}

// The command that stands for the view: the first of its commands that takes every option
// given; for decode, the CAN FD one when the controller is an FD row.
export function commandOf(state, fdController = false) {
  if (state.view === 'decode') return fdController ? 'fd/decode' : 'decode';
  const names = givenNames(state);
  const commands = viewCommands[state.view];
  return commands.find((c) => names.every((n) => optionsOf(c).has(n))) || commands[commands.length - 1];
}

// The argument list of `command` for the state: the options it takes, in the state's
// order, then `extra` ({name: value|true}) over them.
export function argsFor(state, command, extra = {}) {
  const accepted = optionsOf(command);
  const args = command.split('/');
  const opts = { ...state.opts, ...extra };
  for (const [name, value] of Object.entries(opts)) {
    if (value === '' || value === false || value === undefined || !accepted.has(name)) continue;
    args.push(value === true ? `--${name}` : `--${name}=${value}`);
  }
  if (accepted.has('node')) for (const node of state.nodes) args.push(`--node=${node}`);
  return args;
}

export function fragmentFor(state, command, extra) {
  return model().fragment(argsFor(state, command, extra));
}

// The command line for quillon-cli, quoted for a POSIX shell where needed.
export function commandLine(args) {
  const quote = (a) => (/^[A-Za-z0-9_./:@,=+-]+$/.test(a) ? a : `'${a.replace(/'/g, "'\\''")}'`);
  return ['quillon-cli', ...args.map((a) => {
    const at = a.indexOf('=');
    return a.startsWith('--') && at > 0 ? `${a.slice(0, at)} ${quote(a.slice(at + 1))}` : quote(a);
  })].join(' ');
}
