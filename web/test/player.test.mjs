// Scenarios played by the page through its own controls (the ON button's
// function, the keys, the sliders and check boxes as a user moves them, the
// page's tick), by the workbench module's driver: every scenario of
// tests/scenarios/ (the bad ones too) and web/test/scenarios/ gives the
// native runner's status, errors and frames. And ?play= links, good and bad.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';

import { ROOT, framesOf, runNative } from '../browser/native.mjs';
import { TIMEOUT_MS, pageForSuite, reload } from '../browser/page.mjs';

const FOLDERS = ['web/test/scenarios', 'tests/scenarios', 'tests/scenarios/bad'];
const scripts = FOLDERS.flatMap((folder) => fs.readdirSync(path.join(ROOT, folder))
  .filter((f) => f.endsWith('.scn')).map((f) => `${folder}/${f}`)).sort();

const statusBar = (page) => page.$eval('#StatusBar1', (bar) => bar.textContent);
// Waits for the status bar to say `text`; a timeout reports what it says.
const statusSays = (page, text) => page.waitForFunction(
  (wanted) => document.getElementById('StatusBar1').textContent === wanted,
  { timeout: TIMEOUT_MS }, text).catch(async () => assert.equal(await statusBar(page), text));

describe('scenarios played through the page\'s controls', { timeout: 300000 }, () => {
  const suite = pageForSuite({
    // A script may leave the instrument on: the next one's reload may go.
    ready: ({ page }) => page.on('dialog', (dialog) => dialog.accept()),
  });

  // The passes run back to back, and at each the LCD the page shows must be
  // the frame the instrument drew; the files a script names come from the
  // repository as the test's server serves it.
  for (const file of scripts) {
    test(`${file}: the native runner's status, errors and frames`, async () => {
      await reload(suite.page);
      const run = await suite.page.evaluate((name, text) => window.dg2.playText(name, text, async (f) => {
        const response = await fetch(`/repo/${f}`);
        return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
      }, { backToBack: true, checkShown: true }), file, fs.readFileSync(path.join(ROOT, file), 'utf8'));
      const native = runNative(file);
      assert.equal(run.status, native.status, `${run.message}\n${native.errors}`);
      assert.equal(run.errors, native.errors);
      assert.deepEqual(framesOf(run.output), framesOf(native.output));
      assert.equal(await statusBar(suite.page),
                   native.status === 0 ? `${file}: ok` : native.errors.split('\n')[0]);
    });
  }

  test('?play= plays beside the page at its pace, the controls moving', async () => {
    const name = '../repo/web/test/scenarios/alarm.scn';
    const lines = fs.readFileSync(path.join(ROOT, 'web/test/scenarios/alarm.scn'), 'utf8')
      .trimEnd().split('\n').length;
    await suite.page.goto(`${suite.session.base}/site/index.html?play=${name}`);
    await suite.page.waitForFunction((end) => new RegExp(`^Playing alarm\\.scn line \\d+ of ${end}$`)
      .test(document.getElementById('StatusBar1').textContent), { timeout: TIMEOUT_MS }, lines);
    await statusSays(suite.page, `${name}: ok`);
    // The script's last slider move, on the slider and its echo.
    assert.deepEqual(await suite.page.evaluate(() => [document.getElementById('TrackBar1').value,
                                                document.getElementById('Label13').textContent]),
                     ['4096', '4096']);
  });

  test('a bad ?play= link says so and leaves the page usable', async () => {
    await suite.page.goto(`${suite.session.base}/site/index.html?play=missing.scn`);
    await statusSays(suite.page, 'Cannot play missing.scn: the page has no such file beside it');
    await suite.page.goto(`${suite.session.base}/site/index.html?play=https://example.com/x.scn`);
    await suite.page.waitForFunction(() => document.getElementById('StatusBar1').textContent
      .startsWith('?play= names no scenario beside the page'), { timeout: TIMEOUT_MS });
    await suite.page.click('#Button1');
    await suite.page.waitForFunction(() => window.dg2.depth() === 1, { timeout: TIMEOUT_MS });
  });

  test('Play scenario...: a script and the files it names, chosen together', async () => {
    const script = path.join(ROOT, 'tests/scenarios/workbench_values.scn');
    const named = ['examples/settings/oil_psi_coolant_f.toml',
                   'examples/settings/fuel_rotax_oil_lm335.toml',
                   'tests/scenarios/workbench/user_curve.toml',
                   'tests/scenarios/workbench/swapped_channels.toml'].map((f) => path.join(ROOT, f));
    const choose = async (files) => {
      await reload(suite.page);
      const [chooser] = await Promise.all([suite.page.waitForFileChooser(),
                                           suite.page.evaluate(() => { window.dg2.playScenario(); })]);
      await chooser.accept(files);
    };
    await choose([script, named[0]]);
    await statusSays(suite.page, 'workbench_values.scn needs ../../examples/settings/' +
                     'fuel_rotax_oil_lm335.toml, which was not chosen: choose it together with ' +
                     'the scenario');
    await choose([script, ...named]);
    await statusSays(suite.page, 'workbench_values.scn: ok');
  });

  // A reload cuts short what the page was still fetching (the bezel
  // pictures): only a request the server refused counts.
  test('no page error or HTTP error but the missing file\'s', () => {
    assert.deepEqual(suite.problems.filter((p) => !/missing\.scn|404|^request failed: /.test(p)), []);
  });
});
