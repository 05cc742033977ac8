// The page's elements, and the status bar. The elements carry the window's
// names for its controls ("TrackBar1"); the script calls each control by its
// role ("channel1_slider"), as the table of controls (controls.js) pairs them.
import { CONTROLS } from './controls.js';

export const $ = (id) => document.getElementById(id);

// Each role's row of the table.
export const ROLES = Object.fromEntries(CONTROLS.map((control) => [control.role, control]));

// The element of a role.
export const part = (role) => $(ROLES[role].name);

export function showStatus(text) {
  part('status_bar').textContent = text;
}
