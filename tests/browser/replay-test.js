// The replay page in a real browser: Debian's chromium, headless, opening the file from the disk.
// node replay-test.js SKIRMORA_SIM EXAMPLES_DIR OUT_DIR
'use strict';
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');

const { launchChromium } = require('./browser');

const [sim, examples, outArg] = process.argv.slice(2);
if (!outArg) {
  console.error('usage: node replay-test.js SKIRMORA_SIM EXAMPLES_DIR OUT_DIR');
  process.exit(2);
}
const out = path.resolve(outArg);
fs.mkdirSync(out, { recursive: true });
const shots = path.join(out, 'shots');
fs.mkdirSync(shots, { recursive: true });

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
  return { file, rows, factions: factionTable(text), bytes: fs.statSync(file).size };
}

// The factions' table run prints after its totals: per faction its numbers and its weapons' line.
function factionTable(text) {
  const lines = text.split('\n'), factions = [];
  for (let k = lines.findIndex((line) => /^Factions\s+members/.test(line)) + 1; k > 0 && k < lines.length; k++) {
    const row = /^  F\d+\s+(.*)$/.exec(lines[k]);
    if (row) factions.push({ cells: row[1].trim().split(/\s{2,}/), weapons: '' });
    else if (/^ {4}/.test(lines[k]) && factions.length) {
      factions[factions.length - 1].weapons += lines[k].replace('weapons handed (kills):', '').trim() + ' ';
    } else break;
  }
  factions.forEach((f) => { f.weapons = f.weapons.trim(); });
  return factions;
}

// A CSV line's fields (quoted fields may hold commas and doubled quotes).
const csvFields = (line) => [...line.matchAll(/("(?:[^"]|"")*"|[^,]*)(,|$)/g)].slice(0, -1)
  .map((m) => m[1].replace(/^"|"$/g, '').replace(/""/g, '"'));

// Opens the page (or the page that links it, then the link) and keeps what it logs and any request it makes.
async function open(browser, file, { from, hash = '', options = {} } = {}) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 1000 }, acceptDownloads: true, ...options });
  const page = await context.newPage();
  const errors = [];
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(String(error)));
  const target = pathToFileURL(file).href;
  let watching = !from;  // the page that links it has pictures of its own
  await context.route('**/*', (route) => {
    const url = route.request().url();
    if (!watching || url.startsWith(target)) return route.continue();
    errors.push(`a request: ${url}`);
    return route.abort();
  });
  await page.goto((from ? pathToFileURL(from).href : target) + hash);
  if (from) {
    watching = true;
    await page.click(`a[href$="${path.basename(file)}"]`);
  }
  assert.equal(page.url().split('#')[0], target);
  await page.waitForFunction(() => window.replay && document.querySelector('#now').hasAttribute('data-count'));
  return { page, errors };
}

const shown = (page) => page.$eval('#now', (now) => ({
  count: Number(now.dataset.count),
  members: [...now.querySelectorAll('[data-faction] .count')].map((c) => Number(c.textContent)),
}));
const now = (page) => page.evaluate(() => window.replay.time());
// What two frames from now will have drawn.
const drawn = (page) => page.evaluate(() => new Promise((done) => requestAnimationFrame(() =>
    requestAnimationFrame(() => done(window.replay.rioters())))));
// A living rioter with no other mark near it, so that pointing at it can only mean it.
const apart = (marks, test = () => true) => marks.find((r) => !r.dead && !r.gone && test(r) &&
    marks.every((o) => o === r || Math.hypot(o.x - r.x, o.y - r.y) > 12));

async function seekTo(page, seconds) {
  await page.evaluate((t) => window.replay.seek(t), seconds);
  await page.waitForFunction((value) => Math.abs(window.replay.time() - value) < 0.06 &&
      Number(document.querySelector('#now').dataset.sample) === window.replay.sampleAt(value), seconds);
}

