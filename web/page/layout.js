// The window's layout, scaled to the largest zoom at which the window fits
// the viewport's width (and its height where it can) and every LCD pixel is
// a whole number of device pixels: an LCD pixel is 2 x 2 window pixels, so at
// a device pixel ratio r the zoom goes in steps of 1 / (2 r) (0.5 at r = 1,
// 0.25 at r = 2, 1/6 at r = 3). On touch screens the controls' hit areas
// grow to 40 x 40 CSS pixels where the layout leaves room; their pictures
// keep their sizes.
//
// A page too narrow for the window at zoom 1 (a phone), or a touch screen
// too low for it (a phone held sideways), gets the narrow arrangement
// instead: the bezel with its LCD, lamp and keys as large as the page's width
// and height allow, on the same grid of zooms, and the other controls below it in
// rows of readable text and finger-sized targets (style.css, `.narrow`), in
// the window's tab order. Narrower than NARROWEST, the page scrolls from the
// form's left edge.
import { CLIENT_HEIGHT, CLIENT_WIDTH, CONTROLS } from './controls.js';
import { $, ROLES, part } from './elements.js';
import { scaleLcd } from './lcd.js';

const MAX_ZOOM = 4;
// At the smallest zoom an LCD pixel is one device pixel at a ratio of 1.
const MIN_ZOOM = 0.5;
// Room around the form, in window pixels: a margin on each side.
const MARGIN = 8;
// The layout was made for a small dialog font: "Channel 1:" must end before
// the slider's echo 56 pixels further right. The font is shrunk until it does.
const LARGEST_FONT_PIXELS = 11;
const SMALLEST_FONT_PIXELS = 8;
const CHANNEL_LABEL_ROOM = 54;
// The smallest hit area a finger can aim at, in CSS pixels.
const TOUCH_TARGET = 40;
const TOUCH_ROLES = ['left_key', 'centre_key', 'right_key', 'clockwise_button',
                     'anticlockwise_button', 'on_button', 'off_button', 'channel1_slider',
                     'channel2_slider', 'calibrate_box', 'keyfast_box'];
// What stays on the bezel in the narrow arrangement, where the window has it.
const ON_BEZEL = ['bezel', 'alarm_lamp', 'lcd_frame', 'left_key', 'centre_key', 'right_key'];
// The narrowest page the narrow arrangement's rows are laid out for (the
// narrowest phones), in CSS pixels; and the gap below the bezel.
const NARROWEST = 320;
const BEZEL_GAP = 8;

let zoom = 1;
let narrow = false;

// Whether the page point (x, y), as events give it, lies over the bezel.
export function inBezel(x, y) {
  const box = part('bezel').getBoundingClientRect();
  return x >= box.left && y >= box.top && x < box.right && y < box.bottom;
}

const coarse = window.matchMedia('(pointer: coarse)');

// The largest zoom on the device pixel grid at which `across` x `down`
// window pixels and their margins fit `width` x `height`.
function fittingZoom(width, height, across = CLIENT_WIDTH, down = CLIENT_HEIGHT) {
  const steps = 2 * (window.devicePixelRatio || 1);
  const room = Math.min(width / (across + 2 * MARGIN), height / (down + 2 * MARGIN));
  const smallest = Math.max(1, Math.floor(MIN_ZOOM * steps + 1e-9));
  return Math.min(MAX_ZOOM, Math.max(smallest, Math.floor(room * steps + 1e-9)) / steps);
}

// A control's box, in window pixels (a check box with its caption).
function boxOf(role) {
  const control = CONTROLS.find((c) => c.role === role);
  return { left: control.left, top: control.top, width: control.width, height: control.height };
}

// What a control shows of itself, in window pixels: its box, but for a
// slider only the band of its thumb, centred in the box (the thumb keeps its
// size in CSS pixels at any zoom).
const THUMB_BAND = 20;
function pictureOf(role) {
  const box = boxOf(role);
  if (!role.endsWith('_slider')) return box;
  const height = Math.min(box.height, THUMB_BAND / zoom);
  return { ...box, top: box.top + (box.height - height) / 2, height };
}

// Whether a key area, round as the key it lies over (and as its hit area),
// stays clear of `own` grown by `grow` CSS pixels.
function clearOfRound(key, own, grow) {
  const [cx, cy, r] = [key.left + key.width / 2, key.top + key.height / 2, key.width / 2];
  const nearestX = Math.min(Math.max(cx, own.left - grow.x / zoom), own.left + own.width + grow.x / zoom);
  const nearestY = Math.min(Math.max(cy, own.top - grow.y / zoom), own.top + own.height + grow.y / zoom);
  return Math.hypot(nearestX - cx, nearestY - cy) >= r;
}

