// The browser version played end to end in Debian's chromium, headless:
// the menu, a game with a held arrow and three lost locomotives, a name
// typed into the list of best scores, the list again after a reload, and the
// page that follows "SPIEL BEENDEN"; then the levels of a seed named in the
// address (seed.mjs), the same by touch alone on a phone's and a tablet's
// screen, offline too (touch.mjs), and the zip for game portals played from
// a sub-path inside a frame.
//   node tests/hosts/web/e2e.mjs SITE_FOLDER [SCREENSHOT_FOLDER]
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {blackCells, countPixels, keptList, launch, serve, sleep, statusPixels, textArea, until}
    from './browser.mjs';
import {playSeeds} from './seed.mjs';
import {storageFaults} from './storage.mjs';
import {loadingFaults} from './loading.mjs';
import {PHONE, TABLET, playByTouch} from './touch.mjs';
import {editTracks} from './editor.mjs';
import {noStalls} from './stalls.mjs';

const site = process.argv[2];
const shots = process.argv[3] || path.join(site, '..', 'web-test');
assert.ok(site, 'usage: e2e.mjs SITE_FOLDER [SCREENSHOT_FOLDER]');
mkdirSync(shots, {recursive: true});

const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';  // the game's pale yellow
const TITLE_FACE = '([r, g, b]) => r === 255 && g === 224';      // the big title's face

const livesDigits = (page) => statusPixels(page, 448, 16);

async function menuShown(page) {
  const title = await countPixels(page, 95, 50, 700, 115, TITLE_FACE);
  const start = await countPixels(page, ...textArea(30, 40, 13), TEXT);
  return title > 1000 && start > 50;
}

async function hold(page, key, ms) {
  await page.keyboard.down(key);
  await sleep(ms);
  await page.keyboard.up(key);
}

let step = 0;
async function check(what, body) {
  step++;
  process.stdout.write(`  ${step}. ${what} ... `);
  await body();
  process.stdout.write('ok\n');
}