// The page agrees with the run's own timeline, plays, pauses and jumps.
async function checkPlayback(page, example) {
  assert.equal(await now(page), 0);
  assert.equal((await shown(page)).count, 0);
  // A row ends on the frame of a sample, so the moment half a sample later still shows that sample.
  for (const row of example.rows) {
    await seekTo(page, Math.min(row.to + 0.05, await page.evaluate(() => window.replay.duration)));
    const members = await shown(page);
    assert.deepEqual(members.members, row.members, `members at ${row.to} s`);
    assert.equal(members.count, row.total, `rioters at ${row.to} s`);
  }
  await seekTo(page, 5);
  await page.click('#play');
  await page.waitForFunction(() => window.replay.time() > 5.5);
  assert.equal(await page.$eval('#play', (b) => b.textContent), 'Pause');
  await page.selectOption('#speed', '16');
  assert.equal(await page.evaluate(() => window.replay.speed()), 16);
  // Four game seconds go by; how fast is logged, not judged (a starved browser may lag).
  const before = await page.evaluate(() => ({ game: window.replay.time(), wall: performance.now() }));
  await page.waitForFunction((t) => window.replay.time() > t + 4, before.game);
  const wall = await page.evaluate(() => performance.now()) - before.wall;
  console.log(`16x: 4 game seconds in ${(wall / 1000).toFixed(2)} s`);
  await page.focus('#timebar');
  await page.keyboard.press('Space');
  assert.equal(await page.evaluate(() => window.replay.playing()), false);
  const paused = await now(page);
  await page.keyboard.press('ArrowRight');
  assert.ok(Math.abs(await now(page) - paused - 1) < 1e-9);
  await page.evaluate(() => document.activeElement.blur());  // on the page, up and down change the speed
  const keys = [8, 4, 2, 1, 0.5, 0.25, 0.25].map((n) => ['ArrowDown', n]).concat([['ArrowUp', 0.5], ['ArrowUp', 1]]);
  for (const [key, speed] of keys) {
    await page.keyboard.press(key);
    assert.equal(await page.evaluate(() => window.replay.speed()), speed);
  }
  // A click on the chart jumps there, and the panel follows; the clock says the same moment.
  const point = await page.evaluate(() => window.replay.chartPoint(45));
  await page.mouse.click(point.x, point.y);
  await page.waitForFunction(() => Math.abs(window.replay.time() - 45) < 0.3);
  const at45 = await page.evaluate(() => window.replay.countAt(window.replay.time()));
  await page.waitForFunction((n) => Number(document.querySelector('#now').dataset.count) === n, at45);
  assert.equal(await page.$eval('#clock', (c) => c.textContent.split(' / ')[0]), (await now(page)).toFixed(1));
  // Pointing at the chart reads out that moment's counts.
  await page.mouse.move(point.x + 1, point.y);
  const read = await page.$eval('#chart-read', (r) => r.textContent);
  const t = Number(/^\d+\.\d/.exec(read)[0]);
  const counts = await page.evaluate((at) => [window.replay.countAt(at), ...window.replay.factionCountsAt(at)], t);
  assert.match(read, new RegExp(`all ${counts[0]}.*${counts.slice(1).map((n, f) => `F${f} ${n}`).join('.*')}`), read);
  // The player where the scenario's path puts him (a frame late: the run records the frame before): walking,
  // driving, standing still.
  for (const [at, x, y] of [[15, 20, 5], [35, 150, 35], [50, 253.33, 73.33], [70, 250, 80]]) {
    const p = await page.evaluate((time) => window.replay.playerAt(time), at);
    assert.ok(Math.hypot(p.x - x, p.y - y) < 0.5, `the player at ${at} s: ${JSON.stringify(p)}`);
  }
}

// The wheel zooms about the player; a drag moves the map and stops following the player.
async function checkMap(page) {
  await seekTo(page, 22);
  const spread = (marks) => Math.hypot(marks[0].x - marks[1].x, marks[0].y - marks[1].y);
  const map = await page.$eval('#view', (v) => { const r = v.getBoundingClientRect(); return { x: r.x, y: r.y }; });
  let marks = await drawn(page);
  await page.mouse.move(map.x + 300, map.y + 200);
  for (let k = 0; k < 3; k++) await page.mouse.wheel(0, -100);
  const zoomed = await drawn(page);
  assert.ok(Math.abs(spread(zoomed) / spread(marks) - 1.15 ** 3) < 0.01, 'three notches zoom in 1.15^3');
  await page.mouse.down();
  await page.mouse.move(map.x + 400, map.y + 250, { steps: 4 });
  await page.mouse.up();
  marks = await drawn(page);
  assert.equal(await page.$eval('#follow', (box) => box.checked), false);
  assert.ok(Math.abs(marks[0].x - zoomed[0].x - 100) < 0.01 && Math.abs(marks[0].y - zoomed[0].y - 50) < 0.01);
  await page.mouse.dblclick(map.x + 300, map.y + 200);
  assert.equal(await page.$eval('#follow', (box) => box.checked), true);
}

