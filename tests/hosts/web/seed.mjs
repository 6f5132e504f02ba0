// Seeded play in the browser: ?seed=S in the address plays the levels made
// from S, the address and the bar name the seed for sharing, text that is no
// seed brings a notice and a random seed, and "Neue Strecken" fresh ones; on
// a phone the bar stays off the picture and the buttons. Used by e2e.mjs.
import assert from 'node:assert/strict';
import path from 'node:path';
import {countPixels, sleep, textArea, until} from './browser.mjs';
import {PHONE, checkLayout} from './touch.mjs';

const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';
const menuShown = async (page) => (await countPixels(page, ...textArea(30, 40, 13), TEXT)) > 50;
const statusShown = async (page) => (await countPixels(page, ...textArea(36, 22, 7), TEXT)) > 30;

// Five pixels of each of the field's 20 x 14 cells, one string a cell.
function cells(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const f = canvas.width / 800;
    const d = canvas.getContext('2d').getImageData(0, 0, canvas.width, 560 * f).data;
    const at = (x, y) => Array.from(d.slice((y * f * canvas.width + x * f) * 4,
                                            (y * f * canvas.width + x * f) * 4 + 3)).join(',');
    const all = [];
    for (let row = 0; row < 14; row++) {
      for (let column = 0; column < 20; column++) {
        const x = column * 40;
        const y = row * 40;
        all.push([[20, 20], [8, 8], [31, 8], [8, 31], [31, 31]]
                     .map(([dx, dy]) => at(x + dx, y + dy)).join(' '));
      }
    }
    return all;
  });
}

// The first level's cells once Enter has started a game on `address`.
async function firstLevel(page, address, shot) {
  await page.goto(address);
  await until('the menu', () => menuShown(page), 20);
  await page.keyboard.press('Enter', {delay: 150});
  await until('the status line', () => statusShown(page), 20);
  if (shot) await page.screenshot({path: shot});
  return cells(page);
}

const shared = (page) => page.evaluate(() => ({
  search: window.location.search,
  title: document.title,
  seed: document.getElementById('seed').textContent,
  address: document.getElementById('address').textContent,
  href: window.location.href,
  notice: getComputedStyle(document.getElementById('refused')).display !== 'none',
  noticeText: document.getElementById('refused').textContent,
}));

