// The workbench's functions in the page: a session recorded in the page
// replays natively to its last frame; #settings= links made by "Copy link"
// open powered on with the same settings, which a session recorded there
// keeps, a damaged one says so; a sensor
// log plays into the sliders and a bad row is named with its file and line;
// "ON" past the deepest nesting is ignored with the window's message.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { ROOT, runNative } from '../browser/native.mjs';
import { TIMEOUT_MS, moveSlider, openPage, sleep, startBrowser } from '../browser/page.mjs';

const SPLASH_MS = 2500;
const EXAMPLE = path.join(ROOT, 'examples/settings/boost_gauge.toml');
const statusBar = (page) => page.$eval('#StatusBar1', (bar) => bar.textContent);
const depthIs = (page, depth) => page.waitForFunction((d) => window.dg2.depth() === d,
                                                      { timeout: TIMEOUT_MS }, depth);

async function loadSettings(page, file) {
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#LoadSettings')]);
  await chooser.accept([file]);
  await page.waitForFunction(() => document.getElementById('StatusBar1').textContent
    .startsWith('Settings loaded'), { timeout: TIMEOUT_MS });
}

async function downloadsInto(page, folder) {
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
}

// The session the page downloaded into `folder`, with its one settings file,
// once both are there; it must replay natively (to its last frame).
async function recordedSession(folder) {
  const files = ['dg2-session-settings-1.toml', 'dg2-session.scn']
    .map((name) => path.join(folder, name));
  for (const until = Date.now() + TIMEOUT_MS;
    !files.every((f) => fs.existsSync(f)) && Date.now() < until;)
    await sleep(100);
  const scenario = fs.readFileSync(files[1], 'utf8');
  const replay = runNative(files[1]);
  assert.equal(replay.status, 0, `${replay.errors}\n${scenario}`);
  return scenario;
}

describe('the workbench in the page', { timeout: 120000 }, () => {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-web-workbench-'));
  let session;
  before(async () => { session = await startBrowser(); });
  after(async () => {
    await session?.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  });

  test('a session recorded in the page, settings loaded, replays natively', async () => {
    const { page, problems } = await openPage(session);
    await downloadsInto(page, scratch);
    await page.evaluate(() => window.dg2.startRecording());
    await moveSlider(page, 'TrackBar2', 300);
    await page.click('#Button1');
    await depthIs(page, 1);
    await sleep(2000);
    await loadSettings(page, EXAMPLE);
    await page.click('#Button3');
    await page.click('#CheckBox3');
    await sleep(500);
    await page.click('#Image5');
    await sleep(300);
    await page.evaluate(() => window.dg2.stopRecording());
    const scenario = await recordedSession(scratch);
    assert.match(scenario, /load-settings dg2-session-settings-1\.toml/);
    assert.match(await statusBar(page), /^Session saved as dg2-session\.scn with 1 file/);
    assert.deepEqual(problems, []);
    await page.close();
  });

  // Every power-on of the opened link ends with its settings, and so does
  // every power-on of a session recorded there, played natively.
  test('Copy link: the link opens powered on with the same settings, kept by a recording',
       async () => {
    const { page } = await openPage(session);
    await page.click('#Button1');
    await depthIs(page, 1);
    await loadSettings(page, EXAMPLE);
    const link = await page.evaluate(() => window.dg2.copyLink());
    assert.match(link, /\/site\/index\.html#settings=[\w-]+$/);
    assert.match(await statusBar(page), /^(Link copied|Copy this link: )/);
    const { page: opened, problems } = await openPage(session, { hash: link.slice(link.indexOf('#')) });
    // The link's settings are in force from the first pass after the splash.
    await depthIs(opened, 1);
    await sleep(SPLASH_MS);
    assert.equal(await opened.evaluate(() => window.dg2.copyLink()), link);
    const folder = fs.mkdtempSync(path.join(scratch, 'link-'));
    await downloadsInto(opened, folder);
    await opened.click('#Button2');
    await depthIs(opened, 0);
    await opened.evaluate(() => window.dg2.startRecording());
    await opened.click('#Button1');
    await sleep(SPLASH_MS + 500);
    await opened.evaluate(() => window.dg2.stopRecording());
    assert.match(await recordedSession(folder), /^power-on-settings dg2-session-settings-1\.toml$/m);
    assert.deepEqual(problems, []);
    await page.close();
    await opened.close();
  });

  test('a damaged #settings= link says so and leaves the page usable', async () => {
    const { page } = await openPage(session, { hash: '#settings=AAAA' });
    await page.waitForFunction(() => document.getElementById('StatusBar1').textContent
      .startsWith('The link\'s settings'), { timeout: TIMEOUT_MS });
    assert.equal(await page.evaluate(() => window.dg2.depth()), 0);
    await page.click('#Button1');
    await depthIs(page, 1);
    await page.close();
  });

  test('a sensor log plays into the sliders; a bad row is named by file and line', async () => {
    const { page } = await openPage(session);
    await page.click('#Button1');
    await depthIs(page, 1);
    const bad = await page.evaluate(() => window.dg2.startLog(
      new File(['time,channel1\n0,1.0\n1,abc\n'], 'bad.csv')));
    assert.equal(bad, false);
    assert.equal(await page.$eval('dialog p', (p) => p.textContent),
                 'bad.csv:3: \'abc\' is not a number (nor open or short)\n\nNo value has been set.');
    await page.click('dialog button');
    const start = await page.$eval('#TrackBar1', (slider) => slider.value);
    assert.equal(await page.evaluate(() => window.dg2.startLog(
      new File(['time,channel1\n0,1.0\n0.5,3.0\n'], 'ramp.csv'))), true);
    const fields = await page.$$eval('#StatusFields span', (s) => s.map((e) => e.textContent));
    assert.ok(fields.some((f) => /^ramp\.csv 0\.\d \/ 0\.5 s$/.test(f)), fields.join(' | '));
    await page.waitForFunction(() => document.getElementById('StatusBar1').textContent ===
                               'Played ramp.csv', { timeout: TIMEOUT_MS });
    const end = await page.$eval('#TrackBar1', (slider) => slider.value);
    assert.notEqual(end, start);
    assert.equal(await page.$eval('#Label13', (echo) => echo.textContent), end);
    await page.close();
  });

  test('twenty fast clicks on ON: eight deep, "ON" ignored', async () => {
    const { page } = await openPage(session);
    await page.click('#Button1');
    await depthIs(page, 1);
    await page.evaluate(() => {
      for (let i = 0; i < 20; ++i) document.getElementById('Button1').click();
    });
    await depthIs(page, 8);
    assert.equal(await statusBar(page), '"ON" ignored: the instrument is already powered on 8 deep');
    await page.click('#Button2');
    await depthIs(page, 0);
    await page.close();
  });
});
