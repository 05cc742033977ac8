// The page by keyboard and screen reader, and what a steady screen costs:
// Tab reaches every control in order, Enter and Space act on the focused
// control (the centre key only from the bezel), ON by keyboard, focus marks;
// the LCD's and the lamp's names from the instrument's state, renewed at most
// once a second; about one pass a tick while nothing changes.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { TIMEOUT_MS, moveSlider, pageForSuite, sleep } from '../browser/page.mjs';

const TAB_ORDER = ['Image1', 'Image3', 'Image5', 'Image6', 'Button3', 'Button4', 'Button1',
                   'Button2', 'TrackBar1', 'TrackBar2', 'CheckBox2', 'CheckBox3', 'SavePicture',
                   'LoadSettings', 'SaveSettings'];

const lcdName = (page) => page.$eval('#Image1', (lcd) => lcd.getAttribute('aria-label'));
const focusOn = (page, id) => page.$eval(`#${id}`, (element) => element.focus());

// Passes run per tick given over `ms` (and, with `wakes`, how often the
// instrument's loop woke from its sleep per tick).
async function passesPerTick(page, ms, { wakes = false } = {}) {
  const count = () => page.evaluate(() => window.dg2.passCounts());
  const start = await count();
  await sleep(ms);
  const end = await count();
  const ticks = end.ticks - start.ticks;
  const passes = (end.passes - start.passes) / ticks;
  return wakes ? { passes, wakes: (end.wakes - start.wakes) / ticks } : passes;
}

describe('keyboard, screen reader and idle passes', { timeout: 120000 }, () => {
  const suite = pageForSuite();

  test('Tab reaches every control in order, each with a focus mark', async () => {
    const seen = [];
    for (let i = 0; i < TAB_ORDER.length; ++i) {
      await suite.page.keyboard.press('Tab');
      seen.push(await suite.page.evaluate(() => {
        const focused = document.activeElement;
        return `${focused.id} ${getComputedStyle(focused).outlineStyle}`;
      }));
    }
    assert.deepEqual(seen, TAB_ORDER.map((id) => `${id} solid`));
  });

  test('Enter on ON switches the instrument on; the LCD names the run screen', async () => {
    assert.match(await lcdName(suite.page), /instrument is off/);
    await focusOn(suite.page, 'Button1');
    await suite.page.keyboard.press('Enter');
    await suite.page.waitForFunction(() => window.dg2.depth() === 1, { timeout: TIMEOUT_MS });
    await moveSlider(suite.page, 'TrackBar1', 220);
    await moveSlider(suite.page, 'TrackBar2', 220);
    await suite.page.waitForFunction(() => /^LCD: run screen\. channel 1 OIL pressure [\d.]+ bar; channel 2 /
      .test(document.getElementById('Image1').getAttribute('aria-label')), { timeout: TIMEOUT_MS });
    assert.match(await suite.page.$eval('#Shape1', (lamp) => lamp.getAttribute('aria-label')),
                 /steady/);
  });

  test('a steady run screen runs about one pass a tick, not five, without waking the loop',
       async () => {
    const { passes, wakes } = await passesPerTick(suite.page, 3000, { wakes: true });
    assert.ok(passes > 0.5 && passes < 2, `${passes} passes a tick`);
    assert.ok(wakes < 0.5, `the loop woke ${wakes} times a tick`);
  });

  test('Space on a focused check box ticks it, not the centre key', async () => {
    await focusOn(suite.page, 'CheckBox3');
    await suite.page.keyboard.press('Space');
    await suite.page.keyboard.press('Enter');
    await sleep(300);
    assert.equal(await suite.page.$eval('#CheckBox3', (box) => box.checked), false);
    assert.match(await lcdName(suite.page), /run screen/);
  });

  test('Enter on the LCD is the centre key: the main menu, also steady', async () => {
    await focusOn(suite.page, 'Image1');
    await suite.page.keyboard.press('Enter');
    await suite.page.waitForFunction(() => /^LCD: main menu, line 1\./
      .test(document.getElementById('Image1').getAttribute('aria-label')), { timeout: TIMEOUT_MS });
    assert.ok(await passesPerTick(suite.page, 3000) < 2);
  });

  test('with an alarm flashing: the lamp says so, names change at most once a second',
       async () => {
    await focusOn(suite.page, 'Image1');
    await suite.page.keyboard.press('Escape');
    await suite.page.evaluate(() => {
      window.renamed = 0;
      new MutationObserver(() => { window.renamed += 1; })
        .observe(document.getElementById('Image1'), { attributeFilter: ['aria-label'] });
    });
    await moveSlider(suite.page, 'TrackBar1', 4096);
    await suite.page.waitForFunction(() => /flashing, alarm on channel 1/
      .test(document.getElementById('Shape1').getAttribute('aria-label')), { timeout: TIMEOUT_MS });
    await suite.page.evaluate(() => { window.renamed = 0; });
    const perTick = await passesPerTick(suite.page, 3000);
    const renamed = await suite.page.evaluate(() => window.renamed);
    assert.ok(renamed <= 4, `renamed ${renamed} times in 3 s`);
    assert.ok(perTick < 2, `${perTick} passes a tick`);
  });

  test('a check box clicked with the mouse leaves Enter to the centre key', async () => {
    await suite.page.click('#CheckBox2Box');
    assert.equal(await suite.page.$eval('#CheckBox2', (box) => box.checked), true);
    // The click gives the focus back once the label has handed it on.
    await suite.page.waitForFunction(() => document.activeElement === document.body,
                               { timeout: TIMEOUT_MS });
    // The centre key leaves the main menu by its first line, EXIT MENU.
    await suite.page.keyboard.press('Enter');
    await suite.page.waitForFunction(() => /^LCD: run screen/
      .test(document.getElementById('Image1').getAttribute('aria-label')), { timeout: TIMEOUT_MS });
    assert.equal(await suite.page.$eval('#CheckBox2', (box) => box.checked), true);
  });

  test('Enter on a focused key area gives its key; on OFF switches off', async () => {
    await focusOn(suite.page, 'Image6');
    await suite.page.keyboard.press('Enter');
    await focusOn(suite.page, 'Button2');
    await suite.page.keyboard.press('Enter');
    await suite.page.waitForFunction(() => window.dg2.depth() === 0, { timeout: TIMEOUT_MS });
  });

  test('the accessibility tree names the main controls', async () => {
    const tree = await suite.page.accessibility.snapshot({ interestingOnly: true });
    const names = [];
    const walk = (node) => {
      if (node.name) names.push(`${node.role}: ${node.name}`);
      for (const child of node.children ?? []) walk(child);
    };
    walk(tree);
    for (const wanted of [/^image: LCD: /, /^image: Alarm lamp: /, /^button: Left key F1$/,
                          /^button: Centre key$/, /^button: ON$/, /^slider: Channel 1 input$/,
                          /^checkbox: Calibrate$/])
      assert.ok(names.some((name) => wanted.test(name)), `${wanted} in ${names.join(' | ')}`);
  });

  test('no console error, failed request or page error', () => {
    assert.deepEqual(suite.problems, []);
  });
});
