// The window's workbench functions in the page, by mouse, touch and keyboard:
// the context menu (right click, long press, arrows), time (pause, single
// pass, speeds in the status bar), help, the shortcuts a page may take, and
// the question before a running instrument is left.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { nativeFrames } from '../browser/native.mjs';
import { moveSlider, pageForSuite, readLcd, sleep, waitForFrame } from '../browser/page.mjs';

const MENU = ['Save settings...', 'Load settings...', 'Channel 1 value...', 'Channel 1 sender open',
  'Channel 1 sender short', 'Channel 2 value...', 'Channel 2 sender open', 'Channel 2 sender short',
  'Play scenario...', 'Record session', 'Play sensor log...', 'Stop sensor log', 'Copy link', 'Time', 'Save LCD picture...', 'Record LCD animation...', 'LCD window', 'Keys and shortcuts',
  'About'];

// The menu's entries, once it is open (its module comes on first use).
async function menuTexts(page) {
  await page.waitForSelector('.menu.context', { timeout: 5000 });
  return page.$$eval('.menu.context > button', (items) => items.map((item) => item.firstChild.textContent));
}
const fields = (page) => page.$$eval('#StatusFields span:not([hidden])', (s) => s.map((e) => e.textContent));

async function ctrl(page, key) {
  await page.keyboard.down('Control');
  await page.keyboard.press(key);
  await page.keyboard.up('Control');
}

// Where on the form: window pixels times the zoom, from the form's corner.
async function at(page, x, y) {
  const box = await (await page.$('#Form1')).boundingBox();
  const zoom = box.width / 621;
  return { x: box.x + x * zoom, y: box.y + y * zoom };
}

