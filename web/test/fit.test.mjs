// The page on phones, tablets and desktops: no horizontal scrolling and
// every control in reach, the LCD's pixels whole device pixels (read back
// from a screenshot), readable text, touch targets of 40 x 40 CSS pixels
// never over another control's picture. Narrower than the window at zoom 1
// (637 CSS pixels with its margins), or a touch screen too low for it, the
// bezel is as large as the page allows and the other controls are in rows
// below it.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import {
  TIMEOUT_MS, moveSlider, readLcd, sleep, startBrowser, whenReady,
} from '../browser/page.mjs';

const SCREENS = [
  { name: 'phone 360 x 640', width: 360, height: 640, ratio: 3, touch: true },
  { name: 'phone 390 x 844', width: 390, height: 844, ratio: 3, touch: true },
  { name: 'phone sideways 844 x 390', width: 844, height: 390, ratio: 3, touch: true },
  { name: 'window 500 x 350', width: 500, height: 350, ratio: 1, touch: false },
  // 2.5 device pixels a window pixel: the canvas must still give 5 an LCD pixel.
  { name: 'tablet 820 x 1180', width: 820, height: 1180, ratio: 2, touch: true },
  { name: 'desktop 1280 x 800', width: 1280, height: 800, ratio: 1, touch: false },
  { name: 'desktop 1366 x 768', width: 1366, height: 768, ratio: 1, touch: false },
  { name: 'desktop 1920 x 1080', width: 1920, height: 1080, ratio: 1, touch: false },
];
const CONTROL_IDS = ['Image3', 'Image5', 'Image6', 'Button3', 'Button4', 'Button1', 'Button2',
                     'TrackBar1', 'TrackBar2', 'CheckBox2Box', 'CheckBox3Box', 'StatusBar1'];
// The narrow arrangement: narrower than the window at zoom 1 with its
// margins, or a touch screen too low for it.
const narrowFor = (screen) => screen.width < 621 + 16 ||
  (screen.touch && (404 + 16) > screen.height - 40);
// Text of 14 CSS pixels and more: on desktops; on a tablet where the controls
// have the room (ON, OFF, the check boxes, the status bar); everywhere in the
// narrow arrangement.
const readableIds = (screen) => (narrowFor(screen) ?
  ['Button3', 'Button4', 'Button1', 'Button2', 'Label1', 'Label13', 'CheckBox2Box',
   'CheckBox3Box', 'StatusBar1', 'StatusFields'] :
  screen.width >= 1280 ? ['Button1', 'Button3', 'Label1', 'StatusBar1', 'StatusFields'] :
  ['Button1', 'Button2', 'CheckBox2Box', 'StatusBar1', 'StatusFields']);

async function open(session, screen, hash = '#on') {
  const page = await session.browser.newPage();
  await page.setViewport({ width: screen.width, height: screen.height,
                           deviceScaleFactor: screen.ratio, isMobile: screen.touch,
                           hasTouch: screen.touch });
  await page.goto(`${session.base}/site/index.html${hash}`, { waitUntil: 'load' });
  await whenReady(page);
  if (hash === '#on')
    await page.waitForFunction(() => window.dg2Timing.firstFrame !== null, { timeout: TIMEOUT_MS });
  return page;
}

// The LCD as the screen shows it: each LCD pixel must be a uniform square of
// whole device pixels; decoded like readLcd ('#' lit).
async function lcdOnScreen(page, ratio) {
  const box = await page.$eval('#Image1', (lcd) => {
    const r = lcd.getBoundingClientRect();
    return { x: r.left + scrollX, y: r.top + scrollY,
             zoom: Number(getComputedStyle(document.documentElement).getPropertyValue('--z')) };
  });
  const side = 2 * box.zoom * ratio;
  const png = await page.screenshot({ encoding: 'base64', captureBeyondViewport: false,
                                      clip: { x: box.x, y: box.y,
                                              width: Math.ceil(114 * 2 * box.zoom),
                                              height: Math.ceil(64 * 2 * box.zoom) } });
  return page.evaluate(async (data, side) => {
    const picture = await createImageBitmap(await (await fetch(`data:image/png;base64,${data}`)).blob());
    const canvas = new OffscreenCanvas(picture.width, picture.height);
    const context = canvas.getContext('2d');
    context.drawImage(picture, 0, 0);
    const pixels = context.getImageData(0, 0, picture.width, picture.height).data;
    const rows = [];
    for (let y = 0; y < 64; ++y) {
      let row = '';
      for (let x = 0; x < 114; ++x) {
        const values = new Set();
        for (let dy = 0; dy < side; ++dy)
          for (let dx = 0; dx < side; ++dx)
            values.add(pixels[((y * side + dy) * picture.width + x * side + dx) * 4]);
        if (values.size !== 1) return `LCD pixel ${x}, ${y} is not one colour: ${[...values]}`;
        row += [...values][0] < 128 ? '#' : '.';
      }
      rows.push(row);
    }
    return rows.join('\n');
  }, png, side);
}