const server = await serve(site);
const browser = await launch();
let failed = false;
try {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.setViewport({width: 1024, height: 768});
  await page.goto(server.url);

  await check('the menu appears with the title on the canvas', async () => {
    await until('the menu', () => menuShown(page), 20);
    await page.screenshot({path: path.join(shots, 'menu.png')});
  });

  let hole;
  await check('Enter starts a game; after the intro the level\'s cells are drawn', async () => {
    await page.keyboard.press('Enter', {delay: 150});
    // The status line is written once the intro is over.
    await until('the status line', async () =>
      (await countPixels(page, ...textArea(36, 22, 7), TEXT)) > 30, 20);
    const black = await blackCells(page);
    assert.equal(black.length, 1, `one empty cell, found ${JSON.stringify(black)}`);
    hole = black[0];
    await page.screenshot({path: path.join(shots, 'level1.png')});
  });

  await check('a held arrow slides a piece into the empty cell', async () => {
    await page.keyboard.press('KeyX', {delay: 50});  // starts the level
    await sleep(300);
    await hold(page, 'ArrowUp', 250);
    const moved = await until('the slide', async () => {
      const black = await blackCells(page);
      return black.length === 1 && black[0][1] > hole[1] ? black[0] : null;
    }, 5);
    assert.equal(moved[0], hole[0], 'the empty cell stays in its column');
  });

  await check('the game stands still while the canvas has lost the keyboard or the page is hidden', async () => {
    // The locomotive is drawn at every poll of the keys, several times a
    // second; while the page is away there are none.
    const topRows = () => page.evaluate(() => {
      const canvas = document.getElementById('screen');
      return Array.from(canvas.getContext('2d').getImageData(0, 0, canvas.width,
                                                              canvas.height / 7).data).join();
    });
    await page.evaluate(() => document.getElementById('screen').blur());
    await page.waitForSelector('#pause', {visible: true, timeout: 5000});
    const frames = await page.evaluate(() => Module.rtPage.frames);
    const still = await topRows();
    await sleep(1500);
    assert.equal(await topRows(), still, 'nothing moved while away');
    assert.equal(await page.evaluate(() => Module.rtPage.frames), frames, 'nothing was drawn');
    await page.screenshot({path: path.join(shots, 'paused.png')});
    // A click brings the keyboard back and the game goes on.
    await page.mouse.click(500, 400);
    await page.waitForSelector('#pause', {hidden: true, timeout: 5000});
    await until('the game going on', async () =>
      (await page.evaluate(() => Module.rtPage.frames)) > frames, 5);
    // Another tab in front hides the page: the same again.
    const other = await browser.newPage();
    await other.bringToFront();
    await until('the page hidden', () => page.evaluate(() => document.hidden), 5);
    const hiddenFrames = await page.evaluate(() => Module.rtPage.frames);
    await sleep(1500);
    assert.equal(await page.evaluate(() => Module.rtPage.frames), hiddenFrames,
                 'nothing was drawn while hidden');
    await page.bringToFront();
    await other.close();
    await until('the game going on after the tab is back', async () =>
      (await page.evaluate(() => Module.rtPage.frames)) > hiddenFrames, 5);
  });

  await check('three lost locomotives lead to the name entry', async () => {
    // Faster steps earn points; the first loss comes well before the
    // locomotive could reach the station over the mended route.
    await hold(page, 'Space', 300);
    await sleep(900);
    for (let loss = 1; loss <= 3; loss++) {
      const before = await livesDigits(page);
      await hold(page, 'Escape', 300);
      if (loss < 3) {
        // The count changes once the level's picture is built up again.
        await until(`loss ${loss}`, async () => (await livesDigits(page)) !== before, 20);
        await page.keyboard.press('KeyX', {delay: 50});
        await sleep(300);
      }
    }
    // The explosions were heard: the first key press started the sound.
    assert.ok(await page.evaluate(() => Module.rtPage.soundsStarted) >= 3, 'sounds were played');
    await until('the name entry', async () =>
      (await countPixels(page, ...textArea(20, 35, 20), TEXT)) > 100, 20);
    await page.screenshot({path: path.join(shots, 'name-entry.png')});
  });

  await check('a name with an umlaut is typed and kept', async () => {
    const session = await page.createCDPSession();
    const type = async (code, key, keyCode) => {
      await session.send('Input.dispatchKeyEvent',
                         {type: 'keyDown', code, key, text: key, windowsVirtualKeyCode: keyCode});
      await session.send('Input.dispatchKeyEvent',
                         {type: 'keyUp', code, key, windowsVirtualKeyCode: keyCode});
      await sleep(60);
    };
    await type('KeyJ', 'J', 74);
    await type('Semicolon', 'ö', 186);
    await type('KeyR', 'r', 82);
    await type('KeyG', 'g', 71);
    await page.keyboard.press('Enter', {delay: 50});
    await until('the menu after the game', () => menuShown(page), 20);
    const kept = await keptList(page);
    assert.ok(kept, 'the list was written');
    // "Jörg" in code page 437, then the points.
    assert.deepEqual(kept.slice(0, 7), [0x22, 0x4A, 0x94, 0x72, 0x67, 0x22, 0x0D]);
    assert.ok(await countPixels(page, ...textArea(17, 35, 4), TEXT) > 30, 'the name is listed');
  });

  await check('after a reload the list still shows the name', async () => {
    await page.reload();
    await until('the menu after the reload', () => menuShown(page), 20);
    const kept = await keptList(page);
    assert.ok(kept, 'the list was read back from the browser\'s storage');
    assert.deepEqual(kept.slice(0, 7), [0x22, 0x4A, 0x94, 0x72, 0x67, 0x22, 0x0D]);
    assert.ok(await countPixels(page, ...textArea(17, 35, 4), TEXT) > 30, 'the name is listed');
    await page.screenshot({path: path.join(shots, 'menu-after-reload.png')});
  });

  await check('"SPIEL BEENDEN" ends with a page that offers to start again', async () => {
    await hold(page, 'ArrowDown', 150);
    await sleep(200);
    await page.keyboard.press('Enter', {delay: 150});
    await page.waitForSelector('#again', {visible: true, timeout: 10000});
    const text = await page.$eval('#end', (e) => e.innerText);
    assert.match(text, /beendet/);
    await page.screenshot({path: path.join(shots, 'end.png')});
    await page.click('#again');
    await until('the menu after starting again', () => menuShown(page), 20);
  });

  assert.deepEqual(errors, [], 'no script errors on the page');
  await page.close();

  await playSeeds(browser, server.url, shots, check);
  await storageFaults(browser, server.url, check);
  await loadingFaults(browser, site, check);
  await editTracks(browser, server, shots, check);
  await noStalls(browser, server, shots, check);
  for (const screen of [PHONE, TABLET]) await playByTouch(browser, site, screen, shots, check);

  const zip = path.join(site, 'rangiertrubel-web.zip');
  if (existsSync(zip)) {
    await check('the zip for game portals plays from a sub-path inside a frame', async () => {
      const root = mkdtempSync(path.join(tmpdir(), 'rt-portal-'));
      try {
        const folder = path.join(root, 'games', 'rangiertrubel');
        mkdirSync(folder, {recursive: true});
        execFileSync('python3', ['-m', 'zipfile', '-e', zip, folder]);
        assert.ok(existsSync(path.join(folder, 'index.html')), 'index.html at the zip\'s root');
        const html = readFileSync(path.join(folder, 'index.html'), 'utf8');
        assert.doesNotMatch(html, /(src|href)="(\/|https?:)/, 'relative addresses only');
        execFileSync('python3', ['-c', 'import sys; open(sys.argv[1], "w").write(sys.argv[2])',
                                 path.join(root, 'portal.html'),
                                 '<iframe src="games/rangiertrubel/index.html" width="800" ' +
                                 'height="600"></iframe>']);
        const portal = await serve(root);
        const framed = await browser.newPage();
        try {
          await framed.setViewport({width: 1024, height: 768});
          await framed.goto(portal.url + 'portal.html');
          const frame = await until('the frame', async () =>
            framed.frames().find((f) => f.url().includes('games/rangiertrubel')), 10);
          await until('the menu in the frame', async () =>
            (await countPixels(frame, ...textArea(30, 40, 13), TEXT)) > 50, 20);
          await framed.screenshot({path: path.join(shots, 'portal.png')});
        } finally {
          await framed.close();
          portal.stop();
        }
      } finally {
        rmSync(root, {recursive: true, force: true});
      }
    });
  }
} catch (error) {
  failed = true;
  console.log(`FAILED\n${error.stack || error}`);
} finally {
  await browser.close();
  server.stop();
}
console.log(failed ? `browser test: 0 passed, 1 failed (at step ${step})`
                   : `browser test: ${step} passed, 0 failed`);
process.exit(failed ? 1 : 0);
