// The window's workbench functions on the page, put together. At first load
// only what must be there at once: the clock and the status bar's fields
// (time_control.js), the menu's detection (menu.js), the shortcuts the key
// table gives, and the guard that keeps a reload or a link from ending a
// running instrument unasked. Everything else (the menu itself, dialogs, the
// LCD window, pictures, sensors by value, help) is a module loaded on first
// use, so the first load stays small.
import { part } from './elements.js';
import { depth } from './instrument.js';
import { addPageActions } from './keyboard.js';
import { connectMenu } from './menu.js';
import {
  SPEEDS, setSpeed, showPowerState, singlePass, singleTick, startClock, togglePause,
} from './time_control.js';

// Modules loaded on first use; each is remembered once loaded, for the
// questions that need an answer at once (is the LCD window open?).
const loaded = {};
const IMPORTS = {
  help: () => import('./help.js'),
  pictures: () => import('./pictures.js'),
  sensors: () => import('./sensors.js'),
  zoom: () => import('./zoom.js'),
};
async function use(name) {
  loaded[name] ??= await IMPORTS[name]();
  return loaded[name];
}

const zoomOpen = () => loaded.zoom?.zoomOpen() ?? false;

// Where the LCD window is open, its pictures and recordings are at its zoom.
const PAGE_ACTIONS = {
  save_picture: () => { use('pictures').then((m) => m.saveLcdPicture(zoomOpen())); },
  record: () => { use('pictures').then((m) => m.toggleRecording(zoomOpen())); },
  lcd_window: () => { use('zoom').then((m) => m.openZoom(0)); },
  // Escape is the browser's unless the LCD window is open to close.
  close_lcd_window: () => loaded.zoom?.closeZoom() ?? false,
  keys_help: () => { use('help').then((m) => m.showKeysAndShortcuts()); },
  pause: togglePause,
  single_pass: singlePass,
  single_tick: singleTick,
  speed: (key, binding) => { setSpeed(SPEEDS[binding.keys.indexOf(key)].factor); },
};

// The toolbar's "Save picture" under a name of the user's choosing.
export function saveLcdPicture() {
  use('pictures').then((m) => m.saveLcdPicture(false));
}

// While the instrument is on or an animation is being recorded, leaving the
// page (a reload, a link, closing the tab) asks first: the browser's own
// question, since a page may not word it.
function guardLeaving(event) {
  if (depth() === 0 && !loaded.pictures?.isRecording()) return;
  event.preventDefault();
  event.returnValue = '';
}

export function connectTools() {
  startClock();
  connectMenu();
  addPageActions(PAGE_ACTIONS);
  window.addEventListener('beforeunload', guardLeaving);
  // "ON" and "OFF" change the instrument's state field at once, paused or not.
  for (const role of ['on_button', 'off_button'])
    part(role).addEventListener('click', () => setTimeout(showPowerState, 50));
  // A slider's tooltip says what its channel shows, worked out when it may
  // show (the pointer over it, the focus, a drag ended), not on every move.
  for (const [channel, role] of ['channel1_slider', 'channel2_slider'].entries())
    for (const type of ['pointerenter', 'focus', 'change'])
      part(role).addEventListener(type, () => { use('sensors').then((m) => m.refreshTooltip(channel)); });
}
