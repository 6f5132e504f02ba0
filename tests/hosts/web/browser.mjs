// Shared by the browser test and the benchmark: serving the built page on
// 127.0.0.1, starting Debian's chromium headless, and reading the game's
// screen off the page's canvas.
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
  server.stderr.resume();  // its request log
  return {url: `http://127.0.0.1:${port}/`, stop: () => server.kill()};
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
