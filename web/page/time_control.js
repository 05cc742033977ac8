// Time on the workbench, as the window's Time menu: pause, single pass,
// single tick and the speed. The instrument's own pace is untouched; the page
// only decides when the next pass may run (the host's pass period, divided by
// the speed) and how often the tick comes (this module's timer, its period
// divided alike). The status bar shows the instrument's state and the clock's.
import { addStatusField, setStatusField } from './elements.js';
import { depth, module, tick, wake } from './instrument.js';

const TICK_MS = 100;

// Every speed divides the 20 ms pass period and the 100 ms tick into whole
// milliseconds, so both keep their ratio exactly; the key table's "speed"
// binding has a key for each, in this order.
export const SPEEDS = [
  { factor: 0.25, name: '1/4x' }, { factor: 0.5, name: '1/2x' }, { factor: 1, name: '1x' },
  { factor: 2, name: '2x' }, { factor: 4, name: '4x' }, { factor: 10, name: '10x' },
];

let speed = 1;
let paused = false;
let timer = 0;
let powerField = null;
let timeField = null;

export const isPaused = () => paused;
export const currentSpeed = () => speed;

function placeTicks() {
  clearInterval(timer);
  timer = paused ? 0 : setInterval(onTick, Math.round(TICK_MS / speed));
}

function onTick() {
  tick();
  showPowerState();
}

// Starts the tick, on or off, and the status bar's two fields.
export function startClock() {
  powerField = addStatusField('The instrument: off, on (how deep "ON" is nested) or paused');
  timeField = addStatusField("The simulator's clock: its speed, or paused");
  placeTicks();
  showTimeState();
}

export function setPaused(on) {
  if (on === paused) return;
  paused = on;
  module()._dg2_set_paused(on ? 1 : 0);
  wake(true);
  placeTicks();
  showTimeState();
}

export function togglePause() {
  setPaused(!paused);
}

// One pass while paused; nothing while off, so no pass is saved up for the
// next power-on.
export function singlePass() {
  if (!paused) return;
  module()._dg2_single_pass();
  wake(true);
}

// Through the tick's own handler, as the timer would.
export function singleTick() {
  if (paused) onTick();
}

// 0.25, 0.5, 1, 2, 4 or 10; false (and no change) for any other factor.
export function setSpeed(factor) {
  if (!SPEEDS.some((s) => s.factor === factor)) return false;
  speed = factor;
  module()._dg2_set_speed(factor);
  wake(true);
  placeTicks();
  showTimeState();
  return true;
}

// "1x", "4x", "Paused (1/4x)".
export function timeStateText() {
  const name = SPEEDS.find((s) => s.factor === speed).name;
  return paused ? `Paused (${name})` : name;
}

// "Off", "On", "On (2 deep)" for a nested "ON", "Paused" while on and paused.
export function powerStateText() {
  const deep = depth();
  if (deep === 0) return 'Off';
  if (paused) return 'Paused';
  return deep === 1 ? 'On' : `On (${deep} deep)`;
}

// Cheap when nothing changed: at every tick, and after "ON" and "OFF".
export function showPowerState() {
  if (powerField) setStatusField(powerField, powerStateText());
}

function showTimeState() {
  setStatusField(timeField, timeStateText());
  showPowerState();
}

// The Time submenu's entries, as the menu builds them when it opens.
export function timeEntries() {
  return [
    { text: paused ? 'Resume' : 'Pause', action: 'pause', run: togglePause },
    { text: 'Single pass', action: 'single_pass', run: singlePass, disabled: !paused },
    { text: 'Single tick', action: 'single_tick', run: singleTick, disabled: !paused },
    null,
    ...SPEEDS.map((s, index) => ({
      text: s.name, action: 'speed', keyIndex: index, run: () => setSpeed(s.factor),
      checked: s.factor === speed,
    })),
  ];
}
