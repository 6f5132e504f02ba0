// The page never stalls: at 4x CPU throttling no task of the page's thread
// lasts over 50 ms from the moment a seeded game starts, at level 1 and at
// level 10 (the page's ?level=N), nor while a track is built in the editor.
// The levels come from the page's worker; a screenshot at each start. Used
// by e2e.mjs.
import assert from 'node:assert/strict';
import path from 'node:path';
import {countPixels, sleep, textArea, until} from './browser.mjs';

const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';
const BUDGET_MS = 50;

// A fresh page at 4x throttling that records its long tasks.
async function throttledPage(browser) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.rtTasks = [];
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.rtTasks.push([e.startTime, e.duration]);
    }).observe({type: 'longtask', buffered: true});
  });
  const cdp = await page.createCDPSession();
  await cdp.send('Emulation.setCPUThrottlingRate', {rate: 4});
  await page.setViewport({width: 1024, height: 768});
  return page;
}

// The longest task since `since` (the page's clock), 0 for none over 50 ms.
const longestSince = (page, since) => page.evaluate((since) =>
  Math.max(0, ...window.rtTasks.filter((t) => t[0] >= since).map((t) => t[1])), since);

export async function noStalls(browser, server, shots, check) {
  for (const level of [1, 10]) {
    await check(`4x throttled: a seeded game starts on level ${level} with no task over ` +
                `${BUDGET_MS} ms, its levels from the worker`, async () => {
      const page = await throttledPage(browser);
      await page.goto(`${server.url}?seed=77&level=${level}`);
      await until('the menu', async () =>
        (await countPixels(page, ...textArea(30, 40, 13), TEXT)) > 50, 40);
      await sleep(1500);
      const start = await page.evaluate(() => performance.now());
      await page.keyboard.press('Enter', {delay: 100});
      await until('the level', async () =>
        (await countPixels(page, ...textArea(36, 22, 7), TEXT)) > 30, 60);
      await sleep(4000);  // the intro
      await page.screenshot({path: path.join(shots, `stalls-level${level}.png`)});
      const longest = await longestSince(page, start);
      assert.ok(longest <= BUDGET_MS, `a task of ${Math.round(longest)} ms`);
      const fetched = await page.evaluate(() =>
        performance.getEntriesByType('resource').some((e) => e.name.endsWith('levels_worker.js')));
      assert.ok(fetched, 'the worker loaded the level library');
      await page.close();
    });
  }

  await check(`4x throttled: building a track in the editor, its verdicts from the worker, ` +
              `no task over ${BUDGET_MS} ms`, async () => {
    const page = await throttledPage(browser);
    await page.goto(`${server.url}?edit`);
    await until('the editor', () =>
      page.evaluate(() => document.body.classList.contains('editing')), 40);
    await sleep(1500);
    const start = await page.evaluate(() => performance.now());
    const canvas = await page.$('#screen');
    const box = await canvas.boundingBox();
    const at = (x, y) => [box.x + x * box.width / 800, box.y + y * box.height / 600];
    // A template, then a stroke of rails painted across it, speed up, undo.
    for (const key of ['v', '+', '2']) {
      await page.keyboard.press(key);
      await sleep(150);
    }
    await page.mouse.move(...at(300, 220));
    await page.mouse.down();
    for (let x = 340; x <= 700; x += 40) await page.mouse.move(...at(x, 220));
    await page.mouse.up();
    await page.keyboard.down('Control');
    await page.keyboard.press('z');
    await page.keyboard.up('Control');
    await sleep(3000);
    const longest = await longestSince(page, start);
    assert.ok(longest <= BUDGET_MS, `a task of ${Math.round(longest)} ms`);
    await page.close();
  });

  await check('a first visit downloads every file once, the offline worker keeping what the ' +
              'page loaded', async () => {
    const fresh = await browser.createBrowserContext();
    const page = await fresh.newPage();
    const from = server.requests.length;
    await page.goto(server.url);
    await until('the offline worker', () => page.evaluate(async () =>
      !!(await navigator.serviceWorker.getRegistration())?.active), 30);
    await sleep(500);
    const full = {};
    for (const r of server.requests.slice(from)) {
      if (r.status === 200) full[r.path] = (full[r.path] || 0) + 1;
    }
    for (const file of ['/index.js', '/index.wasm', '/index.data', '/levels.js', '/levels.wasm']) {
      assert.ok((full[file] || 0) <= 1, `${file} downloaded ${full[file]} times`);
    }
    await fresh.close();
  });
}
