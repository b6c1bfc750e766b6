// The replay page in a real browser: Debian's chromium, headless, opening the file from the disk.
// node replay-test.js SKIRMORA_SIM EXAMPLES_DIR OUT_DIR
'use strict';
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');

let chromium;
try {
  ({ chromium } = require('playwright-core'));
} catch (error) {
  console.error('playwright-core is missing: run scripts/setup (npm ci --prefix tests/browser)');
  process.exit(1);
}

const [sim, examples, outArg] = process.argv.slice(2);
if (!outArg) {
  console.error('usage: node replay-test.js SKIRMORA_SIM EXAMPLES_DIR OUT_DIR');
  process.exit(2);
}
const out = path.resolve(outArg);
fs.mkdirSync(out, { recursive: true });

// Plays a riot with --html and returns the page's path and the printed timeline: [{to, members, total}].
function record(name, args) {
  const file = path.join(out, name);
  // From the examples' parent, so the page names the files as a modder typing the command would.
  const text = execFileSync(path.resolve(sim), ['run', ...args, '--html', file],
                            { encoding: 'utf8', cwd: path.dirname(path.resolve(examples)) });
  const header = text.split('\n').find((line) => line.includes('time (s)'));
  const factions = header.split(/\s+/).filter((word) => /^F\d+$/.test(word)).length;
  const rows = [];
  for (const line of text.split('\n')) {
    const match = /^\s+(\d+)-(\d+)\s+(?:on|off)\s+([\d\s]+)/.exec(line);
    if (!match) continue;
    const numbers = match[3].trim().split(/\s+/).map(Number);
    rows.push({ to: Number(match[2]), members: numbers.slice(0, factions), total: numbers[factions] });
  }
  assert.ok(rows.length > 0, 'the run printed no timeline');
  return { file, rows, bytes: fs.statSync(file).size };
}

// Opens the page, or the page that links it and then the link.
async function open(browser, file, from) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 1000 } });
  const errors = [];
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(pathToFileURL(from || file).href);
  if (from) await page.click(`a[href$="${path.basename(file)}"]`);
  assert.equal(page.url(), pathToFileURL(file).href);
  await page.waitForFunction(() => window.replay && document.querySelector('#now').hasAttribute('data-count'));
  return { page, errors };
}

const shown = (page) => page.$eval('#now', (now) => ({
  count: Number(now.dataset.count),
  members: [...now.querySelectorAll('[data-faction] .count')].map((c) => Number(c.textContent)),
}));

async function scrubTo(page, seconds) {
  await page.$eval('#scrubber', (input, value) => {
    input.value = String(value);
    input.dispatchEvent(new Event('input', { bubbles: true }));
  }, seconds);
  await page.waitForFunction((value) => Math.abs(window.replay.time() - value) < 0.06 &&
      Number(document.querySelector('#now').dataset.sample) === window.replay.sampleAt(value), seconds);
}

