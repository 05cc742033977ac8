// Playing a scenario in the page, visibly and at the instrument's pace, by
// the workbench's one driver (in the workbench module, whose instrument the
// page switches to): the driver works the page's own controls (the ON and
// OFF buttons, the keys, the sliders and check boxes as a user moves them,
// the tick) and reads back the lamp and the LCD the page shows. While it
// plays, the script is the only source of ticks. The status bar shows
// "Playing NAME line N of M", then "NAME: ok" or the failed line as the
// runner prints it ("NAME:LINE: ...").
import { CONTROLS } from './controls.js';
import { ROLES, part, showStatus } from './elements.js';
import { onLamp } from './front_panel.js';
import {
  createInstrumentWith, depth, giveTick, holdTimerTicks, key, powerOff, powerOn, setCalibrate,
  setKeyFast, setSliderPositions,
} from './instrument.js';
import { shownPicture } from './lcd.js';
import { stopLog } from './sensor_log.js';
import { sessionRecording } from './session.js';
import {
  adoptInstrument, call, chooseFiles, makeFolder, putFile, workbenchFactory,
} from './workbench.js';

let playing = null;  // { module, name, resolve }

const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);

// The lamp's colour word (red in the low byte) from the lamp as shown.
function shownLamp() {
  const match = /rgba?\((\d+), (\d+), (\d+)/.exec(part('alarm_lamp').style.backgroundColor);
  return match ? Number(match[1]) | Number(match[2]) << 8 | Number(match[3]) << 16 : 0;
}

// The LCD as shown: `lit` gets 1 for each LCD pixel whose 2 x 2 block in the
// picture has the colour word `black`.
function shownLcd(lit, width, black) {
  const height = lit.length / width;
  const { data } = shownPicture(2 * width, 2 * height);
  const [r, g, b] = [(black >> 16) & 0xff, (black >> 8) & 0xff, black & 0xff];
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const at = ((2 * y) * 2 * width + 2 * x) * 4;
      lit[y * width + x] = data[at] === r && data[at + 1] === g && data[at + 2] === b ? 1 : 0;
    }
  }
}

function moveSlider(channel, position) {
  const input = part(channel === 0 ? 'channel1_slider' : 'channel2_slider');
  input.value = String(position);
  input.dispatchEvent(new Event('input', { bubbles: true }));
}

function tickBox(role, ticked) {
  const box = part(role);
  if (box.checked === ticked) return;
  box.checked = ticked;
  box.dispatchEvent(new Event('change', { bubbles: true }));
}

// The controls as a script starts with them, as the runner's do: the
// sliders where the window opens with them (placed, not moved), the check
// boxes as the table has them, the lamp as at start.
function startingControls() {
  const positions = [0, 1].map((channel) => {
    const { initial } = ROLES[`channel${channel + 1}_slider`];
    const input = part(`channel${channel + 1}_slider`);
    input.value = String(initial);
    part(`channel${channel + 1}_echo`).textContent = String(initial);
    return initial;
  });
  setSliderPositions(positions[0], positions[1]);
  for (const role of ['calibrate_box', 'keyfast_box']) part(role).checked = ROLES[role].initial !== 0;
  setCalibrate(part('calibrate_box').checked);
  setKeyFast(part('keyfast_box').checked);
  onLamp(CONTROLS.find((control) => control.kind === 'shape').initial);
}

// What the driver calls: the page's own controls.
function pageControls(module, name, lines) {
  return {
    // The ON and OFF buttons' own functions (a button's click() would be
    // ignored inside the click that powered on). The first "ON" runs from
    // the page's event loop (it returns at the loop's first sleep); one
    // given while on nests at the next pass.
    on: () => (depth() === 0 ? setTimeout(powerOn, 0) : powerOn()),
    off: powerOff,
    key,
    slider: moveSlider,
    calibrate: (ticked) => tickBox('calibrate_box', ticked),
    keyfast: (ticked) => tickBox('keyfast_box', ticked),
    tick: giveTick,
    lamp: shownLamp,
    lcd: shownLcd,
    progress: (line) => showStatus(`Playing ${name} line ${line} of ${lines}`),
    finished: (status) => {
      const message = call(module, 'dg2_play_message', [], true);
      end(status === 0 ? `${module.path}: ok` : message, status);
    },
  };
}

function end(text, status) {
  if (!playing) return;
  const { module, resolve } = playing;
  playing = null;
  holdTimerTicks(false);
  showStatus(text);
  resolve({
    status,
    message: text,
    output: call(module, 'dg2_play_output', [], true),
    errors: call(module, 'dg2_play_errors', [], true),
  });
}

export function scenarioPlaying() {
  return playing !== null;
}

export function stopScenario() {
  if (!playing) return;
  playing.module._dg2_play_stop();
  end(`Stopped ${playing.name}`, null);
}

