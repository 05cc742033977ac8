// The page's workbench module (dg2_workbench.js / .wasm), loaded on first
// use so the first load stays small: settings files' text, sensors by value,
// LCD animations, the links' settings and sensor logs (one instance, loaded
// once), and the scenario driver and the session recorder around an
// instrument of its own: a script or a recording gets a fresh instance as the
// page's instrument, as each run of the native runner is a fresh process. Its
// answers depend on the instrument's settings, which cross from the
// instrument's memory byte for byte: both modules are built from the same
// sources.
import { module, useInstrument } from './instrument.js';
import { currentSpeed, isPaused } from './time_control.js';

let factory = null;
let loading = null;

export async function workbenchFactory() {
  if (!factory) ({ default: factory } = await import('./dg2_workbench.js'));
  return factory;
}

// The module, loaded once; a failed load (offline before it was cached) is
// tried again next time.
export function workbench() {
  if (!loading) {
    loading = workbenchFactory().then((create) => create()).then((made) => {
      if (made._dg2_record_size() !== module()._dg2_settings_record_size())
        throw new Error('the workbench module does not belong to this instrument');
      return made;
    });
    loading.catch(() => { loading = null; });
  }
  return loading;
}

export function copyRecord(from, fromAddress, to, toAddress) {
  const size = module()._dg2_settings_record_size();
  to.HEAPU8.set(from.HEAPU8.subarray(fromAddress, fromAddress + size), toAddress);
}

// The module with the running instrument's settings in force for its
// lookups of sensors by value.
export async function workbenchWithSettings() {
  const made = await workbench();
  const instrument = module();
  copyRecord(instrument, instrument._dg2_settings_record(), made, made._dg2_sensor_settings());
  return made;
}

// A fresh instance put in place of the instrument (which must be off), with
// the Time menu's speed and pause.
export function adoptInstrument(made) {
  useInstrument(made);
  made._dg2_set_speed(currentSpeed());
  made._dg2_set_paused(isPaused() ? 1 : 0);
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

// The running instrument's settings into the workbench module's own, where
// its readers of values and logs look for them.
export function mirrorSettings(made) {
  const instrument = module();
  if (made !== instrument)
    copyRecord(instrument, instrument._dg2_settings_record(), made, made._dg2_settings_record());
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
