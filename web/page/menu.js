// The context menu on the bezel and the LCD: right click, a long press on a
// touch screen, or the keyboard's menu key (Shift+F10) with a key area or the
// LCD focused. Only the detection is here; the menu (menu_view.js) is loaded
// when it first opens.
import { $ } from './elements.js';
import { inBezel } from './layout.js';

const LONG_PRESS_MS = 500;
// A finger that moves further than this is scrolling or dragging, not pressing.
const LONG_PRESS_SLOP = 10;

let view = null;  // menu_view.js once loaded
let press = null;  // { id, x, y, target, timer }

const menuOpen = () => view !== null && view.menuOpen();

// The main window's menu at (x, y), or another's `entries` (a function of
// the menu_view module, as the LCD window's).
export async function openMenu(x, y, entries = null) {
  view ??= await import('./menu_view.js');
  view.openMenu(x, y, entries ? entries(view) : undefined);
}

// A long press ends the key area's click it began: the key is not pressed.
function cancelPress() {
  if (!press) return;
  clearTimeout(press.timer);
  press = null;
}

function onPointerDown(event) {
  cancelPress();
  if (event.pointerType === 'mouse' || !inBezel(event.clientX, event.clientY)) return;
  const started = { id: event.pointerId, x: event.clientX, y: event.clientY, target: event.target };
  started.timer = setTimeout(() => {
    press = null;
    started.target.dispatchEvent(new PointerEvent('pointercancel', { pointerId: started.id }));
    openMenu(started.x, started.y);
  }, LONG_PRESS_MS);
  press = started;
}

function onPointerMove(event) {
  if (press && event.pointerId === press.id &&
      Math.hypot(event.clientX - press.x, event.clientY - press.y) > LONG_PRESS_SLOP)
    cancelPress();
}

function onContextMenu(event) {
  // From the keyboard, the focused element is the place.
  const keyboard = event.clientX === 0 && event.clientY === 0;
  let x = event.clientX;
  let y = event.clientY;
  if (keyboard || event.button !== 2) {
    const box = event.target.getBoundingClientRect?.();
    if (box && (keyboard || !inBezel(x, y))) {
      x = box.left + box.width / 2;
      y = box.top + box.height / 2;
    }
  }
  if (!inBezel(x, y)) return;
  event.preventDefault();
  // A long press the browser reports as well opens one menu, not two.
  if (press) {
    press.target.dispatchEvent(new PointerEvent('pointercancel', { pointerId: press.id }));
    cancelPress();
  } else if (menuOpen()) {
    return;
  }
  openMenu(x, y);
}

export function connectMenu() {
  const form = $('Form1');
  form.addEventListener('contextmenu', onContextMenu);
  form.addEventListener('pointerdown', onPointerDown);
  form.addEventListener('pointermove', onPointerMove);
  for (const type of ['pointerup', 'pointercancel'])
    form.addEventListener(type, (event) => {
      if (event.isTrusted && press && event.pointerId === press.id) cancelPress();
    });
  for (const type of ['resize', 'blur'])
    window.addEventListener(type, () => view?.closeMenu());
}
