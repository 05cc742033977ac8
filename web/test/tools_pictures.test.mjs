// The LCD as files and zoomed, and sensors by value, in the page: pictures and
// animations under the names the user gives, at the main window's zoom or the
// LCD window's, decoded again; the value dialog's refusals and the channel it
// sets as natively; the sender presets and the sliders' tooltips.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { describe, test } from 'node:test';

import { nativeFrames } from '../browser/native.mjs';
import { TIMEOUT_MS, pageForSuite, readLcd, sleep, waitForFrame } from '../browser/page.mjs';

async function ctrl(page, ...keys) {
  await page.keyboard.down('Control');
  for (const key of keys) await page.keyboard.down(key);
  for (const key of keys.reverse()) await page.keyboard.up(key);
  await page.keyboard.up('Control');
}

// Types a name into the open name box and saves.
async function saveAs(page, name) {
  await page.waitForSelector('dialog[open] input[type=text]');
  await page.$eval('dialog[open] input[type=text]', (input) => { input.value = ''; });
  await page.type('dialog[open] input[type=text]', name);
  await page.keyboard.press('Enter');
}

async function waitForFile(file) {
  for (const until = Date.now() + TIMEOUT_MS; Date.now() < until; await sleep(100))
    if (fs.existsSync(file) && fs.statSync(file).size > 0) return fs.readFileSync(file);
  assert.fail(`${path.basename(file)} was not downloaded`);
}

// Each frame of a picture or animation in the page's own decoder, as rows of
// '#' for every LCD pixel not in the unlit colour (its red given), sampled at
// the pixel's centre.
const PLAIN_UNLIT = 0xd4;
const LIT_SCHEME_UNLIT = 0x14;
function decodeFrames(page, bytes, type, zoom, unlit = PLAIN_UNLIT) {
  return page.evaluate(async (data, mime, z, unlitRed) => {
    const decoder = new ImageDecoder({ data: new Uint8Array(data), type: mime });
    await decoder.tracks.ready;
    const frames = [];
    for (let i = 0; i < decoder.tracks.selectedTrack.frameCount; ++i) {
      const { image } = await decoder.decode({ frameIndex: i });
      const canvas = new OffscreenCanvas(image.displayWidth, image.displayHeight);
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      image.close();
      const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
      const rows = [];
      for (let y = 0; y < 64; ++y) {
        let row = '';
        for (let x = 0; x < 114; ++x) {
          const at = ((y * z + (z >> 1)) * canvas.width + x * z + (z >> 1)) * 4;
          row += pixels[at] === unlitRed ? '.' : '#';
        }
        rows.push(row);
      }
      frames.push({ width: canvas.width, height: canvas.height, lcd: rows.join('\n') });
    }
    return frames;
  }, [...bytes], type, zoom, unlit);
}

