// The browser version's figures: what the page loads (gzipped), the time
// from navigation to the menu's first frame, and the processor use of all the
// browser's processes with the menu idle and in play with no key, each the
// median of several sessions in Debian's chromium, headless. Prints one
// Markdown table with the budgets; exit status 1 when a figure misses its
// budget.
//   node bench/web.mjs SITE_FOLDER [RUNS]
import {readdirSync, readFileSync} from 'node:fs';
import path from 'node:path';
import {gzipSync} from 'node:zlib';
import {countPixels, launch, serve} from '../tests/hosts/web/browser.mjs';

const site = process.argv[2];
const runs = Number(process.argv[3] || 3);
if (!site || !(runs >= 1 && runs <= 20)) {
  console.error('usage: node bench/web.mjs SITE_FOLDER [RUNS 1..20]');
  process.exit(2);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const TEXT = '([r, g, b]) => r === 255 && g === 255 && b === 56';
const CPU_SECONDS = 10;
const TICKS = 100;  // the kernel's clock ticks per second for /proc (USER_HZ)

function median(values) {
  const v = [...values].sort((a, b) => a - b);
  const mid = Math.floor(v.length / 2);
  return v.length % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

// User and system ticks of a process and of every process below it.
function treeTicks(root) {
  const parents = new Map();
  const ticks = new Map();
  for (const name of readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = readFileSync(`/proc/${name}/stat`, 'utf8');
      // The fields after the command name (which may hold spaces).
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parents.set(Number(name), Number(fields[1]));
      ticks.set(Number(name), Number(fields[11]) + Number(fields[12]));
    } catch {
      // the process ended meanwhile
    }
  }
  let total = 0;
  for (const [pid, t] of ticks) {
    for (let p = pid; p > 1; p = parents.get(p) ?? 0) {
      if (p === root) {
        total += t;
        break;
      }
    }
  }
  return total;
}

// Processor use of the browser's processes over CPU_SECONDS, in % of a core.
async function cpuPercent(browser) {
  const pid = browser.process().pid;
  const before = treeTicks(pid);
  const start = process.hrtime.bigint();
  await sleep(CPU_SECONDS * 1000);
  const after = treeTicks(pid);
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  return ((after - before) / TICKS / seconds) * 100;
}

async function menuShown(page) {
  return (await countPixels(page, 312, 464, 415, 479, TEXT)) > 50;
}

async function until(what, check, seconds = 20) {
  const end = Date.now() + seconds * 1000;
  while (!(await check())) {
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

// One session: a fresh browser, the page loaded without cache, the menu left
// alone, then level 1 with its one slide made and no key after it.
async function session(url) {
  const browser = await launch();
  try {
    const page = await browser.newPage();
    await page.setViewport({width: 1024, height: 768});
    await page.setCacheEnabled(false);
    // Every frame the page shows is looked at until the menu's items are in
    // it; its time counts from the start of the navigation.
    await page.evaluateOnNewDocument(() => {
      window.Module = {
        rtOnFrame: () => {
          if (window.rtMenuFrameAt) return;
          const canvas = document.getElementById('screen');
          const f = canvas.width / 800;
          const d = canvas.getContext('2d').getImageData(312 * f, 464 * f, 104 * f, 16 * f).data;
          for (let i = 0; i < d.length; i += 4) {
            if (d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 56) {
              window.rtMenuFrameAt = performance.now();
              return;
            }
          }
        },
      };
    });
    await page.goto(url);
    await until('the menu', () => page.evaluate(() => window.rtMenuFrameAt !== undefined));
    const loadMs = await page.evaluate(() => window.rtMenuFrameAt);
    await until('the whole menu', () => menuShown(page));
    await sleep(2000);
    const menuCpu = await cpuPercent(browser);

    await page.keyboard.press('Enter', {delay: 150});
    await until('the status line', async () =>
      (await countPixels(page, 168, 560, 223, 575, TEXT)) > 30);
    await page.keyboard.press('KeyX', {delay: 50});
    await sleep(300);
    await page.keyboard.down('ArrowUp');  // completes level 1's route
    await sleep(200);
    await page.keyboard.up('ArrowUp');
    await sleep(1000);
    const playCpu = await cpuPercent(browser);
    return {loadMs, menuCpu, playCpu};
  } finally {
    await browser.close();
  }
}

function gzippedBytes(folder) {
  let total = 0;
  for (const name of readdirSync(folder)) {
    total += gzipSync(readFileSync(path.join(folder, name)), {level: 9}).length;
  }
  return total;
}

const server = await serve(site);
const results = [];
try {
  for (let i = 0; i < runs; i++) {
    console.error(`bench: browser session ${i + 1} of ${runs}`);
    results.push(await session(server.url));
  }
} finally {
  server.stop();
}

const rows = [];
let missed = false;
function row(figure, values, unit, digits, budget, within) {
  const m = median(values);
  const ok = within(m);
  if (!ok) missed = true;
  rows.push(`| ${figure} | ${m.toFixed(digits)}${unit} | ${values.map((v) => v.toFixed(digits)).join(' ')} | ${budget} | ${ok ? 'ok' : 'MISSED'} |`);
}
const size = gzippedBytes(site);
row('everything the page loads, gzipped', [size / 1024], ' KB', 0, '<= 1024 KB',
    (v) => v <= 1024);
row('load to the menu\'s first frame', results.map((r) => r.loadMs), ' ms', 0, '<= 1500 ms',
    (v) => v <= 1500);
row('processor, menu idle', results.map((r) => r.menuCpu), ' %', 1, '<= 3 %', (v) => v <= 3);
row('processor, play, no key', results.map((r) => r.playCpu), ' %', 1, '<= 5 %', (v) => v <= 5);

console.log('| figure | median | runs | budget | verdict |');
console.log('|---|---|---|---|---|');
for (const r of rows) console.log(r);
process.exit(missed ? 1 : 0);
