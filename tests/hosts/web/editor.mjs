// The editor in the page, on a phone's screen in chromium's touch emulation
// and on a desktop with a mouse: a small track built by taps on the piece
// buttons and the picture, rated, shared by its link, driven, the link
// opened in a fresh profile and played there, offline too. Used by e2e.mjs; the
// screenshots go to the README.
import assert from 'node:assert/strict';
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {countPixels, sleep, tapPicture as tap, textArea, until} from './browser.mjs';
import {PHONE} from './touch.mjs';

const WHITE = '([r, g, b]) => r === 255 && g === 255 && b === 255';
const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';
const statusShown = async (page) => (await countPixels(page, ...textArea(36, 22, 7), TEXT)) > 30;
// The verdict row beside the palette has text in it.
const verdictShown = async (page) => (await countPixels(page, ...textArea(36, 57, 40), WHITE)) > 40;

async function tapKey(page, key) {
  const box = await page.$eval(`#editor [data-key="${key}"]`, (e) => {
    const r = e.getBoundingClientRect();
    return {x: r.left + r.width / 2, y: r.top + r.height / 2, w: r.width, h: r.height};
  });
  assert.ok(box.w >= 24 && box.h >= 36, `the button ${key} is shown for a thumb`);
  await page.touchscreen.tap(box.x, box.y);
  await sleep(120);
}
const cell = (page, x, y) => tap(page, (x - 1) * 40 + 20, (y - 1) * 40 + 20);

// Builds the track rail, rail, station from the top-left cell, the empty
// cell under the station, by taps alone; returns its share link.
async function buildByTaps(page) {
  await tapKey(page, 50);  // straight rail
  await cell(page, 1, 1);
  await cell(page, 2, 1);
  await tapKey(page, 48);  // the station
  await cell(page, 3, 1);
  await tapKey(page, 76);  // the empty cell
  await cell(page, 3, 2);
  await until('the verdict', () => verdictShown(page), 10);
  await tapKey(page, 84);  // Teilen
  await page.waitForSelector('#shared', {visible: true, timeout: 5000});
  return page.$eval('#shared-link', (e) => e.value);
}

export async function editTracks(browser, server, shots, check) {
  const viewport = {width: PHONE.width, height: PHONE.height, deviceScaleFactor: 2,
                    isMobile: true, hasTouch: true};
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.setViewport(viewport);
  let link = '';
  await check('phone: a track built by taps in the editor is rated, shared by its link and driven',
              async () => {
    await page.goto(server.url + '?edit');
    await until('the editor', () =>
      page.evaluate(() => document.body.classList.contains('editing')), 20);
    link = await buildByTaps(page);
    assert.match(link, /\?track=B[A-Za-z0-9_-]+$/);
    await page.click('#shared-close');
    // The test drive: the game's own buttons while it runs, the editor again
    // after the won level.
    await tapKey(page, 80);
    await until('the drive', () =>
      page.evaluate(() => !document.body.classList.contains('editing')), 10);
    await sleep(500);
    await tap(page, 400, 300);  // starts the level once it is shown
    await until('the editor again', () =>
      page.evaluate(() => document.body.classList.contains('editing')), 30);
    await page.screenshot({path: path.join(shots, 'editor-phone.png')});
    await page.setViewport({...viewport, width: PHONE.height, height: PHONE.width});
    await sleep(600);
    await page.screenshot({path: path.join(shots, 'editor-phone-landscape.png')});
    const apart = await page.evaluate(() => {
      const c = document.getElementById('screen').getBoundingClientRect();
      return [...document.querySelectorAll('#editor button')].every((b) => {
        const r = b.getBoundingClientRect();
        return r.right <= c.left || r.left >= c.right || r.bottom <= c.top || r.top >= c.bottom;
      });
    });
    assert.ok(apart, 'on its side no button covers the picture');
    await page.setViewport(viewport);
  });

  await check('the link opens in a fresh profile, proven there, and plays, offline too',
              async () => {
    const fresh = await browser.createBrowserContext();
    const other = await fresh.newPage();
    await other.setViewport({width: 1024, height: 768});
    await other.goto(link);
    const said = await until('the verdict in the bar', () =>
      other.$eval('#seed', (e) => e.textContent), 20);
    assert.equal(said, 'Eigene Strecke: ohne Zug gewonnen');
    assert.match(await other.$eval('#fresh', (e) => e.href), /edit/);
    await other.keyboard.press('Enter', {delay: 100});
    await until('the track played', () => statusShown(other), 20);
    await until('the offline worker', () => other.evaluate(async () =>
      !!(await navigator.serviceWorker.getRegistration())?.active), 20);
    await other.setOfflineMode(true);
    await other.reload();
    await until('the track offline', async () =>
      (await other.$eval('#seed', (e) => e.textContent)) === 'Eigene Strecke: ohne Zug gewonnen',
      20);
    await other.setOfflineMode(false);
    await fresh.close();
  });

  await check('a hostile file uploaded joins Meine Strecken under a harmless name, its ' +
              'name shown as text', async () => {
    const folder = mkdtempSync(path.join(tmpdir(), 'rt-upload-'));
    try {
      const hostile = path.join(folder, '..%2F<img src=x onerror=alert(1)>.dat');
      writeFileSync(hostile, 'kein Level\u0000\u00ff');
      await (await page.$('#upload-file')).uploadFile(hostile);
      const said = await until('the notice', () => page.$eval('#refused', (e) =>
        e.style.display === 'block' ? e.textContent : ''), 10);
      assert.match(said, /Meine Strecken/);
      const names = await page.evaluate(() => FS.readdir('/game/Data/Strecken'));
      assert.ok(names.some((n) => /^[A-Za-z0-9_-]+\.dat$/.test(n) && n !== 'Entwurf.dat'),
                JSON.stringify(names));
      assert.equal(await page.$('#refused img'), null, 'no element made from the name');
    } finally {
      rmSync(folder, {recursive: true, force: true});
    }
  });

  await check('desktop: the editor by mouse, the draft kept over a reload', async () => {
    await page.setViewport({width: 1024, height: 768});
    await page.reload();
    await until('the editor', () =>
      page.evaluate(() => document.body.classList.contains('editing')), 20);
    // The draft: the track built above is back.
    await until('the verdict', () => verdictShown(page), 10);
    // The right button picks the rail of the top-left cell, a click puts it
    // on the cell below the station's right neighbour.
    const box = await (await page.$('#screen')).boundingBox();
    const at = (x, y) => [box.x + (x - 0.5) * 40 * box.width / 800,
                          box.y + (y - 0.5) * 40 * box.height / 600];
    await page.keyboard.press('8');  // a tree is chosen first
    await page.mouse.click(...at(1, 1), {button: 'right'});
    await page.mouse.click(...at(4, 2));
    const fourth = await until('the draft with the rail', () => page.evaluate(() => {
      try {
        const text = new TextDecoder().decode(FS.readFile('/game/Data/Strecken/Entwurf.dat'));
        return text.split('\n')[3].split(',')[1] !== '1' && text.split('\n')[3].split(',')[1];
      } catch (error) {
        return '';
      }
    }), 10);
    assert.equal(fourth, '10', 'the rail the right button picked, on column 4, row 2');
    await page.screenshot({path: path.join(shots, 'editor-desktop.png')});
    assert.deepEqual(errors, []);
  });
  await page.close();
}