describe('the page on every screen', { timeout: 240000 }, () => {
  let session;
  before(async () => { session = await startBrowser(); });
  after(() => session?.close());

  for (const screen of SCREENS) {
    test(`${screen.name}: fits, crisp, in reach`, { todo: screen.todo }, async () => {
      const page = await open(session, screen);
      try {
        // A screen that stands still: the run screen, both channels in range.
        await sleep(2500);
        await moveSlider(page, 'TrackBar1', 220);
        await moveSlider(page, 'TrackBar2', 220);
        await sleep(300);
        const fit = await page.evaluate((ids, readable) => {
          const root = document.documentElement;
          const box = (element) => element.getBoundingClientRect();
          const outside = ids.filter((id) => {
            const r = box(document.getElementById(id));
            return r.left < 0 || r.right > root.clientWidth + 0.5;
          });
          // The status bar's fields whole, between the bar's top and the
          // form's bottom (give or take a pixel of their borders).
          const [bar, form] = [box(document.getElementById('StatusBar1')),
                               box(document.getElementById('Form1'))];
          const fields = [...document.querySelectorAll('#StatusFields span:not([hidden])')]
            .filter((f) => { const r = box(f);
                             return r.top < bar.top - 1 || r.bottom > form.bottom + 1 ||
                                    r.right > root.clientWidth + 0.5 ||
                                    f.scrollWidth > f.clientWidth || f.scrollHeight > f.clientHeight; })
            .map((f) => f.textContent);
          const small = [...readable, 'SavePicture'].map((id) =>
            `${id} ${getComputedStyle(document.getElementById(id)).fontSize}`)
            .filter((text) => parseFloat(text.split(' ')[1]) < 14);
          const zoom = Number(getComputedStyle(root).getPropertyValue('--z'));
          return { scroll: root.scrollWidth - root.clientWidth, outside, fields, small, zoom,
                   narrow: document.getElementById('Form1').classList.contains('narrow') };
        }, CONTROL_IDS, readableIds(screen));
        assert.equal(fit.narrow, narrowFor(screen), 'the arrangement');
        assert.equal(fit.scroll, 0, 'no horizontal scrolling');
        assert.deepEqual(fit.outside, [], 'every control within the page');
        assert.deepEqual(fit.fields, [], 'status fields that do not fit');
        assert.deepEqual(fit.small, [], 'text under 14 CSS pixels');
        assert.ok(Number.isInteger(Math.round(fit.zoom * 2 * screen.ratio * 1e6) / 1e6));
        // The largest step: one more would not fit beside the margins (the
        // window's, or the bezel's in the narrow arrangement).
        const next = fit.zoom + 1 / (2 * screen.ratio);
        assert.ok(fit.zoom === 4 || (fit.narrow ? (310 + 16) * next > screen.width ||
                                                  (310 + 16) * next > screen.height :
                  (621 + 16) * next > screen.width || (404 + 16) * next > screen.height - 40),
                  `zoom ${fit.zoom}`);
        // The picture on screen is the canvas's frame, pixel for pixel.
        const shown = await lcdOnScreen(page, screen.ratio);
        assert.equal(shown, await readLcd(page));
      } finally {
        await page.close();
      }
    });
  }

  // Taps on every control's picture reach it, and every target takes taps
  // over 40 CSS pixels across and down through its centre.
  for (const screen of SCREENS.filter((s) => s.touch)) {
    test(`${screen.name}: touch targets`, async () => {
      const page = await open(session, screen, '');
      try {
        const misses = await page.evaluate((ids, wanted) => {
          const found = [];
          const owner = (id) => document.getElementById(id);
          const hits = (id, x, y) => {
            const target = document.elementFromPoint(x, y);
            return target !== null && (target === owner(id) || owner(id).contains(target));
          };
          // The run of hits along a line through (x, y), in CSS pixels.
          const extent = (id, x, y, dx, dy) => {
            let run = 0;
            for (const sign of [-1, 1])
              for (let d = 0.25; d < 60 && hits(id, x + sign * dx * d, y + sign * dy * d); d += 0.25)
                run += 0.25;
            return run;
          };
          for (const id of ids.filter((i) => i !== 'StatusBar1')) {
            owner(id).scrollIntoView({ block: 'center' });  // below a low screen's fold
            const r = owner(id).getBoundingClientRect();
            const [x, y] = [(r.left + r.right) / 2, (r.top + r.bottom) / 2];
            if (!hits(id, x, y)) found.push(`${id} at its centre`);
            const across = extent(id, x, y, 1, 0);
            const down = extent(id, x, y, 0, 1);
            if (across < wanted || down < wanted) found.push(`${id} ${across} x ${down}`);
          }
          return found;
        }, CONTROL_IDS, 39.5);
        assert.deepEqual(misses, []);
      } finally {
        await page.close();
      }
    });
  }

  test('narrower than the smallest zoom: scrolls from the left edge', async () => {
    const page = await open(session, { width: 280, height: 500, ratio: 1, touch: false });
    try {
      const edge = await page.evaluate(() => ({
        left: document.getElementById('Form1').getBoundingClientRect().left,
        scrollable: document.documentElement.scrollWidth > document.documentElement.clientWidth,
      }));
      assert.deepEqual(edge, { left: 0, scrollable: true });
    } finally {
      await page.close();
    }
  });
});
