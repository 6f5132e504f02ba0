// The list of best scores when the browser's storage fails the page: no
// storage at all, a full one, and two tabs that save at once. Nothing may
// freeze the game, a list that was not kept is said so, and no tab's name
// is lost to the other's.
import assert from 'node:assert/strict';
import {countPixels, keptList, sleep, statusPixels, textArea, until} from './browser.mjs';

const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';  // the game's pale yellow

const menuShown = async (page) => (await countPixels(page, ...textArea(30, 40, 13), TEXT)) > 50;
// "BESTENLISTE NICHT GESPEICHERT" under the menu's items.
const notSavedShown = async (page) =>
  (await countPixels(page, ...textArea(36, 40, 29), TEXT)) > 100;
const nameEntryShown = async (page) =>
  (await countPixels(page, ...textArea(20, 35, 20), TEXT)) > 100;

const livesDigits = (page) => statusPixels(page, 448, 16);

// Plays a game to its end by giving up three locomotives, after a few fast
// steps have earned points for the list.
async function toNameEntry(page) {
  await until('the menu', () => menuShown(page), 30);
  await page.keyboard.press('Enter', {delay: 150});
  await until('the status line', async () =>
    (await countPixels(page, ...textArea(36, 22, 7), TEXT)) > 30, 20);
  await page.keyboard.press('KeyX', {delay: 50});
  await sleep(300);
  await page.keyboard.press('Space', {delay: 300});
  await sleep(900);
  for (let loss = 1; loss <= 3; loss++) {
    const before = await livesDigits(page);
    await page.keyboard.press('Escape', {delay: 300});
    if (loss < 3) {
      await until(`loss ${loss}`, async () => (await livesDigits(page)) !== before, 20);
      await page.keyboard.press('KeyX', {delay: 50});
      await sleep(300);
    }
  }
  await until('the name entry', () => nameEntryShown(page), 30);
}

async function enterName(page, name) {
  await page.keyboard.type(name, {delay: 60});
  await page.keyboard.press('Enter', {delay: 50});
}

export async function storageFaults(browser, url, check) {
  await check('without the browser\'s storage the game plays, and says the list is not kept', async () => {
    const context = await browser.createBrowserContext();
    try {
      const page = await context.newPage();
      await page.evaluateOnNewDocument(() => {
        Object.defineProperty(window, 'indexedDB', {value: undefined});
      });
      await page.goto(url);
      await until('the menu', () => menuShown(page), 30);
      const notice = await page.$eval('#refused', (e) => e.textContent);
      assert.match(notice, /speichert nichts/);
      await toNameEntry(page);
      // Text without key events, as an input method or a composed umlaut
      // brings it on a desktop: kept whole, umlaut included.
      const session = await page.createCDPSession();
      await session.send('Input.insertText', {text: 'J\u00f6rg'});
      await sleep(300);
      await page.keyboard.press('Enter', {delay: 50});
      await until('the menu, saying the list was not kept', () => notSavedShown(page), 20);
      // "Jörg" in code page 437 heads the list the page holds.
      assert.deepEqual((await keptList(page)).slice(0, 6), [0x22, 0x4A, 0x94, 0x72, 0x67, 0x22]);
    } finally {
      await context.close();
    }
  });

  await check('a full storage: the name entry goes on to the menu, which says the list was not kept', async () => {
    const context = await browser.createBrowserContext();
    try {
      const page = await context.newPage();
      await page.goto(url);
      await until('the menu', () => menuShown(page), 30);
      const session = await page.createCDPSession();
      await session.send('Storage.overrideQuotaForOrigin',
                         {origin: new URL(url).origin, quotaSize: 1});
      await toNameEntry(page);
      await enterName(page, 'VOLL');
      await until('the menu, saying the list was not kept', () => notSavedShown(page), 30);
    } finally {
      await context.close();
    }
  });

  await check('two tabs each enter a name: after a reload both are in the list', async () => {
    // A page plays only while it is in front, so the two games are played
    // one after the other, and each name entered while the other tab waits
    // at its own name entry with the list it read at its start.
    const context = await browser.createBrowserContext();
    try {
      const first = await context.newPage();
      const second = await context.newPage();
      await first.goto(url);
      await second.goto(url);
      for (const page of [first, second]) {
        await page.bringToFront();
        await page.focus('#screen');
        await toNameEntry(page);
      }
      for (const [page, name] of [[first, 'ERSTE'], [second, 'ZWEITE']]) {
        await page.bringToFront();
        await page.focus('#screen');
        await enterName(page, name);
        await until('the menu', () => menuShown(page), 30);
      }
      await second.close();
      await first.reload();
      await until('the menu after the reload', () => menuShown(first), 30);
      const text = String.fromCharCode(...((await keptList(first)) || []));
      assert.ok(text.includes('"ERSTE"') && text.includes('"ZWEITE"'), `both names kept: ${text}`);
    } finally {
      await context.close();
    }
  });
}
