// The page's figures for the README: its size, the time to its first LCD
// frame and the renderer's CPU share with the instrument off and on.
//   node web/tools/figures.mjs    (make web-figures)
// In a browser of its own, so that only this tab's renderer counts.
// DG2_WEB_BUILD names the page's build (web/browser/native.mjs).
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { WEB_BUILD } from '../browser/native.mjs';
import { TIMEOUT_MS, moveSlider, openPage, sleep, startBrowser } from '../browser/page.mjs';

// The page's first load is its own script and the instrument's module; the
// workbench module (dg2_workbench.*) and the modules of the workbench's
// functions come on first use.
const site = path.join(WEB_BUILD, 'site');
const sizes = fs.readdirSync(site).filter((f) => /\.(js|wasm)$/.test(f)).sort()
  .map((f) => [f, fs.statSync(path.join(site, f)).size]);
const later = (f) => /^(dg2_workbench|menu_view|dialogs|zoom|pictures|sensors|help)\./.test(f);
const sum = (list) => list.reduce((total, [, size]) => total + size, 0);
console.log(`figure: first load ${sum(sizes.filter(([f]) => !later(f)))} B of wasm and script (${
  sizes.filter(([f]) => !later(f)).map(([f, s]) => `${f} ${s}`).join(', ')}), on first use ${
  sum(sizes.filter(([f]) => later(f)))} B more, together ${sum(sizes)} B`);

function processTimes(pid) {
  const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
  const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
  return Number(fields[11]) + Number(fields[12]);  // utime + stime, in clock ticks
}

function renderersOf(browserPid) {
  const children = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const parent = Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      const command = fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8');
      children.set(Number(entry), { parent, command });
    } catch { /* gone */ }
  }
  const descends = (pid) => {
    for (let p = pid; p > 1 && children.has(p); p = children.get(p).parent)
      if (p === browserPid) return true;
    return false;
  };
  return [...children].filter(([pid, { command }]) =>
    command.includes('--type=renderer') && descends(pid)).map(([pid]) => pid);
}

// Renderer CPU share of the one tab over `seconds`, from the process's own
// counters.
async function rendererShare(browser, seconds) {
  const renderers = renderersOf(browser.process().pid);
  const hz = Number(spawnSync('getconf', ['CLK_TCK'], { encoding: 'utf8' }).stdout) || 100;
  const before = renderers.map(processTimes);
  const start = Date.now();
  await sleep(seconds * 1000);
  const elapsed = (Date.now() - start) / 1000;
  const used = renderers.map((pid, i) => (processTimes(pid) - before[i]) / hz);
  const share = (t) => `${(t / elapsed * 100).toFixed(2)} %`;
  return `${share(used.reduce((a, b) => a + b, 0))} of one core over ${elapsed.toFixed(1)} s (${
    renderers.map((pid, i) => `renderer ${pid}: ${share(used[i])}`).join(', ')})`;
}

const session = await startBrowser();
try {
  const { browser } = session;
  for (const blank of await browser.pages()) await blank.close();
  let { page } = await openPage(session);
  // The engine optimises the freshly loaded module in the background first.
  await sleep(3000);
  console.log(`figure: renderer CPU, instrument off: ${await rendererShare(browser, 10)}`);
  await page.close();
  ({ page } = await openPage(session, { hash: '#on' }));
  await page.waitForFunction(() => window.dg2Timing.firstFrame !== null, { timeout: TIMEOUT_MS });
  const timing = await page.evaluate(() => window.dg2Timing);
  console.log(`figure: page ready ${timing.ready.toFixed(0)} ms, first LCD frame painted ${
    timing.firstFrame.toFixed(0)} ms after navigation start (powered on at load, #on)`);
  await moveSlider(page, 'TrackBar1', 220);
  await moveSlider(page, 'TrackBar2', 220);
  await sleep(3000);  // splash over, screen steady
  console.log(`figure: renderer CPU, instrument on, screen steady: ${
    await rendererShare(browser, 10)}`);
} finally {
  await session.close();
}
