// Shared by the browser test and the benchmark: serving the built page on
// 127.0.0.1, starting Debian's chromium headless, reading the game's screen
// off the page's canvas, and touching the picture.
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const CHROMIUM = process.env.RT_CHROMIUM || '/usr/bin/chromium';

// Serves `folder` with Python's http.server on a free port of 127.0.0.1.
export async function serve(folder) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1',
                                   '--directory', folder, '0'],
                       {stdio: ['ignore', 'pipe', 'pipe']});
  const port = await new Promise((resolve, reject) => {
    let seen = '';
    const timer = setTimeout(() => reject(new Error('http.server did not start')), 10000);
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const match = /port (\d+)/.exec(seen);
      if (match) {
        clearTimeout(timer);
        resolve(Number(match[1]));
      }
    });
    server.on('exit', (code) => reject(new Error(`http.server ended with ${code}`)));
  });
  // Its request log: "GET /index.wasm HTTP/1.1" 200 -, one line each.
  const requests = [];
  let log = '';
  server.stderr.on('data', (chunk) => {
    log += chunk;
    const lines = log.split('\n');
    log = lines.pop();
    for (const line of lines) {
      const match = /"GET ([^ ]*) [^"]*" (\d+)/.exec(line);
      if (match) requests.push({path: match[1], status: Number(match[2])});
    }
  });
  return {url: `http://127.0.0.1:${port}/`, stop: () => server.kill(), requests};
}

// Debian's chromium, headless, with a fresh profile that is removed on close.
export async function launch() {
  const profile = mkdtempSync(path.join(tmpdir(), 'rt-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${profile}`],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

// The game's pixel at screen position x, y as [r, g, b], read off the canvas
// (which holds every game pixel as a whole square of canvas pixels).
export function pixel(page, x, y) {
  return page.evaluate((x, y) => {
    const canvas = document.getElementById('screen');
    const factor = canvas.width / 800;
    const d = canvas.getContext('2d').getImageData(x * factor, y * factor, 1, 1).data;
    return [d[0], d[1], d[2]];
  }, x, y);
}

// How many game pixels in the rectangle satisfy `test` ([r, g, b] => bool,
// given as the source text of a function).
export function countPixels(page, x1, y1, x2, y2, test) {
  return page.evaluate((x1, y1, x2, y2, testSource) => {
    const test = eval(testSource);
    const canvas = document.getElementById('screen');
    if (!canvas) return 0;  // a page reloading has no picture yet
    const f = canvas.width / 800;
    const d = canvas.getContext('2d').getImageData(x1 * f, y1 * f, (x2 - x1 + 1) * f,
                                                   (y2 - y1 + 1) * f).data;
    const rowBytes = (x2 - x1 + 1) * f * 4;
    let count = 0;
    for (let y = 0; y <= y2 - y1; y++) {
      for (let x = 0; x <= x2 - x1; x++) {
        const i = y * f * rowBytes + x * f * 4;
        if (test([d[i], d[i + 1], d[i + 2]])) count++;
      }
    }
    return count;
  }, x1, y1, x2, y2, test.toString());
}

// The field's 20 x 14 cells whose centre is black: the empty cell, as
// [column, row] counted from 0.
export async function blackCells(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const f = canvas.width / 800;
    const d = canvas.getContext('2d').getImageData(0, 0, canvas.width, 560 * f).data;
    const cells = [];
    for (let row = 0; row < 14; row++) {
      for (let column = 0; column < 20; column++) {
        const i = ((row * 40 + 20) * f * canvas.width + (column * 40 + 20) * f) * 4;
        if (d[i] === 0 && d[i + 1] === 0 && d[i + 2] === 0) cells.push([column, row]);
      }
    }
    return cells;
  });
}

// A finger on game pixel x, y of the picture, wherever the page shows it
// (the page must have touch emulation on).
export async function tapPicture(page, x, y) {
  const box = await page.evaluate(() => {
    const r = document.getElementById('screen').getBoundingClientRect();
    return {left: r.left, top: r.top, width: r.width, height: r.height};
  });
  await page.touchscreen.tap(box.left + (x + 0.5) * box.width / 800,
                             box.top + (y + 0.5) * box.height / 600);
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Waits until `check()` gives a true value and returns it; fails after
// `seconds` naming `what`.
export async function until(what, check, seconds = 15) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

// Text rows and columns of the game's 8 x 16 text grid (counted from 1) as
// a rectangle of game pixels.
export function textArea(row, column, length) {
  const x = (column - 1) * 8;
  const y = (row - 1) * 16;
  return [x, y, x + 8 * length - 1, y + 15];
}

// The pixels of a stretch of the status line, as a string, to see when it
// changes: the level's number from x 624, the count of locomotives from 448.
export function statusPixels(page, x, width) {
  return page.evaluate((x, width) => {
    const canvas = document.getElementById('screen');
    const f = canvas.width / 800;
    return Array.from(canvas.getContext('2d').getImageData(x * f, 560 * f, width * f, 16 * f).data)
        .join(',');
  }, x, width);
}

// The list of best scores as the page keeps it, bytes; null when none.
export function keptList(page) {
  return page.evaluate(() => {
    try {
      return Array.from(FS.readFile('/game/Data/High.dat'));
    } catch (error) {
      return null;
    }
  });
}
