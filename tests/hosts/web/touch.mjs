// The browser version played by touch alone, on a phone's and a tablet's
// screen in chromium's touch emulation: the menu tapped into a game, a piece
// slid by a tap, the level won with the Tempo button, three locomotives
// given up with Aufgeben, "Jörg" typed into the on-screen keyboard's field,
// the name kept after a reload, and the page played again with the server
// gone. Used by e2e.mjs.
import assert from 'node:assert/strict';
import path from 'node:path';
import {blackCells, countPixels, keptList, serve, sleep, statusPixels, tapPicture as tap,
        textArea, until} from './browser.mjs';

const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';

export const PHONE = {name: 'phone', width: 390, height: 844};
export const TABLET = {name: 'tablet', width: 1024, height: 768};

const menuShown = async (page) => (await countPixels(page, ...textArea(30, 40, 13), TEXT)) > 50;
const statusShown = async (page) => (await countPixels(page, ...textArea(36, 22, 7), TEXT)) > 30;
const levelDigits = (page) => statusPixels(page, 624, 24);
const livesDigits = (page) => statusPixels(page, 448, 16);

async function tapButton(page, id) {
  const box = await page.$eval(`#${id}`, (e) => {
    const r = e.getBoundingClientRect();
    return {x: r.left + r.width / 2, y: r.top + r.height / 2, shown: r.width > 0};
  });
  assert.ok(box.shown, `the ${id} button is shown`);
  await page.touchscreen.tap(box.x, box.y);
}

// The canvas, the buttons and the bar above do not overlap, and the
// picture keeps 4:3.
export async function checkLayout(page, what) {
  const boxes = await page.evaluate(() => {
    const of = (id) => {
      const r = document.getElementById(id).getBoundingClientRect();
      return {left: r.left, top: r.top, right: r.right, bottom: r.bottom};
    };
    return {canvas: of('screen'), buttons: ['tempo', 'ton', 'aufgeben'].map(of), bar: of('bar'),
            width: document.documentElement.clientWidth,
            height: document.documentElement.clientHeight,
            scrolls: document.documentElement.scrollHeight > window.innerHeight ||
                     document.documentElement.scrollWidth > window.innerWidth};
  });
  const c = boxes.canvas;
  assert.ok(Math.abs((c.right - c.left) / (c.bottom - c.top) - 4 / 3) < 0.01, `${what}: 4:3`);
  assert.ok(!boxes.scrolls, `${what}: nothing to scroll`);
  assert.ok(c.left >= 0 && c.top >= 0 && c.right <= boxes.width + 0.5 &&
            c.bottom <= boxes.height + 0.5, `${what}: the picture is on the page`);
  const apart = (a, b) =>
    a.right <= b.left || a.left >= b.right || a.bottom <= b.top || a.top >= b.bottom;
  assert.ok(apart(boxes.bar, c), `${what}: the bar covers the picture`);
  for (const b of boxes.buttons) {
    assert.ok(apart(b, c), `${what}: a button covers the picture ${JSON.stringify({b, c})}`);
    assert.ok(apart(b, boxes.bar), `${what}: the bar covers a button`);
    assert.ok(b.bottom - b.top >= 44 && b.right - b.left >= 44, `${what}: a button for thumbs`);
  }
  return boxes;
}

const JOERG = [0x22, 0x4A, 0x94, 0x72, 0x67, 0x22, 0x0D];  // "Jörg" in code page 437

