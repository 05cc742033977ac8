// The README's picture of the page: powered on, both channels between their
// alarm limits, as headless Chromium shows it.
//   node web/tools/picture.mjs docs/pictures/web_page.png    (make pictures)
// DG2_WEB_BUILD and DG2_SCENARIO name the builds (web/browser/native.mjs).
import fs from 'node:fs';
import path from 'node:path';

import { nativeFrames } from '../browser/native.mjs';
import { TIMEOUT_MS, moveSlider, openPage, startBrowser, waitForFrame } from '../browser/page.mjs';

const [target] = process.argv.slice(2);
if (!target) {
  console.error('usage: node web/tools/picture.mjs FILE.png');
  process.exit(2);
}
const file = path.resolve(target);
const session = await startBrowser();
try {
  const { page } = await openPage(session, { hash: '#on', viewport: { width: 700, height: 520 } });
  await page.waitForFunction(() => window.dg2Timing.firstFrame !== null, { timeout: TIMEOUT_MS });
  const [runDark, runLit, runScreen] = nativeFrames(
    'on\ndump\nticks 11\npasses 1\ndump\nslider 1 220\nslider 2 220\npasses 2\ndump\n');
  await waitForFrame(page, [runDark, runLit]);
  await moveSlider(page, 'TrackBar1', 220);
  await moveSlider(page, 'TrackBar2', 220);
  const seen = await waitForFrame(page, [runScreen]);
  if (!seen.ok) throw new Error('the run screen did not appear');
  // Written whole or not at all.
  const temporary = `${file}.tmp.png`;
  await (await page.$('main')).screenshot({ path: temporary });
  fs.renameSync(temporary, file);
  console.log(`wrote ${file}`);
} finally {
  await session.close();
}
