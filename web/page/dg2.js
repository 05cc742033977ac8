// The DG-2 in a web page: the window's controls around the instrument's
// firmware, which runs in WebAssembly (dg2_core.js / dg2_core.wasm). The
// controls do what the window's handlers do; "ON" runs the power-on and the
// main loop, which sleeps between passes and wakes early for a key.
import createInstrument from './dg2_core.js';

// The window's layout in its own pixels: left, top, width, height (labels
// size themselves).
const LAYOUT = {
  Image2: [0, 0, 310, 310],
  Shape1: [144, 17, 22, 22],
  Panel1: [39, 92, 231, 135],
  Image3: [65, 234, 49, 49],
  Image5: [131, 247, 49, 49],
  Image6: [195, 234, 49, 49],
  Button3: [0, 285, 58, 25],
  Button4: [235, 285, 75, 25],
  Button1: [24, 328, 129, 49],
  Button2: [176, 328, 137, 49],
  Label1: [344, 8],
  Label13: [400, 8],
  TrackBar1: [432, 8, 185, 45],
  Label2: [344, 40],
  Label14: [400, 40],
  TrackBar2: [432, 40, 185, 33],
  CheckBox2Box: [360, 80, 97, 17],
  CheckBox3Box: [472, 80, 97, 17],
  StatusBar1: [0, 385, 621, 19],
};
const CLIENT_WIDTH = 621;
const CLIENT_HEIGHT = 404;
const BEZEL_SIZE = 310;
const MAX_ZOOM = 4;
// The layout was made for a small dialog font: "Channel 1:" must end before
// the slider's echo 56 pixels further right. The font is shrunk until it does.
const LARGEST_FONT_PIXELS = 11;
const SMALLEST_FONT_PIXELS = 8;
const CHANNEL_LABEL_ROOM = 54;
const TICK_MS = 100;

// KeyCode values of the firmware.
const KEY_CENTRE = 1;
const KEY_CLOCKWISE = 2;
const KEY_ANTICLOCKWISE = 3;
const KEY_LEFT = 4;
const KEY_RIGHT = 5;

// The LCD's own area of the picture: 114 x 64 pixels as 2 x 2 blocks.
const LCD_AREA_WIDTH = 228;
const LCD_AREA_HEIGHT = 128;

const $ = (id) => document.getElementById(id);
const form = $('Form1');
const lcd = $('Image1');
const lcdContext = lcd.getContext('2d');
const picture = lcdContext.createImageData(lcd.width, lcd.height);
const status = $('StatusBar1');

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
  for (const [id, [left, top, width, height]] of Object.entries(LAYOUT)) {
    const element = $(id);
    element.style.left = `${left * zoom}px`;
    element.style.top = `${top * zoom}px`;
    if (width !== undefined) {
      element.style.width = `${width * zoom}px`;
      element.style.height = `${height * zoom}px`;
    }
  }
  let pixels = LARGEST_FONT_PIXELS;
  for (; pixels > SMALLEST_FONT_PIXELS; --pixels) {
    form.style.fontSize = `${pixels * zoom}px`;
    if ($('Label1').getBoundingClientRect().width <= CHANNEL_LABEL_ROOM * zoom) break;
  }
  form.style.fontSize = `${pixels * zoom}px`;
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
  $('Shape1').style.background =
    `rgb(${colour & 0xff}, ${(colour >> 8) & 0xff}, ${(colour >> 16) & 0xff})`;
}

// Power-on hands the sliders' positions to the instrument; the labels echo them.
function onInputs(channel1, channel2) {
  $('Label13').textContent = String(channel1);
  $('Label14').textContent = String(channel2);
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
function keyArea(id, code) {
  const area = $(id);
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

function slider(id, labelId, channel) {
  const input = $(id);
  input.addEventListener('input', () => {
    const position = Number(input.value);
    $(labelId).textContent = String(position);
    instrument._dg2_slider(channel, position);
    wake(false);
  });
}

// The keyboard stands in for the front panel, from anywhere in the page; a
// focused slider keeps its own arrow keys.
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
  const FRONT_PANEL = { F1: KEY_LEFT, F2: KEY_RIGHT, Enter: KEY_CENTRE, ' ': KEY_CENTRE,
                        '+': KEY_CLOCKWISE, '-': KEY_ANTICLOCKWISE };
  const ARROWS = { ArrowUp: KEY_LEFT, ArrowDown: KEY_RIGHT, ArrowRight: KEY_CLOCKWISE,
                   ArrowLeft: KEY_ANTICLOCKWISE };
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
  const box = form.getBoundingClientRect();
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

async function start() {
  placeControls();
  window.addEventListener('resize', placeControls);
  try {
    instrument = await createInstrument({ onPicture, onLamp, onInputs });
  } catch (error) {
    status.textContent = `The instrument could not be loaded: ${error}`;
    console.error(error);
    return;
  }
  $('Button1').addEventListener('click', powerOn);
  $('Button2').addEventListener('click', () => {
    instrument._dg2_power_off();
    wake(false);
  });
  $('Button3').addEventListener('click', () => key(KEY_CLOCKWISE));
  $('Button4').addEventListener('click', () => key(KEY_ANTICLOCKWISE));
  keyArea('Image3', KEY_LEFT);
  keyArea('Image5', KEY_CENTRE);
  keyArea('Image6', KEY_RIGHT);
  slider('TrackBar1', 'Label13', 0);
  slider('TrackBar2', 'Label14', 1);
  instrument._dg2_slider_positions(Number($('TrackBar1').value), Number($('TrackBar2').value));
  // The check boxes are read afresh by every pass.
  $('CheckBox2').addEventListener('change', (e) => {
    instrument._dg2_calibrate(e.target.checked);
    wake(false);
  });
  $('CheckBox3').addEventListener('change', (e) => {
    instrument._dg2_keyfast(e.target.checked);
    wake(false);
  });
  instrument._dg2_calibrate($('CheckBox2').checked);
  instrument._dg2_keyfast($('CheckBox3').checked);
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
  $('Button1').disabled = false;
  $('Button2').disabled = false;
  status.textContent = '';
  // For tests and the curious: how deep "ON" is nested (0 while off).
  window.dg2 = { depth: () => instrument._dg2_running_depth() };
  timing.ready = performance.now();
  // A link ending in #on shows the instrument already powered up.
  if (location.hash === '#on') powerOn();
}

start();
