// The keyboard and the mouse wheel stand in for the front panel, as the key
// table (controls.js) binds them.
import { CONTROLS, KEY_BINDINGS, SLIDER_KEYS } from './controls.js';
import { $, ROLES, part } from './elements.js';
import { key } from './instrument.js';
import { inBezel } from './layout.js';
import { copyPicture } from './lcd.js';
import { chooseSettingsFile, saveSettings } from './settings.js';

// What the page's own shortcuts do, by the key table's action names. An
// action that returns false did nothing, and leaves the key to the browser.
const PAGE_ACTIONS = { copy_picture: copyPicture, save_settings: saveSettings,
                       load_settings: chooseSettingsFile };

// The page's other functions add theirs: action(key name, binding).
export function addPageActions(actions) {
  Object.assign(PAGE_ACTIONS, actions);
}

// A key's name as the key table writes it (Qt's portable text): "F1", "Up",
// "Space", "+", "Ctrl+C". Shift counts only with Ctrl: some keyboards need it
// for "+".
function keyName(event) {
  const NAMES = { ArrowUp: 'Up', ArrowDown: 'Down', ArrowLeft: 'Left', ArrowRight: 'Right',
                  ' ': 'Space', Enter: event.code === 'NumpadEnter' ? 'Enter' : 'Return' };
  const name = NAMES[event.key] ?? (event.key.length === 1 ? event.key.toUpperCase() : event.key);
  return event.ctrlKey ? `Ctrl+${event.shiftKey ? 'Shift+' : ''}${name}` : name;
}

const BOUND_KEYS = new Map(KEY_BINDINGS.flatMap((binding) => binding.keys.map((k) => [k, binding])));

// The key a focused key area of the bezel gives (0 for any other element).
function focusedKeyArea() {
  const focused = document.activeElement;
  return CONTROLS.find((c) => c.kind === 'key_area' && c.name === focused?.id)?.key ?? 0;
}

// Return, Enter and Space are the centre key where the bezel has the focus
// (the LCD or the bezel's picture) or no control has it; a focused key area
// gives its own key; any other focused control takes them as it always does
// (a button is pressed, a check box ticked).
function centreKey(event) {
  const focused = document.activeElement;
  const areaKey = focusedKeyArea();
  if (areaKey !== 0) {
    event.preventDefault();
    key(areaKey);
  } else if (focused === null || focused === document.body || focused === part('lcd') ||
             focused === part('bezel') || focused === $('Form1')) {
    event.preventDefault();
    key(ROLES.centre_key.key);
  } else if (focused.type === 'checkbox' && event.key === 'Enter') {
    event.preventDefault();
    focused.click();
  }
}

// From anywhere in the page; a focused slider keeps its own arrow keys, and
// Escape gives them back.
function onKeyDown(event) {
  if (event.altKey || event.metaKey) return;
  // A dialog's field or the menu keeps its keys.
  if (event.target instanceof Element && event.target.closest('[data-own-keys]')) return;
  const name = keyName(event);
  if (name === 'Escape' && document.activeElement?.type === 'range') {
    document.activeElement.blur();
    return;
  }
  const binding = BOUND_KEYS.get(name);
  if (binding === undefined) return;
  if (binding.control === 'centre_key') {
    centreKey(event);
    return;
  }
  if (binding.control !== '') {
    if (SLIDER_KEYS.includes(name) && document.activeElement?.type === 'range') return;
    event.preventDefault();
    key(ROLES[binding.control].key);
    return;
  }
  // Ctrl+C copies the picture unless the user has selected text to copy.
  if (binding.action === 'copy_picture' && String(window.getSelection()) !== '') return;
  const action = PAGE_ACTIONS[binding.action];
  if (action === undefined || action(name, binding) === false) return;
  event.preventDefault();
}

// The wheel over the bezel turns the knob, one step per notch, up being
// clockwise; fractions of a notch (touchpads) add up.
let wheelRemainder = 0;
function onWheel(event) {
  if (!inBezel(event.clientX, event.clientY)) return;
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
    key(ROLES.clockwise_button.key);
  }
  while (wheelRemainder <= -1) {
    wheelRemainder += 1;
    key(ROLES.anticlockwise_button.key);
  }
}

// A button or check box of the form clicked with the mouse (or a finger)
// does not keep the keyboard, as a key area does not: Return and Space stay
// the centre key for a user of the mouse. Tab still focuses them, and a click
// made by the keyboard (detail 0) leaves the focus where it is. A label hands
// the focus to its check box after the click, hence the timeout.
function onClick(event) {
  if (event.detail === 0 || !event.target.closest('#Form1 button, #Form1 label')) return;
  setTimeout(() => {
    if (document.activeElement instanceof HTMLElement) document.activeElement.blur();
  }, 0);
}

export function connectKeyboard() {
  document.addEventListener('keydown', onKeyDown);
  $('Form1').addEventListener('click', onClick);
  $('Form1').addEventListener('wheel', onWheel, { passive: false });
}
