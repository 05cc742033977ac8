// The LCD window: the LCD alone, 2x to 12x, over the page, so a projector or
// a screenshot gets sharp square pixels. As the window's pop-out it offers a
// pixel grid (faint lines between the pixels, from 4x) and the lit colours of
// a backlit LCD (light green on a dark face); saving a picture or recording
// from it works at its zoom and in its colours. The instrument's keys work
// while it is open; Escape closes it.
import { lcdPixels, watchLcd } from './lcd.js';
import { openMenu } from './menu.js';
import { recordText, saveLcdPicture, toggleRecording } from './pictures.js';

export const MIN_ZOOM = 2;
export const MAX_ZOOM = 12;
const DEFAULT_ZOOM = 4;
// The grid needs room between the lines to leave the pixels readable.
const GRID_MIN_ZOOM = 4;
const WIDTH = 114;
const HEIGHT = 64;

// 0xRRGGBB. The main window's colours: black on the classic grey.
export const PLAIN = { lit: 0x000000, unlit: 0xd4d0c8 };
const PROJECTOR = { lit: 0xb8f0a0, unlit: 0x142018 };

let view = null;  // { dialog, canvas, zoom, grid, litScheme, shown }

const css = (colour) => `#${colour.toString(16).padStart(6, '0')}`;

export const zoomOpen = () => view !== null;
export const zoomLevel = () => (view ? view.zoom : 0);
export const zoomColours = () => (view?.litScheme ? PROJECTOR : PLAIN);

// The LCD's pixels drawn at `zoom` in `colours`, with the grid when asked.
export function drawLcd(canvas, lit, zoom, colours, grid) {
  canvas.width = WIDTH * zoom;
  canvas.height = HEIGHT * zoom;
  const context = canvas.getContext('2d');
  context.fillStyle = css(colours.unlit);
  context.fillRect(0, 0, canvas.width, canvas.height);
  context.fillStyle = css(colours.lit);
  for (let y = 0, i = 0; y < HEIGHT; ++y)
    for (let x = 0; x < WIDTH; ++x, ++i)
      if (lit[i]) context.fillRect(x * zoom, y * zoom, zoom, zoom);
  if (!grid || zoom < GRID_MIN_ZOOM) return;
  // A faint line: the lit colour at a low opacity over either colour.
  context.globalAlpha = 40 / 255;
  for (let x = 0; x <= WIDTH; ++x) context.fillRect(Math.min(x * zoom, canvas.width - 1), 0, 1, canvas.height);
  for (let y = 0; y <= HEIGHT; ++y) context.fillRect(0, Math.min(y * zoom, canvas.height - 1), canvas.width, 1);
  context.globalAlpha = 1;
}

function redraw(force = false) {
  if (!view) return;
  const lit = lcdPixels();
  if (!force && view.shown && lit.every((v, i) => v === view.shown[i])) return;
  view.shown = lit;
  drawLcd(view.canvas, lit, view.zoom, zoomColours(), view.grid);
}

// The largest zoom at which the LCD fits the page, within the limits.
function fittingZoom() {
  const fits = Math.floor(Math.min((window.innerWidth - 32) / WIDTH, (window.innerHeight - 120) / HEIGHT));
  return Math.max(MIN_ZOOM, Math.min(MAX_ZOOM, fits));
}

function control(tag, properties, listener) {
  const element = Object.assign(document.createElement(tag), properties);
  if (listener) element.addEventListener(tag === 'button' ? 'click' : 'change', listener);
  return element;
}

function checkBox(text, checked, changed) {
  const label = document.createElement('label');
  const box = control('input', { type: 'checkbox', checked }, () => changed(box.checked));
  label.append(box, ` ${text}`);
  return label;
}

export function setZoom(zoom) {
  if (!view) return;
  view.zoom = Math.max(MIN_ZOOM, Math.min(MAX_ZOOM, zoom));
  view.dialog.querySelector('select').value = String(view.zoom);
  redraw(true);
}

export function setGrid(on) {
  if (!view) return;
  view.grid = on;
  view.dialog.querySelectorAll('input[type=checkbox]')[0].checked = on;
  redraw(true);
}

export function setLitScheme(on) {
  if (!view) return;
  view.litScheme = on;
  view.dialog.querySelectorAll('input[type=checkbox]')[1].checked = on;
  redraw(true);
}

// The record button's caption follows the recording.
export function showRecording(text) {
  if (view) view.dialog.querySelector('.record').textContent = text;
}

// Opens the LCD window at `zoom` (2..12), or raises an open one; 0 keeps an
// open one's zoom and opens a new one at 4x where it fits.
export function openZoom(zoom = 0) {
  if (!view) {
    const dialog = control('dialog', { className: 'box lcd-window' });
    dialog.setAttribute('aria-label', 'DG-2 LCD');
    const canvas = control('canvas', { className: 'zoomed' });
    canvas.setAttribute('role', 'img');
    canvas.setAttribute('aria-label', 'LCD, zoomed');
    const select = control('select', { title: 'Zoom: screen pixels per LCD pixel' },
                           () => setZoom(Number(select.value)));
    for (let z = MIN_ZOOM; z <= MAX_ZOOM; ++z) select.append(new Option(`${z}x`, String(z)));
    const bar = control('div', { className: 'buttons' });
    bar.append(
      select,
      checkBox('Pixel grid', false, setGrid),
      checkBox('Lit LCD colours', false, setLitScheme),
      control('button', { type: 'button', textContent: 'Save LCD picture...' }, () => saveLcdPicture(true)),
      control('button', { type: 'button', className: 'record', textContent: recordText() },
              () => toggleRecording(true)),
      control('button', { type: 'button', textContent: 'Close' }, closeZoom));
    const frame = control('div', { className: 'zoom-frame' });
    frame.append(canvas);
    dialog.append(frame, bar);
    canvas.addEventListener('contextmenu', (event) => {
      event.preventDefault();
      openMenu(event.clientX, event.clientY, menuEntries);
    });
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      closeZoom();
    });
    document.body.append(dialog);
    view = { dialog, canvas, zoom: DEFAULT_ZOOM, grid: false, litScheme: false, shown: null };
    dialog.show();
    zoom = zoom || Math.min(DEFAULT_ZOOM, fittingZoom());
  }
  if (zoom) setZoom(zoom);
  else redraw(true);
  view.dialog.querySelector('button').focus({ preventScroll: true });
}

// Escape and Close; false when it was not open.
export function closeZoom() {
  if (!view) return false;
  view.dialog.remove();
  view = null;
  return true;
}

// Its own menu, as the window's pop-out has.
function menuEntries() {
  return [
    { text: 'Save LCD picture...', action: 'save_picture', run: () => saveLcdPicture(true) },
    { text: recordText(), action: 'record', run: () => toggleRecording(true) },
    null,
    { text: 'Pixel grid', checkbox: true, checked: view.grid, run: () => setGrid(!view.grid) },
    { text: 'Lit LCD colours', checkbox: true, checked: view.litScheme,
      run: () => setLitScheme(!view.litScheme) },
    null,
    { text: 'Close', action: 'close_lcd_window', run: closeZoom },
  ];
}

watchLcd(() => redraw());
