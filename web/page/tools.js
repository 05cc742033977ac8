// The window's workbench functions on the page, put together: the context
// menu's entries in the window's order, the shortcuts the key table gives
// them, and the guard that keeps a reload or a link from ending a running
// instrument unasked.
import { KEY_BINDINGS } from './controls.js';
import { part } from './elements.js';
import { showAbout, showKeysAndShortcuts } from './help.js';
import { depth } from './instrument.js';
import { addPageActions } from './keyboard.js';
import { connectMenu } from './menu.js';
import { connectPictures, recordText, saveLcdPicture, toggleRecording } from './pictures.js';
import { connectSensors, channelValueDialog, setSenderFault } from './sensors.js';
import { chooseSettingsFile, saveSettings } from './settings.js';
import {
  SPEEDS, setSpeed, showPowerState, singlePass, singleTick, startClock, timeEntries, togglePause,
} from './time_control.js';
import { closeZoom, connectZoom, openZoom, zoomOpen } from './zoom.js';

// FOR THE LEAD, AT THE MERGE: the entries of the page's player (player.js,
// web-player's branch), in this form, between the settings and the Time
// submenu as the window puts its sensor log entries:
//   { text: 'Play scenario...', run: playScenario },
//   { text: 'Play sensor log...', action: 'sensor_log', run: playLog },
//   { text: 'Record session...' / 'Stop recording session', run: start/stopRecording },
//   { text: 'Copy link', run: copyLink },
// with `import { copyLink, playLog, playScenario, startRecording, stopRecording }
// from './player.js';` above.
const PLAYER_ENTRIES = [];

function menuEntries() {
  const channels = [0, 1].flatMap((channel) => [
    { text: `Channel ${channel + 1} value...`, run: () => channelValueDialog(channel) },
    { text: `Channel ${channel + 1} sender open`, run: () => setSenderFault(channel, true) },
    { text: `Channel ${channel + 1} sender short`, run: () => setSenderFault(channel, false) },
  ]);
  return [
    { text: 'Save settings...', action: 'save_settings', run: saveSettings },
    { text: 'Load settings...', action: 'load_settings', run: chooseSettingsFile },
    null,
    ...channels,
    ...(PLAYER_ENTRIES.length > 0 ? [null, ...PLAYER_ENTRIES] : []),
    null,
    { text: 'Time', submenu: timeEntries() },
    null,
    { text: 'Save LCD picture...', action: 'save_picture', run: () => saveLcdPicture(zoomOpen()) },
    { text: recordText(), action: 'record', run: () => toggleRecording(zoomOpen()) },
    { text: 'LCD window', action: 'lcd_window', run: () => openZoom(0) },
    null,
    { text: 'Keys and shortcuts', action: 'keys_help', run: showKeysAndShortcuts },
    { text: 'About', run: showAbout },
  ];
}

// Where the LCD window is open, its pictures and recordings are at its zoom.
const PAGE_ACTIONS = {
  save_picture: () => saveLcdPicture(zoomOpen()),
  record: () => toggleRecording(zoomOpen()),
  lcd_window: () => openZoom(0),
  close_lcd_window: closeZoom,
  keys_help: showKeysAndShortcuts,
  pause: togglePause,
  single_pass: singlePass,
  single_tick: singleTick,
  speed: (key, binding) => setSpeed(SPEEDS[binding.keys.indexOf(key)].factor),
};

// While the instrument is on, leaving the page (a reload, a link, closing the
// tab) asks first: the browser's own question, since a page may not word it.
function guardLeaving(event) {
  if (depth() === 0) return;
  event.preventDefault();
  event.returnValue = '';
}

export function connectTools() {
  startClock();
  connectMenu(menuEntries);
  connectZoom({
    save: () => saveLcdPicture(true),
    record: () => toggleRecording(true),
    recordText,
  });
  connectPictures();
  connectSensors();
  addPageActions(PAGE_ACTIONS);
  window.addEventListener('beforeunload', guardLeaving);
  // "ON" and "OFF" change the instrument's state field at once, paused or not.
  for (const role of ['on_button', 'off_button'])
    part(role).addEventListener('click', () => setTimeout(showPowerState, 50));
  // Every page action the key table gives has a function here.
  for (const { action, control } of KEY_BINDINGS)
    if (control === '' && !(action in PAGE_ACTIONS) && !['copy_picture', 'save_settings',
      'load_settings', 'context_menu', 'slider_arrows'].includes(action))
      console.warn(`No page function for the shortcut "${action}"`);
}
