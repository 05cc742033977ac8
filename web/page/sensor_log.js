// Sensor logs in the page, as in the window: "Play sensor log..." reads a
// CSV log from a file chooser, checks it whole (a bad line is found before a
// single slider has moved), and plays it into the sliders a step before
// every tick, by the workbench's log player; the log's progress stands at
// the right of the status bar ("warm_up.csv 12.4 / 600.0 s") until it ends
// or "Stop sensor log". The log's values are read in the channels' units as
// the running instrument has them set up.
import { showFailure } from './dialogs.js';
import { addStatusField, part, setStatusField, showStatus } from './elements.js';
import { onTick } from './instrument.js';
import { sessionRecording } from './session.js';
import { call, chooseFiles, mirrorSettings, putFile, workbench } from './workbench.js';

const TITLE = 'Play sensor log';
const STATUS_MS = 10000;
const LOG_PATH = '/logs/playing.csv';

let log = null;  // { text, name, unsubscribe }

export function sensorLogPlaying() {
  return log !== null;
}

// "Play sensor log..." (the window's entry stops a log that plays).
export function playLog() {
  if (log) {
    stopLog();
    return;
  }
  chooseFiles('.csv,text/csv,text/plain', false, ([file]) => startLog(file));
}

// The progress field at the right of the status bar, made on first use.
let field = null;
function progressField() {
  field ??= addStatusField('The sensor log playing: seconds played of its length ' +
                           '(Stop sensor log ends it)');
  return field;
}

export async function startLog(file) {
  let text;
  try {
    text = await workbench();
  } catch (error) {
    showFailure(TITLE, `${file.name} cannot be played: ${error.message}`);
    return false;
  }
  if (file.size > text._dg2_log_size_max()) {
    showFailure(TITLE, `${file.name} is over 64 MB, too long for a sensor log\n\nNo value has been set.`);
    return false;
  }
  const bytes = new Uint8Array(await file.arrayBuffer());
  putFile(text, LOG_PATH, bytes);
  mirrorSettings(text);
  stopLog();
  const error = text.ccall('dg2_log_start', 'string', ['string', 'string'], [LOG_PATH, file.name]);
  text.FS.unlink(LOG_PATH);
  if (error !== '') {
    showFailure(TITLE, error.startsWith('Switch') ? error : `${error}\n\nNo value has been set.`);
    return false;
  }
  // A recording keeps a copy of the log beside it, as the window's does.
  const recording = sessionRecording();
  if (recording) {
    const copy = `/logs/${file.name.replace(/[^\w.-]/g, '_')}`;
    putFile(recording, copy, bytes);
    call(recording, 'dg2_record_sensor_log', [copy]);
  }
  log = { text, name: file.name, unsubscribe: onTick(step) };
  // Its first row at once; the rest before the ticks.
  step();
  return true;
}

export function stopLog() {
  if (!log) return;
  const { text, name, unsubscribe } = log;
  log = null;
  const ended = text._dg2_log_ended() !== 0;
  text._dg2_log_stop();
  unsubscribe();
  setStatusField(progressField(), '');
  showStatus(ended ? `Played ${name}` : `Stopped ${name}`, STATUS_MS);
}

function moveSlider(channel, count) {
  const input = part(channel === 0 ? 'channel1_slider' : 'channel2_slider');
  if (Number(input.value) === count) return;
  input.value = String(count);
  input.dispatchEvent(new Event('input', { bubbles: true }));
}

function step() {
  const { text } = log;
  mirrorSettings(text);
  if (!text._dg2_log_step()) {
    const error = text.ccall('dg2_log_error', 'string', [], []);
    stopLog();
    showFailure(TITLE, `${error}\n\nThe log stopped here; the values it set stay.`);
    return;
  }
  for (const channel of [0, 1]) {
    const count = text._dg2_log_count(channel);
    if (count >= 0) moveSlider(channel, count);
  }
  setStatusField(progressField(), text.ccall('dg2_log_progress', 'string', [], []));
  if (text._dg2_log_ended()) stopLog();
}
