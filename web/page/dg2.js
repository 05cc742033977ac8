// The DG-2 in a web page: the window's controls around the instrument's
// firmware, which runs in WebAssembly. This module starts the page; the
// others each do one job:
//   elements.js    the page's elements and the status bar
//   layout.js      the window's layout at a whole-number zoom
//   instrument.js  the instrument's module: keys, sliders, ON/OFF, the tick
//   lcd.js         the LCD's picture, saved or copied as PNG
//   controls.js    the window's controls and keys, written from the
//                  simulator's own tables when the page is built
//   front_panel.js the controls captioned and connected, the lamp and the
//                  sliders' echo
//   keyboard.js    the keyboard and the wheel as the front panel
//   settings.js    settings files, through a module loaded on first use
//   tools.js       the window's workbench functions: the context menu
//                  (menu.js, menu_view.js), time (time_control.js),
//                  pictures and animations (pictures.js), the LCD window
//                  (zoom.js), values and senders (sensors.js), help
//                  (help.js) and dialogs (dialogs.js), most of them loaded
//                  on first use
import { $, showStatus } from './elements.js';
import { connectControls, dressControls, onInputs, onLamp } from './front_panel.js';
import { depth, loadInstrument, powerOn } from './instrument.js';
import { connectKeyboard } from './keyboard.js';
import { placeControls } from './layout.js';
import { onPicture, pageReady } from './lcd.js';
import { chooseSettingsFile, loadSettings, saveSettings } from './settings.js';
import { connectTools, saveLcdPicture } from './tools.js';

async function start() {
  dressControls();
  placeControls();
  window.addEventListener('resize', placeControls);
  try {
    await loadInstrument({ onPicture, onLamp, onInputs });
  } catch (error) {
    showStatus(`The instrument could not be loaded: ${error}`);
    console.error(error);
    return;
  }
  connectControls();
  connectKeyboard();
  $('SavePicture').addEventListener('click', () => saveLcdPicture());
  $('SaveSettings').addEventListener('click', saveSettings);
  $('LoadSettings').addEventListener('click', chooseSettingsFile);
  $('SettingsFile').addEventListener('change', (event) => {
    const [file] = event.target.files;
    event.target.value = '';
    if (file) loadSettings(file);
  });
  // The instrument's tick runs from the start, on or off (time_control.js).
  connectTools();
  showStatus('');
  // For tests and the curious: how deep "ON" is nested (0 while off).
  window.dg2 = { depth };
  pageReady();
  // A link ending in #on shows the instrument already powered up.
  if (location.hash === '#on') powerOn();
}

start();
