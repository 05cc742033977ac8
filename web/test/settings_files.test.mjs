// Settings files in the page: one loaded into the running instrument shows as
// natively, one too large is refused in a warning box, and saving gives the
// native runner's file byte for byte.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { describe, test } from 'node:test';

import { ROOT, nativeFrames } from '../browser/native.mjs';
import { TIMEOUT_MS, pageForSuite, sleep, waitForFrame } from '../browser/page.mjs';

describe('settings files', { timeout: 120000 }, () => {
  const example = path.join(ROOT, 'examples/settings/boost_gauge.toml');
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-web-settings-'));
  const saved = path.join(scratch, 'native.toml');
  const downloads = path.join(scratch, 'downloads');
  const [runDark, runLit] = nativeFrames('on\ndump\nticks 11\npasses 1\ndump\n');
  const loaded = nativeFrames(`on\nload-settings ${example}\npasses 2\ndump\nticks 11\npasses 1\n` +
                              `dump\nsave-settings ${saved}\n`);
  const suite = pageForSuite({ cleanUp: () => fs.rmSync(scratch, { recursive: true, force: true }) });

  test('a settings file loads as natively', async () => {
    // The page's sliders start where the native runner's do.
    await suite.page.click('#Button1');
    await waitForFrame(suite.page, [runDark, runLit]);
    const [chooser] = await Promise.all([suite.page.waitForFileChooser(), suite.page.click('#LoadSettings')]);
    await chooser.accept([example]);
    const seen = await waitForFrame(suite.page, loaded);
    assert.ok(seen.ok, `${seen.frame}\n${await suite.page.$eval('#StatusBar1', (e) => e.textContent)}`);
  });

  test('a settings file over 1 MB is refused unread', async () => {
    // 300 MB, sparse: refused before it is read, in the settings reader's own words.
    const big = path.join(os.tmpdir(), `dg2-web-big-${process.pid}.toml`);
    fs.closeSync(fs.openSync(big, 'w'));
    fs.truncateSync(big, 300 * 1024 * 1024);
    try {
      const [chooser] = await Promise.all([suite.page.waitForFileChooser(),
                                           suite.page.click('#LoadSettings')]);
      await chooser.accept([big]);
      const refusal = `${path.basename(big)}: 314572800 bytes; a settings file has at most 1 MB ` +
                      '(1048576 bytes)';
      const refused = await suite.page.waitForFunction(
        (text) => document.getElementById('StatusBar1').textContent === text,
        { timeout: TIMEOUT_MS }, refusal).then(() => true, () => false);
      assert.ok(refused, await suite.page.$eval('#StatusBar1', (e) => e.textContent));
      // And whole in a warning box, which a click closes.
      const box = await suite.page.waitForSelector('dialog[role=alertdialog][open]');
      assert.equal(await box.$eval('p', (p) => p.textContent),
                   `${refusal}\n\nThe instrument's settings are unchanged.`);
      await box.$eval('button', (button) => button.click());
    } finally {
      fs.rmSync(big, { force: true });
    }
  });

  test('saved settings equal the native runner\'s file', async () => {
    fs.mkdirSync(downloads);
    const cdp = await suite.page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await suite.page.click('#SaveSettings');
    // Under the name offered.
    await suite.page.waitForSelector('dialog[open] input[type=text]');
    await suite.page.keyboard.press('Enter');
    const file = path.join(downloads, 'dg2-settings.toml');
    for (const until = Date.now() + TIMEOUT_MS; !fs.existsSync(file) && Date.now() < until;)
      await sleep(100);
    assert.ok(fs.existsSync(file), 'no file was downloaded');
    assert.equal(fs.readFileSync(file, 'utf8'), fs.readFileSync(saved, 'utf8'));
  });

  test('no console error, failed request or page error', () => {
    assert.deepEqual(suite.problems, []);
  });
});
