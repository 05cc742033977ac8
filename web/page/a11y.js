// What a screen reader says of the instrument: the LCD's accessible name is
// the page shown and its main values, the lamp's its state, both from the
// instrument's own state (never read from the picture), renewed at most
// once a second, when the picture or the lamp changes or the user acts.
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

// What a user does may change what the names say without changing the
// picture or the lamp ("OFF", a key that acknowledges an alarm): the names
// are renewed shortly after every key, click and slider move too.
// One timer, put off by each event: a dragged slider gives one every frame.
export function connectNames() {
  let pending = 0;
  const soon = () => {
    clearTimeout(pending);
    pending = setTimeout(instrumentChanged, 100);
  };
  for (const type of ['keydown', 'pointerup', 'input', 'change'])
    document.addEventListener(type, soon, { capture: true, passive: true });
  describe();
}