async function main() {
  const folder = path.basename(path.resolve(examples));
  const pictures = path.join(out, 'pictures');
  fs.rmSync(path.join(out, 'pages'), { recursive: true, force: true });
  fs.mkdirSync(path.join(out, 'pages'));  // run --html writes into a folder that is there, as --trace does
  const example = record('pages/example.html', ['--config', `${folder}/Skirmora_config.txt`,
                                          '--scenario', `${folder}/downtown.json`, '--svg', pictures]);
  const config = path.join(out, 'hundred.json');
  fs.writeFileSync(config, '{"MaxRioters": 100, "PedAccuracy": 20, "Factions": [{"MaxMembers": 40}, ' +
                   '{"MaxMembers": 40}, {"MaxMembers": 30, "WillAttackSelf": true}]}');
  const long = record('ten-minutes.html', ['--config', config, '--seconds', '600']);

  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
  try {
    const { page, errors } = await open(browser, example.file, path.join(pictures, 'index.html'));

    // The first moment: nobody yet, and the page agrees with itself.
    assert.equal(await page.evaluate(() => window.replay.time()), 0);
    assert.equal((await shown(page)).count, 0);

    // Every row of the timeline: the page shows the same members per faction at the row's end. A row ends on
    // the frame of a sample, so the moment half a sample later still shows that sample.
    for (const row of example.rows) {
      await scrubTo(page, Math.min(row.to + 0.05, await page.evaluate(() => window.replay.duration)));
      const now = await shown(page);
      assert.deepEqual(now.members, row.members, `members at ${row.to} s`);
      assert.equal(now.count, row.total, `rioters at ${row.to} s`);
    }

    // Play, pause with the keyboard, speeds, arrow keys.
    await scrubTo(page, 5);
    await page.click('#play');
    await page.waitForFunction(() => window.replay.time() > 5.5);
    assert.equal(await page.$eval('#play', (b) => b.textContent), 'Pause');
    await page.click('#speeds [data-speed="16"]');
    assert.equal(await page.evaluate(() => window.replay.speed()), 16);
    // Four game seconds take far less than four seconds (a starved browser may lag, never by that much).
    const before = await page.evaluate(() => ({ game: window.replay.time(), wall: performance.now() }));
    await page.waitForFunction((t) => window.replay.time() > t + 4, before.game);
    assert.ok(await page.evaluate(() => performance.now()) - before.wall < 3000, '16x plays faster');
    await page.keyboard.press('Space');
    assert.equal(await page.evaluate(() => window.replay.playing()), false);
    const paused = await page.evaluate(() => window.replay.time());
    await page.keyboard.press('ArrowRight');
    assert.ok(Math.abs(await page.evaluate(() => window.replay.time()) - paused - 1) < 1e-9);
    await page.keyboard.press('ArrowDown');
    assert.equal(await page.evaluate(() => window.replay.speed()), 4);

    // A click on the chart jumps there, and the panel follows.
    const point = await page.evaluate(() => window.replay.chartPoint(45));
    await page.mouse.click(point.x, point.y);
    await page.waitForFunction(() => Math.abs(window.replay.time() - 45) < 0.3);
    const at45 = await page.evaluate(() => window.replay.countAt(window.replay.time()));
    await page.waitForFunction((n) => Number(document.querySelector('#now').dataset.count) === n, at45);

    // The wheel zooms about the player; a drag moves the map and stops following the player.
    await scrubTo(page, 22);
    const drawn = () => page.evaluate(() => new Promise((done) => requestAnimationFrame(() =>
        requestAnimationFrame(() => done(window.replay.rioters())))));
    const spread = (marks) => Math.hypot(marks[0].x - marks[1].x, marks[0].y - marks[1].y);
    const map = await page.$eval('#view', (v) => { const r = v.getBoundingClientRect(); return { x: r.x, y: r.y }; });
    let marks = await drawn();
    await page.mouse.move(map.x + 300, map.y + 200);
    for (let k = 0; k < 3; k++) await page.mouse.wheel(0, -100);
    const zoomed = await drawn();
    assert.ok(Math.abs(spread(zoomed) / spread(marks) - 1.15 ** 3) < 0.01, 'three notches zoom in 1.15^3');
    await page.mouse.down();
    await page.mouse.move(map.x + 400, map.y + 250, { steps: 4 });
    await page.mouse.up();
    marks = await drawn();
    assert.equal(await page.$eval('#follow', (box) => box.checked), false);
    assert.ok(Math.abs(marks[0].x - zoomed[0].x - 100) < 0.01 && Math.abs(marks[0].y - zoomed[0].y - 50) < 0.01);
    await page.mouse.dblclick(map.x + 300, map.y + 200);
    assert.equal(await page.$eval('#follow', (box) => box.checked), true);

    // Pointing at an armed rioter shows its faction, its target and its weapons.
    const rioters = await drawn();
    assert.equal(rioters.length, await page.evaluate(() => window.replay.count()), 'one mark per rioter');
    const armed = rioters.find((r) => !r.dead && !r.gone && r.weapons > 0 &&
        rioters.every((o) => o === r || Math.hypot(o.x - r.x, o.y - r.y) > 12));
    assert.ok(armed, 'an armed rioter stands clear of the others at 22 s');
    await page.mouse.move(armed.x, armed.y);
    await page.waitForSelector('#tip:not([hidden])');
    assert.equal(await page.$eval('#tip', (tip) => Number(tip.dataset.id)), armed.id);
    const tip = await page.$eval('#tip', (t) => t.textContent);
    const factionName = await page.$eval(`#now [data-faction="${armed.faction}"] .name`, (n) => n.textContent);
    assert.ok(tip.includes(factionName), `the tip names the faction: ${tip}`);
    assert.match(tip, /target: (the player|#\d+ \(F\d+\))/);
    assert.match(tip, /weapons handed: WEAPON_[A-Z_]+ \(\d+\.\d(, \d+\.\d)* s\)/);
    console.log(`hover: ${tip}`);

    fs.mkdirSync(path.join(out, 'shots'), { recursive: true });
    const shot = path.join(out, 'shots', 'replay.png');
    await page.screenshot({ path: shot, fullPage: true });
    console.log(`screenshot: ${shot}`);
    assert.deepEqual(errors, [], 'the console stays clean');

    // The long riot: how smoothly it plays at the fastest speed.
    const big = await open(browser, long.file);
    await big.page.evaluate(() => { window.replay.seek(200); window.replay.setSpeed(16); window.replay.play(); });
    const start = await big.page.evaluate(() => ({ frames: window.replay.stats.frames, ms: window.replay.stats.drawMs,
                                                   wall: performance.now(), peak: window.replay.count() }));
    await big.page.waitForTimeout(3000);
    const end = await big.page.evaluate(() => ({ frames: window.replay.stats.frames, ms: window.replay.stats.drawMs,
                                                 wall: performance.now() }));
    const frames = end.frames - start.frames;
    assert.ok(frames > 0, 'the long riot plays');
    assert.deepEqual(big.errors, [], 'the console stays clean on the long riot');
    // What the browser gives an empty page on this machine now, for scale.
    const idle = await big.page.evaluate(() => new Promise((done) => {
      let n = 0;
      const t0 = performance.now();
      document.body.innerHTML = '';
      (function step() { n += 1; if (performance.now() - t0 < 1000) requestAnimationFrame(step); else done(n); })();
    }));
    console.log(`example riot: ${example.bytes} bytes; 10-minute riot (${start.peak} rioters at 200 s): ` +
                `${long.bytes} bytes`);
    console.log(`playing the 10-minute riot at 16x: ${(frames / (end.wall - start.wall) * 1000).toFixed(1)} ` +
                `frames per second, ${((end.ms - start.ms) / frames).toFixed(2)} ms of script each (an empty page: ${idle})`);
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
