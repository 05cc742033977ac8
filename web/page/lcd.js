// The LCD: the instrument's picture in its canvas (Image1), its pixels for
// the LCD window and recordings, and the LCD's area as a PNG to copy.
import { part, showStatus } from './elements.js';

// The LCD's own area of the picture: 114 x 64 pixels as 2 x 2 blocks.
const LCD_AREA_WIDTH = 228;
const LCD_AREA_HEIGHT = 128;

// The instrument's picture is the window's, 229 x 133, kept as it comes in
// `source`; that canvas is one pixel wider and taller (left clear), so that
// at every zoom its size is a whole number of device pixels. The page's
// canvas shows it at `scale` device pixels a picture pixel (the zoom times
// the device pixel ratio, a multiple of a half), one canvas pixel a device
// pixel: each LCD pixel, 2 x 2 picture pixels, is then exactly a square of
// whole device pixels, which a canvas stretched by the browser at 2.5 does
// not give.
const PICTURE_WIDTH = 229;
const PICTURE_HEIGHT = 133;

const source = document.createElement('canvas');
source.width = PICTURE_WIDTH + 1;
source.height = PICTURE_HEIGHT + 1;
const sourceContext = source.getContext('2d');
const picture = sourceContext.createImageData(PICTURE_WIDTH, PICTURE_HEIGHT);
const lcd = part('lcd');
const lcdContext = lcd.getContext('2d');
let scale = 1;
let drawn = false;

function show() {
  if (!drawn) return;
  lcdContext.clearRect(0, 0, lcd.width, lcd.height);
  // Nearest picture pixel: every LCD pixel's edges fall on whole device pixels.
  lcdContext.imageSmoothingEnabled = false;
  lcdContext.drawImage(source, 0, 0, source.width * scale, source.height * scale);
}

// The canvas's size in CSS pixels: the fewest whole CSS pixels that hold
// `pixels` device pixels and are a whole number of device pixels. A canvas
// of a fractional CSS size is stretched by the browser by a fraction, a
// column of device pixels lost on the way, even where the fraction is a
// whole number of device pixels (287.5 at a ratio of 2).
function cssSize(pixels, ratio) {
  let css = Math.ceil(pixels / ratio - 1e-6);
  const whole = (v) => Math.abs(v - Math.round(v)) < 1e-6;
  for (let tries = 0; tries < 8 && !whole(css * ratio); ++tries) ++css;
  return css;
}

// The canvas as the layout shows it: `zoom` CSS pixels a picture pixel at a
// device pixel ratio of `ratio`. The picture fills its top left; a device
// pixel or few at its right and bottom edges may be left clear.
export function scaleLcd(zoom, ratio) {
  scale = zoom * ratio;
  const width = cssSize(source.width * scale, ratio);
  const height = cssSize(source.height * scale, ratio);
  lcd.style.width = `${width}px`;
  lcd.style.height = `${height}px`;
  // A canvas given its size again is cleared all the same.
  if (lcd.width !== Math.round(width * ratio)) lcd.width = Math.round(width * ratio);
  if (lcd.height !== Math.round(height * ratio)) lcd.height = Math.round(height * ratio);
  show();
}

// The picture's top left `width` x `height` pixels as shown, one a pixel.
export function shownPicture(width, height) {
  return sourceContext.getImageData(0, 0, width, height);
}

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
      lit[i] = picture.data[(2 * y * PICTURE_WIDTH + 2 * x) * 4 + 1] === 0 ? 1 : 0;
  return lit;
}

// Called by the instrument with the picture's RGBA bytes when it changed.
export function onPicture(rgba) {
  picture.data.set(rgba);
  sourceContext.putImageData(picture, 0, 0);
  const first = !drawn;
  drawn = true;
  show();
  if (first) requestAnimationFrame(() => { timing.firstFrame = performance.now(); });
  for (const watcher of watchers) watcher();
}

// The LCD's 228 x 128 area as shown; before the first frame, the panel's grey.
function lcdAreaCanvas() {
  const area = document.createElement('canvas');
  area.width = LCD_AREA_WIDTH;
  area.height = LCD_AREA_HEIGHT;
  const context = area.getContext('2d');
  if (drawn) {
    context.drawImage(source, 0, 0);
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
