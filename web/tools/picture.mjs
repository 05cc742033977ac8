// The README's pictures of the page: powered on, both channels between their
// alarm limits, as headless Chromium shows it: the page itself (web_page.png)
// and the whole screen of a phone, a tablet and a desktop (web_phone.png,
// web_tablet.png, web_desktop.png).
//   node web/tools/picture.mjs docs/pictures    (make pictures)
// DG2_WEB_BUILD and DG2_SCENARIO name the builds (web/browser/native.mjs).
import fs from 'node:fs';
import path from 'node:path';

import { nativeFrames } from '../browser/native.mjs';
import { TIMEOUT_MS, moveSlider, openPage, startBrowser, waitForFrame } from '../browser/page.mjs';

const PICTURES = [
  { file: 'web_page.png', viewport: { width: 700, height: 520 }, only: 'main' },
  { file: 'web_phone.png',
    viewport: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true } },
  { file: 'web_tablet.png',
    viewport: { width: 820, height: 1180, deviceScaleFactor: 2, isMobile: true, hasTouch: true } },
  { file: 'web_desktop.png', viewport: { width: 1366, height: 768 } },
];

const [folder] = process.argv.slice(2);
if (!folder) {
  console.error('usage: node web/tools/picture.mjs FOLDER');
  process.exit(2);
}
const [runDark, runLit, runScreen] = nativeFrames(
  'on\ndump\nticks 11\npasses 1\ndump\nslider 1 220\nslider 2 220\npasses 2\ndump\n');
const session = await startBrowser();
try {
  for (const { file, viewport, only } of PICTURES) {
    const { page } = await openPage(session, { hash: '#on', viewport });
    await page.waitForFunction(() => window.dg2Timing.firstFrame !== null, { timeout: TIMEOUT_MS });
    await waitForFrame(page, [runDark, runLit]);
    await moveSlider(page, 'TrackBar1', 220);
    await moveSlider(page, 'TrackBar2', 220);
    const seen = await waitForFrame(page, [runScreen]);
    if (!seen.ok) throw new Error('the run screen did not appear');
    // The larger bezel pictures, where the screen takes them, are in.
    await page.waitForFunction(() => document.getElementById('Image2').complete,
                               { timeout: TIMEOUT_MS });
    // Written whole or not at all.
    const target = path.resolve(folder, file);
    const temporary = `${target}.tmp.png`;
    if (only) await (await page.$(only)).screenshot({ path: temporary });
    else await page.screenshot({ path: temporary, captureBeyondViewport: false });
    fs.renameSync(temporary, target);
    console.log(`wrote ${target}`);
    await page.close();
  }
} finally {
  await session.close();
}
