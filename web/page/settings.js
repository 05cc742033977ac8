// Settings files: the text is made and read by the workbench module
// (dg2_workbench.js), loaded on first use; records cross between it and the
// instrument byte for byte. As in the window, loading is refused while the
// instrument is off: "ON" starts from the factory settings.
import { $, showStatus } from './elements.js';
import { depth, module, wake } from './instrument.js';
import { copyBytes, download, textModule } from './workbench.js';

const settingsText = textModule;

function copyRecord(from, fromAddress, to, toAddress) {
  copyBytes(from, fromAddress, to, toAddress, module()._dg2_settings_record_size());
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
    download('dg2-settings.toml', toml);
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
