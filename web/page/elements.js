// The page's elements, and the status bar. The elements carry the window's
// names for its controls ("TrackBar1"); the script calls each control by its
// role ("channel1_slider"), as the table of controls (controls.js) pairs them.
import { CONTROLS } from './controls.js';

export const $ = (id) => document.getElementById(id);

// Each role's row of the table.
export const ROLES = Object.fromEntries(CONTROLS.map((control) => [control.role, control]));

// The element of a role.
export const part = (role) => $(ROLES[role].name);

// A message at the left of the status bar, for `ms` milliseconds or until the
// next (0: until the next). One too long for its room ends in an ellipsis, and
// its whole text is then the bar's tooltip.
let statusTimer = 0;
export function showStatus(text, ms = 0) {
  const bar = part('status_bar');
  bar.textContent = text;
  bar.title = bar.scrollWidth > bar.clientWidth ? text : '';
  clearTimeout(statusTimer);
  if (ms > 0) statusTimer = setTimeout(() => showStatus(''), ms);
}

// The status bar's fields at its right (the instrument's state, the clock's,
// a recording): each a span with a tooltip, kept clear of the message.
export function addStatusField(tooltip) {
  let fields = $('StatusFields');
  if (!fields) {
    fields = document.createElement('div');
    fields.id = 'StatusFields';
    $('Form1').append(fields);
    // Beside the message, the fields leave it the rest of the bar, however
    // their texts or the layout change their width (tools.css).
    new ResizeObserver(() => {
      $('Form1').style.setProperty('--status-fields', `${fields.offsetWidth}px`);
    }).observe(fields);
  }
  const field = document.createElement('span');
  field.title = tooltip;
  fields.append(field);
  return field;
}

// A field's new text.
export function setStatusField(field, text) {
  if (field.textContent === text) return;
  field.textContent = text;
  field.hidden = text === '';
}
