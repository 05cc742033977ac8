// The page's elements, and the status bar. The elements carry the window's
// names for its controls ("TrackBar1"); the script calls each control by its
// role ("channel1_slider"), as the table of controls (controls.js) pairs them.
import { CONTROLS } from './controls.js';

export const $ = (id) => document.getElementById(id);

// Each role's row of the table.
export const ROLES = Object.fromEntries(CONTROLS.map((control) => [control.role, control]));

// The element of a role.
export const part = (role) => $(ROLES[role].name);

// A message for `ms` milliseconds, if given (unless another replaces it).
let statusTimer = 0;
export function showStatus(text, ms = 0) {
  clearTimeout(statusTimer);
  const bar = part('status_bar');
  bar.textContent = text;
  if (ms > 0) statusTimer = setTimeout(() => { if (bar.textContent === text) bar.textContent = ''; }, ms);
}
