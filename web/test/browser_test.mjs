// The browser edition in headless Chromium (Debian's, driven by
// puppeteer-core): the page works like the window, and the same scenarios run
// natively and in the browser give the same frames at every checkpoint.
//
//   node web/test/browser_test.mjs --build build-web --native build/tools/scenario/dg2_scenario
//   ... --figures   also measures load time and the idle tab's CPU share
//   ... --picture FILE   only takes the README's picture of the page
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const args = process.argv.slice(2);
const option = (name, fallback) => {
  const i = args.indexOf(name);
  return i >= 0 && i + 1 < args.length ? args[i + 1] : fallback;
};
const BUILD = path.resolve(ROOT, option('--build', 'build-web'));
const NATIVE = path.resolve(ROOT, option('--native', 'build/tools/scenario/dg2_scenario'));
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const FRAME_ROWS = 64;
const TIMEOUT_MS = 10000;

let failures = 0;
let passed = 0;
function check(name, ok, detail = '') {
  if (ok) passed += 1;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}${ok || !detail ? '' : `\n${detail}`}`);
  if (!ok) failures += 1;
}

// --- the native runner -------------------------------------------------------

function runNative(relativePath) {
  const run = spawnSync(NATIVE, [relativePath], { cwd: ROOT, encoding: 'utf8' });
  if (run.error) throw run.error;
  return { status: run.status, output: run.stdout, errors: run.stderr };
}

// Native frames of a script given as text: every `dump`, as 64 rows.
function nativeFrames(script) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-web-'));
  const file = path.join(dir, 'check.scn');
  fs.writeFileSync(file, script);
  const run = runNative(file);
  fs.rmSync(dir, { recursive: true });
  if (run.status !== 0) throw new Error(`native run failed: ${run.errors}`);
  return framesOf(run.output);
}

function framesOf(output) {
  const rows = output.split('\n').filter((line) => /^[.#]{114}$/.test(line));
  const frames = [];
  for (let i = 0; i + FRAME_ROWS <= rows.length; i += FRAME_ROWS)
    frames.push(rows.slice(i, i + FRAME_ROWS).join('\n'));
  return frames;
}

// --- a static server for the build folder -------------------------------------

const TYPES = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript',
                '.wasm': 'application/wasm', '.jpg': 'image/jpeg', '.png': 'image/png' };

function serve(root) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    if (url.pathname === '/blank.html') {
      response.writeHead(200, { 'Content-Type': 'text/html' });
      response.end('<!doctype html><title>scenarios</title><link rel="icon" href="data:,">');
      return;
    }
    const file = path.join(root, path.normalize(decodeURIComponent(url.pathname)));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// --- the page -----------------------------------------------------------------

// The LCD canvas read back and decoded to 114 x 64 ('#' lit): each LCD pixel
// must be a uniform 2 x 2 block, else the frame is reported as broken.
function readLcd(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('Image1');
    const data = canvas.getContext('2d').getImageData(0, 0, 228, 128).data;
    const rows = [];
    for (let y = 0; y < 64; ++y) {
      let row = '';
      for (let x = 0; x < 114; ++x) {
        const at = (dx, dy) => data[((2 * y + dy) * 228 + 2 * x + dx) * 4];
        const value = at(0, 0);
        if (at(1, 0) !== value || at(0, 1) !== value || at(1, 1) !== value) return 'broken block';
        row += value < 128 ? '#' : '.';
      }
      rows.push(row);
    }
    return rows.join('\n');
  });
}

async function waitForFrame(page, wanted) {
  const until = Date.now() + TIMEOUT_MS;
  let frame = '';
  while (Date.now() < until) {
    frame = await readLcd(page);
    if (wanted.includes(frame)) return { ok: true, frame };
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return { ok: false, frame };
}

function moveSlider(page, id, position) {
  return page.$eval(`#${id}`, (slider, value) => {
    slider.value = String(value);
    slider.dispatchEvent(new Event('input', { bubbles: true }));
  }, position);
}

