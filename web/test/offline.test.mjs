// The page's size budgets, offline once loaded (service worker) and opened
// from disk.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { WEB_BUILD } from '../browser/native.mjs';
import { TIMEOUT_MS, openPage, startBrowser, whenReady } from '../browser/page.mjs';

const SITE = path.join(WEB_BUILD, 'site');
const FIRST_LOAD_BUDGET = 150 * 1024;
const WHOLE_BUDGET = 600 * 1024;
const isModule = (name) => /\.(js|wasm)$/.test(name);

describe('sizes, offline and from disk', { timeout: 120000 }, () => {
  let session;
  before(async () => { session = await startBrowser(); });
  after(() => session?.close());

  // What the page fetched before it was ready, as the files' sizes.
  test('first load under 150 KB of wasm and script, every module under 600 KB', async () => {
    const page = await session.browser.newPage();
    const fetched = new Set();
    page.on('response', (response) => {
      const name = path.basename(new URL(response.url()).pathname);
      if (isModule(name)) fetched.add(name);
    });
    await page.goto(`${session.base}/site/index.html`, { waitUntil: 'load' });
    await whenReady(page);
    const first = [...fetched].filter((name) => name !== 'sw.js');
    await page.close();
    const size = (name) => fs.statSync(path.join(SITE, name)).size;
    const firstLoad = first.reduce((total, name) => total + size(name), 0);
    const whole = fs.readdirSync(SITE).filter(isModule).reduce((total, name) => total + size(name), 0);
    assert.ok(first.includes('dg2_core.wasm') && !first.includes('dg2_workbench.wasm'), first.join());
    assert.ok(firstLoad < FIRST_LOAD_BUDGET, `first load ${firstLoad} B: ${first.join(', ')}`);
    assert.ok(whole < WHOLE_BUDGET, `every module ${whole} B`);
  });

  test('once loaded, it is installable and works offline: ON, the workbench module, the bezel', async () => {
    const { page, problems } = await openPage(session);
    await page.waitForFunction(() => window.dg2.offlineReady(), { timeout: TIMEOUT_MS });
    // Every file of the site is kept, in one cache named after the build.
    const kept = await page.evaluate(async () => {
      const names = (await caches.keys()).filter((name) => name.startsWith('dg2-'));
      const cache = await caches.open(names[0]);
      const files = (await cache.keys()).map((request) => request.url.replace(/.*\/site\//, ''));
      return { caches: names.length, files: files.sort() };
    });
    const site = fs.readdirSync(SITE).filter((name) => !['sw.js', 'offline_files.js'].includes(name));
    assert.deepEqual(kept, { caches: 1, files: ['', ...site].sort() });
    // The browser would install it.
    const client = await page.createCDPSession();
    assert.deepEqual(await client.send('Page.getInstallabilityErrors'), { installabilityErrors: [] });
    assert.deepEqual(problems, []);
    // Offline, the worker tries the network first: its failed requests are
    // expected, errors are not.
    await page.setOfflineMode(true);
    await page.reload({ waitUntil: 'load' });
    await whenReady(page);
    const offline = await page.evaluate(async () => {
      const { default: create } = await import('./dg2_workbench.js');
      const workbench = await create();
      return { record: workbench._dg2_record_size() > 0,
               bezel: document.getElementById('Image2').naturalWidth > 0,
               manifest: (await fetch('manifest.webmanifest')).ok };
    });
    assert.deepEqual(offline, { record: true, bezel: true, manifest: true });
    await page.click('#Button1');
    await page.waitForFunction(() => window.dg2.depth() === 1, { timeout: TIMEOUT_MS });
    await page.setOfflineMode(false);
    assert.deepEqual(problems.filter((problem) => !problem.startsWith('request failed')), []);
    await page.close();
  });

  test('opened from disk, it says how to serve it', async () => {
    const page = await session.browser.newPage();
    await page.goto(`file://${path.join(SITE, 'index.html')}`, { waitUntil: 'load' });
    const shown = await page.evaluate(() => ({
      message: document.getElementById('FromDisk').hidden ? '' :
        document.getElementById('FromDisk').textContent,
      status: document.getElementById('StatusBar1').textContent,
    }));
    assert.match(shown.message, /make web-serve/);
    assert.match(shown.status, /make web-serve/);
    await page.close();
  });
});