// Whether a control flows below the bezel (the narrow arrangement), sized
// by the style sheet with its targets already large enough.
const flowed = (role) => narrow && !ON_BEZEL.includes(role);

// How far a control's hit area may reach beyond its box on each side, in CSS
// pixels (on the device pixel grid): up to TOUCH_TARGET in all, but at most
// half way to another control's picture, so a tap on a picture always
// reaches its own control.
function hitMargins(role) {
  const own = pictureOf(role);
  const box = boxOf(role);
  const grow = {
    x: Math.max(0, (TOUCH_TARGET - box.width * zoom) / 2),
    y: Math.max(0, (TOUCH_TARGET - box.height * zoom) / 2),
  };
  for (const other of TOUCH_ROLES) {
    if (other === role || flowed(other)) continue;
    const picture = pictureOf(other);
    // The gaps between the two pictures, in CSS pixels (negative where they
    // overlap along that axis).
    const halfX = (Math.max(picture.left - own.left - own.width,
                            own.left - picture.left - picture.width) * zoom) / 2;
    const halfY = (Math.max(picture.top - own.top - own.height,
                            own.top - picture.top - picture.height) * zoom) / 2;
    // How far the box reaches beyond the picture, where they differ.
    const reachY = grow.y + ((box.height - own.height) * zoom) / 2;
    if (halfX >= grow.x || halfY >= reachY) continue;
    if (other.endsWith('_key') && clearOfRound(picture, own, grow)) continue;
    if (halfX >= halfY) grow.x = Math.max(0, halfX);
    else grow.y = Math.max(0, halfY - ((box.height - own.height) * zoom) / 2);
  }
  const ratio = window.devicePixelRatio || 1;
  return { x: Math.ceil(grow.x * ratio) / ratio, y: Math.ceil(grow.y * ratio) / ratio };
}

function growHitAreas() {
  for (const role of TOUCH_ROLES) {
    const element = part(role);
    const target = element.type === 'checkbox' ? element.parentElement : element;
    const grow = coarse.matches && !flowed(role) ? hitMargins(role) : { x: 0, y: 0 };
    if (element.type === 'range') {
      if (flowed(role)) continue;
      // A slider's picture stays centred in its box: the box itself grows.
      const box = boxOf(role);
      element.style.left = `${box.left * zoom - grow.x}px`;
      element.style.top = `${box.top * zoom - grow.y}px`;
      element.style.width = `${box.width * zoom + 2 * grow.x}px`;
      element.style.height = `${box.height * zoom + 2 * grow.y}px`;
    } else {
      // The hit area is placed from inside the border (a button has one).
      const style = getComputedStyle(target);
      const edge = coarse.matches ? parseFloat(style.borderTopWidth) || 0 : 0;
      target.style.setProperty('--grow-x', `${grow.x + edge}px`);
      target.style.setProperty('--grow-y', `${grow.y + edge}px`);
    }
  }
}

// The LCD's canvas on the device pixel grid, wherever the form's fractions
// put its frame.
function alignLcd() {
  const lcd = part('lcd');
  lcd.style.left = '0px';
  lcd.style.top = '0px';
  const ratio = window.devicePixelRatio || 1;
  const box = lcd.getBoundingClientRect();
  const snap = (v) => Math.round(v * ratio) / ratio - v;
  lcd.style.left = `${snap(box.left + window.scrollX)}px`;
  lcd.style.top = `${snap(box.top + window.scrollY)}px`;
}

