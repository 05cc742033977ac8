// Same firmware, same frames: every scenario of tests/scenarios/ (the bad
// ones too) and web/test/scenarios/ runs natively and in the browser (the
// runner compiled to WebAssembly) with the same status, output and errors.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { ROOT, framesOf, runNative } from '../browser/native.mjs';
import { startBrowser } from '../browser/page.mjs';

const FOLDERS = ['web/test/scenarios', 'tests/scenarios', 'tests/scenarios/bad'];
const scripts = FOLDERS.flatMap((folder) => fs.readdirSync(path.join(ROOT, folder))
  .filter((f) => f.endsWith('.scn')).map((f) => `${folder}/${f}`)).sort();
const native = new Map(scripts.map((file) => [file, runNative(file)]));

describe('the same scenarios natively and in the browser', { timeout: 300000 }, () => {
  let session;
  const browserRuns = new Map();
  before(async () => {
    session = await startBrowser();
    const page = await session.browser.newPage();
    await page.goto(`${session.base}/blank.html`);
    const texts = scripts.map((f) => [f, fs.readFileSync(path.join(ROOT, f), 'utf8')]);
    const runs = await page.evaluate(async (list) => {
      const { default: create } = await import('/scenario/dg2_scenario.js');
      // A fresh instance for each script, as each native run is a fresh
      // process: the instrument's globals start from zero.
      const results = [];
      for (const [file, text] of list) {
        const runner = await create();
        results.push({
          status: runner.ccall('dg2_run_scenario', 'number', ['string', 'string'], [file, text]),
          output: runner.ccall('dg2_scenario_output', 'string', [], []),
          errors: runner.ccall('dg2_scenario_errors', 'string', [], []),
        });
      }
      return results;
    }, texts);
    scripts.forEach((file, i) => browserRuns.set(file, runs[i]));
    await page.close();
  });
  after(() => session?.close());

  for (const file of scripts) {
    const run = native.get(file);
    const frames = framesOf(run.output).length;
    test(`${file}: same status, output and ${frames} frames natively and in the browser`, () => {
      const web = browserRuns.get(file);
      assert.deepEqual(web, run,
                       `native ${run.status}: ${run.errors}\nbrowser ${web?.status}: ${web?.errors}`);
    });
    if (file.startsWith('web/')) {
      test(`${file}: passes and has checkpoints`, () => {
        assert.equal(run.status, 0, run.errors);
        assert.ok(frames > 0, 'no frame dumped');
      });
    }
  }
});
