// The page works like the window: its controls under the window's names, ON,
// the sliders, the keys, the keyboard and the wheel, each compared with the
// native runner's frame.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { nativeFrames } from '../browser/native.mjs';
import { moveSlider, pageForSuite, waitForFrame } from '../browser/page.mjs';

describe('the page\'s controls', { timeout: 120000 }, () => {
  const suite = pageForSuite();

  // ON: the run screen with both inputs at 0 (channel 2's message flashes,
  // so either blink phase will do); then the sliders to mid readings, the
  // main menu and one knob step.
  const [runDark, runLit, runScreen, mainMenu, nextEntry, displaySetup, nextLine] = nativeFrames(
    'on\ndump\nticks 11\npasses 1\ndump\nslider 1 220\nslider 2 220\npasses 2\ndump\n' +
    'key centre\npasses 2\ndump\nkey cw\npasses 2\ndump\nkey centre\npasses 2\ndump\n' +
    'key cw\npasses 2\ndump\n');

  test('every control of the window is on the page under its name', async () => {
    const ids = ['Button1', 'Button2', 'Button3', 'Button4', 'Image1', 'Image3', 'Image5', 'Image6',
                 'TrackBar1', 'TrackBar2', 'Label13', 'Label14', 'CheckBox2', 'CheckBox3', 'Shape1'];
    const missing = await suite.page.evaluate(
      (list) => list.filter((id) => !document.getElementById(id)), ids);
    assert.deepEqual(missing, []);
  });

  test('captions, start positions and tooltips come from the tables', async () => {
    const dressed = await suite.page.evaluate(() => [
      document.getElementById('Button1').textContent, document.getElementById('TrackBar1').value,
      document.getElementById('TrackBar2').max, document.getElementById('Image5').title]);
    assert.deepEqual(dressed, ['ON', '1', '4096', 'Centre key: Return, Enter or Space']);
  });

  test('ON: the run screen equals the native runner\'s frame', async () => {
    // The page's sliders start where the native runner's do.
    await suite.page.click('#Button1');
    const seen = await waitForFrame(suite.page, [runDark, runLit]);
    assert.ok(seen.ok, seen.frame);
  });

  test('the sliders reach the run screen as natively', async () => {
    await moveSlider(suite.page, 'TrackBar1', 220);
    await moveSlider(suite.page, 'TrackBar2', 220);
    const seen = await waitForFrame(suite.page, [runScreen]);
    assert.ok(seen.ok, seen.frame);
  });

  test('slider 1 echoes its position', async () => {
    assert.equal(await suite.page.$eval('#Label13', (e) => e.textContent), '220');
  });

  test('the centre key opens the main menu', async () => {
    await suite.page.click('#Image5');
    const seen = await waitForFrame(suite.page, [mainMenu]);
    assert.ok(seen.ok, seen.frame);
  });

  test('Right arrow turns the knob clockwise', async () => {
    await suite.page.keyboard.press('ArrowRight');
    const seen = await waitForFrame(suite.page, [nextEntry]);
    assert.ok(seen.ok, seen.frame);
  });

  // Space on the focused LCD is the centre key (on a focused button it presses
  // the button: keyboard.test.mjs).
  test('Space is the centre key on the focused LCD', async () => {
    await suite.page.focus('#Image1');
    await suite.page.keyboard.press('Space');
    const seen = await waitForFrame(suite.page, [displaySetup]);
    assert.ok(seen.ok, seen.frame);
    assert.equal(await suite.page.evaluate(() => window.dg2.depth()), 1);
  });

  test('the wheel over the bezel turns the knob', async () => {
    const bezel = await suite.page.$eval('#Image2', (e) => e.getBoundingClientRect().toJSON());
    await suite.page.mouse.move(bezel.x + bezel.width / 2, bezel.y + bezel.height / 2);
    await suite.page.mouse.wheel({ deltaY: -100 });
    const seen = await waitForFrame(suite.page, [nextLine]);
    assert.ok(seen.ok, seen.frame);
  });

  test('no console error, failed request or page error', () => {
    assert.deepEqual(suite.problems, []);
  });
});
