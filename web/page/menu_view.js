// The context menu itself, loaded on its first use: its entries in the
// window's order (each naming the shortcut the page takes for it), made anew
// each time it opens so every entry shows the state of the moment ("Pause"
// or "Resume"), walked by mouse, finger or arrows.
import { KEY_BINDINGS } from './controls.js';
import { showAbout, showKeysAndShortcuts } from './help.js';
import { recordText, saveLcdPicture, toggleRecording } from './pictures.js';
import { channelValueDialog, setSenderFault } from './sensors.js';
import { chooseSettingsFile, saveSettings } from './settings.js';
import { timeEntries } from './time_control.js';
import {
  copyLink, playLog, playScenario, scenarioPlaying, sensorLogPlaying, sessionRecording,
  startRecording, stopLog, stopRecording, stopScenario,
} from './workbench_functions.js';
import { openZoom, zoomOpen } from './zoom.js';

// Scenarios, sessions, sensor logs and links, between the channels and the
// Time submenu, where the window puts its sensor log entries.
function playerEntries() {
  return [
    scenarioPlaying() ? { text: 'Stop scenario', run: stopScenario }
                      : { text: 'Play scenario...', run: playScenario },
    sessionRecording() ? { text: 'Stop recording session', run: stopRecording }
                       : { text: 'Record session', run: startRecording },
    { text: 'Play sensor log...', action: 'sensor_log', run: playLog },
    { text: 'Stop sensor log', run: stopLog, disabled: !sensorLogPlaying() },
    { text: 'Copy link', run: copyLink },
  ];
}

// The main window's menu, as the window orders it.
export function windowEntries() {
  const channels = [0, 1].flatMap((channel) => [
    { text: `Channel ${channel + 1} value...`, run: () => channelValueDialog(channel) },
    { text: `Channel ${channel + 1} sender open`, run: () => setSenderFault(channel, true) },
    { text: `Channel ${channel + 1} sender short`, run: () => setSenderFault(channel, false) },
  ]);
  return [
    { text: 'Save settings...', action: 'save_settings', run: saveSettings },
    { text: 'Load settings...', action: 'load_settings', run: chooseSettingsFile },
    null,
    ...channels,
    null,
    ...playerEntries(),
    null,
    { text: 'Time', submenu: timeEntries() },
    null,
    { text: 'Save LCD picture...', action: 'save_picture', run: () => saveLcdPicture(zoomOpen()) },
    { text: recordText(), action: 'record', run: () => toggleRecording(zoomOpen()) },
    { text: 'LCD window', action: 'lcd_window', run: () => openZoom(0) },
    null,
    { text: 'Keys and shortcuts', action: 'keys_help', run: showKeysAndShortcuts },
    { text: 'About', run: showAbout },
  ];
}

let open = null;  // { root, restore }

// The page's shortcut for an entry, as the help lists it ("Ctrl+Shift+L").
function shortcutText(action, keyIndex = 0) {
  const binding = KEY_BINDINGS.find((b) => b.action === action);
  return binding?.keys[keyIndex] ?? '';
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
      item.setAttribute('role', entry.checkbox ? 'menuitemcheckbox' : 'menuitemradio');
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

// Opens the menu of `entries` (the main window's unless given) with its top
// left corner at (x, y) in the viewport.
export function openMenu(x, y, entries = windowEntries()) {
  closeMenu();
  const root = buildMenu(entries, 'Workbench');
  root.classList.add('context');
  root.style.left = `${x}px`;
  root.style.top = `${y}px`;
  document.body.append(root);
  fitInView(root);
  open = { root, restore: document.activeElement };
  document.addEventListener('pointerdown', onOutside, true);
  itemsOf(root)[0]?.focus({ preventScroll: true });
}

