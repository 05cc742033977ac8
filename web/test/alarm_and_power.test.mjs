// The alarm as natively (the sender fault's frames, the lamp's colours) and
// "ON" while on: nested power-ons, all ended by one "OFF".
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { nativeFrames } from '../browser/native.mjs';
import { TIMEOUT_MS, moveSlider, pageForSuite, sleep, waitForFrame } from '../browser/page.mjs';

const SPLASH_MS = 2500;

describe('the alarm and the power', { timeout: 120000 }, () => {
  const suite = pageForSuite();

  // Slider 1 at full scale, as a fresh native run.
  const [runDark, runLit, faultDark, faultLit] = nativeFrames(
    'on\ndump\nticks 11\npasses 1\ndump\nslider 2 220\nslider 1 4096\npasses 2\ndump\n' +
    'ticks 11\npasses 1\ndump\n');

  test('slider 1 at 4096 shows the sender fault', async () => {
    // The page's sliders start where the native runner's do.
    await suite.page.click('#Button1');
    await waitForFrame(suite.page, [runDark, runLit]);
    await moveSlider(suite.page, 'TrackBar2', 220);
    await moveSlider(suite.page, 'TrackBar1', 4096);
    const seen = await waitForFrame(suite.page, [faultLit]);
    assert.ok(seen.ok, seen.frame);
  });

  test('the sender fault flashes', async () => {
    const seen = await waitForFrame(suite.page, [faultDark]);
    assert.ok(seen.ok, seen.frame);
  });

  test('the lamp flashes red and maroon in alarm', async () => {
    const colours = new Set();
    for (const until = Date.now() + 3000; Date.now() < until;) {
      colours.add(await suite.page.$eval('#Shape1', (lamp) => lamp.style.backgroundColor));
      await sleep(100);
    }
    assert.ok(colours.has('rgb(255, 0, 0)') && colours.has('rgb(128, 0, 0)'),
              [...colours].join(' '));
  });

  // Each nested "ON" from a running loop, after its splash.
  test('nested ON: depth 3, one OFF ends all three loops', async () => {
    for (const depth of [2, 3]) {
      await suite.page.click('#Button1');
      await suite.page.waitForFunction((d) => window.dg2.depth() === d, { timeout: TIMEOUT_MS }, depth);
      await sleep(SPLASH_MS);
    }
    await suite.page.click('#Button2');
    await suite.page.waitForFunction(() => window.dg2.depth() === 0, { timeout: TIMEOUT_MS });
  });

  test('no console error, failed request or page error', () => {
    assert.deepEqual(suite.problems, []);
  });
});
