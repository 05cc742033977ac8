// The LCD: the instrument's picture in its canvas (Image1), its pixels for
// the LCD window and recordings, and the LCD's area as a PNG to copy.
import { part, showStatus } from './elements.js';

// The LCD's own area of the picture: 114 x 64 pixels as 2 x 2 blocks.
const LCD_AREA_WIDTH = 228;
const LCD_AREA_HEIGHT = 128;

const lcd = part('lcd');
const lcdContext = lcd.getContext('2d');
const picture = lcdContext.createImageData(lcd.width, lcd.height);
let drawn = false;

// What the page measured about itself (for the tests and the curious).
const timing = { ready: null, firstFrame: null };
window.dg2Timing = timing;

export function pageReady() {
  timing.ready = performance.now();
}

// Who else shows the LCD (the LCD window, a recording): called after each
// changed picture.
const watchers = [];
export function watchLcd(watcher) {
  watchers.push(watcher);
}

// The LCD's pixels as shown (114 x 64, 1 = lit): black in the picture, each
// LCD pixel a 2 x 2 block; none lit before the instrument first draws.
export function lcdPixels() {
  const lit = new Uint8Array(LCD_AREA_WIDTH * LCD_AREA_HEIGHT / 4);
  if (!drawn) return lit;
  for (let y = 0, i = 0; y < LCD_AREA_HEIGHT / 2; ++y)
    for (let x = 0; x < LCD_AREA_WIDTH / 2; ++x, ++i)
      lit[i] = picture.data[(2 * y * lcd.width + 2 * x) * 4 + 1] === 0 ? 1 : 0;
  return lit;
}

// Called by the instrument with the picture's RGBA bytes when it changed.
export function onPicture(rgba) {
  picture.data.set(rgba);
  lcdContext.putImageData(picture, 0, 0);
  if (!drawn) {
    drawn = true;
    requestAnimationFrame(() => { timing.firstFrame = performance.now(); });
  }
  for (const watcher of watchers) watcher();
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

export function copyPicture() {
  if (!navigator.clipboard || typeof ClipboardItem === 'undefined') {
    showStatus('This browser cannot copy pictures; use "Save picture".');
    return;
  }
  lcdAreaCanvas().toBlob((blob) => {
    if (!blob) return;
    navigator.clipboard.write([new ClipboardItem({ 'image/png': blob })]).then(
      () => showStatus('LCD picture copied to the clipboard (228 x 128)', 10000),
      () => showStatus('The browser refused the clipboard; use "Save picture".'));
  }, 'image/png');
}
