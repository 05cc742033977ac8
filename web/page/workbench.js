// The workbench module (dg2_workbench.js / .wasm), loaded on first use: the
// settings files' text, the links' settings, sensor logs, and the scenario
// driver and session recorder around an instrument of its own. One instance
// stays loaded for the text and the logs; a script or a recording gets a
// fresh one as the page's instrument, as each run of the native runner is a
// fresh process.
import { module } from './instrument.js';

let factory = null;
let textInstance = null;

export async function workbenchFactory() {
  if (!factory) ({ default: factory } = await import('./dg2_workbench.js'));
  return factory;
}

export async function textModule() {
  if (!textInstance) {
    const create = await workbenchFactory();
    const made = await create();
    if (made._dg2_record_size() !== module()._dg2_settings_record_size())
      throw new Error('the workbench module does not belong to this instrument');
    textInstance = made;
  }
  return textInstance;
}

// An export of a module whose instrument may be asleep between two passes
// (where ccall would answer with a promise): numbers and strings in, a
// string out where `text`.
export function call(target, name, args = [], text = false) {
  const held = [];
  const given = args.map((arg) => {
    if (typeof arg !== 'string') return arg;
    const size = target.lengthBytesUTF8(arg) + 1;
    const at = target._malloc(size);
    target.stringToUTF8(arg, at, size);
    held.push(at);
    return at;
  });
  try {
    const answer = target[`_${name}`](...given);
    return text ? target.UTF8ToString(answer) : answer;
  } finally {
    held.forEach((at) => target._free(at));
  }
}

// Copies `size` bytes between two modules' memories (records are the same
// bytes in both: the same sources built them).
export function copyBytes(from, fromAddress, to, toAddress, size) {
  to.HEAPU8.set(from.HEAPU8.slice(fromAddress, fromAddress + size), toAddress);
}

// The running instrument's settings into the text module's own, where its
// readers of values and logs look for them.
export function mirrorSettings(text) {
  const instrument = module();
  if (text === instrument) return;
  copyBytes(instrument, instrument._dg2_settings_record(), text, text._dg2_settings_record(),
            instrument._dg2_settings_record_size());
}

// A path with its "." and ".." resolved, as the file system resolves them
// from its root.
function normalPath(filePath) {
  const parts = [];
  for (const part of filePath.split('/')) {
    if (part === '..') parts.pop();
    else if (part !== '.' && part !== '') parts.push(part);
  }
  return `/${parts.join('/')}`;
}

// A folder and those above it, made as needed.
export function makeFolder(target, folder) {
  const path = normalPath(folder);
  if (path !== '/') target.FS.mkdirTree(path);
}

// A file into a module's file system, its folders made as needed.
export function putFile(target, filePath, bytes) {
  const path = normalPath(filePath);
  makeFolder(target, path.slice(0, path.lastIndexOf('/')));
  target.FS.writeFile(path, bytes);
}

// Tells the page's menu and buttons that a script, a recording or a log
// started or ended (the event 'dg2-workbench' on the document).
export function workbenchChanged() {
  document.dispatchEvent(new Event('dg2-workbench'));
}

// Offers text or bytes as a download named `name`.
export function download(name, data, type = 'text/plain') {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([data], { type }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// A file chooser of its own for each use, its choice handed to `chosen`.
export function chooseFiles(accept, multiple, chosen) {
  const input = document.createElement('input');
  input.type = 'file';
  input.accept = accept;
  input.multiple = multiple;
  input.addEventListener('change', () => {
    const files = [...input.files];
    if (files.length > 0) chosen(files);
  });
  input.click();
}