describe('pictures, the LCD window and values', { timeout: 180000 }, () => {
  const [dark, lit] = nativeFrames('on\ndump\nticks 11\npasses 1\ndump\n');
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-web-tools-'));
  const suite = pageForSuite({
    async ready({ page }) {
      const cdp = await page.createCDPSession();
      await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    },
    cleanUp: () => fs.rmSync(downloads, { recursive: true, force: true }),
  });

  test('"Save picture" saves the LCD as shown, under the name given', async () => {
    await suite.page.click('#Button1');
    assert.ok((await waitForFrame(suite.page, [dark, lit])).ok);
    await suite.page.click('#SavePicture');
    await saveAs(suite.page, 'run screen');
    const png = await waitForFile(path.join(downloads, 'run screen.png'));
    const [frame] = await decodeFrames(suite.page, png, 'image/png', 2);
    assert.deepEqual([frame.width, frame.height], [228, 128]);
    assert.ok([dark, lit].includes(frame.lcd), 'the picture is not the LCD');
    assert.match(await suite.page.$eval('#StatusBar1', (e) => e.textContent),
                 /^LCD picture saved to run screen.png \(228 x 128\)$/);
  });

  test('the LCD window zooms, draws a grid and saves at its zoom in its colours', async () => {
    await ctrl(suite.page, 'Shift', 'L');
    await suite.page.waitForSelector('dialog.lcd-window canvas');
    await suite.page.select('dialog.lcd-window select', '12');
    await suite.page.click('dialog.lcd-window label:nth-of-type(1) input');  // the grid
    await suite.page.click('dialog.lcd-window label:nth-of-type(2) input');  // lit colours
    // Lit, unlit and the grid's lines over each.
    const colours = await suite.page.$eval('dialog.lcd-window canvas', (c) => {
      const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      const seen = new Set();
      for (let i = 0; i < data.length; i += 4) seen.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
      return [c.width, c.height, seen.size];
    });
    assert.deepEqual(colours, [1368, 768, 4]);
    // Its own menu, the window's pop-out's, with the choices made ticked.
    const canvas = await (await suite.page.$('dialog.lcd-window canvas')).boundingBox();
    await suite.page.mouse.click(Math.max(canvas.x, 0) + 20, Math.max(canvas.y, 0) + 20, { button: 'right' });
    await suite.page.waitForSelector('.menu.context');
    const entries = await suite.page.$$eval('.menu.context > button',
      (b) => b.map((e) => `${e.firstChild.textContent}${e.getAttribute('aria-checked') === 'true' ? ' +' : ''}`));
    assert.deepEqual(entries, ['Save LCD picture...', 'Record LCD animation...', 'Pixel grid +',
                               'Lit LCD colours +', 'Close']);
    await suite.page.keyboard.press('Escape');
    // The instrument's keys still work; Ctrl+Shift+S saves from here.
    await ctrl(suite.page, 'Shift', 'S');
    await saveAs(suite.page, 'zoomed.png');
    const png = await waitForFile(path.join(downloads, 'zoomed.png'));
    const [frame] = await decodeFrames(suite.page, png, 'image/png', 12, LIT_SCHEME_UNLIT);
    assert.deepEqual([frame.width, frame.height], [1368, 768]);
    assert.ok([dark, lit].includes(frame.lcd), 'the picture is not the LCD');
  });

  test('an animation recorded in the LCD window decodes to the LCD\'s frames', async () => {
    await ctrl(suite.page, 'r');
    await saveAs(suite.page, 'zoomed.gif');
    await suite.page.waitForFunction(() => document.getElementById('StatusFields').textContent.includes('Recording'));
    assert.equal(await suite.page.$eval('dialog.lcd-window .record', (b) => b.textContent), 'Stop recording');
    const seen = new Set([await readLcd(suite.page)]);
    for (let i = 0; i < 12; ++i) {
      await sleep(150);
      seen.add(await readLcd(suite.page));
    }
    await ctrl(suite.page, 'r');
    const gif = await waitForFile(path.join(downloads, 'zoomed.gif'));
    const frames = await decodeFrames(suite.page, gif, 'image/gif', 12, LIT_SCHEME_UNLIT);
    assert.equal(frames[0].width, 1368);
    assert.ok(frames.length >= 2, `${frames.length} frames`);
    for (const { lcd } of frames) assert.ok(seen.has(lcd), 'a frame the LCD never showed');
    assert.match(await suite.page.$eval('#StatusBar1', (e) => e.textContent),
                 new RegExp(`^LCD animation saved to zoomed.gif \\(${frames.length} frames, \\d+\\.\\d s, .+\\)$`));
    await suite.page.keyboard.press('Escape');
    assert.equal(await suite.page.$('dialog.lcd-window'), null);
  });

  test('the value dialog refuses what the channel cannot show and sets what it can', async () => {
    const [dark, lit] = nativeFrames('on\nvalue 1 4.5\npasses 2\ndump\nticks 11\npasses 1\ndump\n');
    const box = await (await suite.page.$('#Form1')).boundingBox();
    await suite.page.mouse.click(box.x + 150 * box.width / 621, box.y + 150 * box.width / 621, { button: 'right' });
    await (await suite.page.waitForSelector('.menu.context > button:nth-of-type(3)')).click();
    const input = 'dialog.value input';
    await suite.page.waitForSelector(input);
    const reason = () => suite.page.$eval('dialog.value .reason', (e) => e.textContent);
    const okDisabled = () => suite.page.$eval('dialog.value .buttons button', (b) => b.disabled);
    for (const [typed, why] of [['', 'Type a number.'], ['abc', '"abc" is not a number.'],
      ['999', /^channel 1 shows .* bar to .* bar, not 999 bar\.$/]]) {
      await suite.page.$eval(input, (e) => { e.value = ''; });
      if (typed) await suite.page.type(input, typed);
      else await suite.page.$eval(input, (e) => e.dispatchEvent(new Event('input')));
      await suite.page.waitForFunction((t) => document.querySelector('dialog.value input').value === t, {}, typed);
      await sleep(100);
      if (typeof why === 'string') assert.equal(await reason(), why);
      else assert.match(await reason(), why);
      assert.ok(await okDisabled(), typed);
      assert.equal(await suite.page.$eval(input, (e) => e.value), typed);
    }
    await suite.page.$eval(input, (e) => { e.value = ''; });
    await suite.page.type(input, '4.5');
    await suite.page.waitForFunction(() => !document.querySelector('dialog.value .buttons button').disabled);
    await suite.page.keyboard.press('Enter');
    assert.ok((await waitForFrame(suite.page, [dark, lit])).ok, 'not the native frame of 4.5 bar');
    assert.match(await suite.page.$eval('#StatusBar1', (e) => e.textContent),
                 /^Channel 1 shows 4\.5 bar at input \d+$/);
  });

  test('the sender presets and the slider\'s tooltip say what the channel shows', async () => {
    const box = await (await suite.page.$('#Form1')).boundingBox();
    await suite.page.mouse.click(box.x + 150 * box.width / 621, box.y + 150 * box.width / 621, { button: 'right' });
    await (await suite.page.waitForSelector('.menu.context > button:nth-of-type(4)')).click();
    await suite.page.waitForFunction(() => document.getElementById('TrackBar1').value === '4096');
    assert.match(await suite.page.$eval('#StatusBar1', (e) => e.textContent),
                 /^Channel 1: sender open \(input 4096\), shown as "CHECK SENDER"$/);
    await suite.page.hover('#TrackBar1');
    await suite.page.waitForFunction(() => document.getElementById('TrackBar1').title.startsWith('Channel 1 shows'));
    assert.match(await suite.page.$eval('#TrackBar1', (e) => e.title), /^Channel 1 shows .* \(CHECK SENDER\)\n./);
  });

  test('no console error, failed request or page error', () => {
    assert.deepEqual(suite.problems, []);
  });
});
