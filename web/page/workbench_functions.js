// The workbench's functions for the page's menu, buttons and links, each
// module loaded on first use, so the first load stays small:
//   playScenario()    "Play scenario...": a script and the files it names
//   stopScenario()    stops the script playing
//   startRecording()  records the session (the instrument off)
//   stopRecording()   ends it and downloads the scenario and its files
//   playLog()         "Play sensor log..." (stops the log playing, if one is)
//   stopLog()         "Stop sensor log"
//   copyLink()        "Copy link": the settings in a #settings= link
// and whether each is going on (false until its module has loaded).
const loaded = {};

function lazy(file, name) {
  return async (...args) => {
    loaded[file] ??= await import(file);
    return loaded[file][name](...args);
  };
}

function going(file, name) {
  return () => Boolean(loaded[file]?.[name]());
}

export const playScenario = lazy('./player.js', 'playScenario');
export const playText = lazy('./player.js', 'playText');
export const playLink = lazy('./player.js', 'playLink');
export const stopScenario = lazy('./player.js', 'stopScenario');
export const scenarioPlaying = going('./player.js', 'scenarioPlaying');
export const startRecording = lazy('./session.js', 'startRecording');
export const stopRecording = lazy('./session.js', 'stopRecording');
export const sessionRecording = going('./session.js', 'sessionRecording');
export const playLog = lazy('./sensor_log.js', 'playLog');
export const startLog = lazy('./sensor_log.js', 'startLog');
export const stopLog = lazy('./sensor_log.js', 'stopLog');
export const sensorLogPlaying = going('./sensor_log.js', 'sensorLogPlaying');
export const copyLink = lazy('./links.js', 'copyLink');
export const openSettingsLink = lazy('./links.js', 'openSettingsLink');
