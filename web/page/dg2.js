// The DG-2 in a web page: the window's controls around the instrument's
// firmware, which runs in WebAssembly. This module starts the page; the
// others each do one job:
//   elements.js    the page's elements and the status bar
//   layout.js      the window's layout at a zoom on the device pixel grid
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
//   workbench_functions.js  scenarios played (player.js, ?play=), sessions
//                  recorded (session.js), sensor logs (sensor_log.js) and
//                  #settings= links (links.js), each loaded on first use
//   workbench.js   the workbench module, loaded on first use
//   a11y.js        the LCD's and the lamp's names for screen readers
//   offline.js     the service worker that keeps the page working offline
import { connectNames, instrumentChanged } from './a11y.js';
import { $, showStatus } from './elements.js';
import { connectControls, dressControls, onInputs, onLamp } from './front_panel.js';
import { depth, loadInstrument, passCounts, powerOn } from './instrument.js';
import { addPageActions, connectKeyboard } from './keyboard.js';
import { followViewport, placeControls } from './layout.js';
import { onPicture, pageReady } from './lcd.js';
import { keepOffline, offlineReady } from './offline.js';
import { chooseSettingsFile, loadSettings, saveSettings } from './settings.js';
import { connectTools, saveLcdPicture } from './tools.js';
import {
  copyLink, openSettingsLink, playLink, playLog, playScenario, playText, startLog,
  startRecording, stopLog, stopRecording, stopScenario,
} from './workbench_functions.js';

const SETTINGS_LINK = '#settings=';

async function start() {
  dressControls();
  placeControls();
  followViewport();
  try {
    await loadInstrument({ onPicture: (rgba) => { onPicture(rgba); instrumentChanged(); },
                           onLamp: (colour) => { onLamp(colour); instrumentChanged(); },
                           onInputs });
  } catch (error) {
    showStatus(`The instrument could not be loaded: ${error}`);
    console.error(error);
    return;
  }
  connectControls();
  connectKeyboard();
  connectNames();
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
  // For tests and the curious: how deep "ON" is nested (0 while off), and
  // how many passes ran for how many ticks, and the workbench's functions.
  window.dg2 = { depth, passCounts, offlineReady, playScenario, playText, stopScenario,
                 startRecording, stopRecording, playLog, startLog, stopLog, copyLink };
  addPageActions({ sensor_log: playLog });
  pageReady();
  keepOffline();
  // ?play=NAME.scn plays a scenario beside the page; #settings=... powers on
  // with the link's settings; #on shows the instrument already powered up.
  const play = new URLSearchParams(location.search).get('play');
  if (play !== null) playLink(play);
  else if (location.hash.startsWith(SETTINGS_LINK)) openSettingsLink(location.hash.slice(SETTINGS_LINK.length));
  else if (location.hash === '#on') powerOn();
}

start();