// Plays the page in `site` on `screen` with touch alone; `check(what, body)`
// reports each step. Screenshots go to `shots`.
export async function playByTouch(browser, site, screen, shots, check) {
  let server = await serve(site);
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  const viewport = {width: screen.width, height: screen.height, deviceScaleFactor: 2,
                    isMobile: true, hasTouch: true};
  await page.setViewport(viewport);
  try {
    await page.goto(server.url);

    await check(`${screen.name}: the page fits, with the buttons off the picture`, async () => {
      await until('the menu', () => menuShown(page));
      await checkLayout(page, `${screen.name} ${screen.width}x${screen.height}`);
      await page.screenshot({path: path.join(shots, `touch-${screen.name}-menu.png`)});
      if (screen === PHONE) {
        // Turned on its side: the picture fills the height, the buttons
        // stand beside it.
        await page.setViewport({...viewport, width: screen.height, height: screen.width});
        await sleep(500);
        await checkLayout(page, `${screen.name} on its side`);
        await page.screenshot({path: path.join(shots, `touch-${screen.name}-landscape.png`)});
        await page.setViewport(viewport);
        await sleep(300);
      }
    });

    if (screen === PHONE) {
      await check(`${screen.name}: the page can be installed`, async () => {
        const session = await page.createCDPSession();
        await until('the offline worker', () => page.evaluate(async () =>
          !!(await navigator.serviceWorker.getRegistration())?.active), 20);
        const {installabilityErrors} = await session.send('Page.getInstallabilityErrors');
        assert.deepEqual(installabilityErrors, [], 'chromium\'s installability check');
        await session.detach();
      });
    }

    let hole;
    await check(`${screen.name}: a tap on the menu starts a game, a tap the level`, async () => {
      await tap(page, 340, 470);  // "SPIEL STARTEN"
      await until('the status line', () => statusShown(page));
      const black = await blackCells(page);
      assert.equal(black.length, 1, `one empty cell, found ${JSON.stringify(black)}`);
      hole = black[0];
      await tap(page, 400, 300);  // any tap starts the waiting level
      await sleep(300);
    });

    await check(`${screen.name}: a tap beside the empty cell slides that piece`, async () => {
      // Level 1 is won by sliding the piece below the empty cell up.
      await tap(page, hole[0] * 40 + 20, (hole[1] + 1) * 40 + 20);
      const moved = await until('the slide', async () => {
        const black = await blackCells(page);
        return black.length === 1 && black[0][1] === hole[1] + 1 ? black[0] : null;
      }, 5);
      assert.equal(moved[0], hole[0]);
      await page.screenshot({path: path.join(shots, `touch-${screen.name}-level1.png`)});
    });

    await check(`${screen.name}: Tempo speeds the locomotive to the station`, async () => {
      const level = await levelDigits(page);
      await tapButton(page, 'tempo');
      // At the level's own pace the route takes most of a minute.
      await until('the next level', async () => (await levelDigits(page)) !== level, 15);
      await until('the next level\'s status line', () => statusShown(page));
      await tap(page, 400, 300);
      await sleep(300);
    });

    await check(`${screen.name}: three times Aufgeben lead to the name entry`, async () => {
      for (let loss = 1; loss <= 3; loss++) {
        const before = await livesDigits(page);
        await tapButton(page, 'aufgeben');
        if (loss < 3) {
          // The count changes once the level's picture is built up again.
          await until(`loss ${loss}`, async () => (await livesDigits(page)) !== before, 20);
          await tap(page, 400, 300);
          await sleep(300);
        }
      }
      await until('the name entry', async () =>
        (await countPixels(page, ...textArea(20, 35, 20), TEXT)) > 100, 20);
      await tap(page, 400, 300);  // brings the keyboard up
      await until('the text field', () =>
        page.evaluate(() => document.activeElement?.id === 'typing'), 5);
      assert.ok(!(await page.$eval('#pause', (e) => e.offsetParent !== null)), 'not paused');
      await page.screenshot({path: path.join(shots, `touch-${screen.name}-name-entry.png`)});
    });

    await check(`${screen.name}: the on-screen keyboard types "Jörg" and keeps it`, async () => {
      await page.keyboard.type('Jxx', {delay: 40});
      await page.keyboard.press('Backspace');
      await page.keyboard.press('Backspace');
      await page.keyboard.sendCharacter('ö');
      await page.keyboard.type('rg', {delay: 40});
      await page.keyboard.press('Enter');
      await until('the menu after the game', () => menuShown(page));
      assert.deepEqual((await keptList(page))?.slice(0, 7), JOERG);
      await page.reload();
      await until('the menu after the reload', () => menuShown(page));
      assert.deepEqual((await keptList(page))?.slice(0, 7), JOERG, 'kept after a reload');
    });

    await check(`${screen.name}: with the server gone a reload still plays`, async () => {
      await until('the page kept offline', () => page.evaluate(() =>
        !!navigator.serviceWorker.controller), 20);
      server.stop();
      server = null;
      await page.reload();
      await until('the menu offline', () => menuShown(page));
      await tap(page, 340, 470);
      await until('the status line offline', () => statusShown(page));
      assert.deepEqual((await keptList(page))?.slice(0, 7), JOERG, 'the list offline');
      // The page with a seed in its address is the same page, kept too.
      await page.goto(`${page.url().split('?')[0]}?seed=7`);
      await until('the menu of seed 7 offline', () => menuShown(page));
      assert.equal(await page.$eval('#seed', (e) => e.textContent), 'Strecken 7:');
    });

    assert.deepEqual(errors, [], 'no script errors on the page');
  } finally {
    await page.close();
    if (server) server.stop();
  }
}
