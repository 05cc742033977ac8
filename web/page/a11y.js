// What a screen reader says of the instrument: the LCD's accessible name is
// the page shown and its main values, the lamp's its state, both from the
// instrument's own state (never read from the picture), renewed at most
// once a second while the picture changes and once after "ON" and "OFF".
import { part } from './elements.js';
import { lcdDescription, unacknowledgedAlarms } from './instrument.js';

const PERIOD_MS = 1000;
let described = -Infinity;
let timer = 0;

function lampName() {
  const alarms = unacknowledgedAlarms();
  if (alarms === 0) return 'Alarm lamp: steady, no alarm waiting to be acknowledged';
  const channels = [1, 2].filter((channel) => alarms & (1 << (channel - 1)));
  return `Alarm lamp: flashing, alarm on channel ${channels.join(' and ')} not acknowledged`;
}

function describe() {
  timer = 0;
  described = performance.now();
  part('lcd').setAttribute('aria-label', lcdDescription());
  part('alarm_lamp').setAttribute('aria-label', lampName());
}

// Something the names may say differently has happened.
export function instrumentChanged() {
  if (timer !== 0) return;
  const wait = described + PERIOD_MS - performance.now();
  if (wait <= 0) describe();
  else timer = setTimeout(describe, wait);
}

// "OFF" leaves the picture as it was, so the names are renewed after the
// power buttons too (the instrument acts on them at the end of its pass).
export function connectNames() {
  for (const role of ['on_button', 'off_button'])
    part(role).addEventListener('click', () => setTimeout(instrumentChanged, 100));
  describe();
}