// Pointing at a rioter tells about it; a click selects it, and a number in the tip selects that rioter.
async function checkSelection(page) {
  await page.click('#tab-factions');  // for the README's picture
  await page.evaluate(() => document.activeElement.blur());
  await page.keyboard.press('Escape');
  const rioters = await drawn(page);
  assert.equal(rioters.length, await page.evaluate(() => window.replay.count()), 'one mark per rioter');
  const armed = apart(rioters, (r) => r.weapons > 0);
  assert.ok(armed, 'an armed rioter stands clear of the others at 22 s');
  await page.mouse.move(armed.x, armed.y);
  await page.waitForSelector('#tip:not([hidden])');
  assert.equal(await page.$eval('#tip', (tip) => Number(tip.dataset.id)), armed.id);
  const tip = await page.$eval('#tip', (t) => t.textContent);
  const factionName = await page.$eval(`#now [data-faction="${armed.faction}"] .name`, (n) => n.textContent);
  assert.ok(tip.includes(factionName), `the tip names the faction: ${tip}`);
  assert.match(tip, /target: (the player|#\d+ \(F\d+\))/);
  assert.match(tip, /model: (g_m_y_\w+|a random pedestrian)/);
  assert.match(tip, /last weapons handed: WEAPON_[A-Z_]+ \(\d+\.\d\)/);
  await page.mouse.click(armed.x, armed.y);
  assert.equal(await page.evaluate(() => window.replay.picked()), armed.id);
  const panel = await page.$eval('#pick', (p) => p.textContent);
  assert.ok(panel.includes(`#${armed.id}`) && panel.includes(factionName), panel);
  assert.match(panel, /recruited at \d+\.\d s/);
  assert.match(panel, /handed WEAPON_[A-Z_]+/);
  await page.screenshot({ path: path.join(shots, 'replay.png') });
  await page.click('#tab-chart');
  const target = await page.$('#tip button.who');
  if (target) {
    const id = Number(await target.getAttribute('data-id'));
    await target.click();
    assert.equal(await page.evaluate(() => window.replay.picked()), id, 'the number in the tip selects');
  }
}

// The search box finds a rioter by its number (going to its recruitment) and a faction by its name; the panel
// says how each ended and what it was made of.
async function checkSearch(page) {
  const ended = await page.$$eval('#events .ev.death', (rows) => rows.map((r) => r.textContent));
  const killed = /#(\d+) F\d killed by #(\d+) F\d/.exec(ended.join('\n'));
  assert.ok(killed, `a death with its killer in view: ${ended}`);
  await seekTo(page, 89);
  await page.fill('#find', `#${killed[1]}`);
  await page.press('#find', 'Enter');
  assert.equal(await page.evaluate(() => window.replay.picked()), Number(killed[1]));
  const panel = await page.$eval('#pick', (p) => p.textContent);
  assert.ok(panel.includes(`killed at`) && panel.includes(`by #${killed[2]}`), panel);
  assert.ok(await now(page) < 89, 'found before its end, it is shown from its recruitment');
  const recruits = await page.$$eval('#pick p', (ps) => ps.map((p) => p.textContent).join('\n'));
  assert.match(recruits, /model: (g_m_y_\w+|a random pedestrian)/);
  await page.fill('#find', 'f2 (cap 6');
  await page.press('#find', 'Enter');
  assert.equal(await page.$eval('#faction-filter', (s) => s.value), '2');
  const rows = await page.$$eval('#events .ev:not([hidden])', (r) => r.map((row) => row.textContent));
  assert.ok(rows.length > 0 && rows.every((row) => /^\d+(\.\d+)?(#\d+ F2 |a failed spawn \(F2\))/.test(row)), rows.join('\n'));
  await page.fill('#find', '');
  await page.dispatchEvent('#find', 'input');
  assert.equal(await page.$eval('#faction-filter', (s) => s.value), '-1');
}

// The time bar's and the chart's marks stand where the scenario put the presses, the car and the death.
async function checkMarks(page) {
  const marks = await page.evaluate(() => window.replay.marks());
  // Within a sample and a frame: a sample sees the world as the frame before left it.
  const near = (a, b, what) => assert.ok(Math.abs(a - b) <= 0.12, `${what}: ${a} against ${b}`);
  assert.deepEqual(marks.presses.map((p) => p.toggle), [true, true]);
  marks.presses.forEach((p, k) => near(p.t, [1, 80][k], 'a press of the toggle key'));
  assert.equal(marks.reloads.length, 2);
  marks.reloads.forEach((t, k) => near(t, [1, 80][k], 'the config read again at the press'));
  assert.equal(marks.mode.length, 1);
  near(marks.mode[0][0], 1, 'mode on'); near(marks.mode[0][1], 80, 'mode off');
  assert.equal(marks.vehicle.length, 1);
  near(marks.vehicle[0][0], 30, 'in the car');
  // Killed in the car, he lies in it until he is back, 8 s later.
  const inCar = marks.deaths.find((t) => t > 30 && t < 40);
  near(marks.vehicle[0][1], inCar ? inCar + 8 : 40, 'out of the car');
  assert.ok(marks.deaths.some((t) => Math.abs(t - 60) <= 0.12), `the death at 60 s: ${marks.deaths}`);
  assert.equal(marks.deaths.length, Number(/the player died (\d+)/.exec(await page.$eval('#totals', (t) => t.textContent))[1]));
  // Drawn there: something at a press's place on the bar, nothing in the same row where nothing happened.
  const inked = (t, y) => page.evaluate(({ t, y }) => {
    const bar = document.querySelector('#timebar'), rect = bar.getBoundingClientRect(), p = window.replay.barPoint(t, y);
    const ratio = bar.width / rect.width;
    return bar.getContext('2d').getImageData(Math.round((p.x - rect.left) * ratio), Math.round(y * ratio), 1, 1).data[3];
  }, { t, y });
  assert.ok(await inked(80, 4) > 0, 'a press drawn at 80 s');
  assert.equal(await inked(50, 4), 0, 'no press at 50 s');
  assert.ok(await inked(35, 25) > 0, 'the vehicle span drawn at 35 s');
  assert.equal(await inked(20, 25), 0, 'no vehicle at 20 s');
  // A press on the bar goes there.
  const bar = await page.evaluate(() => window.replay.barPoint(30, 15));
  await page.mouse.click(bar.x, bar.y);
  near(await now(page), 30, 'a click on the time bar');
  // Shift and a drag zoom the bar and the chart to that span; a click then reads within it; back to the whole.
  const [from, to] = await page.evaluate(() => [window.replay.barPoint(20, 15), window.replay.barPoint(40, 15)]);
  await page.keyboard.down('Shift');
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(to.x, to.y, { steps: 5 });
  await page.mouse.up();
  await page.keyboard.up('Shift');
  const span = await page.evaluate(() => window.replay.span());
  near(span.from, 20, 'the span from'); near(span.to, 40, 'the span to');
  const quarter = await page.evaluate(() => { const r = document.querySelector('#timebar').getBoundingClientRect(); return { x: r.left + 8 + (r.width - 16) / 4, y: r.top + 15 }; });
  await page.mouse.click(quarter.x, quarter.y);
  near(await now(page), 25, 'a quarter of the zoomed bar');
  await page.click('#whole-run');
  assert.deepEqual(await page.evaluate(() => window.replay.span()), { from: 0, to: await page.evaluate(() => window.replay.duration) });
}

// The story: every event, filtered by kind, following the playhead; a click goes to the event; CSV.
async function checkEvents(page) {
  await page.evaluate(() => document.activeElement.blur());
  await page.keyboard.press('Escape');
  await seekTo(page, 50);
  // The row of the last event so far is marked and in view, the next one is later.
  const current = await page.$eval('#events .ev.now', (row) => {
    const box = row.parentNode.getBoundingClientRect(), at = row.getBoundingClientRect();
    return { text: row.textContent, inView: at.top >= box.top && at.bottom <= box.bottom };
  });
  assert.ok(Number(/^\d+(\.\d+)?/.exec(current.text)[0]) <= 50 && current.inView, JSON.stringify(current));
  for (const kind of ['press', 'mode', 'player', 'vehicle', 'recruit', 'release']) await page.click(`#kinds [data-kind="${kind}"]`);
  const rows = await page.$$eval('#events .ev:not([hidden])', (r) => r.map((row) => ({ kind: row.className, text: row.textContent })));
  assert.ok(rows.length > 3 && rows.every((row) => /\bdeath\b/.test(row.kind)), JSON.stringify(rows));
  // A row in full view (rows out of view are drawn again for other events as the list scrolls).
  const { text, x, y } = await page.$eval('#events', (box) => {
    const frame = box.getBoundingClientRect();
    const row = [...box.querySelectorAll('.ev:not([hidden]):not(.now)')].find((r) => {
      const at = r.getBoundingClientRect();
      return at.top >= frame.top && at.bottom <= frame.bottom;
    });
    const at = row.getBoundingClientRect();
    return { text: row.textContent, x: at.x + 20, y: at.y + at.height / 2 };
  });
  await page.mouse.click(x, y);
  const [, at, id] = /^(\d+(?:\.\d+)?)#(\d+)/.exec(text);
  assert.match(text, /#\d+ F\d killed by #\d+ F\d (with WEAPON_[A-Z_]+|unarmed)$/, 'the kill line names the weapon');
  assert.ok(Math.abs(await now(page) - Number(at)) <= 0.05, `the click went to ${at}`);
  assert.equal(await page.evaluate(() => window.replay.picked()), Number(id));
  await page.check('#only-pick');
  const own = await page.$$eval('#events .ev:not([hidden])', (r) => r.map((row) => row.textContent));
  assert.ok(own.length >= 1 && own.every((line) => line.includes(`#${id} `)), own.join('\n'));
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#csv')]);
  const csv = fs.readFileSync(await download.path(), 'utf8').trim().split('\r\n');
  assert.equal(csv[0], "time (s),kind,rioter,faction,killer,killer's faction,weapon,reason,x,y");
  assert.equal(csv.length - 1, Number(await page.$eval('#events', (e) => e.dataset.shown)));
  const fields = csvFields(csv.find((line) => line.includes(`,death,${id},`)));
  assert.equal(fields.length, 10, csv[1]);
  assert.equal(Number(fields[0]), Number(at));
  assert.match(fields[3], /^F\d \(cap /);
  assert.ok(/^\d+$/.test(fields[4]) && /^F\d \(cap /.test(fields[5]) && /^(WEAPON_[A-Z_]+|unarmed)$/.test(fields[6]), fields.join('|'));
  assert.ok(/^-?\d+\.\d$/.test(fields[8]) && /^-?\d+\.\d$/.test(fields[9]), fields.join('|'));
  await page.click('#link');
  assert.ok(page.url().endsWith(`#t=${Number(at)}&r=${id}`), page.url());
  await page.uncheck('#only-pick');
  for (const kind of ['press', 'mode', 'player', 'vehicle', 'recruit', 'release']) await page.click(`#kinds [data-kind="${kind}"]`);
}

// The factions compared: the page's table over the whole run is the one run printed; up to the end of the run it
// is the same, up to a moment before it counts less. The killer's number in a kill line selects the killer.
async function checkFactions(page, example) {
  const table = () => page.$$eval('#factions tbody tr', (rows) => rows.map((row) => {
    const cells = [...row.cells].map((cell) => cell.textContent);
    return { cells: cells.slice(1, 9), weapons: cells[9] };
  }));
  await page.click('#tab-factions');
  assert.equal(await page.$eval('#tab-factions', (t) => t.getAttribute('aria-selected')), 'true');
  assert.ok(example.factions.length >= 3, 'run printed the factions');
  assert.deepEqual(await table(), example.factions, 'the page and run give the same numbers');
  await page.check('#scope input[value="now"]');
  await seekTo(page, await page.evaluate(() => window.replay.duration));
  assert.deepEqual(await table(), example.factions, 'up to the end is the whole run');
  await seekTo(page, 40);
  const early = await table(), sum = (rows, c) => rows.reduce((n, row) => n + Number(row.cells[c]), 0);
  assert.ok(sum(early, 1) > 0 && sum(early, 1) < sum(example.factions, 1), 'fewer recruited by 40 s');
  assert.ok(sum(early, 3) < sum(example.factions, 3), 'fewer deaths by 40 s');
  await page.check('#scope input[value="all"]');
  await page.click('#tab-chart');
  const killer = await page.$('#events .ev.death:not([hidden]) button.who');
  const id = Number(await killer.getAttribute('data-id'));
  await killer.click();
  assert.equal(await page.evaluate(() => window.replay.picked()), id, 'the killer\'s number selects the killer');
}

// The keyboard: a focused control keeps its keys (Space and Enter toggle a checkbox), the page's keys act
// elsewhere and after Escape; the time bar moves time with all four arrows; event rows take the focus and Enter.
async function checkKeys(page) {
  await page.keyboard.press('Escape');
  await page.evaluate(() => { document.activeElement.blur(); window.replay.pause(); window.replay.setSpeed(1); });
  await seekTo(page, 20);
  await page.focus('#follow');
  const follow = () => page.$eval('#follow', (box) => box.checked);
  const was = await follow();
  await page.keyboard.press('Space');
  assert.equal(await follow(), !was, 'Space toggles a focused checkbox');
  assert.equal(await page.evaluate(() => window.replay.playing()), false, 'and does not play');
  await page.keyboard.press('Enter');
  assert.equal(await follow(), was, 'Enter toggles it back');
  await page.keyboard.press('Escape');
  await page.keyboard.press('Space');
  assert.equal(await page.evaluate(() => window.replay.playing()), true, 'after Escape, Space plays');
  await page.keyboard.press('Space');
  await seekTo(page, 20);
  await page.focus('#timebar');
  await page.keyboard.press('ArrowUp');
  assert.ok(Math.abs(await now(page) - 21) < 1e-9 && await page.evaluate(() => window.replay.speed()) === 1,
            'Up on the time bar moves time, not the speed');
  await page.keyboard.press('ArrowDown');
  assert.ok(Math.abs(await now(page) - 20) < 1e-9);
  await page.keyboard.press('n');
  const next = await now(page);
  assert.ok(next > 20 && next < 25, `n goes to the next event: ${next}`);
  await page.focus('#find');
  await page.fill('#find', '#' + (await drawn(page))[0].id);
  await page.keyboard.press('Enter');
  const found = await now(page);
  await page.keyboard.press('ArrowRight');
  assert.ok(Math.abs(await now(page) - found - 1) < 1e-9, 'after a search the arrows seek');
  await drawn(page);  // the list has followed the playhead
  const row = await page.evaluateHandle(() => {
    const box = document.querySelector('#events'), frame = box.getBoundingClientRect();
    const inView = [...box.querySelectorAll('.ev:not([hidden]):not(.now)')].find((r) => {
      const at = r.getBoundingClientRect();
      return at.top >= frame.top && at.bottom <= frame.bottom - 30;
    });
    inView.focus({ preventScroll: true });
    return inView;
  });
  const [rowAt, q] = [Number(/^[\d.]+/.exec(await row.textContent())[0]), Number(await row.getAttribute('data-q'))];
  await page.keyboard.press('Enter');
  assert.ok(Math.abs(await now(page) - rowAt) < 0.2, 'Enter on a row goes to its event');
  await page.keyboard.press('ArrowDown');
  assert.equal(await page.evaluate(() => Number(document.activeElement.dataset.q)), q + 1, 'Down: the next row');
  await page.keyboard.press('Escape');
}

// The contrast of two #rrggbb colours, as WCAG reckons it.
function contrast(a, b) {
  const lum = (hex) => [1, 3, 5].map((k) => parseInt(hex.slice(k, k + 2), 16) / 255)
    .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4))
    .reduce((sum, c, k) => sum + c * [0.2126, 0.7152, 0.0722][k], 0);
  const [x, y] = [lum(a), lum(b)].sort((p, q) => q - p);
  return (x + 0.05) / (y + 0.05);
}

// The layouts: on common laptop windows the map takes half the height or more, a selection leaves the event
// list in view, the tip stays small; both themes; a screenshot of each.
async function checkLayouts(browser, file) {
  for (const [width, height] of [[1920, 1080], [1366, 650], [1280, 720]]) {
    for (const colorScheme of ['light', 'dark']) {
      const { page, errors } = await open(browser, file, { hash: '#t=22', options: { viewport: { width, height }, colorScheme } });
      const box = (selector) => page.$eval(selector, (e) => { const r = e.getBoundingClientRect(); return { top: r.top, bottom: r.bottom, height: r.height }; });
      const map = await box('#view');
      assert.equal(await page.$eval('#loading', (word) => word.offsetHeight), 0, 'the loading word is gone');
      assert.ok(map.height >= height / 2 && map.bottom <= height, `the map at ${width}x${height}: ${JSON.stringify(map)}`);
      const one = apart(await drawn(page));
      await page.mouse.move(one.x, one.y);
      await page.waitForSelector('#tip:not([hidden])');
      const tip = await box('#tip');
      assert.ok(tip.top >= map.top && tip.bottom <= map.bottom + 1 && tip.height < 260, `the tip: ${JSON.stringify(tip)}`);
      await page.mouse.click(one.x, one.y);
      const rows = await page.$eval('#events', (list) => {
        const frame = list.getBoundingClientRect();
        return [...list.querySelectorAll('.ev:not([hidden])')].filter((r) => {
          const at = r.getBoundingClientRect();
          return at.top >= frame.top && at.bottom <= Math.min(frame.bottom, innerHeight);
        }).length;
      });
      assert.ok(rows >= 5, `${rows} event rows in view at ${width}x${height} with a rioter selected`);
      // Sixteen factions tell apart by colour and shape, each colour 3:1 or more against the map.
      const styles = await page.evaluate(() => [...Array(16).keys()].map((f) => window.replay.style(f)));
      assert.equal(new Set(styles.map((st) => st.colour + st.shape)).size, 16, JSON.stringify(styles));
      for (const st of styles) assert.ok(contrast(st.colour, st.map) >= 3, `${st.colour} on ${st.map} (${colorScheme})`);
      const background = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
      assert.equal(background.match(/\d+/g).map(Number).reduce((a, b) => a + b) < 120, colorScheme === 'dark', background);
      await page.screenshot({ path: path.join(shots, `replay-${width}x${height}-${colorScheme}.png`) });
      assert.deepEqual(errors, []);
      await page.context().close();
    }
  }
}

// A phone: long and hostile names stay text and wrap, nothing is wider than the screen, dark when the system is;
// a tap selects, two fingers zoom, one finger moves the map only once it has been tapped.
const phone = { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true, colorScheme: 'dark' };
async function checkPhone(browser, file) {
  const { page, errors } = await open(browser, file, { hash: '#t=12.5', options: phone });
  assert.equal(await now(page), 12.5, 'the link opens at its moment');
  const title = await page.$eval('#title', (t) => t.textContent);
  assert.ok(title.includes('<img src=x') && title.includes('\\x01'), title);  // as text, control bytes as \xNN
  const marks = await drawn(page);
  const one = apart(marks);
  assert.ok(one, 'a rioter to tap');
  await page.touchscreen.tap(one.x, one.y);
  assert.equal(await page.evaluate(() => window.replay.picked()), one.id);
  assert.equal(await page.$eval('#view', (v) => getComputedStyle(v).touchAction), 'none');
  // Its card where the finger is, not a screen below.
  const card = await page.$eval('#tip', (t) => ({ shown: !t.hidden, id: Number(t.dataset.id), ...t.getBoundingClientRect().toJSON() }));
  assert.ok(card.shown && card.id === one.id && card.top >= 0 && card.bottom <= 844 &&
            Math.abs(card.top + card.height / 2 - one.y) < 250, `the tapped rioter's card: ${JSON.stringify(card)}`);
  // Targets a finger can hit.
  const small = await page.$$eval('button:not(.who):not(.when), select, #find, summary, #events .ev:not([hidden])',
                                  (all) => all.filter((e) => e.offsetParent && e.getBoundingClientRect().height < 44)
                                    .map((e) => e.id || e.textContent.slice(0, 20)));
  assert.deepEqual(small, [], 'targets of 44 px at least');
  const cdp = await page.context().newCDPSession(page);
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
  const box = await page.$eval('#view', (v) => { const r = v.getBoundingClientRect(); return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; });
  const before = await drawn(page);
  await touch('touchStart', [[box.x - 40, box.y], [box.x + 40, box.y]]);
  await touch('touchMove', [[box.x - 80, box.y], [box.x + 80, box.y]]);
  await touch('touchEnd', []);
  const after = await drawn(page);
  const gap = (m) => Math.hypot(m[0].x - m[1].x, m[0].y - m[1].y);
  assert.ok(Math.abs(gap(after) / gap(before) - 2) < 0.05, `a pinch to twice the spread zooms twice: ${gap(after) / gap(before)}`);
  const layout = await page.evaluate(() => ({
    width: document.documentElement.scrollWidth,
    wider: [...document.querySelectorAll('body *')].filter((e) => e.getBoundingClientRect().right > innerWidth + 0.5 &&
                                                         !e.closest('#events')).map((e) => e.id || e.className || e.tagName),
    background: getComputedStyle(document.body).backgroundColor,
    injected: document.querySelectorAll('img, svg, b[id]').length + (window.pwned ? 1 : 0),
    pick: document.querySelector('#pick').textContent,
  }));
  assert.equal(layout.width, 390, 'no horizontal scrolling at 390 px');
  assert.deepEqual(layout.wider, [], 'nothing reaches past the right edge');
  const [r, g, b] = layout.background.match(/\d+/g).map(Number);
  assert.ok(r + g + b < 120, `a dark page: ${layout.background}`);
  assert.equal(layout.injected, 0, 'names stay text');
  const pressMarks = await page.evaluate(() => [window.replay.marks().presses.length, window.replay.barMarks().presses]);
  assert.ok(pressMarks[0] === 151 && pressMarks[1] * 22 <= 390, `${pressMarks[1]} marks for ${pressMarks[0]} presses`);
  // An event tapped far below the map brings the map back.
  await page.$eval('#events', (e) => e.scrollIntoView());
  const row = await page.$('#events .ev:not([hidden])');
  await row.tap();
  const top = await page.$eval('#view', (v) => v.getBoundingClientRect().top);
  assert.ok(Math.abs(top) < 2, `the map back in view: ${top}`);
  assert.deepEqual(errors, [], 'the console stays clean and nothing is fetched');
  await page.context().close();
}

// The example riot on a phone, for the README.
// Then in the light: the same card under the finger, nothing wider than the screen.
async function phoneShot(browser, file) {
  for (const colorScheme of ['dark', 'light']) {
    const { page, errors } = await open(browser, file, { hash: '#t=22', options: { ...phone, colorScheme } });
    const one = apart(await drawn(page));
    await page.touchscreen.tap(one.x, one.y);
    await drawn(page);
    const seen = await page.evaluate(() => ({ card: !document.querySelector('#tip').hidden, width: document.documentElement.scrollWidth,
                                              background: getComputedStyle(document.body).backgroundColor }));
    assert.ok(seen.card && seen.width === 390, JSON.stringify(seen));
    assert.equal(seen.background.match(/\d+/g).map(Number).reduce((a, b) => a + b) < 120, colorScheme === 'dark');
    await page.screenshot({ path: path.join(shots, colorScheme === 'dark' ? 'replay-phone.png' : 'replay-phone-light.png') });
    assert.deepEqual(errors, []);
    await page.context().close();
  }
}

// An hour of 100 rioters: the page's size and memory, its event list, and how smoothly it plays at 16x.
async function checkHour(browser, hour) {
  assert.ok(hour.bytes <= 10 * 1024 * 1024, `the hour's page is ${hour.bytes} bytes`);
  const { page, errors } = await open(browser, hour.file);
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('HeapProfiler.collectGarbage');
  const heap = await cdp.send('Runtime.getHeapUsage');
  const memory = heap.usedSize + (heap.backingStorageSize || 0);
  assert.ok(memory <= 64 * 1024 * 1024, `the hour's page holds ${memory} bytes of JavaScript heap and arrays`);
  // The player's many deaths crowd the bar: they share marks that count them.
  const deaths = await page.evaluate(() => [window.replay.marks().deaths.length, window.replay.barMarks().deaths]);
  assert.ok(deaths[0] > 100 && deaths[1] < deaths[0] && deaths[1] * 10 <= 1280, `${deaths[1]} marks for ${deaths[0]} deaths`);
  const rows = await page.$$eval('#events .ev', (r) => r.length);
  const events = Number(await page.$eval('#events', (e) => e.dataset.shown));
  assert.ok(events > 10000 && rows < 100, `${rows} rows drawn for ${events} events`);
  // A rioter handed a weapon at each of many targets: the tip lists the last few and counts the rest.
  await page.evaluate(() => window.replay.seek(3000));
  const many = (await drawn(page)).filter((r) => !r.dead && !r.gone).sort((a, b) => b.weapons - a.weapons)[0];
  await page.mouse.move(many.x, many.y);
  await page.waitForSelector('#tip:not([hidden])');
  const tip = await page.$eval('#tip', (t) => ({ height: t.offsetHeight, text: t.textContent }));
  assert.ok(tip.height < 260, `a tip of ${tip.height} px for ${many.weapons} weapons`);
  if (many.weapons > 3) assert.match(tip.text, /and \d+ before/);
  await page.evaluate(() => { window.replay.seek(1200); window.replay.setSpeed(16); window.replay.play(); });
  const start = await page.evaluate(() => ({ frames: window.replay.stats.frames, ms: window.replay.stats.drawMs,
                                             wall: performance.now(), peak: window.replay.count() }));
  await page.waitForTimeout(3000);
  const end = await page.evaluate(() => ({ frames: window.replay.stats.frames, ms: window.replay.stats.drawMs,
                                           wall: performance.now() }));
  const frames = end.frames - start.frames;
  assert.ok(frames > 0, 'the hour plays');
  assert.deepEqual(errors, [], 'the console stays clean on the hour');
  // What the browser gives an empty page on this machine now, for scale.
  const idle = await page.evaluate(() => new Promise((done) => {
    let n = 0;
    const t0 = performance.now();
    document.body.textContent = '';
    (function step() { n += 1; if (performance.now() - t0 < 1000) requestAnimationFrame(step); else done(n); })();
  }));
  console.log(`the hour (${start.peak} rioters at 1200 s): ${hour.bytes} bytes, ${(heap.usedSize / 1048576).toFixed(1)} MB ` +
              `of heap and ${((heap.backingStorageSize || 0) / 1048576).toFixed(1)} MB of arrays after load`);
  console.log(`playing the hour at 16x: ${(frames / (end.wall - start.wall) * 1000).toFixed(1)} frames per second, ` +
              `${((end.ms - start.ms) / frames).toFixed(2)} ms of script each (an empty page: ${idle})`);
  await page.context().close();
}

// A page cut short says so rather than showing part of a riot.
async function checkCutShort(browser, hour) {
  const html = fs.readFileSync(hour.file, 'latin1'), lastPart = html.lastIndexOf('<script class="replay-part"');
  assert.ok(lastPart > 0, 'the hour comes in parts');
  const cut = path.join(out, 'cut.html');
  fs.writeFileSync(cut, html.slice(0, lastPart) + html.slice(html.indexOf('</script>', lastPart) + 10), 'latin1');
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(pathToFileURL(cut).href);
  await page.waitForFunction(() => /cut short/.test(document.querySelector('#loading').textContent));
  assert.equal(await page.evaluate(() => window.replay), undefined, 'no riot is shown');
  await context.close();
}

async function main() {
  const folder = path.basename(path.resolve(examples));
  const pictures = path.join(out, 'pictures');
  fs.rmSync(path.join(out, 'pages'), { recursive: true, force: true });
  fs.mkdirSync(path.join(out, 'pages'));  // run --html writes into a folder that is there, as --trace does
  const example = record('pages/example.html', ['--config', `${folder}/Skirmora_config.txt`,
                                                '--scenario', `${folder}/downtown.json`, '--svg', pictures]);
  const hostile = '<img src=x onerror="window.pwned=1">';
  const config = path.join(out, 'hostile.json'), scenario = path.join(out, 'hostile-scenario.json');
  fs.writeFileSync(config, JSON.stringify({ MaxRioters: 8, Factions: [{ MaxMembers: 8, Weapons: [`WEAPON_${'X'.repeat(70)}${hostile}`],
                                            MemberModels: [`<svg onload="window.pwned=2">${'m'.repeat(70)}\u0001`] }] }));
  // A key pressed ten times a second: presses crowd the time bar.
  const presses = [{ at: 1, key: 'F7' }, ...Array.from({ length: 150 }, (_, k) => ({ at: 2 + k / 10, key: 'F8' }))];
  fs.writeFileSync(scenario, JSON.stringify({ name: `${'riot'.repeat(30)} ${hostile}\u0001`, seconds: 20, presses }));
  const phonePage = record('phone.html', ['--config', config, '--scenario', scenario]);
  const hundred = path.join(out, 'hundred.json');
  fs.writeFileSync(hundred, '{"MaxRioters": 100, "PedAccuracy": 20, "Factions": [{"MaxMembers": 40}, ' +
                   '{"MaxMembers": 40}, {"MaxMembers": 30, "WillAttackSelf": true}]}');
  const hour = record('hour.html', ['--config', hundred, '--seconds', '3600']);

  const browser = await launchChromium();
  try {
    const { page, errors } = await open(browser, example.file, { from: path.join(pictures, 'index.html') });
    await checkPlayback(page, example);
    await checkMap(page);
    await checkSelection(page);
    await checkSearch(page);
    await checkMarks(page);
    await checkEvents(page);
    await checkFactions(page, example);
    await checkKeys(page);
    assert.deepEqual(errors, [], 'the console stays clean and nothing is fetched');
    await checkLayouts(browser, example.file);
    await checkPhone(browser, phonePage.file);
    await phoneShot(browser, example.file);
    await checkHour(browser, hour);
    await checkCutShort(browser, hour);
    console.log(`example riot: ${example.bytes} bytes; screenshots in ${shots}`);
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
