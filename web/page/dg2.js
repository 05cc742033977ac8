// The DG-2 in a web page: the window's controls around the instrument's
// firmware, which runs in WebAssembly (dg2_core.js / dg2_core.wasm). The
// controls do what the window's handlers do; "ON" runs the power-on and the
// main loop, which sleeps between passes and wakes early for a key.
import createInstrument from './dg2_core.js';
// The window's controls and the keys, written from the simulator's own tables
// when the page is built.
import { CLIENT_WIDTH, CLIENT_HEIGHT, CONTROLS, KEY_BINDINGS, SLIDER_KEYS } from './controls.js';

const MAX_ZOOM = 4;
// The layout was made for a small dialog font: "Channel 1:" must end before
// the slider's echo 56 pixels further right. The font is shrunk until it does.
const LARGEST_FONT_PIXELS = 11;
const SMALLEST_FONT_PIXELS = 8;
const CHANNEL_LABEL_ROOM = 54;
const TICK_MS = 100;

// The LCD's own area of the picture: 114 x 64 pixels as 2 x 2 blocks.
const LCD_AREA_WIDTH = 228;
const LCD_AREA_HEIGHT = 128;

const $ = (id) => document.getElementById(id);
// The page's elements carry the window's names; the script calls each
// control by its role.
const ROLES = Object.fromEntries(CONTROLS.map((control) => [control.role, control]));
const part = (role) => $(ROLES[role].name);
const form = $('Form1');
const lcd = part('lcd');
const lcdContext = lcd.getContext('2d');
const picture = lcdContext.createImageData(lcd.width, lcd.height);
const status = part('status_bar');

let zoom = 1;
let drawn = false;
let instrument = null;

// What the page measured about itself (for the tests and the curious).
const timing = { ready: null, firstFrame: null };
window.dg2Timing = timing;

// The largest whole-number zoom at which the window fits the viewport.
function placeControls() {
  const room = Math.min(window.innerWidth / (CLIENT_WIDTH + 16),
                        (window.innerHeight - 60) / (CLIENT_HEIGHT + 16));
  zoom = Math.max(1, Math.min(MAX_ZOOM, Math.floor(room)));
  document.documentElement.style.setProperty('--z', zoom);
  form.style.width = `${CLIENT_WIDTH * zoom}px`;
  form.style.height = `${CLIENT_HEIGHT * zoom}px`;
  // A check box is placed with its caption, as the window's is; the LCD
  // fills its frame by the style sheet.
  for (const { name, kind, parent, left, top, width, height } of CONTROLS) {
    if (parent !== '') continue;
    const element = $(kind === 'check_box' ? `${name}Box` : name);
    element.style.left = `${left * zoom}px`;
    element.style.top = `${top * zoom}px`;
    if (width !== 0) {
      element.style.width = `${width * zoom}px`;
      element.style.height = `${height * zoom}px`;
    }
  }
  let pixels = LARGEST_FONT_PIXELS;
  for (; pixels > SMALLEST_FONT_PIXELS; --pixels) {
    form.style.fontSize = `${pixels * zoom}px`;
    if (part('channel1_label').getBoundingClientRect().width <= CHANNEL_LABEL_ROOM * zoom) break;
  }
  form.style.fontSize = `${pixels * zoom}px`;
}

// Captions, ranges and start positions from the table; tooltips where the
// page's keys work a control.
function dressControls() {
  for (const { name, kind, caption, initial, maximum } of CONTROLS) {
    const element = $(name);
    if (kind === 'button' || kind === 'label') {
      element.textContent = caption;
    } else if (kind === 'check_box') {
      element.checked = initial !== 0;
      $(`${name}Box`).append(` ${caption}`);
    } else if (kind === 'slider') {
      element.min = '0';
      element.max = String(maximum);
      element.value = String(initial);
    } else if (kind === 'shape') {
      onLamp(initial);
    }
  }
  for (const { control } of KEY_BINDINGS)
    if (control !== '') part(control).title = ROLES[control].tooltip;
  const keysOf = (action) => KEY_BINDINGS.find((binding) => binding.action === action).text;
  $('SavePicture').title += ` (${keysOf('copy_picture')} copies it)`;
  $('LoadSettings').title += ` (${keysOf('load_settings')})`;
  $('SaveSettings').title += ` (${keysOf('save_settings')})`;
}

// Called by the instrument with the picture's RGBA bytes when it changed.
function onPicture(rgba) {
  picture.data.set(rgba);
  lcdContext.putImageData(picture, 0, 0);
  if (!drawn) {
    drawn = true;
    requestAnimationFrame(() => { timing.firstFrame = performance.now(); });
  }
}

// The lamp's colour word holds red in its low byte.
function onLamp(colour) {
  part('alarm_lamp').style.background =
    `rgb(${colour & 0xff}, ${(colour >> 8) & 0xff}, ${(colour >> 16) & 0xff})`;
}

// Power-on hands the sliders' positions to the instrument; the labels echo them.
function onInputs(channel1, channel2) {
  part('channel1_echo').textContent = String(channel1);
  part('channel2_echo').textContent = String(channel2);
}

