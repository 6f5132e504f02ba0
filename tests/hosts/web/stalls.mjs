// The page never stalls: at 4x CPU throttling no task of the page's thread
// lasts over 50 ms from the moment a seeded game starts, at level 1 and at
// level 10 (the page's ?level=N), nor while a track is built in the editor;
// the levels come from the page's worker; a first visit downloads every file
// once. Used by e2e.mjs; the figures also by the benchmark (bench/web.mjs).
import assert from 'node:assert/strict';
import path from 'node:path';
import {countPixels, sleep, textArea, until} from './browser.mjs';

const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';
const BUDGET_MS = 50;

// A fresh page at 4x throttling that records its long tasks and the time of
// its first picture.
export async function throttledPage(browser) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.rtTasks = [];
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.rtTasks.push([e.startTime, e.duration]);
    }).observe({type: 'longtask', buffered: true});
    window.Module = {rtOnFrame: () => {
      if (window.rtFirstFrameAt === undefined) window.rtFirstFrameAt = performance.now();
    }};
  });
  const cdp = await page.createCDPSession();
  await cdp.send('Emulation.setCPUThrottlingRate', {rate: 4});
  await page.setViewport({width: 1024, height: 768});
  return page;
}

// The longest task since `since` (the page's clock), 0 for none over 50 ms.
const longestSince = (page, since) => page.evaluate((since) =>
  Math.max(0, ...window.rtTasks.filter((t) => t[0] >= since).map((t) => t[1])), since);

// A seeded game started on `level` at 4x throttling: the longest task from
// the Enter that starts it through the level's intro, and the time of the
// page's first picture. `shot` names a screenshot of the level.
export async function seededStart(browser, url, level, shot) {
  const page = await throttledPage(browser);
  try {
    await page.goto(`${url}?seed=77&level=${level}`);
    await until('the menu', async () =>
      (await countPixels(page, ...textArea(30, 40, 13), TEXT)) > 50, 40);
    const firstFrameMs = await page.evaluate(() => window.rtFirstFrameAt);
    await sleep(1500);
    const start = await page.evaluate(() => performance.now());
    await page.keyboard.press('Enter', {delay: 100});
    await until('the level', async () =>
      (await countPixels(page, ...textArea(36, 22, 7), TEXT)) > 30, 60);
    await sleep(4000);  // the intro
    if (shot) await page.screenshot({path: shot});
    const worker = await page.evaluate(() =>
      performance.getEntriesByType('resource').some((e) => e.name.endsWith('levels_worker.js')));
    return {longest: await longestSince(page, start), firstFrameMs, worker};
  } finally {
    await page.close();
  }
}

// A track built in the editor at 4x throttling (a template, a stroke of
// rails painted across it, the speed up, an undo): the longest task.
export async function editorLongest(browser, url) {
  const page = await throttledPage(browser);
  try {
    await page.goto(`${url}?edit`);
    await until('the editor', () =>
      page.evaluate(() => document.body.classList.contains('editing')), 40);
    await sleep(1500);
    const start = await page.evaluate(() => performance.now());
    const box = await (await page.$('#screen')).boundingBox();
    const at = (x, y) => [box.x + x * box.width / 800, box.y + y * box.height / 600];
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
    return await longestSince(page, start);
  } finally {
    await page.close();
  }
}

export async function noStalls(browser, server, shots, check) {
  for (const level of [1, 10]) {
    await check(`4x throttled: a seeded game starts on level ${level} with no task over ` +
                `${BUDGET_MS} ms, its levels from the worker`, async () => {
      const start = await seededStart(browser, server.url, level,
                                      path.join(shots, `stalls-level${level}.png`));
      assert.ok(start.longest <= BUDGET_MS, `a task of ${Math.round(start.longest)} ms`);
      assert.ok(start.worker, 'the worker loaded the level library');
    });
  }

  await check(`4x throttled: building a track in the editor, its verdicts from the worker, ` +
              `no task over ${BUDGET_MS} ms`, async () => {
    const longest = await editorLongest(browser, server.url);
    assert.ok(longest <= BUDGET_MS, `a task of ${Math.round(longest)} ms`);
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
