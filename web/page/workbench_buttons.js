// Plain buttons for the workbench's functions until the context menu offers
// them: Play scenario / Stop scenario, Record session / Stop recording, Play
// sensor log / Stop sensor log, Copy link. Each caption follows what is going
// on (the event 'dg2-workbench').
import { $ } from './elements.js';
import {
  copyLink, playLog, playScenario, scenarioPlaying, sensorLogPlaying, sessionRecording,
  startRecording, stopLog, stopRecording, stopScenario,
} from './workbench_functions.js';

function button(id, title, action) {
  const made = document.createElement('button');
  made.id = id;
  made.type = 'button';
  made.title = title;
  made.addEventListener('click', action);
  $('Tools').append(made);
  return made;
}

export function addWorkbenchButtons() {
  const play = button('PlayScenario', 'Play a scenario (.scn), chosen with the files it names',
                      () => (scenarioPlaying() ? stopScenario() : playScenario()));
  const record = button('RecordSession',
                        'Record what you do as a scenario (.scn), downloaded when it stops',
                        () => (sessionRecording() ? stopRecording() : startRecording()));
  const log = button('PlaySensorLog', 'Play a sensor log (.csv) into the channels',
                     () => (sensorLogPlaying() ? stopLog() : playLog()));
  button('CopyLink', 'A link that opens the page powered on with these settings', copyLink)
    .textContent = 'Copy link';
  const captions = () => {
    play.textContent = scenarioPlaying() ? 'Stop scenario' : 'Play scenario…';
    record.textContent = sessionRecording() ? 'Stop recording' : 'Record session';
    log.textContent = sensorLogPlaying() ? 'Stop sensor log' : 'Play sensor log…';
  };
  captions();
  document.addEventListener('dg2-workbench', captions);
}