// Every event may wake the instrument from its wait between passes: a key, a
// knob step or "ON" (urgent) at once, anything else only where the screen
// stood still and the instrument waits for something to happen.
function wake(urgent) {
  if (instrument.wake) instrument.wake(urgent);
}

function key(code) {
  instrument._dg2_key(code);
  wake(true);
}

function powerOn() {
  if (instrument._dg2_running_depth() > 0) {
    instrument._dg2_request_nested_on();
    wake(true);
    return;
  }
  instrument.ccall('dg2_power_on', null, [], [], { async: true }).catch(fail);
}

function fail(error) {
  status.textContent = `The instrument stopped: ${error}`;
  console.error(error);
}

// A click is a press and a release over the same key area; pointer events
// serve mouse, pen and touch alike.
function keyArea(area, code) {
  let pressed = false;
  area.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    pressed = true;
    area.setPointerCapture(event.pointerId);
    event.preventDefault();
    // Like a key on the window, a key area takes the keyboard from a slider.
    if (document.activeElement instanceof HTMLElement) document.activeElement.blur();
  });
  area.addEventListener('pointerup', (event) => {
    if (!pressed || event.button !== 0) return;
    pressed = false;
    const box = area.getBoundingClientRect();
    if (event.clientX >= box.left && event.clientX < box.right &&
        event.clientY >= box.top && event.clientY < box.bottom)
      key(code);
  });
  area.addEventListener('pointercancel', () => { pressed = false; });
}

function slider(input, label, channel) {
  input.addEventListener('input', () => {
    const position = Number(input.value);
    label.textContent = String(position);
    instrument._dg2_slider(channel, position);
    wake(false);
  });
}

// A key's name as the key table writes it (Qt's portable text): "F1", "Up",
// "Space", "+", "Ctrl+C". Shift counts only with Ctrl: some keyboards need it
// for "+".
function keyName(event) {
  const NAMES = { ArrowUp: 'Up', ArrowDown: 'Down', ArrowLeft: 'Left', ArrowRight: 'Right',
                  ' ': 'Space', Enter: event.code === 'NumpadEnter' ? 'Enter' : 'Return' };
  const key = NAMES[event.key] ?? (event.key.length === 1 ? event.key.toUpperCase() : event.key);
  return event.ctrlKey ? `Ctrl+${event.shiftKey ? 'Shift+' : ''}${key}` : key;
}

const BOUND_KEYS = new Map(KEY_BINDINGS.flatMap((binding) => binding.keys.map((k) => [k, binding])));

// The keyboard stands in for the front panel, from anywhere in the page, as
// the key table binds it; a focused slider keeps its own arrow keys.
function onKeyDown(event) {
  if (event.altKey || event.metaKey) return;
  const name = keyName(event);
  const binding = BOUND_KEYS.get(name);
  if (binding === undefined) return;
  if (binding.control !== '') {
    if (SLIDER_KEYS.includes(name) && document.activeElement?.type === 'range') return;
    event.preventDefault();
    key(ROLES[binding.control].key);
    return;
  }
  // Ctrl+C copies the picture unless the user has selected text to copy.
  if (binding.action === 'copy_picture' && String(window.getSelection()) !== '') return;
  const action = PAGE_ACTIONS[binding.action];
  if (action === undefined) return;
  event.preventDefault();
  action();
}