async function testPage(browser, base) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 700 });
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning')
      problems.push(`console ${message.type()}: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) problems.push(`HTTP ${response.status()}: ${response.url()}`);
  });

  await page.goto(`${base}/site/index.html`, { waitUntil: 'load' });
  await page.waitForFunction(() => window.dg2Timing && window.dg2Timing.ready !== null,
                             { timeout: TIMEOUT_MS });
  const ids = ['Button1', 'Button2', 'Button3', 'Button4', 'Image1', 'Image3', 'Image5', 'Image6',
               'TrackBar1', 'TrackBar2', 'Label13', 'Label14', 'CheckBox2', 'CheckBox3', 'Shape1'];
  const missing = await page.evaluate((list) => list.filter((id) => !document.getElementById(id)), ids);
  check('every control of the window is on the page under its name', missing.length === 0,
        missing.join(' '));
  const dressed = await page.evaluate(() => [
    document.getElementById('Button1').textContent, document.getElementById('TrackBar1').value,
    document.getElementById('TrackBar2').max, document.getElementById('Image5').title]);
  check('captions, start positions and tooltips come from the tables',
        JSON.stringify(dressed) ===
        JSON.stringify(['ON', '1', '4096', 'Centre key: Return, Enter or Space']),
        JSON.stringify(dressed));

  // ON: the run screen with both inputs at 0 (channel 2's message flashes,
  // so either blink phase will do); then the sliders to mid readings, the
  // main menu and one knob step.
  const [runDark, runLit, runScreen, mainMenu, nextEntry, displaySetup, nextLine] = nativeFrames(
    'on\ndump\nticks 11\npasses 1\ndump\nslider 1 220\nslider 2 220\npasses 2\ndump\n' +
    'key centre\npasses 2\ndump\nkey cw\npasses 2\ndump\nkey centre\npasses 2\ndump\n' +
    'key cw\npasses 2\ndump\n');
  // The page's sliders start where the native runner's do.
  await page.click('#Button1');
  let seen = await waitForFrame(page, [runDark, runLit]);
  check('ON: the run screen equals the native runner\'s frame', seen.ok, seen.frame);
  await moveSlider(page, 'TrackBar1', 220);
  await moveSlider(page, 'TrackBar2', 220);
  seen = await waitForFrame(page, [runScreen]);
  check('the sliders reach the run screen as natively', seen.ok, seen.frame);
  check('slider 1 echoes its position', await page.$eval('#Label13', (e) => e.textContent) === '220');
  await page.click('#Image5');
  seen = await waitForFrame(page, [mainMenu]);
  check('the centre key opens the main menu', seen.ok, seen.frame);
  await page.keyboard.press('ArrowRight');
  seen = await waitForFrame(page, [nextEntry]);
  check('Right arrow turns the knob clockwise', seen.ok, seen.frame);
  // Space on the focused "ON" button is the centre key, not a second "ON".
  await page.focus('#Button1');
  await page.keyboard.press('Space');
  seen = await waitForFrame(page, [displaySetup]);
  check('Space is the centre key, also on a focused button',
        seen.ok && await page.evaluate(() => window.dg2.depth()) === 1, seen.frame);
  const bezel = await page.$eval('#Image2', (e) => e.getBoundingClientRect().toJSON());
  await page.mouse.move(bezel.x + bezel.width / 2, bezel.y + bezel.height / 2);
  await page.mouse.wheel({ deltaY: -100 });
  seen = await waitForFrame(page, [nextLine]);
  check('the wheel over the bezel turns the knob', seen.ok, seen.frame);

  // A fresh page, as a native run starts afresh: slider 1 at full scale.
  const [, , faultDark, faultLit] = nativeFrames(
    'on\ndump\nticks 11\npasses 1\ndump\nslider 2 220\nslider 1 4096\npasses 2\ndump\n' +
    'ticks 11\npasses 1\ndump\n');
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => window.dg2Timing.ready !== null, { timeout: TIMEOUT_MS });
  await page.click('#Button1');
  seen = await waitForFrame(page, [runDark, runLit]);
  await moveSlider(page, 'TrackBar2', 220);
  await moveSlider(page, 'TrackBar1', 4096);
  seen = await waitForFrame(page, [faultLit]);
  check('slider 1 at 4096 shows the sender fault', seen.ok, seen.frame);
  seen = await waitForFrame(page, [faultDark]);
  check('the sender fault flashes', seen.ok, seen.frame);
  const colours = new Set();
  for (const until = Date.now() + 3000; Date.now() < until;) {
    colours.add(await page.$eval('#Shape1', (lamp) => lamp.style.backgroundColor));
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  check('the lamp flashes red and maroon in alarm',
        colours.has('rgb(255, 0, 0)') && colours.has('rgb(128, 0, 0)'), [...colours].join(' '));

  // "ON" while on nests (each from a running loop, after its splash); one
  // "OFF" ends every loop.
  const SPLASH_MS = 2500;
  for (const depth of [2, 3]) {
    await page.click('#Button1');
    await page.waitForFunction((d) => window.dg2.depth() === d, { timeout: TIMEOUT_MS }, depth);
    await new Promise((resolve) => setTimeout(resolve, SPLASH_MS));
  }
  await page.click('#Button2');
  const off = await page.waitForFunction(() => window.dg2.depth() === 0, { timeout: TIMEOUT_MS })
    .then(() => true, () => false);
  check('nested ON: depth 3, one OFF ends all three loops', off);

  // A settings file loaded into the running instrument shows as natively,
  // and saving gives the native runner's file byte for byte.
  const example = path.join(ROOT, 'examples/settings/boost_gauge.toml');
  const saved = path.join(os.tmpdir(), `dg2-web-native-${process.pid}.toml`);
  const loaded = nativeFrames(`on\nload-settings ${example}\npasses 2\ndump\nticks 11\npasses 1\n` +
                              `dump\nsave-settings ${saved}\n`);
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => window.dg2Timing.ready !== null, { timeout: TIMEOUT_MS });
  await page.click('#Button1');
  await waitForFrame(page, [runDark, runLit]);
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#LoadSettings')]);
  await chooser.accept([example]);
  seen = await waitForFrame(page, loaded);
  check('a settings file loads as natively', seen.ok,
        `${seen.frame}\n${await page.$eval('#StatusBar1', (e) => e.textContent)}`);
  // A file over 1 MB (300 MB, sparse) is refused before it is read, in the
  // settings reader's own words.
  const big = path.join(os.tmpdir(), `dg2-web-big-${process.pid}.toml`);
  fs.closeSync(fs.openSync(big, 'w'));
  fs.truncateSync(big, 300 * 1024 * 1024);
  const [bigChooser] = await Promise.all([page.waitForFileChooser(), page.click('#LoadSettings')]);
  await bigChooser.accept([big]);
  const refusal = `${path.basename(big)}: 314572800 bytes; a settings file has at most 1 MB ` +
                  '(1048576 bytes)';
  const refused = await page.waitForFunction(
    (text) => document.getElementById('StatusBar1').textContent === text,
    { timeout: TIMEOUT_MS }, refusal).then(() => true, () => false);
  check('a settings file over 1 MB is refused unread', refused,
        await page.$eval('#StatusBar1', (e) => e.textContent));
  fs.rmSync(big, { force: true });
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-web-downloads-'));
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.click('#SaveSettings');
  const file = path.join(downloads, 'dg2-settings.toml');
  for (const until = Date.now() + TIMEOUT_MS; !fs.existsSync(file) && Date.now() < until;)
    await new Promise((resolve) => setTimeout(resolve, 100));
  check('saved settings equal the native runner\'s file',
        fs.existsSync(file) && fs.readFileSync(file, 'utf8') === fs.readFileSync(saved, 'utf8'));
  fs.rmSync(downloads, { recursive: true, force: true });
  fs.rmSync(saved, { force: true });

  check('no console error, failed request or page error', problems.length === 0, problems.join('\n'));
  await page.close();
}

// --- same firmware, same frames -----------------------------------------------

async function testScenarios(browser, base) {
  const scripts = [
    ...fs.readdirSync(path.join(ROOT, 'web/test/scenarios')).map((f) => `web/test/scenarios/${f}`),
    ...fs.readdirSync(path.join(ROOT, 'tests/scenarios')).filter((f) => f.endsWith('.scn'))
      .map((f) => `tests/scenarios/${f}`),
    ...fs.readdirSync(path.join(ROOT, 'tests/scenarios/bad')).map((f) => `tests/scenarios/bad/${f}`),
  ].filter((f) => f.endsWith('.scn')).sort();
  const page = await browser.newPage();
  await page.goto(`${base}/blank.html`);
  const texts = scripts.map((f) => [f, fs.readFileSync(path.join(ROOT, f), 'utf8')]);
  const browserRuns = await page.evaluate(async (list) => {
    const { default: create } = await import('/scenario/dg2_scenario.js');
    // A fresh instance for each script, as each native run is a fresh
    // process: the instrument's globals start from zero.
    const runs = [];
    for (const [file, text] of list) {
      const runner = await create();
      runs.push({
        status: runner.ccall('dg2_run_scenario', 'number', ['string', 'string'], [file, text]),
        output: runner.ccall('dg2_scenario_output', 'string', [], []),
        errors: runner.ccall('dg2_scenario_errors', 'string', [], []),
      });
    }
    return runs;
  }, texts);
  scripts.forEach((file, i) => {
    const native = runNative(file);
    const web = browserRuns[i];
    const frames = framesOf(native.output).length;
    const same = native.status === web.status && native.output === web.output &&
                 native.errors === web.errors;
    check(`${file}: same status, output and ${frames} frames natively and in the browser`, same,
          `native ${native.status}: ${native.errors}\nbrowser ${web.status}: ${web.errors}`);
    if (file.startsWith('web/'))
      check(`${file}: passes and has checkpoints`, native.status === 0 && frames > 0);
  });
  await page.close();
}

// --- figures --------------------------------------------------------------------

function processTimes(pid) {
  const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
  const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
  return Number(fields[11]) + Number(fields[12]);  // utime + stime, in clock ticks
}

function renderersOf(browserPid) {
  const children = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const parent = Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      const command = fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8');
      children.set(Number(entry), { parent, command });
    } catch { /* gone */ }
  }
  const descends = (pid) => {
    for (let p = pid; p > 1 && children.has(p); p = children.get(p).parent)
      if (p === browserPid) return true;
    return false;
  };
  return [...children].filter(([pid, { command }]) =>
    command.includes('--type=renderer') && descends(pid)).map(([pid]) => pid);
}

// Renderer CPU share of the one tab over 10 s, from the process's own
// counters.
async function rendererShare(browser, seconds) {
  const renderers = renderersOf(browser.process().pid);
  const hz = Number(spawnSync('getconf', ['CLK_TCK'], { encoding: 'utf8' }).stdout) || 100;
  const before = renderers.map(processTimes);
  const start = Date.now();
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const elapsed = (Date.now() - start) / 1000;
  const used = renderers.map((pid, i) => (processTimes(pid) - before[i]) / hz);
  const share = (t) => `${(t / elapsed * 100).toFixed(2)} %`;
  return `${share(used.reduce((a, b) => a + b, 0))} of one core over ${elapsed.toFixed(1)} s (${
    renderers.map((pid, i) => `renderer ${pid}: ${share(used[i])}`).join(', ')})`;
}

// In a browser of their own, so that only this tab's renderer counts.
async function figures(base) {
  const sizes = ['dg2_core.wasm', 'dg2_core.js', 'dg2.js']
    .map((f) => [f, fs.statSync(path.join(BUILD, 'site', f)).size]);
  console.log(`figure: ${sizes.map(([f, s]) => `${f} ${s} B`).join(', ')}, together ${
    sizes.reduce((sum, [, s]) => sum + s, 0)} B`);
  const browser = await launch();
  try {
    for (const blank of await browser.pages()) await blank.close();
    let page = await browser.newPage();
    await page.goto(`${base}/site/index.html`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.dg2Timing.ready !== null, { timeout: TIMEOUT_MS });
    // The engine optimises the freshly loaded module in the background first.
    await new Promise((resolve) => setTimeout(resolve, 3000));
    console.log(`figure: renderer CPU, instrument off: ${await rendererShare(browser, 10)}`);
    await page.close();
    page = await browser.newPage();
    await page.goto(`${base}/site/index.html#on`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.dg2Timing.firstFrame !== null, { timeout: TIMEOUT_MS });
    const timing = await page.evaluate(() => window.dg2Timing);
    console.log(`figure: page ready ${timing.ready.toFixed(0)} ms, first LCD frame painted ${
      timing.firstFrame.toFixed(0)} ms after navigation start (powered on at load, #on)`);
    await moveSlider(page, 'TrackBar1', 220);
    await moveSlider(page, 'TrackBar2', 220);
    await new Promise((resolve) => setTimeout(resolve, 3000));  // splash over, screen steady
    console.log(`figure: renderer CPU, instrument on, screen steady: ${
      await rendererShare(browser, 10)}`);
  } finally {
    await browser.close();
  }
}

