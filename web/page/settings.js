// Settings files: the text is made and read by a module of its own
// (dg2_settings.js), loaded on first use; records cross between it and the
// instrument byte for byte. As in the window, loading is refused while the
// instrument is off: "ON" starts from the factory settings.
import { $, showStatus } from './elements.js';
import { depth, module, wake } from './instrument.js';

let settingsModule = null;

async function settingsText() {
  if (!settingsModule) {
    const { default: create } = await import('./dg2_settings.js');
    settingsModule = await create();
  }
  if (settingsModule._dg2_record_size() !== module()._dg2_settings_record_size())
    throw new Error('the settings module does not belong to this instrument');
  return settingsModule;
}

function copyRecord(from, fromAddress, to, toAddress) {
  const size = module()._dg2_settings_record_size();
  to.HEAPU8.set(from.HEAPU8.subarray(fromAddress, fromAddress + size), toAddress);
}

export async function saveSettings() {
  try {
    const text = await settingsText();
    const instrument = module();
    copyRecord(instrument, instrument._dg2_settings_record(), text, text._dg2_record());
    const toml = text.ccall('dg2_record_to_text', 'string', [], []);
    if (toml === '') {
      showStatus('No settings to save yet: switch the instrument on first');
      return;
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([toml], { type: 'text/plain' }));
    link.download = 'dg2-settings.toml';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    showStatus('Settings saved to dg2-settings.toml');
  } catch (error) {
    showStatus(`Settings cannot be saved: ${error.message}`);
  }
}

// Opens the file chooser, whose choice comes to loadSettings.
export function chooseSettingsFile() {
  if (depth() === 0) {
    showStatus('The instrument is off: switch it on, then load settings');
    return;
  }
  $('SettingsFile').click();
}

export async function loadSettings(file) {
  try {
    const text = await settingsText();
    // Asked before the file is read: the limit is the settings reader's.
    const tooLarge = text.ccall('dg2_settings_file_size_error', 'string', ['number', 'string'],
                                [file.size, file.name]);
    if (tooLarge !== '') {
      showStatus(tooLarge);
      return;
    }
    const source = await file.text();
    const error = text.ccall('dg2_text_to_record', 'string', ['string', 'string'],
                             [source, file.name]);
    if (error !== '') {
      showStatus(error);
      return;
    }
    const instrument = module();
    copyRecord(text, text._dg2_record(), instrument, instrument._dg2_incoming_record());
    if (!instrument._dg2_apply_settings()) {
      showStatus('The instrument is off: switch it on, then load settings');
      return;
    }
    wake(false);
    showStatus(`Settings loaded from ${file.name}: in force from the next pass`);
  } catch (error) {
    showStatus(`Settings cannot be loaded: ${error.message}`);
  }
}