// Plays the script `text` read from `path`; `readFile(path)` gives the bytes
// of a file it names (a golden, settings, a log: path relative to the
// script's folder as the script writes it) or null, and `where` says where
// such a file should have been. Resolves with { status (0 ok, 1 failed,
// 2 bad, null stopped or not started), message, output, errors }.
// `backToBack` runs the passes without the pace, `checkShown` checks at every
// pass that the page shows the frame the instrument drew (tests).
export async function playText(path, text, readFile,
                               { backToBack = false, checkShown = false,
                                 where = 'which is missing' } = {}) {
  const name = baseName(path);
  const refuse = (message) => {
    showStatus(message);
    return { status: null, message, output: '', errors: '' };
  };
  if (playing) stopScenario();
  if (sessionRecording()) return refuse('A session is being recorded: stop recording first, then play');
  // The script is the only source of the sliders' moves.
  stopLog();
  if (depth() > 0)
    return refuse(`Switch the instrument off first: ${name} starts with it off, as every scenario does`);
  let module;
  try {
    showStatus(`Loading ${name}…`);
    module = await createInstrumentWith(await workbenchFactory());
  } catch (error) {
    return refuse(`${name} cannot be played: ${error.message}`);
  }
  const needs = module.ccall('dg2_scenario_needs', 'string', ['string', 'string'], [path, text])
    .split('\n').filter((line) => line !== '');
  try {
    // The script's folder, through which the paths it names go.
    const slash = path.lastIndexOf('/');
    if (slash > 0) makeFolder(module, path.slice(0, slash));
    for (const file of new Set(needs)) {
      // What the module's file system has already (its devices) is not fetched.
      if (module.FS.analyzePath(file).exists) continue;
      const bytes = await readFile(file);
      if (bytes === null) return refuse(`${name} needs ${file.replace(/^\.\//, '')}, ${where}`);
      putFile(module, file, bytes);
    }
  } catch (error) {
    return refuse(`${name} cannot be played: ${error.message ?? error}`);
  }
  if (depth() > 0)
    return refuse(`Switch the instrument off first: ${name} starts with it off, as every scenario does`);
  adoptInstrument(module);
  startingControls();
  module.path = path;
  const lines = text.split('\n').length - (text.endsWith('\n') ? 1 : 0);
  module.page = pageControls(module, name, lines);
  holdTimerTicks(true);
  return new Promise((resolve) => {
    playing = { module, name, resolve };
    module.ccall('dg2_play_start', null, ['string', 'string', 'number'],
                 [path, text, (backToBack ? 1 : 0) | (checkShown ? 2 : 0)]);
  });
}

// "Play scenario...": the script and the files it names chosen together
// (several files at once, or its folder); a file it names is found by its
// path under the chosen folder or by its name.
export function playScenario() {
  chooseFiles('.scn,.txt,.toml,.csv,text/plain', true, async (files) => {
    const scripts = files.filter((file) => file.name.endsWith('.scn'));
    if (scripts.length !== 1) {
      showStatus(scripts.length === 0 ? 'Choose a scenario (.scn), with the files it names'
                                      : 'Choose one scenario (.scn) at a time, with the files it names');
      return;
    }
    const [script] = scripts;
    const find = async (file) => {
      const wanted = file.split('/').filter((part) => part !== '.' && part !== '');
      const found = files.find((f) => (f.webkitRelativePath || f.name).endsWith(wanted.join('/'))) ??
        files.find((f) => f.name === wanted[wanted.length - 1]);
      return found ? new Uint8Array(await found.arrayBuffer()) : null;
    };
    playText(script.name, await script.text(), find,
             { where: 'which was not chosen: choose it together with the scenario' });
  });
}

// index.html?play=NAME.scn: a scenario beside the page, and the files it
// names beside it. A bad link says what is wrong; the page stays usable.
export async function playLink(name) {
  const page = new URL(location.href);
  let url;
  try {
    url = new URL(name, page);
  } catch {
    url = null;
  }
  if (!url || url.origin !== page.origin || !url.pathname.endsWith('.scn')) {
    showStatus(`?play= names no scenario beside the page: "${name}" (a NAME.scn on this site)`);
    return null;
  }
  const fetchBytes = async (target) => {
    try {
      const response = await fetch(target);
      return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
    } catch {
      return null;
    }
  };
  const script = await fetchBytes(url);
  if (script === null) {
    showStatus(`Cannot play ${name}: the page has no such file beside it`);
    return null;
  }
  // The files named are fetched beside the script, as the runner finds them.
  return playText(name, new TextDecoder().decode(script),
                  (file) => fetchBytes(new URL(file, page)),
                  { where: 'which is not beside it on this site' });
}
