// Help inside the page, as in the window: "Keys and shortcuts" (the key
// table as the page binds it, from controls.js) and "About".
import { FIRMWARE_VERSION, KEY_BINDINGS, SIMULATOR_VERSION } from './controls.js';
import { messageBox } from './dialogs.js';

let keysBox = null;

export function keysAndShortcutsTable() {
  const table = document.createElement('table');
  for (const { text, help } of KEY_BINDINGS) {
    const row = table.insertRow();
    const keys = document.createElement('th');
    keys.scope = 'row';
    keys.textContent = text;
    row.append(keys);
    row.insertCell().textContent = help;
  }
  return table;
}

// Asked for again, the open table comes to the front instead of a second one.
export function showKeysAndShortcuts() {
  if (keysBox?.isConnected) {
    keysBox.querySelector('button').focus();
    return;
  }
  keysBox = messageBox('Keys and shortcuts', keysAndShortcutsTable());
}

export function showAbout() {
  const text = document.createElement('div');
  const line = (content) => {
    const p = document.createElement('p');
    p.append(...content);
    text.append(p);
  };
  const name = document.createElement('b');
  name.textContent = 'DG-2 simulator';
  line([name, ` ${SIMULATOR_VERSION}`]);
  line([`Firmware version ${FIRMWARE_VERSION}`]);
  line(["The README (use, shortcuts, scenarios, building) is README.md in the simulator's " +
        'source folder.']);
  messageBox('About', text);
}
