// The window's controls on the page: the keys, the knob's buttons, ON and
// OFF, the sliders and the check boxes; and what the instrument shows beside
// the LCD, the lamp and the sliders' echo.
import { $ } from './elements.js';
import {
  KEY_ANTICLOCKWISE, KEY_CENTRE, KEY_CLOCKWISE, KEY_LEFT, KEY_RIGHT, key, powerOff, powerOn,
  setCalibrate, setKeyFast, setSlider, setSliderPositions,
} from './instrument.js';

// The lamp's colour word holds red in its low byte.
export function onLamp(colour) {
  $('Shape1').style.background =
    `rgb(${colour & 0xff}, ${(colour >> 8) & 0xff}, ${(colour >> 16) & 0xff})`;
}

// Power-on hands the sliders' positions to the instrument; the labels echo them.
export function onInputs(channel1, channel2) {
  $('Label13').textContent = String(channel1);
  $('Label14').textContent = String(channel2);
}

// A click is a press and a release over the same key area; pointer events
// serve mouse, pen and touch alike.
function keyArea(id, code) {
  const area = $(id);
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

function slider(id, labelId, channel) {
  const input = $(id);
  input.addEventListener('input', () => {
    const position = Number(input.value);
    $(labelId).textContent = String(position);
    setSlider(channel, position);
  });
}

// Connects every control to the loaded instrument and hands it the sliders'
// and the check boxes' states.
export function connectControls() {
  $('Button1').addEventListener('click', powerOn);
  $('Button2').addEventListener('click', powerOff);
  $('Button3').addEventListener('click', () => key(KEY_CLOCKWISE));
  $('Button4').addEventListener('click', () => key(KEY_ANTICLOCKWISE));
  keyArea('Image3', KEY_LEFT);
  keyArea('Image5', KEY_CENTRE);
  keyArea('Image6', KEY_RIGHT);
  slider('TrackBar1', 'Label13', 0);
  slider('TrackBar2', 'Label14', 1);
  setSliderPositions(Number($('TrackBar1').value), Number($('TrackBar2').value));
  $('CheckBox2').addEventListener('change', (e) => setCalibrate(e.target.checked));
  $('CheckBox3').addEventListener('change', (e) => setKeyFast(e.target.checked));
  setCalibrate($('CheckBox2').checked);
  setKeyFast($('CheckBox3').checked);
  $('Button1').disabled = false;
  $('Button2').disabled = false;
}
