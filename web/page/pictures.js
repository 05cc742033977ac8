// The LCD as files: "Save LCD picture..." (PNG, at the main window's 2x or
// the LCD window's zoom) and "Record LCD animation..." (GIF, by the
// workbench's recorder in the page's workbench module, downloaded when it
// stops). The user names each file; the status bar says what happened and a
// warning box tells a failure, in the window's words.
import { askFileName, download, showFailure } from './dialogs.js';
import { addStatusField, setStatusField, showStatus } from './elements.js';
import { lcdPixels, watchLcd } from './lcd.js';
import { PLAIN, drawLcd, showRecording, zoomColours, zoomLevel } from './zoom.js';
import { workbench } from './workbench.js';

const STATUS_MS = 10000;
// The main window shows each LCD pixel as a 2 x 2 block.
const WINDOW_ZOOM = 2;
const RECORD_TITLE = 'Record LCD animation';

let recording = null;  // { made, name, start }
let recordingField = null;

const sizeText = (bytes) => (bytes < 10 * 1024 ? `${bytes} bytes` : `${Math.round(bytes / 1024)} KB`);

// The zoom and colours of the moment: the LCD window's when asked from it.
function look(fromZoom) {
  const popped = fromZoom && zoomLevel() !== 0;
  return { zoom: popped ? zoomLevel() : WINDOW_ZOOM, colours: popped ? zoomColours() : PLAIN };
}

export async function saveLcdPicture(fromZoom = false) {
  const name = await askFileName('Save LCD picture', 'dg2-lcd.png', '.png');
  if (name === null) return;
  const { zoom, colours } = look(fromZoom);
  const canvas = document.createElement('canvas');
  // Before the instrument first draws nothing is lit, and the frame's grey is
  // the unlit colour's.
  drawLcd(canvas, lcdPixels(), zoom, colours, false);
  canvas.toBlob((blob) => {
    if (!blob) {
      const message = `LCD picture not saved: ${name}: the browser made no PNG`;
      showStatus(message);
      showFailure('Save LCD picture', message);
      return;
    }
    download(blob, name);
    showStatus(`LCD picture saved to ${name} (${zoom * 114} x ${zoom * 64})`, STATUS_MS);
  }, 'image/png');
}

export const isRecording = () => recording !== null;
export const recordText = () => (recording ? 'Stop recording' : 'Record LCD animation...');

function showRecordingState() {
  if (!recordingField) {
    recordingField = addStatusField('Ctrl+R stops the recording');
  }
  setStatusField(recordingField, recording ? '\u25CF Recording' : '');
  showRecording(recordText());
}

function fail(message) {
  showStatus(message);
  showFailure(RECORD_TITLE, message);
}

// Each changed picture goes to the recording.
function onLcd() {
  if (!recording) return;
  const { made } = recording;
  made.HEAPU8.set(lcdPixels(), made._dg2_gif_pixels());
  if (!made._dg2_gif_picture(performance.now() - recording.start)) {
    const message = `Recording failed: ${made.UTF8ToString(made._dg2_gif_error())}`;
    recording = null;
    showRecordingState();
    fail(message);
  }
}

async function startRecording(fromZoom) {
  const name = await askFileName(RECORD_TITLE, 'dg2-lcd.gif', '.gif');
  if (name === null) return;
  const { zoom, colours } = look(fromZoom);
  let made;
  try {
    made = await workbench();
  } catch (error) {
    fail(`Recording not started: ${error.message}`);
    return;
  }
  if (recording) return;
  made.HEAPU8.set(lcdPixels(), made._dg2_gif_pixels());
  if (!made._dg2_gif_start(zoom, colours.unlit, colours.lit)) {
    fail(`Recording not started: ${made.UTF8ToString(made._dg2_gif_error())}`);
    return;
  }
  recording = { made, name, start: performance.now() };
  showRecordingState();
  showStatus(`Recording the LCD to ${name}`, STATUS_MS);
}

export function stopRecording() {
  if (!recording) return false;
  const { made, name, start } = recording;
  const elapsed = performance.now() - start;
  recording = null;
  showRecordingState();
  if (!made._dg2_gif_stop(elapsed)) {
    fail(`LCD animation not saved: ${made.UTF8ToString(made._dg2_gif_error())}`);
    return false;
  }
  const bytes = made.HEAPU8.slice(made._dg2_gif_bytes(), made._dg2_gif_bytes() + made._dg2_gif_size());
  download(new Blob([bytes], { type: 'image/gif' }), name);
  showStatus(`LCD animation saved to ${name} (${made._dg2_gif_frames()} frames, ` +
             `${(elapsed / 1000).toFixed(1)} s, ${sizeText(bytes.length)})`, STATUS_MS);
  return true;
}

// "Record LCD animation..." or "Stop recording"; from the LCD window, at its
// zoom.
export function toggleRecording(fromZoom = false) {
  if (recording) stopRecording();
  else startRecording(fromZoom);
}

watchLcd(onLcd);
