// A page that cannot load the game says why instead of loading for ever:
// index.js or index.data missing, or the page opened from the disk.
import assert from 'node:assert/strict';
import {cpSync, mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {serve, until} from './browser.mjs';

async function failureText(browser, address) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.goto(address);
    return await until('the notice', () => page.evaluate(() => {
      const failed = document.getElementById('failed');
      return failed && !failed.hidden ? failed.textContent : null;
    }), 20);
  } finally {
    await context.close();
  }
}

export async function loadingFaults(browser, site, check) {
  await check('a missing index.js or index.data, or the page opened as a file, is said so', async () => {
    const root = mkdtempSync(path.join(tmpdir(), 'rt-broken-'));
    try {
      for (const missing of ['index.js', 'index.data']) {
        const folder = path.join(root, missing);
        cpSync(site, folder, {recursive: true});
        rmSync(path.join(folder, missing));
        const server = await serve(folder);
        try {
          const text = await failureText(browser, server.url);
          assert.match(text, /konnte nicht geladen werden/, missing);
          if (missing === 'index.js') assert.match(text, /index\.js fehlt/);
        } finally {
          server.stop();
        }
      }
      const text = await failureText(browser, 'file://' + path.resolve(site, 'index.html'));
      assert.match(text, /Webserver/);
    } finally {
      rmSync(root, {recursive: true, force: true});
    }
  });
}
