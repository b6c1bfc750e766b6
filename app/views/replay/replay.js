// Plays back a riot that skirmora-sim recorded: the data sits in the page as JSON (see app/views/Replay.cpp),
// read by reader.js.
(function () {
  'use strict';

  // How a rioter's track ended, by the recording's name for it.
  var END_WORDS = { dead: 'died', vanished: 'vanished', tooFar: 'too far', dropped: 'dropped at a reload',
                    stillThere: '' };
  var SPEEDS = [0.25, 0.5, 1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024];
  var COARSE = window.matchMedia('(pointer: coarse)').matches;
  var COLOURS = 8, TIP_WEAPONS = 3, MARK = 5.5, PLAYER = 11, ROW = COARSE ? 44 : 22, TRAIL_SECONDS = 5, BLOCK = 256, BAR_PAD = 8;
  var FONT11 = '11px "DejaVu Sans", Verdana, Arial, sans-serif', FONT12 = '12px "DejaVu Sans", Verdana, Arial, sans-serif';
  // The kinds of events, in the order they are listed within one moment, and their filter buttons' words.
  var KINDS = ['press', 'mode', 'player', 'vehicle', 'recruit', 'death', 'release'];
  var KIND_WORDS = ['presses', 'mode', 'player deaths', 'vehicle', 'recruits', 'killed', 'releases'];
  var KIND = {};
  KINDS.forEach(function (name, k) { KIND[name] = k; });

  // ---- The recording: the reader (reader.js) takes the page's data a part at a time while the browser is still
  // parsing the rest, into typed arrays; the page says how far it got. ----
  var loading = document.getElementById('loading');
  var facts, factionNames, weaponNames, modelNames, fights, presses, radius, UNKNOWN, ENDS, END = {};
  var times, samples, duration, player, tracks;
  function say(words) { loading.textContent = words; }
  // Names as run's terminal shows them: control characters as \xNN.
  function printable(text) {
    return String(text).replace(/[\x00-\x1f\x7f]/g, function (c) { return '\\x' + c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0'); });
  }
  function later(step, ms) { setTimeout(step, ms || 0); }

  readRecording();

  // Hands the reader (reader.js) the head, then each part once the parser has closed it (a later one stands after
  // it, or the page is parsed), taking it out of the page (its text is not kept twice), some 40 ms of reading at
  // a time, so the page keeps telling how far it got; the riot is drawn once the page is parsed and all read.
  function readRecording() {
    var reader = new window.SkirmoraReader(), parts = document.getElementsByClassName('replay-part'), total = -1;
    function progress(read) {
      say('Reading the riot: ' + Math.floor(100 * read / Math.max(1, total)) + '% of ' + total + ' rioters\u2019 tracks\u2026');
    }
    (function poll() {
      try {
        var parsed = document.readyState !== 'loading', head = document.getElementById('replay-head');
        if (total < 0 && head && (parsed || parts.length)) {
          var found = reader.head(head.textContent);
          head.remove();
          if (!found) return showEmpty();
          total = found.tracks;
          progress(0);
        }
        if (total < 0 && parsed) return parts.length ? fail('The page holds tracks but no head before them.') : showEmpty();
        for (var until = performance.now() + 40, ready = parsed ? parts.length : parts.length - 1;
             total >= 0 && ready > 0 && performance.now() < until; ready--) {
          progress(reader.part(parts[0].textContent));
          parts[0].remove();
        }
        if (!parsed || parts.length) return later(poll, parsed ? 0 : 15);
        take(reader.finish());
        say('Drawing\u2026');
        later(function () { begin(); loading.hidden = true; });
      } catch (error) {
        fail(error.message || String(error));
      }
    })();
  }
  function fail(why) { say('This page cannot be shown: ' + why + ' Write it again with skirmora-sim run --html FILE.'); }
  function showEmpty() {
    say('');
    var empty = document.createElement('span');
    empty.className = 'empty';
    empty.textContent = 'This page holds no riot: skirmora-sim run --html FILE writes one that does.';
    document.getElementById('facts').appendChild(empty);
  }

  // What the reader read, as the page keeps it.
  function take(read) {
    var rec = read.head;
    facts = rec.facts; factionNames = rec.factions.map(printable); weaponNames = rec.weapons.map(printable);
    modelNames = rec.models.map(printable);
    facts.config = printable(facts.config); facts.scenario = printable(facts.scenario);
    fights = rec.fights; presses = rec.presses; radius = rec.radius;
    UNKNOWN = rec.unknownColour; ENDS = rec.ends;
    ENDS.forEach(function (name, k) { END[name] = k; });
    times = read.times;  // ms of each sample
    samples = times.length; duration = facts.ms / 1000;
    player = read.player;
    tracks = read.tracks;
  }

  // Everything else starts once the recording is read. (Its body is not indented a level further, to keep the
  // history readable.)
  function begin() {
  var factionCount = factionNames.length, byId = new Map();
  for (var k0 = 0; k0 < tracks.n; k0++) {
    factionCount = Math.max(factionCount, tracks.faction[k0] + 1);
    if (tracks.id[k0] !== 0) byId.set(tracks.id[k0], k0);
  }
  factionCount = Math.min(factionCount, factionNames.length + 64);
  var members = countMembers(), counts = members.counts, totals = members.totals, most = members.most;
  var presence = indexPresence();
  var events = listEvents();
  var marks = findMarks();

  // Members per faction at each sample, their sum and its largest value.
  function countMembers() {
    var counts = [], totals = new Int32Array(samples), most = 1;
    for (var f = 0; f < factionCount; f++) counts.push(new Int32Array(samples + 1));
    for (var k = 0; k < tracks.n; k++) {
      var faction = tracks.faction[k], start = Math.max(0, tracks.start[k]), end = Math.min(samples, tracks.end[k]);
      if (faction < 0 || faction >= factionCount || start >= end) continue;
      counts[faction][start] += 1;
      counts[faction][end] -= 1;
    }
    counts.forEach(function (c) {
      for (var i = 1; i <= samples; i++) c[i] += c[i - 1];
      for (i = 0; i < samples; i++) totals[i] += c[i];
    });
    for (var i = 0; i < samples; i++) most = Math.max(most, totals[i]);
    return { counts: counts, totals: totals, most: most };
  }

  // The tracks with a ped in each block of BLOCK samples, so a moment looks at a few hundred, not every one.
  function indexPresence() {
    var blocks = Math.ceil(samples / BLOCK), at = new Int32Array(blocks + 1);
    function each(visit) {
      for (var k = 0; k < tracks.n; k++) {
        var end = Math.min(tracks.end[k], samples);
        if (tracks.id[k] === 0 || tracks.start[k] >= end) continue;
        for (var b = Math.floor(tracks.start[k] / BLOCK); b <= Math.floor((end - 1) / BLOCK); b++) visit(b, k);
      }
    }
    each(function (b) { at[b + 1] += 1; });
    for (var b = 0; b < blocks; b++) at[b + 1] += at[b];
    var list = new Int32Array(at[blocks]), fill = at.slice(0, blocks);
    each(function (b, k) { list[fill[b]++] = k; });
    return { at: at, list: list };
  }

  function timeOf(sample) { return times[Math.max(0, Math.min(samples - 1, sample))]; }

  // Every event of the run, by time and then by kind: when (ms), what (KINDS) and whose (a track, a press, or
  // 1 for on, in or died and 0 for off, out or back).
  function listEvents() {
    var most = presses.length + 3 * samples + 3 * tracks.n, ms = new Float64Array(most), kind = new Uint8Array(most);
    var who = new Int32Array(most), n = 0;
    function add(at, what, whose) { ms[n] = at; kind[n] = what; who[n++] = whose; }
    presses.forEach(function (press, k) { add(press[0], KIND.press, k); });
    for (var i = 0, before = 0; i < samples; i++) {
      var state = player.state[i], flip = state ^ before;
      before = state;
      if (flip & 4) add(modeTurned(i), KIND.mode, state & 4 ? 1 : 0);
      if (flip & 2) add(times[i], KIND.player, state & 2 ? 1 : 0);
      if (flip & 1) add(times[i], KIND.vehicle, state & 1);
    }
    for (var k = 0; k < tracks.n; k++) {
      add(tracks.startMs[k], KIND.recruit, k);
      if (tracks.death[k] >= 0) add(tracks.deathMs[k], KIND.death, k);
      if (tracks.reason[k] !== END.stillThere) add(tracks.endMs[k], KIND.release, k);
    }
    var order = new Uint32Array(n), scale = Math.pow(2, Math.ceil(Math.log2(n + 1)));
    for (k = 0; k < n; k++) order[k] = k;
    if ((facts.ms * KINDS.length + KINDS.length) * scale < Number.MAX_SAFE_INTEGER) {
      // By time, kind and order of adding, as one number each: a typed array sorts numbers natively, fast.
      var keys = new Float64Array(n);
      for (k = 0; k < n; k++) keys[k] = (ms[k] * KINDS.length + kind[k]) * scale + k;
      keys.sort();
      for (k = 0; k < n; k++) order[k] = keys[k] % scale;
    } else {
      order.sort(function (a, b) { return ms[a] - ms[b] || kind[a] - kind[b] || a - b; });
    }
    var out = { n: n, ms: new Float64Array(n), kind: new Uint8Array(n), who: new Int32Array(n) };
    for (k = 0; k < n; k++) { out.ms[k] = ms[order[k]]; out.kind[k] = kind[order[k]]; out.who[k] = who[order[k]]; }
    return out;
  }

  // When the mode turned, seen at sample i: at the press of the toggle key since the sample before, if there was
  // one (a sample shows the frame before the press in its own frame, so the mode turns in the sample after).
  function modeTurned(i) {
    for (var p = presses.length - 1; p >= 0 && presses[p][0] >= (i ? times[i - 1] : 0); p--)
      if (presses[p][2] && presses[p][0] < times[i]) return presses[p][0];
    return times[i];
  }

  // What the time bar and the chart mark: spans of the mode and of the vehicle, presses, reloads, deaths (ms).
  function findMarks() {
    var found = { mode: [], vehicle: [], presses: [], reloads: [], deaths: [] }, open = {};
    for (var e = 0; e < events.n; e++) {
      var kind = KINDS[events.kind[e]], ms = events.ms[e], on = events.who[e];
      if (kind === 'press') found.presses.push({ ms: ms, toggle: presses[on][2] === 1 });
      if (kind === 'mode') found.reloads.push(ms);
      if (kind === 'player' && on) found.deaths.push(ms);
      if (kind !== 'mode' && kind !== 'vehicle') continue;
      if (on) open[kind] = ms;
      else if (open[kind] !== undefined) { found[kind].push([open[kind], ms]); open[kind] = undefined; }
    }
    ['mode', 'vehicle'].forEach(function (kind) {
      if (open[kind] !== undefined) found[kind].push([open[kind], times[samples - 1]]);
    });
    return found;
  }

  // ---- Small helpers ----
  // A faction's style: one of COLOURS colours for its theme (the page's --f0 to --f7), and past those a shape: a
  // circle, then a square, a diamond, a triangle.
  function colour(faction) { return faction < 0 || faction >= factionCount ? UNKNOWN : theme.factions[faction % COLOURS]; }
  function shape(faction) { return faction < 0 ? 0 : Math.floor(faction / COLOURS) % 4; }
  function paint(node, faction) {
    node.style.background = faction < 0 || faction >= factionCount ? UNKNOWN : 'var(--f' + faction % COLOURS + ')';
    node.classList.add('shape' + shape(faction));
    return node;
  }
  function factionName(faction) { return faction < factionNames.length ? factionNames[faction] : 'Faction ' + faction; }
  function shortName(faction) { return 'F' + faction; }
  function endWords(reason) { return END_WORDS[ENDS[reason]] || ''; }
  function fixed(value) { return (Math.round(value * 10) / 10).toFixed(1); }
  // Game time as a clock: seconds below an hour ("75.3"), h:mm:ss past it ("1:02:05.3"); places decimals.
  function clockText(seconds, places) {
    var scale = Math.pow(10, places), units = Math.round(seconds * scale), whole = Math.floor(units / scale);
    var part = places ? '.' + String(units % scale).padStart(places, '0') : '';
    if (duration < 3600) return whole + part;
    var h = Math.floor(whole / 3600), m = Math.floor(whole / 60) % 60, sec = whole % 60;
    return h + ':' + String(m).padStart(2, '0') + ':' + String(sec).padStart(2, '0') + part;
  }
  // An event's time as recorded, to the millisecond, without trailing zeros.
  function msText(ms) { return clockText(ms / 1000, 3).replace(/\.?0+$/, ''); }
  // n / d with places decimals, halves up, in whole numbers: as run's table rounds (RatioText).
  function ratio(n, d, places) {
    if (d <= 0) return '-';
    var scale = Math.pow(10, places), scaled = Math.floor((2 * n * scale + d) / (2 * d));
    return places ? Math.floor(scaled / scale) + '.' + String(scaled % scale).padStart(places, '0') : String(scaled);
  }
  function el(tag, className, text) {
    var node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }
  function add(parent) {
    for (var k = 1; k < arguments.length; k++) {
      var child = arguments[k];
      parent.appendChild(typeof child === 'string' ? document.createTextNode(child) : child);
    }
    return parent;
  }

  // The last sample at or before t (seconds), and how far t is towards the next one.
  function sampleAt(t) {
    var ms = t * 1000, lo = 0, hi = samples - 1;
    if (ms <= times[0]) return 0;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (times[mid] <= ms + 1e-6) lo = mid; else hi = mid - 1;
    }
    return lo;
  }
  function fraction(i, t) {
    if (i + 1 >= samples) return 0;
    return Math.max(0, Math.min(1, (t * 1000 - times[i]) / (times[i + 1] - times[i])));
  }
  // The first event later than ms.
  function firstEventAfter(ms) {
    var lo = 0, hi = events.n;
    while (lo < hi) { var mid = (lo + hi) >> 1; if (events.ms[mid] <= ms) lo = mid + 1; else hi = mid; }
    return lo;
  }
  function present(k, i) { return i >= tracks.start[k] && i < tracks.end[k]; }
  // A track's value of a list of (sample, value) changes at sample i.
  function changeAt(pool, from, to, i) {
    var value = 0;
    for (var q = from; q + 1 < to && pool[q] <= i; q += 2) value = pool[q + 1];
    return value;
  }
  function aimOf(k, i) { return changeAt(tracks.aims, tracks.aimAt[k], tracks.aimAt[k + 1], i); }
  function trackPosition(k, i, u) {
    var j = i - tracks.start[k], length = tracks.at[k + 1] - tracks.at[k], at = tracks.at[k] + j;
    if (j < 0 || j >= length) return null;
    var x = tracks.x[at], y = tracks.y[at];
    if (u > 0 && j + 1 < length) { x += (tracks.x[at + 1] - x) * u; y += (tracks.y[at + 1] - y) * u; }
    return { x: x / 10, y: y / 10 };
  }
  function playerPosition(i, u) {
    var x = player.x[i], y = player.y[i];
    if (u > 0 && i + 1 < samples) { x += (player.x[i + 1] - x) * u; y += (player.y[i + 1] - y) * u; }
    return { x: x / 10, y: y / 10 };
  }
  function rioterName(k) {
    return tracks.id[k] === 0 ? 'a failed spawn (' + shortName(tracks.faction[k]) + ')'
                              : '#' + tracks.id[k] + ' ' + shortName(tracks.faction[k]);
  }
  // A ped by its handle: a button that selects it when it is a rioter of the run.
  function pedButton(handle) {
    var k = byId.get(handle);
    if (k === undefined) return el('span', null, '#' + handle);
    var button = el('button', 'who', '#' + handle + ' (' + shortName(tracks.faction[k]) + ')');
    button.type = 'button';
    button.setAttribute('data-id', String(handle));
    return button;
  }
  function timeButton(ms) {
    var button = el('button', 'when', clockText(ms / 1000, 1) + (duration < 3600 ? ' s' : ''));
    button.type = 'button';
    button.setAttribute('data-ms', String(ms));
    return button;
  }

  // ---- State, the page's parts and its colours ----
  var state = { t: 0, playing: false, speed: 1, follow: 'player', cx: 0, cy: 0, zoom: 1, hover: -1, pointer: null,
                lastWall: 0, panelWall: 0, dirty: true, shownSample: -1, pick: -1, faction: -1, mapActive: false,
                kinds: KINDS.map(function () { return true; }) };
  var stats = { frames: 0, drawMs: 0 };
  function $(id) { return document.getElementById(id); }
  var view = $('view'), ctx = view.getContext('2d'), chart = $('chart'), chartCtx = chart.getContext('2d');
  var timebar = $('timebar'), barCtx = timebar.getContext('2d'), barHead = $('timebar-head');
  var tip = $('tip'), playButton = $('play'), speedBox = $('speed'), followBox = $('follow'), clock = $('clock');
  var nowBox = $('now'), pickBox = $('pick'), marker = $('chart-marker'), eventBox = $('events');
  var onlyPick = $('only-pick'), factionFilter = $('faction-filter'), findBox = $('find'), findNote = $('find-note');
  var theme = {};
  function readTheme() {
    var style = getComputedStyle(document.documentElement);
    ['ink', 'muted', 'faint', 'map', 'grid', 'halo', 'total', 'circle', 'death', 'mode', 'vehicle', 'press', 'pick',
     'aim', 'after', 'track', 'bg', 'rule'].forEach(function (name) {
      theme[name] = style.getPropertyValue('--' + name).trim() || '#888888';
    });
    theme.factions = [];
    for (var f = 0; f < COLOURS; f++) theme.factions.push(style.getPropertyValue('--f' + f).trim() || '#888888');
  }
  readTheme();

  // ---- Facts at the top ----
  (function () {
    document.title = 'Skirmora replay: ' + facts.scenario;
    $('title').textContent = 'Skirmora replay: ' + facts.scenario;
    $('facts').textContent = 'Config ' + facts.config + ' \u00b7 scenario ' + facts.scenario + ' \u00b7 seed ' +
        facts.seed + ' \u00b7 ' + fixed(duration) + ' s of game time, ' + facts.frames + ' frames' +
        (facts.sampleMs > 100 ? ' \u00b7 a long run: positions every ' + facts.sampleMs / 1000 + ' s' : '');
    var r = facts.released, released = r.dead + r.vanished + r.tooFar;
    var text = facts.recruited + ' recruited (at most ' + facts.peak + ' at once), ' + released + ' released: ' +
        r.dead + ' dead, ' + r.vanished + ' vanished, ' + r.tooFar + ' too far';
    if (facts.dropped) text += '; ' + facts.dropped + ' dropped at a reload';
    text += '; ' + facts.attacks + ' attacks, ' + facts.hits + ' hits, ' + facts.pedDeaths + ' rioters killed; ' +
        'the player died ' + facts.playerDeaths + (facts.playerDeaths === 1 ? ' time.' : ' times.');
    $('totals').textContent = text;
    timebar.setAttribute('aria-valuemax', String(duration));
  })();

  // ---- Drawing the map ----
  function size(canvas) {
    var ratio = window.devicePixelRatio || 1;
    var w = canvas.clientWidth, h = canvas.clientHeight;
    if (canvas.width !== Math.round(w * ratio) || canvas.height !== Math.round(h * ratio)) {
      canvas.width = Math.round(w * ratio);
      canvas.height = Math.round(h * ratio);
    }
    canvas.getContext('2d').setTransform(ratio, 0, 0, ratio, 0, 0);
    return { w: w, h: h };
  }
  function baseScale(box) { return Math.max(1, Math.min(box.w, box.h)) / (2 * radius * 1.12); }
  function niceStep(span, ticks) {
    var raw10 = span / ticks, power = Math.pow(10, Math.floor(Math.log(raw10) / Math.LN10));
    var steps = [1, 2, 5, 10];
    for (var k = 0; k < steps.length; k++) if (steps[k] * power >= raw10) return steps[k] * power;
    return 10 * power;
  }

  var frame = null;  // what the last drawing showed: the rioters' places on the screen and the sample
  function transform(box, i, u) {
    // Following a rioter not in the riot at this moment (before its recruitment, after its release): the player.
    var centre = state.follow === 'player' ? playerPosition(i, u)
        : state.follow === 'pick' && state.pick >= 0 ? trackPosition(state.pick, i, u) || playerPosition(i, u) : null;
    if (centre) { state.cx = centre.x; state.cy = centre.y; }
    var scale = baseScale(box) * state.zoom;
    return {
      scale: scale,
      sx: function (x) { return box.w / 2 + (x - state.cx) * scale; },
      sy: function (y) { return box.h / 2 - (y - state.cy) * scale; }
    };
  }

  function drawMark(c, kind, x, y, r) {
    c.beginPath();
    if (kind === 1) c.rect(x - r * 0.85, y - r * 0.85, r * 1.7, r * 1.7);
    else if (kind === 2) { c.moveTo(x, y - r * 1.2); c.lineTo(x + r * 1.2, y); c.lineTo(x, y + r * 1.2); c.lineTo(x - r * 1.2, y); c.closePath(); }
    else if (kind === 3) { c.moveTo(x, y - r * 1.2); c.lineTo(x + r * 1.1, y + r * 0.8); c.lineTo(x - r * 1.1, y + r * 0.8); c.closePath(); }
    else c.arc(x, y, r, 0, Math.PI * 2);
  }
  function ring(c, x, y, r) { c.beginPath(); c.arc(x, y, r, 0, Math.PI * 2); c.stroke(); }
  function star(c, x, y, r) {
    c.beginPath();
    for (var k = 0; k < 10; k++) {
      var a = -Math.PI / 2 + k * Math.PI / 5, rr = k % 2 ? r * 0.382 : r;
      c.lineTo(x + Math.cos(a) * rr, y + Math.sin(a) * rr);
    }
    c.closePath();
  }
  function cross(c, x, y, r) {
    c.beginPath(); c.moveTo(x - r, y - r); c.lineTo(x + r, y + r); c.moveTo(x - r, y + r); c.lineTo(x + r, y - r);
  }
  function arrow(c, x1, y1, x2, y2, gap, toPlayer) {
    var dx = x2 - x1, dy = y2 - y1, length = Math.sqrt(dx * dx + dy * dy);
    c.setLineDash(toPlayer ? [5, 3] : []);
    c.beginPath();
    if (length <= gap + MARK + 4) { c.moveTo(x1, y1); c.lineTo(x2, y2); c.stroke(); c.setLineDash([]); return; }
    var ux = dx / length, uy = dy / length, tx = x2 - ux * gap, ty = y2 - uy * gap;
    c.moveTo(x1, y1); c.lineTo(tx - ux * 8, ty - uy * 8); c.stroke();
    c.setLineDash([]);
    c.beginPath(); c.moveTo(tx, ty);
    c.lineTo(tx - ux * 8 - uy * 3.5, ty - uy * 8 + ux * 3.5); c.lineTo(tx - ux * 8 + uy * 3.5, ty - uy * 8 - ux * 3.5);
    c.closePath(); c.fill();
  }
  function haloText(c, text, x, y) {
    c.lineWidth = 3; c.strokeStyle = theme.halo;
    c.strokeText(text, x, y); c.fillText(text, x, y);
  }

  // The grid on whole multiples of its step, so it stays put while the player moves; its step.
  function drawGrid(c, box, m) {
    var halfW = box.w / 2 / m.scale, halfH = box.h / 2 / m.scale;
    var step = niceStep(2 * Math.max(halfW, halfH), 8);
    c.strokeStyle = theme.grid; c.lineWidth = 1; c.beginPath();
    for (var gx = Math.ceil((state.cx - halfW) / step) * step; gx <= state.cx + halfW; gx += step) {
      c.moveTo(Math.round(m.sx(gx)) + 0.5, 0); c.lineTo(Math.round(m.sx(gx)) + 0.5, box.h);
    }
    for (var gy = Math.ceil((state.cy - halfH) / step) * step; gy <= state.cy + halfH; gy += step) {
      c.moveTo(0, Math.round(m.sy(gy)) + 0.5); c.lineTo(box.w, Math.round(m.sy(gy)) + 0.5);
    }
    c.stroke();
    return step;
  }

  function drawReleaseCircle(c, px, py, scale) {
    c.strokeStyle = theme.circle; c.lineWidth = 1.5; c.setLineDash([8, 6]);
    c.beginPath(); c.arc(px, py, radius * scale, 0, Math.PI * 2); c.stroke(); c.setLineDash([]);
    c.font = FONT12; c.textAlign = 'center'; c.fillStyle = theme.muted;
    haloText(c, 'release at ' + radius, px, py - radius * scale - 5);
  }

  // Where each rioter present at sample i is on the screen.
  function placeRioters(m, i, u) {
    var shown = [], b = Math.floor(i / BLOCK);
    for (var q = presence.at[b]; q < presence.at[b + 1]; q++) {
      var k = presence.list[q];
      if (!present(k, i)) continue;
      var at = trackPosition(k, i, u);
      if (!at) continue;
      shown.push({ k: k, x: m.sx(at.x), y: m.sy(at.y), dead: tracks.death[k] >= 0 && tracks.death[k] <= i,
                   gone: tracks.vanish[k] >= 0 && tracks.vanish[k] <= i });
    }
    return shown;
  }
  // Rioters of another faction than the one looked for are faint.
  function faint(c, k) { c.globalAlpha = state.faction >= 0 && tracks.faction[k] !== state.faction ? 0.25 : 1; }

  // The lines to the targets, then the marks over them.
  function drawRioters(c, shown, screen, i, px, py) {
    c.lineWidth = 1.4;
    shown.forEach(function (s) {
      if (s.dead || s.gone) return;
      var target = aimOf(s.k, i);
      if (target === 0) return;
      var to = target === -1 ? { x: px, y: py } : screen[target];
      if (!to || to.gone) return;
      c.strokeStyle = c.fillStyle = colour(tracks.faction[s.k]);
      faint(c, s.k); c.globalAlpha *= 0.8;
      arrow(c, s.x, s.y, to.x, to.y, target === -1 ? PLAYER + 3 : MARK + 2, target === -1);
    });
    shown.forEach(function (s) {
      var col = colour(tracks.faction[s.k]);
      faint(c, s.k);
      if (s.dead) {
        c.strokeStyle = col; c.lineWidth = 2.5; cross(c, s.x, s.y, MARK - 1); c.stroke();
      } else if (s.gone) {
        c.strokeStyle = col; c.lineWidth = 1.2; c.setLineDash([2, 2]); drawMark(c, 0, s.x, s.y, MARK); c.stroke();
        c.setLineDash([]);
      } else {
        c.fillStyle = col; c.strokeStyle = theme.halo; c.lineWidth = 1.2;
        drawMark(c, shape(tracks.faction[s.k]), s.x, s.y, MARK); c.fill(); c.stroke();
      }
    });
    c.globalAlpha = 1;
  }

  // The selected rioter: its trail over the last seconds, a ring, its target and those after it.
  function drawPick(c, m, shown, screen, i, u, px, py) {
    var k = state.pick;
    if (k < 0 || tracks.id[k] === 0 || !present(k, i)) return;
    var from = Math.max(tracks.start[k], sampleAt(state.t - TRAIL_SECONDS)), base = tracks.at[k] - tracks.start[k];
    c.strokeStyle = theme.pick; c.lineWidth = 2; c.globalAlpha = 0.5; c.beginPath();
    for (var j = from; j <= i; j++) c.lineTo(m.sx(tracks.x[base + j] / 10), m.sy(tracks.y[base + j] / 10));
    var now = trackPosition(k, i, u);
    if (now) c.lineTo(m.sx(now.x), m.sy(now.y));
    c.stroke(); c.globalAlpha = 1;
    c.strokeStyle = theme.after; c.lineWidth = 2;
    shown.forEach(function (s) {
      if (!s.dead && !s.gone && aimOf(s.k, i) === tracks.id[k]) ring(c, s.x, s.y, MARK + 3);
    });
    var me = screen[tracks.id[k]];
    if (!me) return;
    var target = me.dead || me.gone ? 0 : aimOf(k, i);
    var to = target === -1 ? { x: px, y: py } : screen[target];
    if (target !== 0 && to) {
      c.strokeStyle = theme.aim; c.setLineDash([4, 3]);
      ring(c, to.x, to.y, (target === -1 ? PLAYER : MARK) + 5); c.setLineDash([]);
    }
    c.strokeStyle = theme.pick; c.lineWidth = 3; ring(c, me.x, me.y, MARK + 5);
  }

  function drawEvent(c, kind, k, where, age) {
    if (kind === KIND.recruit) {
      c.strokeStyle = colour(tracks.faction[k]); c.lineWidth = 2; ring(c, where.x, where.y, MARK + 2 + age * 6);
    } else if (kind === KIND.death) {
      c.strokeStyle = theme.death; c.lineWidth = 2; ring(c, where.x, where.y, MARK + 4);
    } else {
      c.strokeStyle = theme.faint; c.lineWidth = 1.2; c.setLineDash([3, 2]);
      ring(c, where.x, where.y, MARK + 1); c.setLineDash([]);
    }
  }

  // Recruits, deaths and releases of the last moments, fading out.
  function drawEvents(c, m, screen) {
    var now = state.t * 1000, labels = [];
    for (var e = firstEventAfter(now) - 1; e >= 0; e--) {
      var age = (now - events.ms[e]) / 1000, kind = events.kind[e], k = events.who[e];
      if (age > 2.5) break;
      if (kind < KIND.recruit) continue;
      var where = screen[tracks.id[k]];
      if (kind === KIND.release) {
        var last = tracks.at[k + 1] - 1;
        where = last >= tracks.at[k] ? { x: m.sx(tracks.x[last] / 10), y: m.sy(tracks.y[last] / 10) } : null;
      }
      if (!where || tracks.id[k] === 0) continue;
      c.globalAlpha = 1 - age / 2.5;
      drawEvent(c, kind, k, where, age);
      if (kind === KIND.release) labels.push({ x: where.x, y: where.y, reason: tracks.reason[k], alpha: 1 - age / 2.5 });
    }
    c.globalAlpha = 1;
    drawLabels(c, labels);
  }

  // The releases' reasons beside them; labels that would overlap become one that counts them.
  function drawLabels(c, labels) {
    var groups = [];
    labels.forEach(function (label) {
      var group = groups.find(function (g) { return Math.abs(g.x - label.x) < 90 && Math.abs(g.y - label.y) < 14; });
      if (!group) groups.push(group = { x: label.x, y: label.y, reasons: {}, n: 0, alpha: 0 });
      group.reasons[label.reason] = (group.reasons[label.reason] || 0) + 1;
      group.n += 1;
      group.alpha = Math.max(group.alpha, label.alpha);
    });
    c.font = FONT11; c.textAlign = 'left'; c.fillStyle = theme.ink;
    groups.forEach(function (g) {
      var reasons = Object.keys(g.reasons), words = endWords(Number(reasons[0]));
      var text = g.n === 1 ? words : reasons.length === 1 ? g.n + ' ' + words : g.n + ' released';
      c.globalAlpha = g.alpha;
      haloText(c, text, g.x + 9, g.y + 4);
    });
    c.globalAlpha = 1;
    if (frame) frame.labels = groups.length;
  }

  // The player: a star on foot, a white star on a car when driving, grey and crossed out when dead.
  function drawPlayer(c, px, py, ps) {
    var dead = (ps & 2) !== 0, body = dead ? theme.faint : theme.pick;
    c.fillStyle = body; c.strokeStyle = theme.halo; c.lineWidth = 1.5;
    if (ps & 1) {
      c.beginPath(); c.rect(px - PLAYER * 1.3, py - PLAYER * 0.9, PLAYER * 2.6, PLAYER * 1.8); c.fill(); c.stroke();
      c.fillStyle = theme.halo; star(c, px, py, PLAYER * 0.75); c.fill();
    } else {
      star(c, px, py, PLAYER); c.fill(); c.stroke();
    }
    if (dead) { c.strokeStyle = theme.aim; c.lineWidth = 2.5; c.lineCap = 'round'; cross(c, px, py, PLAYER); c.stroke(); c.lineCap = 'butt'; }
  }

  function drawScaleBar(c, box, step, scale) {
    var bar = step * scale, bx = 16, by = box.h - 16;
    c.fillStyle = theme.map; c.globalAlpha = 0.85; c.fillRect(bx - 6, by - 22, bar + 12, 30); c.globalAlpha = 1;
    c.strokeStyle = theme.ink; c.lineWidth = 2; c.beginPath();
    c.moveTo(bx, by - 5); c.lineTo(bx, by); c.lineTo(bx + bar, by); c.lineTo(bx + bar, by - 5); c.stroke();
    c.fillStyle = theme.ink; c.font = FONT12; c.textAlign = 'center';
    c.fillText(step + ' units', bx + bar / 2, by - 9);
    c.textAlign = 'right'; c.fillStyle = theme.faint; c.font = FONT11;
    c.fillText('north is up', box.w - 8, 16);
  }

  function drawView() {
    var box = size(view), c = ctx;
    var i = sampleAt(state.t), u = fraction(i, state.t);
    var m = transform(box, i, u);
    c.fillStyle = theme.map; c.fillRect(0, 0, box.w, box.h);
    var step = drawGrid(c, box, m);
    var p = playerPosition(i, u), px = m.sx(p.x), py = m.sy(p.y);
    drawReleaseCircle(c, px, py, m.scale);
    var shown = placeRioters(m, i, u), screen = {};
    shown.forEach(function (s) { screen[tracks.id[s.k]] = s; });
    frame = { shown: shown, sample: i, labels: 0 };
    drawRioters(c, shown, screen, i, px, py);
    drawEvents(c, m, screen);
    drawPlayer(c, px, py, player.state[i]);
    drawPick(c, m, shown, screen, i, u, px, py);
    if (state.hover >= 0 && state.hover !== state.pick && screen[tracks.id[state.hover]]) {
      var h = screen[tracks.id[state.hover]];
      c.strokeStyle = theme.ink; c.lineWidth = 1.5; ring(c, h.x, h.y, MARK + 4);
    }
    drawScaleBar(c, box, step, m.scale);
  }

  // ---- The time bar: where the playhead is, and the marks of the run ----
  // Both the bar and the chart show the span of time zoomed to (the whole run at first), in seconds.
  var bar = null, span = { from: 0, to: duration }, barBins = {};
  function spanX(t, left, width) { return left + (t - span.from) / Math.max(span.to - span.from, 1e-9) * width; }
  function spanTime(x, left, width) {
    return Math.max(0, Math.min(duration, span.from + (x - left) / width * (span.to - span.from)));
  }
  function barX(ms) { return spanX(ms / 1000, BAR_PAD, bar.w - 2 * BAR_PAD); }
  function barTime(x) { return spanTime(x, BAR_PAD, bar.w - 2 * BAR_PAD); }
  function spans(c, list, y, h) {
    list.forEach(function (span) { c.fillRect(barX(span[0]), y, Math.max(1.5, barX(span[1]) - barX(span[0])), h); });
  }
  function triangle(c, x, y, filled) {
    c.beginPath(); c.moveTo(x - 4, y); c.lineTo(x + 4, y); c.lineTo(x, y + 6); c.closePath();
    if (filled) c.fill(); else c.stroke();
  }
  // Moments (ms, sorted) in view grouped where they fall within `width` px of the group's first: [{x, n, k}],
  // k the first moment's place in the list.
  function bins(list, x, left, right, width) {
    var out = [];
    for (var k = 0; k < list.length; k++) {
      var at = x(list[k]);
      if (at < left - width || at > right + width) continue;
      var last = out[out.length - 1];
      if (last && at - last.x0 < width) { last.n += 1; last.x = (last.x0 + at) / 2; } else out.push({ x0: at, x: at, n: 1, k: k });
    }
    return out;
  }
  // Moments on the bar around height y: one(bin) draws a lone one's mark, a box of the colour counts crowded
  // ones. Returns how many marks.
  function drawBinned(c, list, y, colour, one) {
    var found = bins(list, barX, BAR_PAD, bar.w - BAR_PAD, 22);
    found.forEach(function (b) {
      c.fillStyle = c.strokeStyle = colour;
      if (b.n === 1) return one(b);
      var text = b.n > 99 ? '99+' : String(b.n), w = Math.max(10, c.measureText(text).width + 4);
      c.fillRect(b.x - w / 2, y - 5, w, 10);
      c.fillStyle = theme.bg; c.fillText(text, b.x, y + 3.5);
    });
    return found.length;
  }
  function pressTimes() { return marks.presses.map(function (press) { return press.ms; }); }
  function drawBarBase() {
    bar = size(timebar);
    var c = barCtx;
    c.clearRect(0, 0, bar.w, bar.h);
    c.save(); c.beginPath(); c.rect(BAR_PAD - 5, 0, bar.w - 2 * BAR_PAD + 10, bar.h); c.clip();
    c.fillStyle = theme.track; c.fillRect(BAR_PAD, 11, bar.w - 2 * BAR_PAD, 9);
    c.fillStyle = theme.mode; c.globalAlpha = 0.55; spans(c, marks.mode, 11, 9);
    c.globalAlpha = 1;
    c.fillStyle = theme.vehicle; spans(c, marks.vehicle, 23, 5);
    // Presses, reloads and the player's deaths: a mark each, a count where they crowd.
    c.font = 'bold 9px "DejaVu Sans", Verdana, Arial, sans-serif'; c.textAlign = 'center';
    barBins.presses = drawBinned(c, pressTimes(), 5, theme.press, function (b) {
      c.lineWidth = 1.2; triangle(c, b.x, 2, marks.presses[b.k].toggle);
    });
    barBins.reloads = drawBinned(c, marks.reloads, 15.5, theme.ink, function (b) {
      c.lineWidth = 1.5; ring(c, b.x, 15.5, 3);
    });
    barBins.deaths = drawBinned(c, marks.deaths, 27, theme.death, function (b) {
      c.lineWidth = 2; cross(c, b.x, 27, 3.5); c.stroke();
    });
    c.restore();
  }
  function drawBar() {
    if (!bar || timebar.clientWidth !== bar.w) drawBarBase();
    var t = state.t;
    // Playing past the zoomed span turns the page: the next span of the same length.
    if (state.playing && (t > span.to || t < span.from) && span.to - span.from < duration) {
      var length = span.to - span.from;
      zoomTo(t, t + length);
    }
    barHead.style.display = t < span.from || t > span.to ? 'none' : '';
    barHead.style.transform = 'translateX(' + (barX(t * 1000) - 1) + 'px)';
  }
  // Zooms the bar and the chart to a span (at least a second, within the run); none: the whole run.
  function zoomTo(from, to) {
    if (from === undefined) { from = 0; to = duration; }
    var length = Math.min(duration, Math.max(1, to - from));
    from = Math.max(0, Math.min(duration - length, from));
    span = { from: from, to: from + length };
    $('whole-run').hidden = length >= duration;
    bar = null; chartBox = null; state.dirty = true;
  }

  // ---- The chart of members per faction, with the same marks ----
  var chartBox = null, plot = { left: 44, right: 30, top: 10, bottom: 24 };
  function chartX(t) { return spanX(t, plot.left, chartBox.w - plot.left - plot.right); }
  function chartTime(x) { return spanTime(x, plot.left, chartBox.w - plot.left - plot.right); }
  function chartY(n) { return chartBox.h - plot.bottom - n / most * (chartBox.h - plot.bottom - plot.top); }
  function drawChartAxes(c) {
    var w = chartBox.w, h = chartBox.h;
    c.font = FONT11; c.fillStyle = theme.muted; c.strokeStyle = theme.rule; c.lineWidth = 1; c.textAlign = 'right';
    for (var n = 0, ystep = Math.max(1, niceStep(most, 4)); n <= most; n += ystep) {
      c.beginPath(); c.moveTo(plot.left, Math.round(chartY(n)) + 0.5); c.lineTo(w - plot.right, Math.round(chartY(n)) + 0.5); c.stroke();
      c.fillText(String(n), plot.left - 6, chartY(n) + 4);
    }
    var ticks = Math.max(2, Math.min(10, Math.floor(w / 90))), xstep = niceStep(span.to - span.from, ticks);
    // A clock's steps past an hour: whole minutes and hours.
    if (duration >= 3600 && xstep >= 60)
      xstep = [60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200].find(function (step) {
        return step * ticks >= span.to - span.from;
      }) || 86400;
    c.textAlign = 'center';
    for (var t = Math.ceil(span.from / xstep - 1e-9) * xstep; t <= span.to + 1e-9; t += xstep) {
      var label = duration >= 3600 ? clockText(t, 0) : Number(t.toPrecision(6)) + ' s';
      c.fillText(label, chartX(t), h - 8);
    }
  }
  function drawChartMarks(c) {
    var top = plot.top, bottom = chartBox.h - plot.bottom, right = chartBox.w - plot.right;
    var x = function (ms) { return chartX(ms / 1000); };
    c.globalAlpha = 0.12; c.fillStyle = theme.mode;
    marks.mode.forEach(function (s) { c.fillRect(x(s[0]), top, Math.max(1, x(s[1]) - x(s[0])), bottom - top); });
    c.globalAlpha = 0.6; c.fillStyle = theme.vehicle;
    marks.vehicle.forEach(function (s) { c.fillRect(x(s[0]), bottom - 5, Math.max(1.5, x(s[1]) - x(s[0])), 5); });
    c.globalAlpha = 0.7; c.lineWidth = 1; c.strokeStyle = theme.press; c.setLineDash([3, 3]); c.beginPath();
    bins(pressTimes(), x, plot.left, right, 3).forEach(function (b) {  // one line a few pixels
      c.moveTo(Math.round(b.x) + 0.5, top); c.lineTo(Math.round(b.x) + 0.5, bottom);
    });
    c.stroke(); c.setLineDash([]); c.strokeStyle = theme.death; c.lineWidth = 1.5; c.beginPath();
    // The player's deaths: a line each while they are few, a tick at the top, longer for more, where they crowd.
    var deaths = bins(marks.deaths, x, plot.left, right, 4), sparse = deaths.length * 12 < right - plot.left;
    deaths.forEach(function (b) {
      c.moveTo(b.x, top); c.lineTo(b.x, sparse && b.n === 1 ? bottom : top + 4 + 3 * Math.log2(b.n));
    });
    c.stroke(); c.globalAlpha = 1;
  }
  function drawChartLine(c, series, col, width) {
    c.strokeStyle = col; c.lineWidth = width; c.beginPath();
    var from = Math.max(0, sampleAt(span.from) - 1), to = Math.min(samples, sampleAt(span.to) + 2);
    for (var k = from; k < to; k++) {
      var x = chartX(times[k] / 1000), y = chartY(series[k]);
      if (k === from) c.moveTo(x, y); else { c.lineTo(x, chartY(series[k - 1])); c.lineTo(x, y); }
    }
    c.stroke();
  }
  function drawChartBase() {
    chartBox = size(chart);
    var c = chartCtx;
    c.fillStyle = theme.bg; c.fillRect(0, 0, chartBox.w, chartBox.h);
    drawChartAxes(c);
    c.save(); c.beginPath(); c.rect(plot.left, 0, chartBox.w - plot.left - plot.right + 1, chartBox.h); c.clip();
    drawChartMarks(c);
    drawChartLine(c, totals, theme.total, 2);
    for (var f = 0; f < factionCount; f++) {
      c.setLineDash(shape(f) ? [6, 2 + 2 * shape(f)] : []);  // past the colours, dashed
      drawChartLine(c, counts[f], colour(f), 1.6);
    }
    c.setLineDash([]);
    c.restore();
    c.font = FONT11; c.textAlign = 'left'; c.fillStyle = theme.muted;
    var last = sampleAt(span.to);
    haloText(c, 'all', chartX(times[last] / 1000) + 3, chartY(totals[last]) + 4);
    marker.style.top = (plot.top - 6) + 'px';
    marker.style.height = (chartBox.h - plot.bottom - plot.top + 6) + 'px';
  }
  // The moment's mark is a line over the chart, so the chart itself is drawn only when its size changes.
  function drawChart() {
    if (!chart.clientWidth) return;  // folded away
    if (!chartBox || chart.clientWidth !== chartBox.w) drawChartBase();
    marker.style.display = state.t < span.from || state.t > span.to ? 'none' : '';
    marker.style.transform = 'translateX(' + (chartX(state.t) - 1) + 'px)';
  }

  // What the chart's colours and the marks mean.
  (function () {
    var legend = $('legend');
    function item(mark, words) { legend.appendChild(add(el('li'), mark, words)); }
    function swatch(colourValue, className) { var s = el('span', className || 'swatch'); s.style.background = colourValue; return s; }
    function glyph(text, colourValue) { var s = el('span', 'glyph', text); s.style.color = colourValue; return s; }
    for (var f = 0; f < factionCount; f++) item(paint(el('span', 'swatch'), f), factionName(f));
    item(swatch('var(--total)'), 'all rioters');
    item(glyph('\u25bc', 'var(--press)'), 'a key press (hollow: not the toggle key)');
    item(glyph('\u25cb', 'var(--ink)'), 'the config read again (at each toggle)');
    item(swatch('var(--mode)', 'band'), 'mode on');
    item(swatch('var(--vehicle)', 'band'), 'the player in a vehicle');
    item(glyph('\u2715', 'var(--death)'), 'the player died');
  })();

  // Pointing at the chart reads out the moment and each faction's count.
  function chartReadout(x) {
    var read = $('chart-read'), line = $('chart-hover'), t = chartTime(x), i = sampleAt(t);
    read.textContent = '';
    add(read, el('b', null, clockText(t, 1) + (duration < 3600 ? ' s' : '')), ' \u00b7 all ' + totals[i]);
    for (var f = 0; f < factionCount; f++) {
      var s = el('span', 'swatch');
      paint(s, f);
      add(read, ' \u00b7 ', s, ' ' + shortName(f) + ' ' + counts[f][i]);
    }
    read.hidden = false; line.hidden = false;
    read.style.left = Math.max(0, Math.min(chartBox.w - read.offsetWidth, x + 12)) + 'px';
    line.style.left = Math.round(x) + 'px';
    line.style.top = plot.top + 'px';
    line.style.height = (chartBox.h - plot.top - plot.bottom) + 'px';
  }

  // ---- Factions compared: run's table, for the whole run or up to the playhead ----
  function factionScores(ms) {
    var scores = [], f, k, i = sampleAt(ms / 1000), all = ms >= facts.ms;
    for (f = 0; f < factionCount; f++)
      scores.push({ members: 0, recruited: 0, kills: 0, deaths: 0, attacks: 0, hits: 0, life: 0, longest: 0, weapons: {} });
    function weapon(s, w) { return s.weapons[w] || (s.weapons[w] = { handed: 0, kills: 0 }); }
    for (k = 0; k < tracks.n; k++) {
      var s = scores[tracks.faction[k]];
      if (!s || tracks.startMs[k] > ms) continue;
      var left = tracks.endMs[k] >= 0 && tracks.endMs[k] <= ms, died = tracks.deathMs[k] >= 0 && tracks.deathMs[k] <= ms;
      var life = (died ? tracks.deathMs[k] : left ? tracks.endMs[k] : Math.min(ms, facts.ms)) - tracks.startMs[k];
      s.recruited += 1; s.members += left ? 0 : 1; s.life += life; s.longest = Math.max(s.longest, life);
      for (var q = tracks.armAt[k]; q + 1 < tracks.armAt[k + 1] && (all || tracks.arms[q] <= i); q += 2)
        weapon(s, tracks.arms[q + 1]).handed += 1;
      if (!died) continue;
      s.deaths += 1;
      var by = scores[tracks.killerFaction[k]];
      if (by) { by.kills += 1; weapon(by, tracks.killWeapon[k]).kills += 1; }
    }
    var j = fights.length - 1;
    while (j > 0 && fights[j][0] > ms) j--;
    scores.fightMs = j >= 0 ? fights[j][0] : 0;
    scores.forEach(function (score, f) {
      score.attacks = j >= 0 ? fights[j][1 + 2 * f] || 0 : 0;
      score.hits = j >= 0 ? fights[j][2 + 2 * f] || 0 : 0;
    });
    return scores;
  }
  function weaponsText(score) {
    var indices = Object.keys(score.weapons).map(Number).sort(function (a, b) { return (a >>> 0) - (b >>> 0); });
    return indices.map(function (w) {
      var use = score.weapons[w];
      return w >= 0 ? (weaponNames[w] || '?') + ' ' + use.handed + ' (' + use.kills + ')' : 'no weapon (' + use.kills + ')';
    }).join(', ') || 'none';
  }
  var table = { body: document.querySelector('#factions tbody'), scope: 'all', ms: -1, wall: 0 };
  function lifeText(ms, count) { return count ? ratio(ms, count * 1000, 1) + ' s' : '-'; }
  function fillFactions(force) {
    if (lower.folded || lower.tab !== 'factions') return;
    var ms = table.scope === 'all' ? facts.ms : Math.round(state.t * 1000), wall = performance.now();
    if (!force && (ms === table.ms || (state.playing && wall - table.wall < 1000))) return;
    table.ms = ms; table.wall = wall;
    table.body.textContent = '';
    var scores = factionScores(ms);
    scores.forEach(function (s, f) {
      var row = el('tr'), name = el('td'), swatch = el('span', 'swatch');
      paint(swatch, f);
      add(name, swatch, ' ' + shortName(f));
      name.title = factionName(f);
      row.setAttribute('data-faction', String(f));
      add(row, name);
      [s.members, s.recruited, s.kills, s.deaths, ratio(s.kills, s.deaths, 2), ratio(s.hits, s.attacks, 2),
       lifeText(s.life, s.recruited), s.recruited ? ratio(s.longest, 1000, 1) + ' s' : '-'].forEach(function (value) {
        add(row, el('td', null, String(value)));
      });
      add(row, el('td', 'weapons', weaponsText(s)));
      table.body.appendChild(row);
    });
    var sums = scores.reduce(function (sum, s) { return [sum[0] + s.attacks, sum[1] + s.hits, sum[2] + s.kills]; }, [0, 0, 0]);
    var outside = [facts.attacks - sums[0], facts.hits - sums[1], facts.pedDeaths - sums[2]];
    $('factions-note').textContent = table.scope === 'all' ? 'Over the whole run: the numbers skirmora-sim run prints.' +
        (outside.some(Boolean) ? ' By peds out of the roster (dropped at a reload, or released alive): ' + outside[0] +
         ' attacks, ' + outside[1] + ' hits, ' + outside[2] + ' peds killed.' : '')
        : 'Up to ' + clockText(ms / 1000, 1) + (duration < 3600 ? ' s' : '') + '; attacks and hits as of ' +
          clockText(scores.fightMs / 1000, 1) + '.';
  }
  Array.prototype.forEach.call(document.querySelectorAll('#scope input'), function (input) {
    input.addEventListener('change', function () { table.scope = input.value; fillFactions(true); });
  });

  // ---- Below the map: the chart or the table, folded away on a short window ----
  var lower = { folded: window.innerHeight < 820, tab: 'chart' };
  function showLower(tab, folded) {
    lower.tab = tab; lower.folded = folded;
    $('lower').classList.toggle('folded', folded);
    $('fold').setAttribute('aria-expanded', String(!folded));
    $('fold').textContent = folded ? 'Unfold' : 'Fold';
    ['chart', 'factions'].forEach(function (name) {
      $('tab-' + name).setAttribute('aria-selected', String(name === tab));
      $(name + '-box').hidden = name !== tab;
    });
    chartBox = null; bar = null; state.dirty = true;
    fillFactions(true);
  }
  ['chart', 'factions'].forEach(function (name) {
    $('tab-' + name).addEventListener('click', function () { showLower(name, lower.tab === name ? !lower.folded : false); });
  });
  $('fold').addEventListener('click', function () { showLower(lower.tab, !lower.folded); });

  // ---- The panel: this moment ----
  var panel = (function () {
    var line = el('div', 'row state'), total = el('b', 'total'), rows = [];
    add(nowBox, line, add(el('div', 'row'), total));
    for (var f = 0; f < factionCount; f++) {
      var row = el('div', 'row'), swatch = el('span', 'swatch'), count = el('span', 'count');
      var option = el('option', null, factionName(f));
      row.setAttribute('data-faction', String(f));
      paint(swatch, f);
      add(nowBox, add(row, swatch, el('span', 'name', factionName(f)), count));
      rows.push(count);
      option.value = String(f);
      factionFilter.appendChild(option);
    }
    return { state: line, total: total, counts: rows };
  })();

  function updateNow(i) {
    var ps = player.state[i];
    panel.state.textContent = 'mode ' + (ps & 4 ? 'on' : 'off') + ' \u00b7 player ' +
        (ps & 2 ? (ps & 1 ? 'dead in a vehicle' : 'dead') : ps & 1 ? 'in a vehicle' : 'on foot');
    panel.total.textContent = totals[i] + (totals[i] === 1 ? ' rioter' : ' rioters');
    for (var f = 0; f < factionCount; f++) panel.counts[f].textContent = String(counts[f][i]);
    nowBox.setAttribute('data-count', String(totals[i]));
    nowBox.setAttribute('data-sample', String(i));
  }

  function updatePanel() {
    var i = sampleAt(state.t);
    clock.textContent = clockText(state.t, 1) + ' / ' + clockText(duration, 1) + (duration < 3600 ? ' s' : '');
    timebar.setAttribute('aria-valuenow', fixed(state.t));
    timebar.setAttribute('aria-valuetext', duration < 3600 ? fixed(state.t) + ' seconds' : clockText(state.t, 1));
    playButton.textContent = state.playing ? 'Pause' : 'Play';
    followList(false);
    fillFactions(false);
    if (i === state.shownSample) return;
    state.shownSample = i;
    updateNow(i);
    updatePickNow(i);
  }

  // ---- The selected rioter ----
  function modelWords(k) {
    if (tracks.id[k] === 0) return 'none: the spawn failed';
    if (tracks.model[k] >= 0) return modelNames[tracks.model[k]];
    return tracks.modelFailed[k] ? 'a random pedestrian: the model drawn for it never loaded'
                                 : 'a random pedestrian (its faction names no models)';
  }
  function endLine(k) {
    var line = el('p'), reason = ENDS[tracks.reason[k]], killer = tracks.killer[k];
    if (tracks.death[k] >= 0) {
      add(line, 'killed at ', timeButton(tracks.deathMs[k]));
      if (killer) add(line, ' by ', pedButton(killer));
      if (tracks.killerFaction[k] >= 0) add(line, ' ' + weaponWords(tracks.killWeapon[k]));
      if (reason === 'dead') add(line, ', released at ', timeButton(tracks.endMs[k]));
    }
    if (reason === 'stillThere') return add(line, tracks.death[k] >= 0 ? '; still listed at the end' : 'still in the riot at the end');
    if (reason !== 'dead' || tracks.death[k] < 0) {
      add(line, tracks.death[k] >= 0 ? '; ' : '', reason === 'dropped' ? 'dropped at a reload at ' : 'released (' +
          endWords(tracks.reason[k]) + ') at ', timeButton(tracks.endMs[k]));
    }
    return line;
  }
  // Its targets and the weapons it was handed, in the order they came, with their times.
  function storyList(k) {
    var list = el('ul'), a = tracks.aimAt[k], aims = tracks.aimAt[k + 1], w = tracks.armAt[k], arms = tracks.armAt[k + 1];
    while (a + 1 < aims || w + 1 < arms) {
      var aimed = a + 1 < aims ? tracks.aims[a] : Infinity, armed = w + 1 < arms ? tracks.arms[w] : Infinity;
      var at = Math.min(aimed, armed), item = add(el('li'), timeButton(timeOf(at)));
      if (aimed === at) { add(item, ' target ', targetWords(tracks.aims[a + 1])); a += 2; }
      if (armed === at) { add(item, aimed === at ? ', ' : ' ', 'handed ' + (weaponNames[tracks.arms[w + 1]] || '?')); w += 2; }
      list.appendChild(item);
    }
    if (!list.firstChild) add(list, el('li', 'label', 'no target and no weapon'));
    return list;
  }
  function targetWords(target) {
    return target === -1 ? 'the player' : target === 0 ? 'none' : pedButton(target);
  }

  function renderPick() {
    var k = state.pick;
    pickBox.textContent = '';
    pickBox.hidden = k < 0;
    if (k < 0) return;
    var heading = el('h3'), swatch = el('span', 'swatch'), close = el('button', 'close', '\u00d7');
    paint(swatch, tracks.faction[k]);
    close.type = 'button'; close.title = 'Let go of it (Escape)';
    close.addEventListener('click', function () { select(-1); });
    add(pickBox, add(heading, swatch, tracks.id[k] ? '#' + tracks.id[k] : 'A failed spawn', close));
    add(pickBox, add(el('p'), factionName(tracks.faction[k])));
    add(pickBox, add(el('p'), el('span', 'label', 'model: '), modelWords(k)));
    add(pickBox, add(el('p'), 'recruited at ', timeButton(tracks.startMs[k])));
    add(pickBox, el('p', 'label', 'targets and weapons handed'), storyList(k));
    add(pickBox, endLine(k), el('p', 'pick-now'));
    updatePickNow(sampleAt(state.t));
  }

  // What the selected rioter does at sample i, and who is after it.
  function updatePickNow(i) {
    var line = pickBox.querySelector('.pick-now'), k = state.pick;
    if (!line || k < 0) return;
    line.textContent = '';
    if (!present(k, i)) { line.textContent = 'not in the riot at this moment'; return; }
    add(line, el('span', 'label', 'now: '), 'target ', targetWords(aimOf(k, i)));
    var after = [], b = Math.floor(i / BLOCK);
    for (var q = presence.at[b]; q < presence.at[b + 1] && tracks.id[k] !== 0; q++) {
      var other = presence.list[q];
      if (present(other, i) && aimOf(other, i) === tracks.id[k]) after.push(other);
    }
    add(line, '; targeted by ' + (after.length ? '' : 'none'));
    after.forEach(function (other, n) { add(line, n ? ', ' : '', pedButton(tracks.id[other])); });
  }

  function setFollow(who) {
    state.follow = who;
    followBox.checked = who !== null;
    $('follow-who').textContent = who === 'pick' && state.pick >= 0 ? '#' + tracks.id[state.pick] : 'the player';
    state.dirty = true;
  }

  // Selects rioter k (-1: none). 'follow': the map follows it; 'find': and goes to its recruitment when it is
  // not there at this moment.
  function select(k, how) {
    state.pick = k;
    onlyPick.disabled = k < 0;
    if (k < 0) onlyPick.checked = false;
    if (k >= 0 && how) {
      if (how === 'find' && !present(k, sampleAt(state.t))) seek(timeOf(tracks.start[k]) / 1000);
      setFollow(tracks.id[k] !== 0 ? 'pick' : state.follow);
    } else if (state.follow === 'pick') {
      setFollow(k < 0 ? 'player' : 'pick');
    }
    pickBox.setAttribute('data-id', k < 0 ? '' : String(tracks.id[k]));
    renderPick();
    refilter();
    state.dirty = true;
  }

  // ---- Pointing at a rioter ----
  var tipTimer = 0, tipShows = { k: -1, sample: -1 };
  function nearest(x, y, reach) {
    var best = null, bestDistance = reach * reach;
    (frame ? frame.shown : []).forEach(function (s) {
      var dx = s.x - x, dy = s.y - y, d = dx * dx + dy * dy;
      if (d <= bestDistance) { best = s; bestDistance = d; }
    });
    return best;
  }
  function fillTip(k, i) {
    tip.textContent = '';
    add(tip, el('b', null, '#' + tracks.id[k]), ' \u00b7 ' + factionName(tracks.faction[k]), el('br'),
        'target: ', targetWords(aimOf(k, i)), el('br'), 'model: ' + modelWords(k), el('br'), 'last weapons handed: ');
    // The last few only: a rioter is handed a weapon at each new target, hundreds in a long run.
    var handed = [], q = tracks.armAt[k], n = 0;
    for (; q + 1 < tracks.armAt[k + 1] && tracks.arms[q] <= i; q += 2) n += 1;
    for (var r = q - 2; r >= tracks.armAt[k] && handed.length < TIP_WEAPONS; r -= 2)
      handed.push((weaponNames[tracks.arms[r + 1]] || '?') + ' (' + clockText(timeOf(tracks.arms[r]) / 1000, 1) + ')');
    add(tip, handed.length ? handed.join(', ') : 'none yet');
    if (n > handed.length) add(tip, el('span', 'hint', ' and ' + (n - handed.length) + ' before'));
    add(tip, el('br'), 'recruited at ' + msText(tracks.startMs[k]));
    if (tracks.death[k] >= 0 && tracks.death[k] <= i) add(tip, ', dead since ' + msText(tracks.deathMs[k]));
    add(tip, el('br'), el('span', 'hint', 'click to select; click a number to select that one'));
    tip.setAttribute('data-id', String(tracks.id[k]));
    tip.setAttribute('data-faction', String(tracks.faction[k]));
    tipShows = { k: k, sample: i };
  }
  // Beside the rioter, on its side away from the middle (the player and the thick of the riot), inside the map.
  function placeTip(s) {
    tip.hidden = false;
    var w = tip.offsetWidth, h = tip.offsetHeight, width = view.clientWidth, height = view.clientHeight;
    var left = s.x < width / 2 ? s.x - 14 - w : s.x + 14, top = s.y < height / 2 ? s.y - h - 10 : s.y + 10;
    tip.style.left = Math.max(0, Math.min(width - w, left)) + 'px';
    tip.style.top = Math.max(0, Math.min(height - h, top)) + 'px';
  }
  function updateHover() {
    var near = state.pointer && frame ? nearest(state.pointer.x, state.pointer.y, 10) : null;
    if (!near) { hideTipSoon(); return; }
    clearTimeout(tipTimer);
    if (near.k !== tipShows.k || frame.sample !== tipShows.sample || tip.hidden) {
      if (near.k !== state.hover) state.dirty = true;
      state.hover = near.k;
      fillTip(near.k, frame.sample);
      placeTip(near);
    }
  }
  // The tip stays a moment, so that the pointer can reach a number in it.
  function hideTipSoon() {
    if (tip.hidden || tipTimer) return;
    tipTimer = setTimeout(function () {
      tipTimer = 0;
      tip.hidden = true; tip.removeAttribute('data-id'); tipShows.k = -1;
      if (state.hover >= 0) state.dirty = true;
      state.hover = -1;
    }, 400);
  }
  tip.addEventListener('pointerenter', function () { clearTimeout(tipTimer); tipTimer = 0; });
  tip.addEventListener('pointerleave', hideTipSoon);

  // ---- The whole story: every event, filtered, in a list that draws only the rows in view ----
  var list = { shown: new Int32Array(0), rows: [], now: -1, userWall: -1e9 };
  var space = $('events-space');

  function passes(e) {
    var kind = events.kind[e], k = events.who[e], rioter = kind >= KIND.recruit;
    if (!state.kinds[kind]) return false;
    if (state.faction >= 0 && (!rioter || tracks.faction[k] !== state.faction)) return false;
    if (!onlyPick.checked || state.pick < 0) return true;
    var id = tracks.id[state.pick];
    return rioter && (k === state.pick || (kind === KIND.death && id !== 0 && tracks.killer[k] === id));
  }
  function refilter() {
    var keep = new Int32Array(events.n), n = 0;
    for (var e = 0; e < events.n; e++) if (passes(e)) keep[n++] = e;
    list.shown = keep.subarray(0, n);
    space.style.height = n * ROW + 'px';
    $('events-count').textContent = (n === events.n ? '' : n + ' of ') + events.n + (events.n === 1 ? ' event' : ' events');
    eventBox.setAttribute('data-shown', String(n));
    list.rows.forEach(function (row) { row.removeAttribute('data-event'); });
    followList(true);
  }
  function eventWords(e) {
    var kind = KINDS[events.kind[e]], w = events.who[e];
    if (kind === 'press') return 'press of ' + presses[w][1] + (presses[w][2] ? '' : ' (not the toggle key)');
    if (kind === 'mode') return (w ? 'mode on' : 'mode off') + ', the config read again';
    if (kind === 'player') return w ? 'the player died' : 'the player is back';
    if (kind === 'vehicle') return w ? 'the player got in a vehicle' : 'the player got out of the vehicle';
    if (kind === 'recruit') return rioterName(w) + ' recruited' + (tracks.modelFailed[w] ? ', a random pedestrian' : '');
    if (kind === 'death') return rioterName(w) + ' killed' + killerWords(w);
    return rioterName(w) + (ENDS[tracks.reason[w]] === 'dropped' ? ' dropped at a reload' : ' released: ' + endWords(tracks.reason[w]));
  }
  // ' by #176 F1 with WEAPON_PISTOL', as far as the world knows.
  function killerWords(k) {
    var killer = tracks.killer[k], f = tracks.killerFaction[k];
    if (!killer) return '';
    if (f < 0) return ' by #' + killer;
    return ' by #' + killer + ' ' + shortName(f) + ' ' + weaponWords(tracks.killWeapon[k]);
  }
  function weaponWords(weapon) { return weapon >= 0 ? 'with ' + (weaponNames[weapon] || '?') : 'unarmed'; }
  function fillRow(row, e) {
    var kind = events.kind[e], k = events.who[e];
    row.className = 'ev ' + KINDS[kind];
    row.textContent = '';
    add(row, el('span', 'at', msText(events.ms[e])));
    if (kind === KIND.death && tracks.killerFaction[k] >= 0 && byId.has(tracks.killer[k])) {
      // The killer's number selects the killer, the rest of the row the victim.
      var who = el('button', 'who', '#' + tracks.killer[k] + ' ' + shortName(tracks.killerFaction[k]));
      who.type = 'button'; who.tabIndex = -1;
      who.setAttribute('data-id', String(tracks.killer[k]));
      add(row, rioterName(k) + ' killed by ', who, ' ' + weaponWords(tracks.killWeapon[k]));
    } else {
      add(row, eventWords(e));
    }
    row.setAttribute('data-event', String(e));
  }
  function renderRows() {
    var first = Math.max(0, Math.floor(eventBox.scrollTop / ROW) - 3);
    var count = Math.ceil((eventBox.clientHeight || 400) / ROW) + 6;
    while (list.rows.length < count) {
      var made = el('div', 'ev');
      made.setAttribute('role', 'listitem');
      made.tabIndex = 0;
      list.rows.push(eventBox.appendChild(made));
    }
    list.rows.forEach(function (row, r) {
      var q = first + r;
      row.hidden = r >= count || q >= list.shown.length;
      if (row.hidden) return;
      if (row.getAttribute('data-event') !== String(list.shown[q])) fillRow(row, list.shown[q]);
      row.setAttribute('data-q', String(q));
      row.style.transform = 'translateY(' + q * ROW + 'px)';
      row.classList.toggle('now', q === list.now);
    });
  }
  // The row of the last event so far stays in view, unless the list was scrolled by hand just now.
  function followList(force) {
    var ms = state.t * 1000, lo = 0, hi = list.shown.length;
    while (lo < hi) { var mid = (lo + hi) >> 1; if (events.ms[list.shown[mid]] <= ms) lo = mid + 1; else hi = mid; }
    if (lo - 1 === list.now && !force) return;
    list.now = lo - 1;
    if (performance.now() - list.userWall > 3000)
      eventBox.scrollTop = Math.max(0, list.now * ROW - eventBox.clientHeight / 2 + ROW / 2);
    renderRows();
  }
  ['wheel', 'touchstart', 'pointerdown', 'keydown'].forEach(function (type) {
    eventBox.addEventListener(type, function () { list.userWall = performance.now(); }, { passive: true });
  });
  eventBox.addEventListener('scroll', renderRows, { passive: true });
  eventBox.addEventListener('click', function (event) {
    var row = event.target.closest && event.target.closest('.ev');
    if (!row || !row.hasAttribute('data-event') || event.target.closest('button')) return;
    goToEvent(Number(row.getAttribute('data-event')));
  });
  // A focused row: Enter goes there, the arrows up and down move to the row before or after.
  eventBox.addEventListener('keydown', function (event) {
    var row = event.target.closest && event.target.closest('.ev[data-q]');
    if (!row || event.altKey || event.ctrlKey || event.metaKey) return;
    var q = Number(row.getAttribute('data-q')), to = event.key === 'ArrowDown' ? q + 1 : event.key === 'ArrowUp' ? q - 1 : -1;
    if (to < 0 && event.key !== 'Enter') return;
    if (event.key === 'Enter') {
      var e = list.shown[q];
      goToEvent(e);
      to = list.shown.indexOf(e);  // the rows were drawn anew: keep the focus on its row
    }
    if (to >= 0 && to < list.shown.length) {
      eventBox.scrollTop = Math.min(eventBox.scrollTop, to * ROW);
      eventBox.scrollTop = Math.max(eventBox.scrollTop, (to + 1) * ROW - eventBox.clientHeight);
      renderRows();
      var next = eventBox.querySelector('.ev[data-q="' + to + '"]:not([hidden])');
      if (next) next.focus({ preventScroll: true });
    }
    event.preventDefault();
    event.stopPropagation();
  });
  function goToEvent(e) {
    list.userWall = -1e9;
    // A recruit shows from the first sample after it.
    seek((events.kind[e] === KIND.recruit ? Math.max(events.ms[e], timeOf(tracks.start[events.who[e]])) : events.ms[e]) / 1000);
    if (events.kind[e] >= KIND.recruit) select(events.who[e], 'follow');
    // On a narrow screen the map is far above the list: bring it back into view.
    var rect = view.getBoundingClientRect();
    if (rect.top < 0 || rect.bottom > window.innerHeight) view.scrollIntoView({ block: 'start' });
  }

  // The kinds' buttons.
  KINDS.forEach(function (kind, k) {
    var button = el('button', null, KIND_WORDS[k]);
    button.type = 'button';
    button.setAttribute('data-kind', kind);
    button.setAttribute('aria-pressed', 'true');
    button.addEventListener('click', function () {
      state.kinds[k] = !state.kinds[k];
      button.setAttribute('aria-pressed', String(state.kinds[k]));
      refilter();
    });
    $('kinds').appendChild(button);
  });

  // The events listed, as CSV; a text a spreadsheet would take for a formula is quoted as text.
  function csvField(value) {
    var text = String(value);
    if (/^[=+\-@\t\r]/.test(text)) text = "'" + text;
    return /[",\r\n]/.test(text) ? '"' + text.replace(/"/g, '""') + '"' : text;
  }
  // What the reason column says of an event: why a rioter left, the key pressed, which way the mode went.
  function csvReason(e) {
    var kind = KINDS[events.kind[e]], w = events.who[e];
    if (kind === 'release') return ENDS[tracks.reason[w]] === 'dropped' ? 'dropped at a reload' : endWords(tracks.reason[w]);
    if (kind === 'recruit') return tracks.modelFailed[w] ? 'a random pedestrian: its model never loaded' : '';
    if (kind === 'press') return presses[w][1] + (presses[w][2] ? '' : ' (not the toggle key)');
    if (kind === 'mode') return w ? 'on' : 'off';
    if (kind === 'player') return w ? 'died' : 'back';
    if (kind === 'vehicle') return w ? 'in' : 'out';
    return '';
  }
  function csvPlace(e) {
    var kind = events.kind[e], i = sampleAt(events.ms[e] / 1000), k = events.who[e];
    if (kind < KIND.recruit) return playerPosition(i, 0);
    if (tracks.id[k] === 0) return null;
    return trackPosition(k, Math.max(tracks.start[k], Math.min(i, tracks.end[k] - 1)), 0);
  }
  function eventsCsv() {
    var lines = ["time (s),kind,rioter,faction,killer,killer's faction,weapon,reason,x,y"];
    for (var q = 0; q < list.shown.length; q++) {
      var e = list.shown[q], kind = events.kind[e], k = events.who[e], rioter = kind >= KIND.recruit;
      var death = kind === KIND.death, kf = death ? tracks.killerFaction[k] : -1, at = csvPlace(e);
      lines.push([(events.ms[e] / 1000).toFixed(3), KINDS[kind], rioter && tracks.id[k] ? tracks.id[k] : '',
                  rioter ? factionName(tracks.faction[k]) : '', death && tracks.killer[k] ? tracks.killer[k] : '',
                  kf >= 0 ? factionName(kf) : '',
                  kf >= 0 ? (tracks.killWeapon[k] >= 0 ? weaponNames[tracks.killWeapon[k]] || '?' : 'unarmed') : '',
                  csvReason(e), at ? at.x.toFixed(1) : '', at ? at.y.toFixed(1) : ''].map(csvField).join(','));
    }
    return lines.join('\r\n') + '\r\n';
  }
  $('csv').addEventListener('click', function () {
    var link = el('a'), url = URL.createObjectURL(new Blob([eventsCsv()], { type: 'text/csv' }));
    link.href = url;
    link.download = String(facts.scenario).replace(/[^A-Za-z0-9_-]+/g, '_').slice(0, 60) + '-events.csv';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 1000);
  });

  // ---- Finding a rioter or a faction ----
  function findFaction(text) {
    var q = text.toLowerCase(), f;
    for (f = 0; f < factionCount; f++) if (factionName(f).toLowerCase() === q || shortName(f).toLowerCase() === q) return f;
    for (f = 0; f < factionCount; f++) if (factionName(f).toLowerCase().indexOf(q) >= 0) return f;
    return -1;
  }
  function setFaction(f) {
    state.faction = f;
    factionFilter.value = String(f);
    refilter();
    state.dirty = true;
  }
  function find(text) {
    var q = text.trim(), number = /^#?\s*(\d+)$/.exec(q);
    findNote.textContent = '';
    if (!q) { setFaction(-1); return; }
    if (number) {
      var k = byId.get(Number(number[1]));
      if (k === undefined) findNote.textContent = 'no rioter #' + number[1];
      else select(k, 'find');
      return;
    }
    var f = findFaction(q);
    if (f < 0) findNote.textContent = 'no rioter or faction "' + q + '"';
    else setFaction(f);
  }
  // Once found, the box lets go of the keys, so that the arrows seek again.
  findBox.addEventListener('keydown', function (event) {
    if (event.key !== 'Enter') return;
    find(findBox.value);
    if (!findNote.textContent) findBox.blur();
  });
  findBox.addEventListener('input', function () { if (!findBox.value) find(''); });
  factionFilter.addEventListener('change', function () { setFaction(Number(factionFilter.value)); });
  onlyPick.addEventListener('change', refilter);
  document.addEventListener('click', function (event) {
    var button = event.target.closest && event.target.closest('button.who, button.when');
    if (!button) return;
    if (button.classList.contains('when')) { seek(Number(button.getAttribute('data-ms')) / 1000); return; }
    var k = byId.get(Number(button.getAttribute('data-id')));
    if (k !== undefined) select(k, 'find');
  });

  // ---- Controls ----
  function seek(t) {
    state.t = Math.max(0, Math.min(duration, t));
    state.dirty = true;
  }
  function play() {
    if (state.t >= duration) state.t = 0;
    state.playing = true; state.lastWall = performance.now(); state.dirty = true;
  }
  function pause() { state.playing = false; state.dirty = true; }
  function setSpeed(speed) {
    if (SPEEDS.indexOf(speed) < 0) return;
    state.speed = speed;
    speedBox.value = String(speed);
  }
  function stepSpeed(by) { setSpeed(SPEEDS[Math.max(0, Math.min(SPEEDS.length - 1, SPEEDS.indexOf(state.speed) + by))]); }

  // A link to a moment: #t=45.2, and &r=1352 for a selected rioter.
  // The time as seconds (45.2, 1e3) or h:mm:ss (1:02:03.5).
  function readLink() {
    var t = /(?:^#|&)t=([^&]*)/.exec(location.hash), r = /(?:^#|&)r=([0-9]+)/.exec(location.hash);
    if (r && byId.has(Number(r[1]))) select(byId.get(Number(r[1])), 'find');
    var seconds = t ? t[1].split(':').reduce(function (sum, part) { return sum * 60 + Number(part); }, 0) : NaN;
    if (isFinite(seconds) && seconds >= 0) seek(seconds);
  }
  $('link').addEventListener('click', function () {
    var hash = '#t=' + Math.round(state.t * 1000) / 1000 + (state.pick >= 0 && tracks.id[state.pick] ? '&r=' + tracks.id[state.pick] : '');
    try { history.replaceState(null, '', hash); } catch (error) { location.hash = hash; }
  });
  window.addEventListener('hashchange', readLink);

  playButton.addEventListener('click', function () { if (state.playing) pause(); else play(); });
  // A speed chosen with the pointer hands the keys back to the page (Space plays again); by the keyboard, the
  // list keeps them.
  var pointed = false;
  speedBox.addEventListener('pointerdown', function () { pointed = true; });
  speedBox.addEventListener('keydown', function () { pointed = false; });
  speedBox.addEventListener('change', function () { setSpeed(Number(speedBox.value)); if (pointed) speedBox.blur(); });
  followBox.addEventListener('change', function () {
    setFollow(followBox.checked ? (state.pick >= 0 && tracks.id[state.pick] ? 'pick' : 'player') : null);
  });
  // The next event from now: of the list as filtered, of the selected rioter, or the player's next death.
  function nextEvent(test) {
    for (var e = firstEventAfter(state.t * 1000 + 0.5); e < events.n; e++) if (test(e)) return seek(events.ms[e] / 1000);
  }
  function ofPick(e) {
    var k = events.who[e];
    return events.kind[e] >= KIND.recruit && state.pick >= 0 && (k === state.pick || (events.kind[e] === KIND.death &&
        tracks.id[state.pick] !== 0 && tracks.killer[k] === tracks.id[state.pick]));
  }
  // Standard controls keep their keys; the page's act on the map, the time bar, an event row or nothing focused.
  var CONTROLS = 'input, select, textarea, button, summary, a[href], [role="tab"]';
  document.addEventListener('keydown', function (event) {
    var target = event.target, control = target.closest && target.closest(CONTROLS), key = event.key;
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    if (key === 'Escape') {
      if (control && document.activeElement === control) control.blur(); else select(-1);
      event.preventDefault();
      return;
    }
    if (control && key === 'Enter' && target.type === 'checkbox') { target.click(); event.preventDefault(); }
    if (control) return;
    var step = event.shiftKey ? 10 : 1, handled = true, slider = target === timebar;
    if (key === ' ' || event.code === 'Space') { if (state.playing) pause(); else play(); }
    else if (key === 'ArrowLeft' || (slider && key === 'ArrowDown')) seek(state.t - step);
    else if (key === 'ArrowRight' || (slider && key === 'ArrowUp')) seek(state.t + step);
    else if (slider && (key === 'PageDown' || key === 'PageUp')) seek(state.t + (key === 'PageUp' ? 60 : -60));
    else if (key === 'ArrowUp') stepSpeed(1);
    else if (key === 'ArrowDown') stepSpeed(-1);
    else if (key === 'Home') seek(0);
    else if (key === 'End') seek(duration);
    else if (key === 'n') nextEvent(function (e) { return passes(e); });
    else if (key === 'd') nextEvent(function (e) { return events.kind[e] === KIND.player && events.who[e] === 1; });
    else if (key === 's') nextEvent(ofPick);
    else handled = false;
    if (handled) event.preventDefault();
  });

  // The time bar and the chart: a press or a drag goes there.
  // With Shift, a drag marks a span of time to zoom the bar and the chart to; the wheel over them zooms too.
  function scrubber(canvas, timeAt) {
    var held = false, brushFrom = null, brush = el('div', 'brush');
    brush.hidden = true;
    canvas.parentNode.appendChild(brush);
    function x(event) { return event.clientX - canvas.getBoundingClientRect().left; }
    function go(event) { seek(timeAt(x(event))); }
    canvas.addEventListener('pointerdown', function (event) {
      held = true; canvas.setPointerCapture(event.pointerId);
      if (event.shiftKey) { brushFrom = x(event); brush.hidden = false; brush.style.left = brushFrom + 'px'; brush.style.width = '0'; }
      else go(event);
    });
    canvas.addEventListener('pointermove', function (event) {
      if (!held) return;
      if (brushFrom === null) { go(event); return; }
      brush.style.left = Math.min(brushFrom, x(event)) + 'px';
      brush.style.width = Math.abs(x(event) - brushFrom) + 'px';
    });
    function release(event) {
      held = false;
      if (brushFrom === null) return;
      var a = timeAt(brushFrom), b = timeAt(x(event));
      if (Math.abs(x(event) - brushFrom) > 6) zoomTo(Math.min(a, b), Math.max(a, b));
      brushFrom = null; brush.hidden = true;
    }
    canvas.addEventListener('pointerup', release);
    canvas.addEventListener('pointercancel', release);
    canvas.addEventListener('wheel', function (event) {
      event.preventDefault();
      var at = timeAt(x(event)), scale = Math.pow(1.25, Math.sign(event.deltaY));
      zoomTo(at - (at - span.from) * scale, at + (span.to - at) * scale);
    }, { passive: false });
  }
  $('whole-run').addEventListener('click', function () { zoomTo(); });
  scrubber(timebar, function (x) { if (!bar) drawBarBase(); return barTime(x); });
  scrubber(chart, function (x) { if (!chartBox) drawChartBase(); return chartTime(x); });
  chart.addEventListener('pointermove', function (event) {
    if (!chartBox) drawChartBase();
    chartReadout(event.clientX - chart.getBoundingClientRect().left);
  });
  chart.addEventListener('pointerleave', function () { $('chart-read').hidden = true; $('chart-hover').hidden = true; });

  // ---- The map: drag or one finger (once tapped) moves it, the wheel or two fingers zoom, a click or tap selects ----
  var pointers = new Map(), drag = null, pinch = null;
  function zoomAbout(x, y, zoom) {
    var box = size(view), before = baseScale(box) * state.zoom;
    zoom = Math.max(0.1, Math.min(40, zoom));
    var after = baseScale(box) * zoom, ox = x - box.w / 2, oy = y - box.h / 2;
    // Keep the world point under the pointer where it is.
    if (!state.follow) { state.cx += ox / before - ox / after; state.cy -= oy / before - oy / after; }
    state.zoom = zoom; state.dirty = true;
  }
  function panBy(dx, dy) {
    var scale = baseScale(size(view)) * state.zoom;
    state.cx -= dx / scale; state.cy += dy / scale; state.dirty = true;
  }
  function twoFingers() {
    var rect = view.getBoundingClientRect(), p = Array.from(pointers.values());
    return { d: Math.max(1, Math.hypot(p[0].x - p[1].x, p[0].y - p[1].y)),
             x: (p[0].x + p[1].x) / 2 - rect.left, y: (p[0].y + p[1].y) / 2 - rect.top };
  }
  function setMapActive(on) { state.mapActive = on; view.classList.toggle('active', on); }
  function tap(event) {
    var rect = view.getBoundingClientRect(), touch = event.pointerType !== 'mouse';
    if (touch) setMapActive(true);
    var near = nearest(event.clientX - rect.left, event.clientY - rect.top, touch ? 22 : 10);
    if (near) select(near.k);
    if (!touch) return;
    // Under a finger there is no pointing: the tapped rioter's card comes where the finger is.
    if (near) { fillTip(near.k, frame.sample); placeTip(near); } else { tip.hidden = true; tipShows.k = -1; }
  }

  view.addEventListener('pointerdown', function (event) {
    pointers.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (pointers.size === 2) { pinch = twoFingers(); drag = null; if (state.follow) setFollow(null); }
    else if (pointers.size === 1) drag = { x: event.clientX, y: event.clientY, moved: false, touch: event.pointerType !== 'mouse' };
    if (!drag || !drag.touch || state.mapActive) view.setPointerCapture(event.pointerId);
  });
  view.addEventListener('pointermove', function (event) {
    var rect = view.getBoundingClientRect();
    if (pointers.has(event.pointerId)) pointers.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (pinch && pointers.size === 2) {
      var now = twoFingers();
      zoomAbout(now.x, now.y, state.zoom * now.d / pinch.d);
      panBy(now.x - pinch.x, now.y - pinch.y);
      pinch = now;
    } else if (drag) {
      var dx = event.clientX - drag.x, dy = event.clientY - drag.y;
      if (!drag.moved && dx * dx + dy * dy < 9) return;
      drag.moved = true;
      // One finger scrolls the page until the map has been tapped.
      if (drag.touch && !state.mapActive) return;
      if (state.follow) setFollow(null);
      view.classList.add('dragging');
      panBy(dx, dy);
      drag.x = event.clientX; drag.y = event.clientY;
    }
    if (event.pointerType === 'mouse') { state.pointer = { x: event.clientX - rect.left, y: event.clientY - rect.top }; updateHover(); }
  });
  function pointerUp(event) {
    pointers.delete(event.pointerId);
    if (pointers.size < 2) pinch = null;
    if (drag && !drag.moved && event.type === 'pointerup') tap(event);
    drag = null;
    view.classList.remove('dragging');
  }
  view.addEventListener('pointerup', pointerUp);
  view.addEventListener('pointercancel', pointerUp);
  view.addEventListener('pointerleave', function (event) { if (event.pointerType === 'mouse') { state.pointer = null; hideTipSoon(); } });
  document.addEventListener('pointerdown', function (event) { if (event.target !== view) setMapActive(false); });
  view.addEventListener('dblclick', function () { setFollow('player'); });
  view.addEventListener('wheel', function (event) {
    event.preventDefault();
    var rect = view.getBoundingClientRect();
    zoomAbout(event.clientX - rect.left, event.clientY - rect.top, state.zoom * Math.pow(1.15, -Math.sign(event.deltaY)));
  }, { passive: false });
  window.addEventListener('resize', function () { chartBox = null; bar = null; state.dirty = true; renderRows(); });
  window.matchMedia('(prefers-color-scheme: dark)').addEventListener('change', function () {
    readTheme(); chartBox = null; bar = null; state.dirty = true;
  });

  function tick(wall) {
    if (state.playing) {
      var elapsed = Math.min(0.25, (wall - state.lastWall) / 1000);
      state.t += elapsed * state.speed;
      if (state.t >= duration) { state.t = duration; state.playing = false; }
      state.dirty = true;
    }
    state.lastWall = wall;
    if (state.dirty) {
      var started = performance.now();
      state.dirty = false;
      drawView(); drawBar(); drawChart();
      // Text changes cost a repaint of the page around them: while playing, ten a second are enough.
      if (!state.playing || wall - state.panelWall >= 100) { updatePanel(); state.panelWall = wall; }
      if (state.pointer) updateHover();
      stats.frames += 1;
      stats.drawMs += performance.now() - started;
    }
    window.requestAnimationFrame(tick);
  }

  // ---- What a test or a curious modder can ask the page ----
  function countAt(t) { return totals[sampleAt(t)]; }
  function pagePoint(canvas, x, y) { var rect = canvas.getBoundingClientRect(); return { x: rect.left + x, y: rect.top + y }; }
  window.replay = {
    duration: duration,
    samples: samples,
    time: function () { return state.t; },
    playing: function () { return state.playing; },
    speed: function () { return state.speed; },
    seek: seek,
    play: play,
    pause: pause,
    setSpeed: setSpeed,
    // Rioters in the roster at a moment, in all and per faction: the chart's numbers.
    count: function () { return countAt(state.t); },
    countAt: countAt,
    sampleAt: sampleAt,
    factionCountsAt: function (t) { var i = sampleAt(t); return counts.map(function (c) { return c[i]; }); },
    // Where the last drawing put each rioter, in page coordinates.
    rioters: function () {
      var rect = view.getBoundingClientRect();
      return frame ? frame.shown.map(function (s) {
        return { id: tracks.id[s.k], faction: tracks.faction[s.k], dead: s.dead, gone: s.gone,
                 weapons: (tracks.armAt[s.k + 1] - tracks.armAt[s.k]) / 2, x: rect.left + s.x, y: rect.top + s.y };
      }) : [];
    },
    releaseLabels: function () { return frame ? frame.labels : 0; },
    playerAt: function (t) { var i = sampleAt(t); return playerPosition(i, fraction(i, t)); },
    picked: function () { return state.pick < 0 ? null : tracks.id[state.pick]; },
    // The marks of the time bar and the chart, in seconds.
    marks: function () {
      var s = function (ms) { return ms / 1000; };
      return { presses: marks.presses.map(function (p) { return { t: s(p.ms), toggle: p.toggle }; }),
               reloads: marks.reloads.map(s), deaths: marks.deaths.map(s),
               mode: marks.mode.map(function (m) { return m.map(s); }), vehicle: marks.vehicle.map(function (m) { return m.map(s); }) };
    },
    span: function () { return { from: span.from, to: span.to }; },
    // Faction f's style as drawn (any f, even past the run's factions) and the map's colour.
    style: function (f) { return { colour: theme.factions[f % COLOURS], shape: shape(f), map: theme.map }; },
    zoomTo: zoomTo,
    // How many marks the time bar drew for presses, reloads and the player's deaths (crowded ones share one
    // with their count).
    barMarks: function () { if (!bar) drawBarBase(); return barBins; },
    chartPoint: function (t) { if (!chartBox) drawChartBase(); return pagePoint(chart, chartX(t), chartBox.h / 2); },
    barPoint: function (t, y) { if (!bar) drawBarBase(); return pagePoint(timebar, barX(t * 1000), y); },
    stats: stats
  };
  showLower('chart', lower.folded);
  refilter();
  readLink();
  window.requestAnimationFrame(tick);
  }
})();
