// The page's figures for the README: its size, the time to its first LCD
// frame and the renderer's CPU share beside a bare page with a 50 Hz timer,
// all in one run: the page off; on with the power-on alarms flashing, on the
// run screen once they are acknowledged, a steady screen in turns with the
// page switched off, in the main menu; a slider dragged.
//   node web/tools/figures.mjs    (make web-figures)
// In a browser of its own, one tab at a time, so that only that tab's
// renderer counts. DG2_WEB_BUILD names the page's build (web/browser/native.mjs).
import fs from 'node:fs';
import path from 'node:path';

import { WEB_BUILD } from '../browser/native.mjs';
import { TIMEOUT_MS, moveSlider, openPage, sleep, startBrowser } from '../browser/page.mjs';

const SECONDS = Number(process.env.DG2_FIGURE_SECONDS) || 8;
// Turns of a steady screen and of the page switched off.
const TURNS = Number(process.env.DG2_FIGURE_TURNS) || 5;

// The page's first load is its own script and the instrument's module; the
// workbench module (dg2_workbench.*) and the modules of the workbench's
// functions come on first use, the service worker's files once the page is
// ready.
const site = path.join(WEB_BUILD, 'site');
const sizes = fs.readdirSync(site).filter((f) => /\.(js|wasm)$/.test(f)).sort()
  .map((f) => [f, fs.statSync(path.join(site, f)).size]);
const later = (f) => /^(dg2_workbench|dg2_settings|menu_view|dialogs|zoom|pictures|sensors|help|player|session|sensor_log|links)\.|^(sw|offline_files)\.js$/
  .test(f);
const sum = (list) => list.reduce((total, [, size]) => total + size, 0);
console.log(`figure: first load ${sum(sizes.filter(([f]) => !later(f)))} B of wasm and script (${
  sizes.filter(([f]) => !later(f)).map(([f, s]) => `${f} ${s}`).join(', ')}), later ${
  sum(sizes.filter(([f]) => later(f)))} B more, together ${sum(sizes)} B`);

// CPU time of every thread of the given processes, in nanoseconds, by
// thread (the scheduler's own count, not /proc/PID/stat's 10 ms steps, which
// are too coarse for a share under one per cent).
function threadTimes(pids) {
  const times = new Map();
  for (const pid of pids) {
    let tasks = [];
    try {
      tasks = fs.readdirSync(`/proc/${pid}/task`);
    } catch {
      continue;  // a spare renderer the browser let go
    }
    for (const task of tasks) {
      try {
        times.set(task, Number(fs.readFileSync(`/proc/${pid}/task/${task}/schedstat`, 'utf8')
          .split(' ')[0]));
      } catch { /* ended */ }
    }
  }
  return times;
}