describe('context menu, time and shortcuts', { timeout: 120000 }, () => {
  const suite = pageForSuite({
    viewport: { width: 1000, height: 700, hasTouch: true },
    // What the page's own handlers did with each key, seen after them.
    ready: ({ page }) => page.evaluate(() => {
      window.prevented = [];
      window.addEventListener('keydown', (e) => window.prevented.push(`${e.key}:${e.defaultPrevented}`));
    }),
  });

  test('a right click on the bezel opens the window\'s menu; one beside it does not', async () => {
    const beside = await at(suite.page, 450, 200);
    await suite.page.mouse.click(beside.x, beside.y, { button: 'right' });
    await sleep(300);
    assert.equal(await suite.page.$('.menu'), null);
    const bezel = await at(suite.page, 150, 150);
    await suite.page.mouse.click(bezel.x, bezel.y, { button: 'right' });
    assert.deepEqual(await menuTexts(suite.page), MENU);
    // The keyboard walks it (from the entry the pointer may rest on) and
    // Escape closes it.
    const focused = () => suite.page.evaluate(() => document.activeElement.firstChild.textContent);
    const from = MENU.indexOf(await focused());
    await suite.page.keyboard.press('ArrowDown');
    assert.equal(await focused(), MENU[from + 1]);
    await suite.page.keyboard.press('Escape');
    assert.equal(await suite.page.$('.menu'), null);
  });

  test('a long press on a key opens the menu without pressing the key', async () => {
    const [dark, lit] = nativeFrames('on\ndump\nticks 11\npasses 1\ndump\n');
    await suite.page.click('#Button1');
    assert.ok((await waitForFrame(suite.page, [dark, lit])).ok);
    const centre = await suite.page.$eval('#Image5', (e) => { const r = e.getBoundingClientRect(); return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; });
    await suite.page.touchscreen.touchStart(centre.x, centre.y);
    await sleep(800);
    await suite.page.touchscreen.touchEnd();
    assert.deepEqual(await menuTexts(suite.page), MENU);
    await sleep(300);
    assert.ok([dark, lit].includes(await readLcd(suite.page)), 'the centre key was pressed');
    // On a touch screen: entries a finger can hit, a status bar one can read.
    const heights = await suite.page.$$eval('.menu.context > button', (b) => b.map((e) => e.offsetHeight));
    assert.ok(Math.min(...heights) >= 40, `entries ${Math.min(...heights)} px high`);
    await suite.page.keyboard.press('Escape');
    const size = await suite.page.$eval('#StatusBar1', (e) => parseFloat(getComputedStyle(e).fontSize));
    assert.ok(size >= 14, `status bar text ${size} px`);
  });

  test('pause holds the instrument and its keys; single passes and resume go on', async () => {
    // Within the alarm limits, so the centre key opens the main menu instead of
    // acknowledging an alarm.
    const [menu] = nativeFrames('on\nslider 1 300\nslider 2 300\npasses 2\nkey centre\npasses 2\ndump\n');
    await moveSlider(suite.page, 'TrackBar1', 300);
    await moveSlider(suite.page, 'TrackBar2', 300);
    await sleep(300);
    assert.deepEqual(await fields(suite.page), ['On', '1x']);
    await ctrl(suite.page, 'p');
    assert.deepEqual(await fields(suite.page), ['Paused', 'Paused (1x)']);
    const held = await readLcd(suite.page);
    await suite.page.click('#Image5');
    await sleep(600);
    assert.ok(await readLcd(suite.page) === held, 'a pass ran while paused');
    // The Time menu: "Resume", the single steps enabled.
    const bezel = await at(suite.page, 150, 150);
    await suite.page.mouse.click(bezel.x, bezel.y, { button: 'right' });
    await (await suite.page.waitForSelector('.menu.context > button[aria-haspopup]')).click();
    const time = await suite.page.$$eval('.menu .menu > button', (b) => b.map((e) => [e.firstChild.textContent, e.disabled]));
    assert.deepEqual(time.slice(0, 3), [['Resume', false], ['Single pass', false], ['Single tick', false]]);
    await suite.page.keyboard.press('Escape');
    await suite.page.keyboard.press('Escape');
    // Single passes (Ctrl+.) take the waiting key: the main menu, as natively.
    let steps = 0;
    for (; steps < 4 && await readLcd(suite.page) !== menu; ++steps) {
      await ctrl(suite.page, '.');
      await sleep(200);
    }
    assert.ok(await readLcd(suite.page) === menu, `no main menu after ${steps} single passes`);
    await ctrl(suite.page, 'p');
    await ctrl(suite.page, '5');
    assert.deepEqual(await fields(suite.page), ['On', '4x']);
    await ctrl(suite.page, '3');
  });

  test('help lists the page\'s keys, and the browser\'s own are not among them', async () => {
    await ctrl(suite.page, 'k');
    await ctrl(suite.page, '/');
    const boxes = await suite.page.$$eval('dialog[aria-label="Keys and shortcuts"]', (d) => d.map((e) => e.textContent));
    assert.equal(boxes.length, 1);
    for (const key of ['Ctrl+Shift+L', 'Ctrl+,', 'Ctrl+R', 'Right click or long press'])
      assert.ok(boxes[0].includes(key), key);
    for (const key of ['Ctrl+L', 'Ctrl+T', 'Ctrl+W']) assert.ok(!boxes[0].includes(`${key}\u00a0`) && !boxes[0].includes(`${key}c`), key);
    await suite.page.click('dialog[aria-label="Keys and shortcuts"] button');
    await suite.page.waitForFunction(() => !document.querySelector('dialog'));
  });

  test('the window\'s Ctrl shortcuts are the page\'s, not the browser\'s', async () => {
    await suite.page.evaluate(() => { window.prevented = []; });
    await ctrl(suite.page, 'r');
    await suite.page.waitForSelector('dialog[aria-label="Record LCD animation"]', { timeout: 2000 });
    await suite.page.keyboard.press('Escape');
    await suite.page.waitForFunction(() => !document.querySelector('dialog'));
    await ctrl(suite.page, 'p');
    await ctrl(suite.page, 'p');
    const prevented = await suite.page.evaluate(() => window.prevented.filter((k) => !k.startsWith('Control')));
    // Ctrl+R (record) and Ctrl+P (pause) are taken; Escape stays the name box's.
    assert.deepEqual(prevented, ['r:true', 'Escape:false', 'p:true', 'p:true']);
    assert.equal(await suite.page.$('dialog[open]'), null);
  });

  test('a message too long for the status bar ends in an ellipsis, the whole in its tooltip', async () => {
    const name = `${'a long animation name '.repeat(6)}.gif`;
    await ctrl(suite.page, 'r');
    await suite.page.waitForSelector('dialog[open] input[type=text]');
    await suite.page.$eval('dialog[open] input[type=text]', (input, text) => { input.value = text; }, name);
    await suite.page.keyboard.press('Enter');
    const bar = await suite.page.waitForFunction(() => document.getElementById('StatusBar1').title !== '');
    assert.equal(await bar.evaluate(() => document.getElementById('StatusBar1').title), `Recording the LCD to ${name}`);
    assert.ok((await fields(suite.page)).includes('\u25CF Recording'));
    await ctrl(suite.page, 'r');
    assert.ok(!(await fields(suite.page)).includes('\u25CF Recording'));
  });

  test('a reload asks first while the instrument is on', async () => {
    let asked = null;
    suite.page.once('dialog', (dialog) => { asked = dialog.type(); dialog.dismiss(); });
    await suite.page.reload({ timeout: 2000 }).catch(() => {});
    assert.equal(asked, 'beforeunload');
    assert.ok(await suite.page.evaluate(() => window.dg2.depth()) > 0);
  });

  test('no console error, failed request or page error', () => {
    assert.deepEqual(suite.problems, []);
  });
});