// Plays the seeded pages of the site served at `url`; `check(what, body)`
// reports each step, screenshots go to `shots`.
export async function playSeeds(browser, url, shots, check) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.setViewport({width: 1024, height: 768});
  try {
    await check('?seed=1 plays levels of its own, and the bar gives its address', async () => {
      const shipped = await firstLevel(page, url);
      assert.equal(await page.$eval('#share', (e) => e.offsetParent), null,
                   'without a seed the bar holds only the link');
      const seeded = await firstLevel(page, `${url}?seed=1`,
                                      path.join(shots, 'seed-level1.png'));
      const differing = seeded.filter((cell, i) => cell !== shipped[i]).length;
      assert.ok(differing > 40, `the board differs from level 1's in ${differing} cells only`);
      const s = await shared(page);
      assert.equal(s.search, '?seed=1');
      assert.equal(s.seed, 'Strecken 1:');
      assert.equal(s.address, `${url}?seed=1`);
      assert.match(s.title, / - Strecken 1$/);
      const bar = await page.$eval('#bar', (e) => e.getBoundingClientRect().bottom);
      const top = await page.$eval('#screen', (e) => e.getBoundingClientRect().top);
      assert.ok(bar <= top, `the bar (to ${bar}) stays above the picture (from ${top})`);
    });

    await check('?seed=12%0034 is no seed (not seed 12): a notice, and a random seed in the address', async () => {
      await page.goto(`${url}?seed=12%0034`);
      // Shown for a few seconds once the program has read the address.
      const s = await until('the notice', async () => {
        const now = await shared(page);
        return now.notice ? now : null;
      }, 20);
      // The player's text isolated, the NUL shown as U+FFFD.
      assert.equal(s.noticeText,
                   '\u201e\u206812\ufffd34\u2069\u201c ist kein Streckencode \u2013 neue Strecken gew\u00fcrfelt.');
      const seed = /^\?seed=(\d+)$/.exec(s.search);
      assert.ok(seed, `the address names a seed: ${s.search}`);
      assert.equal(s.seed, `Strecken ${seed[1]}:`);
      assert.equal(s.address, s.href);
      await page.screenshot({path: path.join(shots, 'seed-refused.png')});
      await page.keyboard.press('Shift');
      assert.ok(!(await shared(page)).notice, 'a key takes the notice away');
    });

    await check('a word is a seed, and "Neue Strecken" opens new ones', async () => {
      await page.goto(`${url}?seed=J%C3%B6rg`);
      await until('the menu', () => menuShown(page), 20);
      const s = await shared(page);
      assert.equal(s.search, '?seed=3515088095', 'the seed of "Jörg"');
      assert.ok(!s.notice, 'no notice for a seed');
      await Promise.all([page.waitForNavigation(), page.click('#fresh')]);
      await until('the menu', () => menuShown(page), 20);
      const fresh = await shared(page);
      assert.match(fresh.search, /^\?seed=\d+$/);
      assert.notEqual(fresh.search, s.search);
      assert.ok(!fresh.notice, 'no notice for a random seed');
      await page.screenshot({path: path.join(shots, 'seed-menu.png')});
    });
    assert.deepEqual(errors, [], 'no script errors on the page');
  } finally {
    await page.close();
  }

  await check('?track=CODE plays a shared track, proven in the page; a damaged code is refused', async () => {
    // The code of the shipped level 1 at speed level 1 (rangiertrubel-levels
    // encode data/levels/lev01.dat): its first level is the page's own.
    const code = 'BGAAIFAWUAogDQfRQAgACAAICgOZ0BQQABGgUIACvwUAAAAAKAAChpQAAAAAAAHt0eV';
    const context = await browser.createBrowserContext();
    try {
      const plain = await context.newPage();
      await plain.setViewport({width: 1024, height: 768});
      const shipped = await firstLevel(plain, url);
      const fresh = await context.newPage();
      await fresh.setViewport({width: 1024, height: 768});
      const played = await firstLevel(fresh, `${url}?track=${code}`,
                                      path.join(shots, 'track-level1.png'));
      assert.deepEqual(played, shipped, 'the track is the shipped level 1');
      await fresh.goto(`${url}?track=${code}`);
      await until('the menu', () => menuShown(fresh), 20);
      await fresh.screenshot({path: path.join(shots, 'track-menu.png')});
      const s = await shared(fresh);
      assert.match(s.seed, /^Eigene Strecke: l\u00f6sbar mit \d+ Z(ug|\u00fcgen), \d+,\d s Luft$/);
      const damaged = code.slice(0, 20) + (code[20] === 'A' ? 'B' : 'A') + code.slice(21);
      await fresh.goto(`${url}?track=${damaged}`);
      await until('the menu', () => menuShown(fresh), 20);
      const refused = await shared(fresh);
      assert.ok(refused.notice, 'a notice');
      assert.match(refused.noticeText, /nicht gespielt: .*besch\u00e4digt/);
      assert.equal(refused.seed, '', 'no track named in the bar');
      await fresh.screenshot({path: path.join(shots, 'track-refused.png')});
    } finally {
      await context.close();
    }
  });

  await check('?seed=heute plays the track of the day: the seed of the UTC date, named in the bar', async () => {
    // The page's clock pinned to 2026-12-09, 23:30 UTC (already the 10th in
    // Berlin): the day is the UTC date's, "2026-12-09", whose seed,
    // FNV-1a of its ten characters, is 3307136551 on every machine.
    const day = await browser.newPage();
    try {
      await day.evaluateOnNewDocument(() => {
        const pinned = Date.UTC(2026, 11, 9, 23, 30);
        const Real = Date;
        // eslint-disable-next-line no-global-assign
        Date = class extends Real {
          constructor(...args) { super(...(args.length ? args : [pinned])); }
          static now() { return pinned; }
        };
      });
      await day.goto(`${url}?seed=heute`);
      await until('the menu', () => menuShown(day), 20);
      const s = await shared(day);
      assert.equal(s.search, '?seed=3307136551');
      assert.equal(s.seed, 'Strecke des Tages 2026-12-09:');
      assert.match(s.title, /Strecke des Tages 2026-12-09$/);
    } finally {
      await day.close();
    }
  });

  const phone = await browser.newPage();
  try {
    await check('phone: the bar stands off the picture and the buttons', async () => {
      const viewport = {width: PHONE.width, height: PHONE.height, deviceScaleFactor: 2,
                        isMobile: true, hasTouch: true};
      await phone.setViewport(viewport);
      await phone.goto(`${url}?seed=1234567890`);
      await until('the menu', () => menuShown(phone), 20);
      await checkLayout(phone, 'phone with a seed');
      await phone.screenshot({path: path.join(shots, 'seed-phone.png')});
      await phone.setViewport({...viewport, width: PHONE.height, height: PHONE.width});
      await sleep(500);
      await checkLayout(phone, 'phone on its side with a seed');
      await phone.screenshot({path: path.join(shots, 'seed-phone-landscape.png')});
    });
  } finally {
    await phone.close();
  }
}
