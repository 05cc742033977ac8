// Plain buttons for the workbench's functions until the context menu offers
// them: Play scenario / Stop, Record session / Stop recording, Play sensor
// log / Stop, Copy link.
import { $ } from './elements.js';
import {
  copyLink, playLog, playScenario, scenarioPlaying, sessionRecording, startRecording, stopRecording,
  stopScenario,
} from './workbench_functions.js';

function button(id, caption, title, action) {
  const made = document.createElement('button');
  made.id = id;
  made.type = 'button';
  made.textContent = caption;
  made.title = title;
  made.addEventListener('click', action);
  $('Tools').append(made);
  return made;
}

export function addWorkbenchButtons() {
  button('PlayScenario', 'Play scenario…',
         'Play a scenario (.scn), chosen with the files it names; again to stop it',
         () => (scenarioPlaying() ? stopScenario() : playScenario()));
  const record = button('RecordSession', 'Record session',
                        'Record what you do as a scenario (.scn); again to stop and download it',
                        async () => {
                          if (sessionRecording()) await stopRecording();
                          else await startRecording();
                          record.textContent = sessionRecording() ? 'Stop recording' : 'Record session';
                        });
  button('PlaySensorLog', 'Play sensor log…',
         'Play a sensor log (.csv) into the channels; again to stop it', playLog);
  button('CopyLink', 'Copy link', 'A link that opens the page powered on with these settings',
         copyLink);
}