// Seconds of CPU between two readings; a thread that ended in between
// counts nothing, one that started counts from zero.
function cpuSeconds(before, after) {
  let total = 0;
  for (const [task, ns] of after) total += ns - (before.get(task) ?? 0);
  return total / 1e9;
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

// Renderer CPU share over SECONDS, in per cent of one core, while `during`
// runs (if given); printed with the page's passes and its loop's wakes per
// tick where it has them.
async function measure(session, page, label, during = null) {
  const renderers = renderersOf(session.browser.process().pid);
  const counts = () => page.evaluate(() => window.dg2?.passCounts?.() ?? null);
  const before = threadTimes(renderers);
  const passesBefore = await counts();
  const start = Date.now();
  const until = start + SECONDS * 1000;
  if (during) await during(until);
  await sleep(until - Date.now());
  const elapsed = (Date.now() - start) / 1000;
  const share = cpuSeconds(before, threadTimes(renderers)) / elapsed * 100;
  const passesAfter = await counts();
  const perTick = (what) => ((passesAfter[what] - passesBefore[what]) /
    (passesAfter.ticks - passesBefore.ticks)).toFixed(2);
  const passes = passesBefore && passesAfter
    ? `, ${perTick('passes')} passes and ${perTick('wakes')} loop wakes a tick` : '';
  console.log(`figure: renderer CPU, ${label}: ${share.toFixed(2)} % of one core over ${
    elapsed.toFixed(1)} s${passes}`);
  return share;
}

// The mouse drags slider 1's thumb to and fro, a move every 16 ms.
async function drag(page, state, slider = '#TrackBar1') {
  const track = await page.$eval(slider, (element) => element.getBoundingClientRect().toJSON());
  const y = track.y + track.height / 2;
  const at = (i) => track.x + 10 + ((track.width - 20) * Math.abs(((i / 120) % 2) - 1));
  await page.mouse.move(at(0), y);
  await page.mouse.down();
  await measure(session, page, `${state}, slider 1 dragged with the mouse (60 moves a second)`,
                async (until) => {
                  for (let i = 1; Date.now() < until; ++i) {
                    await page.mouse.move(at(i), y);
                    await sleep(16);
                  }
                });
  await page.mouse.up();
}

const session = await startBrowser();
try {
  const { browser } = session;
  for (const blank of await browser.pages()) await blank.close();

  const bare = await browser.newPage();
  await bare.goto(`${session.base}/blank.html`);
  await bare.evaluate(() => { setInterval(() => {}, 20); });
  await sleep(1000);
  await measure(session, bare, 'bare page with a 50 Hz timer');
  // The browser's own cost of a dragged slider, for comparison.
  await bare.evaluate(() => {
    document.body.innerHTML = '<input id="Bare" type="range" max="4096" style="width: 280px">';
  });
  await drag(bare, 'bare page', '#Bare');
  // The floor: the same mouse moves over a plain block that never changes.
  await bare.evaluate(() => {
    document.body.innerHTML = '<div id="Block" style="width: 280px; height: 24px"></div>';
  });
  await drag(bare, 'bare page, nothing under the mouse changes', '#Block');
  await bare.close();

  let { page } = await openPage(session);
  // The engine optimises the freshly loaded module in the background first.
  await sleep(3000);
  await measure(session, page, 'instrument off');
  await page.close();

  ({ page } = await openPage(session, { hash: '#on' }));
  await page.waitForFunction(() => window.dg2Timing.firstFrame !== null, { timeout: TIMEOUT_MS });
  const timing = await page.evaluate(() => window.dg2Timing);
  console.log(`figure: page ready ${timing.ready.toFixed(0)} ms, first LCD frame painted ${
    timing.firstFrame.toFixed(0)} ms after navigation start (powered on at load, #on)`);
  await sleep(3000);  // splash over: the power-on alarms flash
  await measure(session, page, 'on, power-on alarms flashing');
  await page.keyboard.press('Enter');  // acknowledges them
  await sleep(1000);
  await measure(session, page, 'on, run screen, alarms acknowledged');
  await moveSlider(page, 'TrackBar1', 220);
  await moveSlider(page, 'TrackBar2', 220);
  // A steady screen beside the same page switched off, in turns, so that
  // the machine's other load weighs on both alike; each measured once the
  // engine has done the work a change leaves it: the optimising compiler and
  // the collector run in the background for a second or two, and after a
  // power-on (the splash's frames, the alarms' flashing) for several seconds
  // more; DG2_FIGURE_SETTLE_MS sets the wait.
  const SETTLE_MS = Number(process.env.DG2_FIGURE_SETTLE_MS) || 10000;
  // The engine's one large clean-up after a page's start comes about half a
  // minute after it loads (a tenth of a second of work on the main and the
  // background threads, the instrument on or off): the turns begin after it.
  const START_UP_MS = 40000;
  const age = await page.evaluate(() => performance.now());
  await sleep(Math.max(SETTLE_MS, START_UP_MS - age));
  const steady = [];
  const off = [];
  for (let turn = 0; turn < TURNS; ++turn) {
    steady.push(await measure(session, page, 'on, run screen steady (both channels in range)'));
    await page.click('#Button2');
    await sleep(SETTLE_MS);
    off.push(await measure(session, page, 'the same page switched off'));
    await page.click('#Button1');
    await sleep(3500);  // the splash, then the power-on alarms
    await page.keyboard.press('Enter');
    await sleep(SETTLE_MS);
  }
  const total = (list) => list.reduce((a, b) => a + b, 0);
  const turns = steady.map((on, i) => on / off[i]).sort((a, b) => a - b);
  console.log(`figure: steady screen on / the same page off: ${
    (total(steady) / total(off)).toFixed(2)} x over ${TURNS} turns of each (a turn's own: ${
    turns[0].toFixed(2)} to ${turns[TURNS - 1].toFixed(2)} x)`);
  await page.keyboard.press('Enter');  // the main menu
  await sleep(1000);
  await measure(session, page, 'on, main menu');
  await page.keyboard.press('Enter');  // EXIT MENU: back to the run screen
  await sleep(500);
  await drag(page, 'on');
  await page.click('#Button2');
  await sleep(500);
  await drag(page, 'off');
} finally {
  await session.close();
}