// The wheel over the bezel turns the knob, one step per notch, up being
// clockwise; fractions of a notch (touchpads) add up.
let wheelRemainder = 0;
function onWheel(event) {
  const box = form.getBoundingClientRect();
  const x = (event.clientX - box.left) / zoom;
  const y = (event.clientY - box.top) / zoom;
  const bezel = ROLES.bezel;
  if (x < bezel.left || y < bezel.top || x >= bezel.left + bezel.width ||
      y >= bezel.top + bezel.height)
    return;
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

// The LCD's 228 x 128 area as shown; before the first frame, the panel's grey.
function lcdAreaCanvas() {
  const area = document.createElement('canvas');
  area.width = LCD_AREA_WIDTH;
  area.height = LCD_AREA_HEIGHT;
  const context = area.getContext('2d');
  if (drawn) {
    context.drawImage(lcd, 0, 0);
  } else {
    context.fillStyle = '#d4d0c8';
    context.fillRect(0, 0, area.width, area.height);
  }
  return area;
}

function savePicture() {
  lcdAreaCanvas().toBlob((blob) => {
    if (!blob) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = 'dg2-lcd.png';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }, 'image/png');
}

function copyPicture() {
  if (!navigator.clipboard || typeof ClipboardItem === 'undefined') {
    status.textContent = 'This browser cannot copy pictures; use "Save picture".';
    return;
  }
  lcdAreaCanvas().toBlob((blob) => {
    if (!blob) return;
    navigator.clipboard.write([new ClipboardItem({ 'image/png': blob })]).then(
      () => { status.textContent = 'LCD picture copied.'; },
      () => { status.textContent = 'The browser refused the clipboard; use "Save picture".'; });
  }, 'image/png');
}

// Settings files: the text is made and read by a module of its own, loaded on
// first use; records cross between it and the instrument byte for byte.
let settingsModule = null;

async function settingsText() {
  if (!settingsModule) {
    const { default: create } = await import('./dg2_settings.js');
    settingsModule = await create();
  }
  if (settingsModule._dg2_record_size() !== instrument._dg2_settings_record_size())
    throw new Error('the settings module does not belong to this instrument');
  return settingsModule;
}

function copyRecord(from, fromAddress, to, toAddress) {
  const size = instrument._dg2_settings_record_size();
  to.HEAPU8.set(from.HEAPU8.subarray(fromAddress, fromAddress + size), toAddress);
}

async function saveSettings() {
  try {
    const text = await settingsText();
    copyRecord(instrument, instrument._dg2_settings_record(), text, text._dg2_record());
    const toml = text.ccall('dg2_record_to_text', 'string', [], []);
    if (toml === '') {
      status.textContent = 'No settings to save yet: switch the instrument on first';
      return;
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([toml], { type: 'text/plain' }));
    link.download = 'dg2-settings.toml';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    status.textContent = 'Settings saved to dg2-settings.toml';
  } catch (error) {
    status.textContent = `Settings cannot be saved: ${error.message}`;
  }
}

// As in the window, loading is refused while the instrument is off: "ON"
// starts from the factory settings.
function chooseSettingsFile() {
  if (instrument._dg2_running_depth() === 0) {
    status.textContent = 'The instrument is off: switch it on, then load settings';
    return;
  }
  $('SettingsFile').click();
}

async function loadSettings(file) {
  try {
    const text = await settingsText();
    // Asked before the file is read: the limit is the settings reader's.
    const tooLarge = text.ccall('dg2_settings_file_size_error', 'string', ['number', 'string'],
                                [file.size, file.name]);
    if (tooLarge !== '') {
      status.textContent = tooLarge;
      return;
    }
    const source = await file.text();
    const error = text.ccall('dg2_text_to_record', 'string', ['string', 'string'],
                             [source, file.name]);
    if (error !== '') {
      status.textContent = error;
      return;
    }
    copyRecord(text, text._dg2_record(), instrument, instrument._dg2_incoming_record());
    if (!instrument._dg2_apply_settings()) {
      status.textContent = 'The instrument is off: switch it on, then load settings';
      return;
    }
    wake(false);
    status.textContent = `Settings loaded from ${file.name}: in force from the next pass`;
  } catch (error) {
    status.textContent = `Settings cannot be loaded: ${error.message}`;
  }
}

// What the page's own shortcuts do, by the key table's action names.
const PAGE_ACTIONS = { copy_picture: copyPicture, save_settings: saveSettings,
                       load_settings: chooseSettingsFile };

async function start() {
  dressControls();
  placeControls();
  window.addEventListener('resize', placeControls);
  try {
    instrument = await createInstrument({ onPicture, onLamp, onInputs });
  } catch (error) {
    status.textContent = `The instrument could not be loaded: ${error}`;
    console.error(error);
    return;
  }
  part('on_button').addEventListener('click', powerOn);
  part('off_button').addEventListener('click', () => {
    instrument._dg2_power_off();
    wake(false);
  });
  // The key areas and the knob's buttons give their keys.
  for (const { name, kind, key: code } of CONTROLS) {
    if (kind === 'key_area') keyArea($(name), code);
    else if (kind === 'button' && code !== 0) $(name).addEventListener('click', () => key(code));
  }
  const channel1 = part('channel1_slider');
  const channel2 = part('channel2_slider');
  slider(channel1, part('channel1_echo'), 0);
  slider(channel2, part('channel2_echo'), 1);
  instrument._dg2_slider_positions(Number(channel1.value), Number(channel2.value));
  // The check boxes are read afresh by every pass.
  const calibrate = part('calibrate_box');
  const keyfast = part('keyfast_box');
  calibrate.addEventListener('change', () => {
    instrument._dg2_calibrate(calibrate.checked);
    wake(false);
  });
  keyfast.addEventListener('change', () => {
    instrument._dg2_keyfast(keyfast.checked);
    wake(false);
  });
  instrument._dg2_calibrate(calibrate.checked);
  instrument._dg2_keyfast(keyfast.checked);
  document.addEventListener('keydown', onKeyDown);
  form.addEventListener('wheel', onWheel, { passive: false });
  $('SavePicture').addEventListener('click', savePicture);
  $('SaveSettings').addEventListener('click', saveSettings);
  $('LoadSettings').addEventListener('click', chooseSettingsFile);
  $('SettingsFile').addEventListener('change', (event) => {
    const [file] = event.target.files;
    event.target.value = '';
    if (file) loadSettings(file);
  });
  // The instrument's tick runs from the start, on or off.
  setInterval(() => {
    instrument._dg2_tick();
    wake(false);
  }, TICK_MS);
  part('on_button').disabled = false;
  part('off_button').disabled = false;
  status.textContent = '';
  // For tests and the curious: how deep "ON" is nested (0 while off).
  window.dg2 = { depth: () => instrument._dg2_running_depth() };
  timing.ready = performance.now();
  // A link ending in #on shows the instrument already powered up.
  if (location.hash === '#on') powerOn();
}

start();
