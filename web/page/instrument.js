// The instrument: the firmware and the runtime in WebAssembly (dg2_core.js /
// dg2_core.wasm). The page's controls call its exported functions, which only
// write the instrument's shared variables, as the window's handlers do; "ON"
// runs the power-on and the main loop, which sleeps between passes and wakes
// early for a key.
import createInstrument from './dg2_core.js';
import { showStatus } from './elements.js';

let instrument = null;
let outputs = null;

// Loads the module; `outputs` receives the picture, the lamp and the inputs
// handed over at power-on (onPicture, onLamp, onInputs).
export async function loadInstrument(given) {
  outputs = given;
  instrument = await createInstrument(outputs);
  return instrument;
}

// A fresh instrument from another module factory of the same firmware (the
// workbench's, which plays scripts and records sessions), with the same
// outputs; useInstrument puts it in place of this one, which must be off.
// The caller then hands it the controls' states.
export function createInstrumentWith(create) {
  return create({ ...outputs });
}

export function useInstrument(replacement) {
  if (instrument._dg2_running_depth() > 0) throw new Error('the instrument is on');
  instrument = replacement;
}

// The module itself, for what crosses its memory (settings records).
export function module() {
  return instrument;
}

// Every event may wake the instrument from its wait between passes: a key, a
// knob step or "ON" (urgent) at once, anything else only where the screen
// stood still and the instrument waits for something to happen.
export function wake(urgent) {
  if (instrument.wake) instrument.wake(urgent);
}

// A key by the firmware's code for it (the table of controls has each
// control's).
export function key(code) {
  instrument._dg2_key(code);
  wake(true);
}

function fail(error) {
  showStatus(`The instrument stopped: ${error}`);
  console.error(error);
}

// Past the deepest nesting "ON" is ignored, as the window says for 5 s.
const MAX_POWER_ON_DEPTH = 8;
const IGNORED_MS = 5000;

export function powerOn() {
  if (instrument._dg2_running_depth() > 0) {
    if (!instrument._dg2_request_nested_on()) {
      showStatus(`"ON" ignored: the instrument is already powered on ${MAX_POWER_ON_DEPTH} deep`,
                 IGNORED_MS);
      return;
    }
    wake(true);
    return;
  }
  instrument.ccall('dg2_power_on', null, [], [], { async: true }).catch(fail);
}

export function powerOff() {
  instrument._dg2_power_off();
  wake(false);
}

// How deep "ON" is nested: 0 while off.
export function depth() {
  return instrument._dg2_running_depth();
}

// A slider's position (0 or 1 for channel 1 or 2); the check boxes are read
// afresh by every pass.
export function setSlider(channel, position) {
  instrument._dg2_slider(channel, position);
  wake(false);
}

export function setSliderPositions(channel1, channel2) {
  instrument._dg2_slider_positions(channel1, channel2);
}

export function setCalibrate(on) {
  instrument._dg2_calibrate(on);
  wake(false);
}

export function setKeyFast(on) {
  instrument._dg2_keyfast(on);
  wake(false);
}

// Called before every tick (a sensor log's step).
const beforeTick = new Set();
export function onTick(listener) {
  beforeTick.add(listener);
  return () => beforeTick.delete(listener);
}

// A tick as given: the page's clock's, or a script's.
export function giveTick() {
  for (const listener of beforeTick) listener();
  // On a steady screen the instrument runs the tick's pass at once, without
  // waking its loop; it says when the loop must wake.
  if (instrument._dg2_tick()) wake(false);
}

// The page's clock gives the ticks, except while a script plays: the script
// gives them then, as in the window.
let held = false;
export function holdTimerTicks(on) {
  held = on;
}

export function tick() {
  if (!held) giveTick();
}

// Passes and splash frames run, ticks given and the loop's wakes, since the
// page started.
export function passCounts() {
  return { passes: instrument._dg2_message_points(), ticks: instrument._dg2_ticks(),
           wakes: instrument._dg2_loop_wakes() };
}

// The LCD's accessible name from the instrument's state.
export function lcdDescription() {
  return instrument.UTF8ToString(instrument._dg2_lcd_description());
}

// Bit 0 channel 1, bit 1 channel 2: alarms active and not acknowledged.
export function unacknowledgedAlarms() {
  return instrument._dg2_unacknowledged_alarms();
}
