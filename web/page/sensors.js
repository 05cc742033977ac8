// A sensor by value, as the window has it: "Channel N value..." (a number in
// the channel's unit; what is typed stays as typed, a number the channel
// cannot show or text that is no number is refused with the reason under it,
// and OK waits for one it can take), the sender presets (open and short), and
// each slider's tooltip with what its channel shows at its position. The
// answers come from the workbench module, run on the instrument's settings of
// the moment.
import { buttonRow, makeDialog, showFailure } from './dialogs.js';
import { ROLES, part, showStatus } from './elements.js';
import { workbenchWithSettings } from './workbench.js';

const STATUS_MS = 10000;
const SLIDERS = ['channel1_slider', 'channel2_slider'];

const channelName = (channel) => `Channel ${channel + 1}`;
const slider = (channel) => part(SLIDERS[channel]);

// Through the slider, so its label and the instrument agree.
function moveSlider(channel, count) {
  const input = slider(channel);
  input.value = String(count);
  input.dispatchEvent(new Event('input', { bubbles: true }));
  input.dispatchEvent(new Event('change', { bubbles: true }));
}

// The desktop's way of writing a number first ("4,5" where the comma is the
// decimal sign), then the plain one; NaN for anything else.
export function readNumber(typed) {
  const text = typed.trim();
  const plain = /^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$/;
  const comma = (1.5).toLocaleString().includes(',');
  if (comma && /^[+-]?\d*,\d+$/.test(text)) return Number(text.replace(',', '.'));
  return plain.test(text) ? Number(text) : NaN;
}

// Why the text as it stands cannot be taken; '' when it can.
function refusal(made, channel, typed) {
  if (typed.trim() === '') return 'Type a number.';
  const number = readNumber(typed);
  if (Number.isNaN(number)) return `"${typed.trim()}" is not a number.`;
  if (made._dg2_count_for_value(channel, number) < 0) return `${made.UTF8ToString(made._dg2_answer())}.`;
  return '';
}

// "Channel 1 shows 4.5 bar at input 2047": after the dialog's OK, checked
// again, since the channel may have changed while the dialog was open.
async function setChannelValue(channel, number) {
  const made = await workbenchWithSettings();
  const count = made._dg2_count_for_value(channel, number);
  if (count < 0) {
    showFailure(`${channelName(channel)} value`, made.UTF8ToString(made._dg2_answer()));
    return;
  }
  moveSlider(channel, count);
  const shown = made.UTF8ToString(made._dg2_value_text(channel, count));
  showStatus(`${channelName(channel)} shows ${shown} at input ${count}`, STATUS_MS);
}

export async function channelValueDialog(channel) {
  let made;
  try {
    made = await workbenchWithSettings();
  } catch (error) {
    showFailure(`${channelName(channel)} value`, error.message);
    return;
  }
  const prompt = made.UTF8ToString(made._dg2_value_prompt(channel, Number(slider(channel).value)));
  if (prompt.startsWith('!')) {
    showStatus(prompt.slice(1), STATUS_MS);
    return;
  }
  const [question, now] = prompt.split('\t');
  const dialog = makeDialog(`${channelName(channel)} value`, { className: 'value' });
  const form = document.createElement('form');
  const label = document.createElement('label');
  label.textContent = question;
  const input = document.createElement('input');
  input.type = 'text';
  input.inputMode = 'decimal';
  input.autocomplete = 'off';
  input.value = now;
  label.append(input);
  const reason = document.createElement('p');
  reason.className = 'reason';
  reason.setAttribute('aria-live', 'polite');
  form.append(label, reason);
  dialog.append(form);
  const [ok] = buttonRow(dialog, [
    { text: 'OK', primary: true, action: () => form.requestSubmit() },
    { text: 'Cancel', action: () => dialog.close() },
  ]);
  // The settings may change while the dialog is open: each check reads them.
  const check = async () => {
    const typed = input.value;
    const why = refusal(await workbenchWithSettings(), channel, typed);
    if (input.value !== typed) return;
    reason.textContent = why;
    ok.disabled = why !== '';
  };
  input.addEventListener('input', check);
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    if (ok.disabled) return;
    dialog.close();
    setChannelValue(channel, readNumber(input.value));
  });
  dialog.showModal();
  input.focus();
  input.select();
  await check();
}

export async function setSenderFault(channel, open) {
  const made = await workbenchWithSettings();
  const count = made._dg2_sender_fault_count(open ? 1 : 0);
  moveSlider(channel, count);
  let text = `${channelName(channel)}: sender ${open ? 'open' : 'short'} (input ${count})`;
  if (open) {
    text += made._dg2_sender_fault_reported(channel) ? ', shown as "CHECK SENDER"'
                                                      : ', which this sender does not report';
  }
  showStatus(text, STATUS_MS);
}

// The slider's position in the channel's unit, then what it stands for.
export async function refreshTooltip(channel) {
  const input = slider(channel);
  const base = ROLES[SLIDERS[channel]].tooltip;
  try {
    const made = await workbenchWithSettings();
    const reading = made.UTF8ToString(made._dg2_slider_tooltip(channel, Number(input.value)));
    input.title = base ? `${reading}\n${base}` : reading;
  } catch {
    // Without the module (offline before it was fetched) the tooltip keeps its text.
  }
}