// --- main -------------------------------------------------------------------------

const server = await serve(BUILD);
const base = `http://127.0.0.1:${server.address().port}`;
const profiles = [];
async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-chromium-'));
  profiles.push(profile);
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}
// The README's picture: the page powered on, both channels between their
// alarm limits.
async function picture(file) {
  const browser = await launch();
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 700, height: 520 });
    await page.goto(`${base}/site/index.html#on`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.dg2Timing.firstFrame !== null, { timeout: TIMEOUT_MS });
    const [runDark, runLit, runScreen] = nativeFrames(
      'on\ndump\nticks 11\npasses 1\ndump\nslider 1 220\nslider 2 220\npasses 2\ndump\n');
    await waitForFrame(page, [runDark, runLit]);
    await moveSlider(page, 'TrackBar1', 220);
    await moveSlider(page, 'TrackBar2', 220);
    const seen = await waitForFrame(page, [runScreen]);
    if (!seen.ok) throw new Error('the run screen did not appear');
    const main = await page.$('main');
    const temporary = `${file}.tmp.png`;
    await main.screenshot({ path: temporary });
    fs.renameSync(temporary, file);
    console.log(`wrote ${file}`);
  } finally {
    await browser.close();
    server.close();
    for (const profile of profiles) fs.rmSync(profile, { recursive: true, force: true });
  }
}
if (option('--picture', null) !== null) {
  await picture(path.resolve(option('--picture', null)));
  process.exit(0);
}

const browser = await launch();
try {
  await testPage(browser, base);
  await testScenarios(browser, base);
} catch (error) {
  check('the browser tests ran to the end', false, error.stack);
} finally {
  await browser.close();
}
try {
  if (args.includes('--figures')) await figures(base);
} finally {
  server.close();
  for (const profile of profiles) fs.rmSync(profile, { recursive: true, force: true });
}
console.log(`browser: ${passed} passed, ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
