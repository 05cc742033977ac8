// The page in headless Chromium: Debian's own (/usr/bin/chromium, or
// CHROMIUM), driven by puppeteer-core, which never downloads a browser. The
// page's build folder is served from 127.0.0.1 on a free port.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before } from 'node:test';
import puppeteer from 'puppeteer-core';

import { ROOT, WEB_BUILD } from './native.mjs';

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
export const TIMEOUT_MS = 10000;

const TYPES = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript',
                '.wasm': 'application/wasm', '.jpg': 'image/jpeg', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml' };

// A static server of the build folder; /blank.html is an empty page to run
// modules in.
function serve(root) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    if (url.pathname === '/blank.html') {
      response.writeHead(200, { 'Content-Type': 'text/html' });
      response.end('<!doctype html><title>scenarios</title><link rel="icon" href="data:,">');
      return;
    }
    // /repo/... serves the repository's files (scenarios and the files they
    // name), as if they sat beside the page.
    const [base, name] = url.pathname.startsWith('/repo/') ? [ROOT, url.pathname.slice(5)]
                                                           : [root, url.pathname];
    let file = path.join(base, path.normalize(decodeURIComponent(name)));
    // A folder is its index.html, as on any web server.
    if (file.startsWith(base + path.sep) && fs.existsSync(file) && fs.statSync(file).isDirectory())
      file = path.join(file, 'index.html');
    if (!file.startsWith(base + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Chromium with a profile of its own and the server; close() ends both and
// removes the profile. `base` is the server's address.
export async function startBrowser() {
  const server = await serve(WEB_BUILD);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-chromium-'));
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath: CHROMIUM,
      headless: true,
      userDataDir: profile,
      args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
  } catch (error) {
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
    throw error;
  }
  return {
    browser,
    base: `http://127.0.0.1:${server.address().port}`,
    async close() {
      try {
        await browser.close();
      } finally {
        server.close();
        fs.rmSync(profile, { recursive: true, force: true });
      }
    },
  };
}

// The page, loaded and ready for input. Console errors and warnings, page
// errors, failed requests and HTTP errors are collected in `problems`.
export async function openPage(session, { hash = '', viewport = { width: 1000, height: 700 } } = {}) {
  const page = await session.browser.newPage();
  await page.setViewport(viewport);
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning')
      problems.push(`console ${message.type()}: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) problems.push(`HTTP ${response.status()}: ${response.url()}`);
  });
  await page.goto(`${session.base}/site/index.html${hash}`, { waitUntil: 'load' });
  await whenReady(page);
  return { page, problems };
}

// One browser and one page for a suite of tests (a `describe` block): its
// `before` starts the browser, opens the page with `options` (as openPage)
// and fills in `.session`, `.page` and `.problems`, then runs `ready(suite)`
// if given; its `after` closes the browser, then runs `cleanUp()` if given.
export function pageForSuite({ ready, cleanUp, ...options } = {}) {
  const suite = { session: null, page: null, problems: null };
  before(async () => {
    suite.session = await startBrowser();
    ({ page: suite.page, problems: suite.problems } = await openPage(suite.session, options));
    await ready?.(suite);
  });
  after(async () => {
    try {
      await suite.session?.close();
    } finally {
      await cleanUp?.();
    }
  });
  return suite;
}

export function whenReady(page) {
  return page.waitForFunction(() => window.dg2Timing && window.dg2Timing.ready !== null,
                              { timeout: TIMEOUT_MS });
}

// A fresh instrument, as a native run starts afresh.
export async function reload(page) {
  await page.reload({ waitUntil: 'load' });
  await whenReady(page);
}

// The LCD canvas read back and decoded to 114 x 64 ('#' lit). The canvas
// holds the window's 230 x 134 picture at the screen's device pixels, so an
// LCD pixel is a square of `side` canvas pixels (2 at zoom 1 on an ordinary
// screen); each must be of one colour, else the frame is reported as broken.
export function readLcd(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('Image1');
    const side = Math.round((2 * canvas.width) / 230);
    const width = 114 * side;
    const data = canvas.getContext('2d').getImageData(0, 0, width, 64 * side).data;
    const rows = [];
    for (let y = 0; y < 64; ++y) {
      let row = '';
      for (let x = 0; x < 114; ++x) {
        const at = (dx, dy) => data[((y * side + dy) * width + x * side + dx) * 4];
        const value = at(0, 0);
        for (let dy = 0; dy < side; ++dy)
          for (let dx = 0; dx < side; ++dx)
            if (at(dx, dy) !== value) return 'broken block';
        row += value < 128 ? '#' : '.';
      }
      rows.push(row);
    }
    return rows.join('\n');
  });
}

// Waits until the LCD shows one of the wanted frames: { ok, frame }, the
// frame last seen when none came in time.
export async function waitForFrame(page, wanted) {
  const until = Date.now() + TIMEOUT_MS;
  let frame = '';
  while (Date.now() < until) {
    frame = await readLcd(page);
    if (wanted.includes(frame)) return { ok: true, frame };
    await sleep(50);
  }
  return { ok: false, frame };
}

export function moveSlider(page, id, position) {
  return page.$eval(`#${id}`, (slider, value) => {
    slider.value = String(value);
    slider.dispatchEvent(new Event('input', { bubbles: true }));
  }, position);
}

export function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}
