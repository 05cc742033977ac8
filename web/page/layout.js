// The window's layout, scaled to the largest whole-number zoom at which the
// window fits the viewport, so the LCD's pixels stay crisp squares.
import { $ } from './elements.js';

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
const MAX_ZOOM = 4;
// The bezel's square at the window's top left, in window pixels.
export const BEZEL_SIZE = 310;
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

export function placeControls() {
  const form = $('Form1');
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
