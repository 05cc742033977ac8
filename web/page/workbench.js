// The page's workbench module (dg2_workbench.js / .wasm): settings files'
// text and sensors by value, by the same code as the window's. Loaded on first
// use, so the first load stays small. Its answers depend on the instrument's
// settings, which cross from the instrument's memory byte for byte: both
// modules are built from the same sources.
import { module } from './instrument.js';

let loading = null;

// The module, loaded once; a failed load (offline before it was cached) is
// tried again next time.
export function workbench() {
  if (!loading) {
    loading = import('./dg2_workbench.js').then(({ default: create }) => create()).then((made) => {
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
