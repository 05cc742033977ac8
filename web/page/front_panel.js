// The window's controls on the page: the keys, the knob's buttons, ON and
// OFF, the sliders and the check boxes, captioned and bound from the table of
// controls; and what the instrument shows beside the LCD, the lamp and the
// sliders' echo.
import { CONTROLS, KEY_BINDINGS } from './controls.js';
import { $, ROLES, part } from './elements.js';
import {
  key, powerOff, powerOn, setCalibrate, setKeyFast, setSlider, setSliderPositions,
} from './instrument.js';

// The lamp's colour word holds red in its low byte.
export function onLamp(colour) {
  part('alarm_lamp').style.background =
    `rgb(${colour & 0xff}, ${(colour >> 8) & 0xff}, ${(colour >> 16) & 0xff})`;
}

// Power-on hands the sliders' positions to the instrument; the labels echo them.
export function onInputs(channel1, channel2) {
  part('channel1_echo').textContent = String(channel1);
  part('channel2_echo').textContent = String(channel2);
}

// Captions, ranges and start positions from the table; tooltips where the
// page's keys work a control.
export function dressControls() {
  for (const { name, kind, caption, initial, maximum } of CONTROLS) {
    const element = $(name);
    if (kind === 'button' || kind === 'label') {
      element.textContent = caption;
    } else if (kind === 'check_box') {
      element.checked = initial !== 0;
      $(`${name}Box`).append(` ${caption}`);
    } else if (kind === 'slider') {
      element.min = '0';
      element.max = String(maximum);
      element.value = String(initial);
    } else if (kind === 'shape') {
      onLamp(initial);
    }
  }
  for (const { control } of KEY_BINDINGS)
    if (control !== '') part(control).title = ROLES[control].tooltip;
  const keysOf = (action) => KEY_BINDINGS.find((binding) => binding.action === action).text;
  $('SavePicture').title += ` (${keysOf('copy_picture')} copies it)`;
  $('LoadSettings').title += ` (${keysOf('load_settings')})`;
  $('SaveSettings').title += ` (${keysOf('save_settings')})`;
}

// A click is a press and a release over the same key area; pointer events
// serve mouse, pen and touch alike.
function keyArea(area, code) {
  let pressed = false;
  area.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    pressed = true;
    area.setPointerCapture(event.pointerId);
    event.preventDefault();
    // Like a key on the window, a key area takes the keyboard from a slider.
    if (document.activeElement instanceof HTMLElement) document.activeElement.blur();
  });
  area.addEventListener('pointerup', (event) => {
    if (!pressed || event.button !== 0) return;
    pressed = false;
    const box = area.getBoundingClientRect();
    if (event.clientX >= box.left && event.clientX < box.right &&
        event.clientY >= box.top && event.clientY < box.bottom)
      key(code);
  });
  area.addEventListener('pointercancel', () => { pressed = false; });
}

function slider(input, label, channel) {
  input.addEventListener('input', () => {
    const position = Number(input.value);
    label.textContent = String(position);
    setSlider(channel, position);
  });
}

// Connects every control to the loaded instrument and hands it the sliders'
// and the check boxes' states.
export function connectControls() {
  part('on_button').addEventListener('click', powerOn);
  part('off_button').addEventListener('click', powerOff);
  // The key areas and the knob's buttons give their keys.
  for (const { name, kind, key: code } of CONTROLS) {
    if (kind === 'key_area') keyArea($(name), code);
    else if (kind === 'button' && code !== 0) $(name).addEventListener('click', () => key(code));
  }
  const channel1 = part('channel1_slider');
  const channel2 = part('channel2_slider');
  slider(channel1, part('channel1_echo'), 0);
  slider(channel2, part('channel2_echo'), 1);
  setSliderPositions(Number(channel1.value), Number(channel2.value));
  const calibrate = part('calibrate_box');
  const keyfast = part('keyfast_box');
  calibrate.addEventListener('change', () => setCalibrate(calibrate.checked));
  keyfast.addEventListener('change', () => setKeyFast(keyfast.checked));
  setCalibrate(calibrate.checked);
  setKeyFast(keyfast.checked);
  part('on_button').disabled = false;
  part('off_button').disabled = false;
}
