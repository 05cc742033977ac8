// The window's layout, scaled to the largest whole-number zoom at which the
// window fits the viewport, so the LCD's pixels stay crisp squares.
import { CLIENT_HEIGHT, CLIENT_WIDTH, CONTROLS } from './controls.js';
import { $, part } from './elements.js';

const MAX_ZOOM = 4;
// The layout was made for a small dialog font: "Channel 1:" must end before
// the slider's echo 56 pixels further right. The font is shrunk until it does.
const LARGEST_FONT_PIXELS = 11;
const SMALLEST_FONT_PIXELS = 8;
const CHANNEL_LABEL_ROOM = 54;

let zoom = 1;

// Page pixels per window pixel.
export function currentZoom() {
  return zoom;
}

// Every control where the table puts it, in window pixels times the zoom. A
// check box is placed with its caption, as the window's is; the LCD fills its
// frame by the style sheet; a label sizes itself.
export function placeControls() {
  const form = $('Form1');
  const room = Math.min(window.innerWidth / (CLIENT_WIDTH + 16),
                        (window.innerHeight - 60) / (CLIENT_HEIGHT + 16));
  zoom = Math.max(1, Math.min(MAX_ZOOM, Math.floor(room)));
  document.documentElement.style.setProperty('--z', zoom);
  form.style.width = `${CLIENT_WIDTH * zoom}px`;
  form.style.height = `${CLIENT_HEIGHT * zoom}px`;
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
