// The context menu on the bezel and the LCD: right click, a long press on a
// touch screen, or the keyboard's menu key (Shift+F10) with a key area or the
// LCD focused. Its entries and their order are the window's; each names the
// shortcut the page takes for it. The menu is made anew each time it opens,
// so every entry shows the state of the moment ("Pause" or "Resume").
import { KEY_BINDINGS } from './controls.js';
import { $, ROLES } from './elements.js';
import { currentZoom } from './layout.js';

const LONG_PRESS_MS = 500;
// A finger that moves further than this is scrolling or dragging, not pressing.
const LONG_PRESS_SLOP = 10;

let entriesOf = () => [];
let open = null;  // { root, restore }
let press = null;  // { id, x, y, target, timer }

// The page's shortcut for an entry, as the help lists it ("Ctrl+Shift+L").
function shortcutText(action, keyIndex = 0) {
  const binding = KEY_BINDINGS.find((b) => b.action === action);
  return binding?.keys[keyIndex] ?? '';
}

function inBezel(x, y) {
  const box = $('Form1').getBoundingClientRect();
  const zoom = currentZoom();
  const bezel = ROLES.bezel;
  const bx = (x - box.left) / zoom;
  const by = (y - box.top) / zoom;
  return bx >= bezel.left && by >= bezel.top && bx < bezel.left + bezel.width &&
         by < bezel.top + bezel.height;
}

// One menu (or submenu) of entries: { text, run, action, keyIndex, disabled,
// checked, submenu }, null for a line between groups.
function buildMenu(entries, label) {
  const menu = document.createElement('div');
  menu.className = 'menu';
  menu.setAttribute('role', 'menu');
  menu.setAttribute('aria-label', label);
  menu.dataset.ownKeys = '';
  for (const entry of entries) {
    if (entry === null) {
      const line = document.createElement('div');
      line.setAttribute('role', 'separator');
      menu.append(line);
      continue;
    }
    const item = document.createElement('button');
    item.type = 'button';
    item.tabIndex = -1;
    item.disabled = Boolean(entry.disabled);
    const text = document.createElement('span');
    text.textContent = entry.text;
    const keys = document.createElement('kbd');
    keys.textContent = entry.submenu ? '\u25B8' : shortcutText(entry.action, entry.keyIndex);
    item.append(text, keys);
    if (entry.checked !== undefined) {
      item.setAttribute('role', 'menuitemradio');
      item.setAttribute('aria-checked', String(entry.checked));
    } else {
      item.setAttribute('role', 'menuitem');
    }
    if (entry.submenu) {
      item.setAttribute('aria-haspopup', 'menu');
      item.setAttribute('aria-expanded', 'false');
      const sub = buildMenu(entry.submenu, entry.text);
      sub.hidden = true;
      item.addEventListener('click', () => showSubmenu(item, sub, true));
      item.addEventListener('pointerenter', (event) => {
        if (event.pointerType === 'mouse') showSubmenu(item, sub, false);
      });
      menu.append(item, sub);
      continue;
    }
    item.addEventListener('pointerenter', (event) => {
      if (event.pointerType === 'mouse') {
        hideSubmenus(menu);
        item.focus();
      }
    });
    item.addEventListener('click', () => {
      closeMenu();
      entry.run();
    });
    menu.append(item);
  }
  menu.addEventListener('keydown', (event) => onMenuKey(event, menu));
  return menu;
}

const itemsOf = (menu) => [...menu.children].filter((e) => e.tagName === 'BUTTON' && !e.disabled);

function hideSubmenus(menu) {
  for (const sub of menu.querySelectorAll(':scope > .menu')) {
    sub.hidden = true;
    sub.previousElementSibling.setAttribute('aria-expanded', 'false');
  }
}

function showSubmenu(item, sub, focusFirst) {
  hideSubmenus(item.parentElement);
  sub.hidden = false;
  item.setAttribute('aria-expanded', 'true');
  // Beside its entry, or on its other side where the page has no room.
  const box = item.getBoundingClientRect();
  sub.style.left = `${box.right}px`;
  sub.style.top = `${box.top}px`;
  fitInView(sub, box.left);
  if (focusFirst) itemsOf(sub)[0]?.focus();
  else item.focus();
}

function fitInView(menu, leftOfOwner = null) {
  const box = menu.getBoundingClientRect();
  if (box.right > window.innerWidth) {
    const left = leftOfOwner !== null ? leftOfOwner - box.width : window.innerWidth - box.width;
    menu.style.left = `${Math.max(0, left)}px`;
  }
  if (box.bottom > window.innerHeight)
    menu.style.top = `${Math.max(0, window.innerHeight - box.height)}px`;
}

function onMenuKey(event, menu) {
  event.stopPropagation();
  const items = itemsOf(menu);
  const at = items.indexOf(document.activeElement);
  const move = (index) => items[(index + items.length) % items.length]?.focus();
  switch (event.key) {
    case 'ArrowDown': move(at + 1); break;
    case 'ArrowUp': move(at < 0 ? -1 : at - 1); break;
    case 'Home': move(0); break;
    case 'End': move(-1); break;
    case 'ArrowRight': {
      const sub = document.activeElement?.nextElementSibling;
      if (document.activeElement?.getAttribute('aria-haspopup') && sub) showSubmenu(document.activeElement, sub, true);
      break;
    }
    case 'ArrowLeft':
    case 'Escape':
      if (menu !== open.root) {
        menu.hidden = true;
        menu.previousElementSibling.setAttribute('aria-expanded', 'false');
        menu.previousElementSibling.focus();
      } else {
        closeMenu();
      }
      break;
    case 'Tab': closeMenu(); break;
    default: return;
  }
  event.preventDefault();
}

export function menuOpen() {
  return open !== null;
}

export function closeMenu() {
  if (!open) return;
  const { root, restore } = open;
  open = null;
  root.remove();
  document.removeEventListener('pointerdown', onOutside, true);
  if (restore instanceof HTMLElement && restore.isConnected) restore.focus({ preventScroll: true });
}

function onOutside(event) {
  if (open && !open.root.contains(event.target)) closeMenu();
}

// Opens the menu with its top left corner at (x, y) in the viewport.
export function openMenu(x, y) {
  closeMenu();
  const root = buildMenu(entriesOf(), 'Workbench');
  root.classList.add('context');
  root.style.left = `${x}px`;
  root.style.top = `${y}px`;
  document.body.append(root);
  fitInView(root);
  open = { root, restore: document.activeElement };
  document.addEventListener('pointerdown', onOutside, true);
  itemsOf(root)[0]?.focus({ preventScroll: true });
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
  } else if (open) {
    return;
  }
  openMenu(x, y);
}

// `entries` gives the menu's entries each time it opens.
export function connectMenu(entries) {
  entriesOf = entries;
  const form = $('Form1');
  form.addEventListener('contextmenu', onContextMenu);
  form.addEventListener('pointerdown', onPointerDown);
  form.addEventListener('pointermove', onPointerMove);
  for (const type of ['pointerup', 'pointercancel'])
    form.addEventListener(type, (event) => {
      if (event.isTrusted && press && event.pointerId === press.id) cancelPress();
    });
  window.addEventListener('resize', closeMenu);
  window.addEventListener('blur', closeMenu);
}