function place(form) {
  document.documentElement.style.setProperty('--z', zoom);
  form.classList.toggle('narrow', narrow);
  const ratio = window.devicePixelRatio || 1;
  const bezel = ROLES.bezel;
  // Where the bezel's left edge goes: the form's is the window's; the
  // narrow form fills the page's width, the bezel centred in it.
  let offset = 0;
  if (narrow) {
    for (const property of ['width', 'height', 'marginLeft', 'fontSize']) form.style[property] = '';
    form.style.paddingTop = `${Math.ceil((bezel.height * zoom + BEZEL_GAP) * ratio) / ratio}px`;
    offset = Math.floor(((form.clientWidth - bezel.width * zoom) / 2) * ratio) / ratio;
  } else {
    form.style.paddingTop = '';
    form.style.width = `${CLIENT_WIDTH * zoom}px`;
    form.style.height = `${CLIENT_HEIGHT * zoom}px`;
    const free = document.documentElement.clientWidth - CLIENT_WIDTH * zoom;
    form.style.marginLeft = `${Math.max(0, Math.floor((free / 2) * ratio) / ratio)}px`;
  }
  // On the device pixel grid, so that no control (the LCD's frame above all)
  // starts between two device pixels.
  const snap = (v) => `${Math.round(v * ratio) / ratio}px`;
  for (const { name, role, kind, parent, left, top, width, height } of CONTROLS) {
    if (parent !== '') continue;
    const element = $(kind === 'check_box' ? `${name}Box` : name);
    if (flowed(role)) {
      for (const property of ['left', 'top', 'width', 'height']) element.style[property] = '';
      continue;
    }
    element.style.left = snap(offset + left * zoom);
    element.style.top = snap(top * zoom);
    if (width !== 0) {
      element.style.width = snap(width * zoom);
      element.style.height = snap(height * zoom);
    }
  }
  // The bezel's picture drawn at the size the screen shows it, or larger
  // (bezel.jpg at 1x, bezel-2x.jpg to bezel-4x.jpg: a phone at a ratio of 3
  // shows it at 3.5 device pixels a window pixel).
  part('bezel').sizes = `${bezel.width * zoom}px`;
  scaleLcd(zoom, ratio);
  if (narrow) {
    readableText(0);
  } else {
    let pixels = LARGEST_FONT_PIXELS;
    for (; pixels > SMALLEST_FONT_PIXELS; pixels -= 0.5) {
      form.style.fontSize = `${pixels * zoom}px`;
      if (part('channel1_label').getBoundingClientRect().width <= CHANNEL_LABEL_ROOM * zoom) break;
    }
    form.style.fontSize = `${pixels * zoom}px`;
    readableText(pixels * zoom);
  }
  growHitAreas();
}

// On a touch screen, a caption whose control has the room is written at least
// READABLE_TEXT CSS pixels high (a step at a time down to the form's own size
// where it has less); elsewhere every caption keeps the form's size (the
// narrow arrangement's are readable by the style sheet). The status bar's
// fields follow its message's size; its line (STATUS_LINE window pixels)
// holds text up to LINE_SPACING times smaller.
const READABLE_TEXT = 14;
const STATUS_LINE = 18;
const LINE_SPACING = 1.2;
const CAPTIONED = ['on_button', 'off_button', 'clockwise_button', 'anticlockwise_button',
                   'status_bar'];
function readableText(formPixels) {
  const bar = part('status_bar');
  const captions = [...CAPTIONED.map(part), part('calibrate_box').parentElement,
                    part('keyfast_box').parentElement];
  for (const caption of captions) {
    caption.style.fontSize = '';
    if (!coarse.matches || narrow) continue;
    for (let size = READABLE_TEXT; size > formPixels; size -= 0.5) {
      if (caption === bar && size * LINE_SPACING > STATUS_LINE * zoom) continue;
      caption.style.fontSize = `${size}px`;
      if (caption.scrollWidth <= caption.clientWidth && caption.scrollHeight <= caption.clientHeight)
        break;
      caption.style.fontSize = '';
    }
  }
  if (bar.style.fontSize) $('Form1').style.setProperty('--status-text', bar.style.fontSize);
  else $('Form1').style.removeProperty('--status-text');
}

// Every control where the table puts it, in window pixels times the zoom,
// or in the narrow arrangement. A check box is placed with its caption, as
// the window's is; the LCD fills its frame by the style sheet; a label sizes
// itself.
export function placeControls() {
  const form = $('Form1');
  const root = document.documentElement;
  const below = $('Tools').offsetHeight + 16;
  zoom = fittingZoom(root.clientWidth, window.innerHeight - below);
  // A touch screen too low for the window at zoom 1 (a phone held sideways)
  // gets the rows too: the window's text would be too small for it.
  narrow = root.clientWidth < CLIENT_WIDTH + 2 * MARGIN || (coarse.matches && zoom < 1);
  if (narrow) {
    // The bezel whole on the screen where it can be, the rows below it.
    const bezel = ROLES.bezel;
    zoom = fittingZoom(Math.max(NARROWEST, root.clientWidth), window.innerHeight, bezel.width,
                       bezel.height);
  }
  place(form);
  // A scroll bar that came with the new height may leave the form too wide.
  const steps = 2 * (window.devicePixelRatio || 1);
  while (zoom > MIN_ZOOM && root.scrollWidth > Math.max(root.clientWidth, narrow ? NARROWEST : 0)) {
    zoom = Math.max(MIN_ZOOM, (Math.ceil(zoom * steps - 1e-9) - 1) / steps);
    place(form);
  }
  alignLcd();
}

// The layout follows the window's size, the device's pixel ratio (a browser
// zoom, a move to another screen) and the kind of pointer.
export function followViewport() {
  window.addEventListener('resize', placeControls);
  coarse.addEventListener('change', placeControls);
  let ratio = window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`);
  const onRatio = () => {
    ratio.removeEventListener('change', onRatio);
    ratio = window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`);
    ratio.addEventListener('change', onRatio);
    placeControls();
  };
  ratio.addEventListener('change', onRatio);
}
