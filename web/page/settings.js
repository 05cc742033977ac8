// Settings files: the text is made and read by the workbench module
// (workbench.js), loaded on first use; records cross between it and the
// instrument byte for byte. As in the window, loading is refused while the
// instrument is off: "ON" starts from the factory settings; the user names
// a saved file, and a failure is told in a warning box.
import { $, showStatus } from './elements.js';
import { depth, module, wake } from './instrument.js';
import { copyRecord, workbench } from './workbench.js';

const STATUS_MS = 10000;
const OFF = 'The instrument is off: switch it on, then load settings.';

// A failure in the status bar and, whole, in a warning box, as the window
// tells it; loading is all or nothing.
async function failed(title, text, unchanged = false) {
  showStatus(text);
  const { showFailure } = await import('./dialogs.js');
  showFailure(title, unchanged ? `${text}\n\nThe instrument's settings are unchanged.` : text);
}

export async function saveSettings() {
  try {
    const text = await workbench();
    const instrument = module();
    copyRecord(instrument, instrument._dg2_settings_record(), text, text._dg2_record());
    const toml = text.ccall('dg2_record_to_text', 'string', [], []);
    if (toml === '') {
      failed('Save settings', 'No settings to save yet: switch the instrument on first.');
      return;
    }
    const { askFileName, download } = await import('./dialogs.js');
    const name = await askFileName('Save settings', 'dg2-settings.toml', '.toml');
    if (name === null) return;
    download(new Blob([toml], { type: 'text/plain' }), name);
    showStatus(`Settings saved to ${name}`, STATUS_MS);
  } catch (error) {
    failed('Save settings', `Settings cannot be saved: ${error.message}`);
  }
}

// Opens the file chooser, whose choice comes to loadSettings.
export function chooseSettingsFile() {
  if (depth() === 0) {
    failed('Load settings', OFF, true);
    return;
  }
  $('SettingsFile').click();
}

export async function loadSettings(file) {
  try {
    const text = await workbench();
    // Asked before the file is read: the limit is the settings reader's.
    const tooLarge = text.ccall('dg2_settings_file_size_error', 'string', ['number', 'string'],
                                [file.size, file.name]);
    if (tooLarge !== '') {
      failed('Load settings', tooLarge, true);
      return;
    }
    const source = await file.text();
    const error = text.ccall('dg2_text_to_record', 'string', ['string', 'string'],
                             [source, file.name]);
    if (error !== '') {
      failed('Load settings', error, true);
      return;
    }
    const instrument = module();
    copyRecord(text, text._dg2_record(), instrument, instrument._dg2_incoming_record());
    if (!instrument._dg2_apply_settings()) {
      failed('Load settings', OFF, true);
      return;
    }
    wake(false);
    showStatus(`Settings loaded from ${file.name}: in force from the next pass`, STATUS_MS);
  } catch (error) {
    failed('Load settings', `Settings cannot be loaded: ${error.message}`, true);
  }
}
