// The keyboard and the mouse wheel stand in for the front panel.
import { $ } from './elements.js';
import { BEZEL_SIZE, currentZoom } from './layout.js';
import { copyPicture } from './lcd.js';
import {
  KEY_ANTICLOCKWISE, KEY_CENTRE, KEY_CLOCKWISE, KEY_LEFT, KEY_RIGHT, key,
} from './instrument.js';
import { chooseSettingsFile, saveSettings } from './settings.js';

const FRONT_PANEL = { F1: KEY_LEFT, F2: KEY_RIGHT, Enter: KEY_CENTRE, ' ': KEY_CENTRE,
                      '+': KEY_CLOCKWISE, '-': KEY_ANTICLOCKWISE };
const ARROWS = { ArrowUp: KEY_LEFT, ArrowDown: KEY_RIGHT, ArrowRight: KEY_CLOCKWISE,
                 ArrowLeft: KEY_ANTICLOCKWISE };

// From anywhere in the page; a focused slider keeps its own arrow keys.
// Ctrl+C copies the LCD (unless text is selected), Ctrl+S saves the settings,
// Ctrl+O loads them.
function onKeyDown(event) {
  if (event.ctrlKey || event.altKey || event.metaKey) {
    if (!event.ctrlKey || event.altKey || event.metaKey || event.shiftKey) return;
    if (event.key === 'c' && String(window.getSelection()) === '') {
      event.preventDefault();
      copyPicture();
    } else if (event.key === 's') {
      event.preventDefault();
      saveSettings();
    } else if (event.key === 'o') {
      event.preventDefault();
      chooseSettingsFile();
    }
    return;
  }
  let code = FRONT_PANEL[event.key];
  const sliderFocused = document.activeElement?.type === 'range';
  if (code === undefined && !sliderFocused) code = ARROWS[event.key];
  if (code === undefined) return;
  event.preventDefault();
  key(code);
}

// The wheel over the bezel turns the knob, one step per notch, up being
// clockwise; fractions of a notch (touchpads) add up.
let wheelRemainder = 0;
function onWheel(event) {
  const zoom = currentZoom();
  const box = $('Form1').getBoundingClientRect();
  const x = (event.clientX - box.left) / zoom;
  const y = (event.clientY - box.top) / zoom;
  if (x < 0 || y < 0 || x >= BEZEL_SIZE || y >= BEZEL_SIZE) return;
  event.preventDefault();
  // In notches: Chromium and WebKit give 120 per notch, as the desktop does;
  // otherwise lines (3 a notch) or pixels (100 a notch).
  let notches;
  if (typeof event.wheelDeltaY === 'number' && event.wheelDeltaY !== 0)
    notches = event.wheelDeltaY / 120;
  else if (event.deltaMode === WheelEvent.DOM_DELTA_LINE)
    notches = -event.deltaY / 3;
  else if (event.deltaMode === WheelEvent.DOM_DELTA_PAGE)
    notches = -event.deltaY;
  else
    notches = -event.deltaY / 100;
  wheelRemainder += notches;
  while (wheelRemainder >= 1) {
    wheelRemainder -= 1;
    key(KEY_CLOCKWISE);
  }
  while (wheelRemainder <= -1) {
    wheelRemainder += 1;
    key(KEY_ANTICLOCKWISE);
  }
}

export function connectKeyboard() {
  document.addEventListener('keydown', onKeyDown);
  $('Form1').addEventListener('wheel', onWheel, { passive: false });
}
