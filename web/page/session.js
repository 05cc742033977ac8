// Recording a session in the page, as the window's --record does: every
// "ON", "OFF", key, knob step, slider move, check box change and tick, in the
// order the instrument took them, by the workbench's recorder. A recording
// starts with the instrument off, on a fresh instrument of the workbench
// module (the recorder watches it take each control). "Stop recording"
// downloads the scenario and, one after another, the settings files and log
// copies it loads, under the names it gives them.
import { part, showStatus } from './elements.js';
import {
  createInstrumentWith, depth, setCalibrate, setKeyFast, setSliderPositions,
} from './instrument.js';
import { carryLinkSettings } from './links.js';
import { scenarioPlaying } from './player.js';
import { adoptInstrument, call, workbenchFactory } from './workbench.js';

const FOLDER = '/session';
const NAME = 'dg2-session.scn';

let recording = null;  // the instrument's module

export function sessionRecording() {
  return recording;
}

export async function startRecording() {
  if (recording) return;
  const refuse = 'Switch the instrument off first: a recording starts with it off';
  if (scenarioPlaying()) {
    showStatus('A scenario is playing: stop it first, then record');
    return;
  }
  if (depth() > 0) {
    showStatus(refuse);
    return;
  }
  let module;
  try {
    module = await createInstrumentWith(await workbenchFactory());
  } catch (error) {
    showStatus(`Cannot record: ${error.message}`);
    return;
  }
  if (depth() > 0 || recording) {
    if (!recording) showStatus(refuse);
    return;
  }
  adoptInstrument(module);
  const sliders = ['channel1_slider', 'channel2_slider'].map((role) => Number(part(role).value));
  const calibrate = part('calibrate_box').checked;
  const keyfast = part('keyfast_box').checked;
  setSliderPositions(sliders[0], sliders[1]);
  setCalibrate(calibrate);
  setKeyFast(keyfast);
  carryLinkSettings(module);
  module.FS.mkdirTree(FOLDER);
  const error = module.ccall('dg2_record_start', 'string',
                             ['string', 'number', 'number', 'number', 'number'],
                             [`${FOLDER}/${NAME}`, sliders[0], sliders[1], calibrate, keyfast]);
  if (error !== '') {
    showStatus(`Cannot record: ${error}`);
    return;
  }
  recording = module;
  showStatus(`Recording the session as ${NAME}`);
}

// Ends the recording with the frame shown last and downloads its files.
// Returns them ({ name: text }) for the curious and the tests.
export async function stopRecording() {
  if (!recording) return null;
  const module = recording;
  recording = null;
  const error = call(module, 'dg2_record_stop', [], true);
  const names = module.FS.readdir(FOLDER).filter((name) => !name.startsWith('.') &&
                                                           !name.endsWith('.tmp'));
  const files = {};
  const { download } = await import('./dialogs.js');
  // The files it loads first, the scenario last.
  names.sort((a, b) => (a === NAME) - (b === NAME));
  for (const name of names) {
    files[name] = module.FS.readFile(`${FOLDER}/${name}`, { encoding: 'utf8' });
    download(new Blob([files[name]], { type: 'text/plain' }), name);
  }
  const others = names.length - 1;
  showStatus(error !== '' ? `The recording is incomplete: ${error}`
                          : `Session saved as ${NAME}${others > 0 ? ` with ${others} file(s) it loads` : ''}`);
  return files;
}
