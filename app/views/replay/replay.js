// Plays back a riot that skirmora-sim recorded: the data sits in the page as JSON (see app/views/Replay.cpp).
(function () {
  'use strict';

  // How a rioter's track ended, by the recording's name for it.
  var END_WORDS = { dead: 'died', vanished: 'vanished', tooFar: 'too far', dropped: 'dropped at a reload',
                    stillThere: '' };
  var SPEEDS = [1, 4, 16];
  var MARK = 5.5, PLAYER = 11;

  var raw = JSON.parse(document.getElementById('replay-data').textContent);
  if (!raw) {
    document.getElementById('facts').innerHTML = '<span class="empty">This page holds no riot: ' +
        'skirmora-sim run --html FILE writes one that does.</span>';
    return;
  }

  // ---- The recording, decoded: its palette, its enumerations and a track's fields by name ----
  var PALETTE = raw.palette, UNKNOWN = raw.unknownColour;
  var END = {};
  raw.ends.forEach(function (name, k) { END[name] = k; });
  function endWords(reason) { return END_WORDS[raw.ends[reason]]; }
  var FIELD = {};
  raw.trackFields.forEach(function (name, k) { FIELD[name] = k; });

  function sums(deltas, scale) {
    var out = new Float64Array(deltas.length), value = 0;
    for (var i = 0; i < deltas.length; i++) { value += deltas[i]; out[i] = value / scale; }
    return out;
  }
  var times = sums(raw.times, 1);  // ms of each sample
  var samples = times.length;
  var duration = raw.facts.ms / 1000;
  var player = { x: sums(raw.player.x, 10), y: sums(raw.player.y, 10), state: new Uint8Array(samples) };
  (function () {
    var s = raw.player.states;
    for (var k = 0; k < s.length; k += 2) player.state.fill(s[k + 1], s[k]);
  })();

  var factionCount = raw.factions.length;
  var byHandle = {};
  var tracks = raw.tracks.map(function (t) {
    var track = { id: t[FIELD.id], faction: t[FIELD.faction], start: t[FIELD.start], end: t[FIELD.end],
                  reason: t[FIELD['end reason']], death: t[FIELD.death], vanish: t[FIELD.vanish],
                  x: sums(t[FIELD.x], 10), y: sums(t[FIELD.y], 10), targets: t[FIELD.targets],
                  weapons: t[FIELD.weapons] };
    factionCount = Math.max(factionCount, track.faction + 1);
    if (track.id !== 0) byHandle[track.id] = track;
    return track;
  });
  factionCount = Math.min(factionCount, raw.factions.length + 64);

  // Members per faction at each sample.
  var counts = [];
  for (var f = 0; f < factionCount; f++) counts.push(new Int32Array(samples + 1));
  tracks.forEach(function (t) {
    if (t.faction >= factionCount || t.start >= t.end) return;
    counts[t.faction][t.start] += 1;
    counts[t.faction][t.end] -= 1;
  });
  var totals = new Int32Array(samples), most = 1;
  counts.forEach(function (c) {
    for (var i = 1; i <= samples; i++) c[i] += c[i - 1];
    for (i = 0; i < samples; i++) totals[i] += c[i];
  });
  for (var i = 0; i < samples; i++) most = Math.max(most, totals[i]);

  // Spawns, deaths and releases in the order they happened.
  var events = [];
  tracks.forEach(function (t) {
    events.push({ at: t.start, kind: 'spawn', track: t });
    if (t.death >= 0) events.push({ at: t.death, kind: 'death', track: t });
    if (t.reason !== END.stillThere) events.push({ at: Math.min(t.end, samples - 1), kind: 'release', track: t });
  });
  var order = { spawn: 0, death: 1, release: 2 };
  events.sort(function (a, b) { return a.at - b.at || order[a.kind] - order[b.kind]; });

  function colour(faction) { return faction < 0 || faction >= factionCount ? UNKNOWN : PALETTE[faction % PALETTE.length]; }
  function shape(faction) { return faction < 0 ? 0 : Math.floor(faction / 10) % 4; }
  function factionName(faction) {
    return faction < raw.factions.length ? raw.factions[faction] : 'Faction ' + faction;
  }
  function shortName(faction) { return 'F' + faction; }
  function seconds(sample) { return times[Math.max(0, Math.min(samples - 1, sample))] / 1000; }
  function fixed(value) { return (Math.round(value * 10) / 10).toFixed(1); }

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
  function present(track, i) { return i >= track.start && i < track.end; }
  function lastChange(list, i) {
    var value = 0;
    for (var k = 0; k < list.length && list[k] <= i; k += 2) value = list[k + 1];
    return value;
  }
  function trackPosition(track, i, u) {
    var j = i - track.start;
    if (j < 0 || j >= track.x.length) return null;
    var x = track.x[j], y = track.y[j];
    if (u > 0 && j + 1 < track.x.length && i + 1 < track.end) {
      x += (track.x[j + 1] - x) * u;
      y += (track.y[j + 1] - y) * u;
    }
    return { x: x, y: y };
  }
  function playerPosition(i, u) {
    var x = player.x[i], y = player.y[i];
    if (u > 0 && i + 1 < samples) { x += (player.x[i + 1] - x) * u; y += (player.y[i + 1] - y) * u; }
    return { x: x, y: y };
  }

  // ---- State ----
  var state = { t: 0, playing: false, speed: 1, follow: true, cx: 0, cy: 0, zoom: 1, hover: null,
                pointer: null, lastWall: 0, panelWall: 0, dirty: true, shownSample: -1 };
  var stats = { frames: 0, drawMs: 0 };

  var view = document.getElementById('view'), ctx = view.getContext('2d');
  var chart = document.getElementById('chart'), chartCtx = chart.getContext('2d');
  var tip = document.getElementById('tip');
  var scrubber = document.getElementById('scrubber');
  var playButton = document.getElementById('play');
  var followBox = document.getElementById('follow');
  var clock = document.getElementById('clock');
  var nowBox = document.getElementById('now');
  var eventList = document.getElementById('events');
  var marker = document.getElementById('chart-marker');

  // ---- Facts at the top ----
  (function () {
    var f = raw.facts;
    document.title = 'Skirmora replay: ' + f.scenario;
    document.getElementById('title').textContent = 'Skirmora replay: ' + f.scenario;
    document.getElementById('facts').textContent = 'Config ' + f.config + ' \u00b7 scenario ' + f.scenario +
        ' \u00b7 seed ' + f.seed + ' \u00b7 ' + fixed(duration) + ' s of game time, ' + f.frames + ' frames';
    var r = f.released, released = r.dead + r.vanished + r.tooFar;
    var text = f.recruited + ' recruited (at most ' + f.peak + ' at once), ' + released + ' released: ' +
        r.dead + ' dead, ' + r.vanished + ' vanished, ' + r.tooFar + ' too far';
    if (f.dropped) text += '; ' + f.dropped + ' dropped at a reload';
    text += '; ' + f.attacks + ' attacks, ' + f.hits + ' hits, ' + f.pedDeaths + ' rioters killed; the player died ' +
        f.playerDeaths + (f.playerDeaths === 1 ? ' time.' : ' times.');
    document.getElementById('totals').textContent = text;
    scrubber.max = String(duration);
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
  function baseScale(box) { return Math.min(box.w, box.h) / (2 * raw.radius * 1.12); }
  function niceStep(span, ticks) {
    var raw10 = span / ticks, power = Math.pow(10, Math.floor(Math.log(raw10) / Math.LN10));
    var steps = [1, 2, 5, 10];
    for (var k = 0; k < steps.length; k++) if (steps[k] * power >= raw10) return steps[k] * power;
    return 10 * power;
  }

  var frame = null;  // what the last drawing showed: the transform and the rioters' places
  function transform(box, i, u) {
    if (state.follow) { var p = playerPosition(i, u); state.cx = p.x; state.cy = p.y; }
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

  // The grid on whole multiples of its step, so it stays put while the player moves; its step.
  function drawGrid(c, box, m) {
    var halfW = box.w / 2 / m.scale, halfH = box.h / 2 / m.scale;
    var step = niceStep(2 * Math.max(halfW, halfH), 8);
    c.strokeStyle = '#e4e4e4'; c.lineWidth = 1; c.beginPath();
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
    c.strokeStyle = '#555555'; c.lineWidth = 1.5; c.setLineDash([8, 6]);
    c.beginPath(); c.arc(px, py, raw.radius * scale, 0, Math.PI * 2); c.stroke(); c.setLineDash([]);
    c.font = '12px "DejaVu Sans", Verdana, Arial, sans-serif'; c.textAlign = 'center';
    c.lineWidth = 3; c.strokeStyle = '#ffffff'; c.fillStyle = '#444444';
    c.strokeText('release at ' + raw.radius, px, py - raw.radius * scale - 5);
    c.fillText('release at ' + raw.radius, px, py - raw.radius * scale - 5);
  }

  // Where each rioter present at sample i is on the screen.
  function placeRioters(m, i, u) {
    var shown = [];
    for (var k = 0; k < tracks.length; k++) {
      var t = tracks[k];
      if (!present(t, i)) continue;
      var at = trackPosition(t, i, u);
      if (!at) continue;
      shown.push({ track: t, x: m.sx(at.x), y: m.sy(at.y),
                   dead: t.death >= 0 && t.death <= i, gone: t.vanish >= 0 && t.vanish <= i });
    }
    return shown;
  }

  // The lines to the targets, then the marks over them.
  function drawRioters(c, shown, screen, i, px, py) {
    c.lineWidth = 1.4;
    shown.forEach(function (s) {
      if (s.dead || s.gone) return;
      var target = lastChange(s.track.targets, i);
      if (target === 0) return;
      var to = target === -1 ? { x: px, y: py } : screen[target];
      if (!to || to.gone) return;
      c.strokeStyle = c.fillStyle = colour(s.track.faction);
      c.globalAlpha = 0.8;
      arrow(c, s.x, s.y, to.x, to.y, target === -1 ? PLAYER + 3 : MARK + 2, target === -1);
      c.globalAlpha = 1;
    });
    shown.forEach(function (s) {
      var col = colour(s.track.faction);
      if (s.dead) {
        c.strokeStyle = col; c.lineWidth = 2.5; cross(c, s.x, s.y, MARK - 1); c.stroke();
      } else if (s.gone) {
        c.strokeStyle = col; c.lineWidth = 1.2; c.setLineDash([2, 2]); drawMark(c, 0, s.x, s.y, MARK); c.stroke();
        c.setLineDash([]);
      } else {
        c.fillStyle = col; c.strokeStyle = '#ffffff'; c.lineWidth = 1.2;
        drawMark(c, shape(s.track.faction), s.x, s.y, MARK); c.fill(); c.stroke();
      }
    });
  }

  function drawEvent(c, ev, where, age) {
    var tr = ev.track;
    if (ev.kind === 'spawn') {
      c.strokeStyle = colour(tr.faction); c.lineWidth = 2;
      c.beginPath(); c.arc(where.x, where.y, MARK + 2 + age * 6, 0, Math.PI * 2); c.stroke();
    } else if (ev.kind === 'death') {
      c.strokeStyle = '#cc0000'; c.lineWidth = 2;
      c.beginPath(); c.arc(where.x, where.y, MARK + 4, 0, Math.PI * 2); c.stroke();
    } else {
      c.strokeStyle = '#777777'; c.lineWidth = 1.2; c.setLineDash([3, 2]);
      c.beginPath(); c.arc(where.x, where.y, MARK + 1, 0, Math.PI * 2); c.stroke(); c.setLineDash([]);
      c.font = '11px "DejaVu Sans", Verdana, Arial, sans-serif'; c.textAlign = 'left';
      c.lineWidth = 3; c.strokeStyle = '#ffffff'; c.fillStyle = '#333333';
      c.strokeText(endWords(tr.reason), where.x + 9, where.y + 4); c.fillText(endWords(tr.reason), where.x + 9, where.y + 4);
    }
  }

  // Spawns, deaths and releases of the last moments, fading out.
  function drawEvents(c, m, screen, i) {
    var now = state.t * 1000;
    for (var e = firstEventAfter(i) - 1; e >= 0; e--) {
      var ev = events[e], age = (now - times[ev.at]) / 1000;
      if (age > 2.5) break;
      if (age < 0) continue;
      var tr = ev.track, where = null;
      if (ev.kind === 'release') {
        var last = tr.x.length - 1;
        if (last >= 0) where = { x: m.sx(tr.x[last]), y: m.sy(tr.y[last]) };
      } else {
        where = screen[tr.id] || null;
      }
      if (!where) continue;
      c.globalAlpha = 1 - age / 2.5;
      drawEvent(c, ev, where, age);
      c.globalAlpha = 1;
    }
  }

  // The player: a star on foot, a white star on a car when driving, grey and crossed out when dead.
  function drawPlayer(c, px, py, ps) {
    var dead = (ps & 2) !== 0, body = dead ? '#777777' : '#111111';
    if (ps & 1) {
      c.fillStyle = body; c.strokeStyle = '#ffffff'; c.lineWidth = 1.5;
      c.beginPath(); c.rect(px - PLAYER * 1.3, py - PLAYER * 0.9, PLAYER * 2.6, PLAYER * 1.8); c.fill(); c.stroke();
      c.fillStyle = '#ffffff'; star(c, px, py, PLAYER * 0.75); c.fill();
    } else {
      c.fillStyle = body; c.strokeStyle = '#ffffff'; c.lineWidth = 1.5; star(c, px, py, PLAYER); c.fill(); c.stroke();
    }
    if (dead) { c.strokeStyle = '#cc0000'; c.lineWidth = 2.5; c.lineCap = 'round'; cross(c, px, py, PLAYER); c.stroke(); c.lineCap = 'butt'; }
  }

  function drawScaleBar(c, box, step, scale) {
    var bar = step * scale, bx = 16, by = box.h - 16;
    c.fillStyle = 'rgba(255,255,255,0.85)'; c.fillRect(bx - 6, by - 22, bar + 12, 30);
    c.strokeStyle = '#222222'; c.lineWidth = 2; c.beginPath();
    c.moveTo(bx, by - 5); c.lineTo(bx, by); c.lineTo(bx + bar, by); c.lineTo(bx + bar, by - 5); c.stroke();
    c.fillStyle = '#222222'; c.font = '12px "DejaVu Sans", Verdana, Arial, sans-serif'; c.textAlign = 'center';
    c.fillText(step + ' units', bx + bar / 2, by - 9);
    c.textAlign = 'left'; c.fillStyle = '#888888'; c.font = '11px "DejaVu Sans", Verdana, Arial, sans-serif';
    c.fillText('north is up', box.w - 76, 16);
  }

  function drawView() {
    var box = size(view), c = ctx;
    var i = sampleAt(state.t), u = fraction(i, state.t);
    var m = transform(box, i, u);
    c.clearRect(0, 0, box.w, box.h);
    c.fillStyle = '#fcfcfc'; c.fillRect(0, 0, box.w, box.h);
    var step = drawGrid(c, box, m);
    var p = playerPosition(i, u), px = m.sx(p.x), py = m.sy(p.y);
    drawReleaseCircle(c, px, py, m.scale);
    var shown = placeRioters(m, i, u), screen = {};
    shown.forEach(function (s) { screen[s.track.id] = s; });
    drawRioters(c, shown, screen, i, px, py);
    drawEvents(c, m, screen, i);
    drawPlayer(c, px, py, player.state[i]);
    if (state.hover && screen[state.hover.id]) {
      var h = screen[state.hover.id];
      c.strokeStyle = '#222222'; c.lineWidth = 1.5; c.beginPath(); c.arc(h.x, h.y, MARK + 4, 0, Math.PI * 2); c.stroke();
    }
    drawScaleBar(c, box, step, m.scale);
    frame = { shown: shown, sample: i };
  }

  function firstEventAfter(i) {
    var lo = 0, hi = events.length;
    while (lo < hi) { var mid = (lo + hi) >> 1; if (events[mid].at <= i) lo = mid + 1; else hi = mid; }
    return lo;
  }

  // ---- The chart of members per faction ----
  var chartBox = null, plot = { left: 44, right: 16, top: 10, bottom: 24 };
  function chartX(t) { return plot.left + t / Math.max(duration, 1e-9) * (chartBox.w - plot.left - plot.right); }
  function chartTime(x) {
    var t = (x - plot.left) / (chartBox.w - plot.left - plot.right) * duration;
    return Math.max(0, Math.min(duration, t));
  }
  function drawChartBase() {
    chartBox = size(chart);
    var c = chartCtx, w = chartBox.w, h = chartBox.h, bottom = h - plot.bottom;
    var y = function (n) { return bottom - n / most * (bottom - plot.top); };
    c.clearRect(0, 0, w, h); c.fillStyle = '#ffffff'; c.fillRect(0, 0, w, h);
    c.font = '11px "DejaVu Sans", Verdana, Arial, sans-serif'; c.fillStyle = '#666666';
    c.strokeStyle = '#eeeeee'; c.lineWidth = 1;
    var ystep = Math.max(1, niceStep(most, 4));
    c.textAlign = 'right';
    for (var n = 0; n <= most; n += ystep) {
      c.beginPath(); c.moveTo(plot.left, Math.round(y(n)) + 0.5); c.lineTo(w - plot.right, Math.round(y(n)) + 0.5); c.stroke();
      c.fillText(String(n), plot.left - 6, y(n) + 4);
    }
    var xstep = niceStep(duration, 10);
    c.textAlign = 'center';
    for (var k = 0; k * xstep <= duration + 1e-9; k++)
      c.fillText(Number((k * xstep).toPrecision(6)) + ' s', chartX(k * xstep), h - 8);
    function line(series, col, width) {
      c.strokeStyle = col; c.lineWidth = width; c.beginPath();
      for (var k = 0; k < samples; k++) {
        var x = chartX(times[k] / 1000), yy = y(series[k]);
        if (k === 0) c.moveTo(x, yy); else { c.lineTo(x, y(series[k - 1])); c.lineTo(x, yy); }
      }
      c.stroke();
    }
    line(totals, '#a0a0a0', 2);
    for (var f = 0; f < factionCount; f++) line(counts[f], colour(f), 1.6);
    chartBox.left = chart.offsetLeft;
    marker.style.top = (chart.offsetTop + plot.top - 6) + 'px';
    marker.style.height = (chartBox.h - plot.bottom - plot.top + 6) + 'px';
  }
  // The moment's mark is a line over the chart, so the chart itself is drawn only when its size changes.
  function drawChart() {
    if (!chartBox || chart.clientWidth !== chartBox.w) drawChartBase();
    marker.style.transform = 'translateX(' + (chartBox.left + chartX(state.t) - 1) + 'px)';
  }

  // ---- The panel beside the map: this moment and the events so far ----
  var panel = (function () {
    var html = '<div class="time"></div><div class="row state"></div><div class="row"><b class="total"></b></div>';
    for (var f = 0; f < factionCount; f++) {
      html += '<div class="row" data-faction="' + f + '"><span class="swatch" style="background:' + colour(f) +
          '"></span><span class="name"></span><span class="count"></span></div>';
    }
    nowBox.innerHTML = html;
    var names = nowBox.querySelectorAll('.name');
    for (f = 0; f < names.length; f++) names[f].textContent = factionName(f);
    return { time: nowBox.querySelector('.time'), state: nowBox.querySelector('.state'),
             total: nowBox.querySelector('.total'), counts: nowBox.querySelectorAll('.count'), events: -1 };
  })();

  function updatePanel() {
    var i = sampleAt(state.t);
    clock.textContent = fixed(state.t) + ' / ' + fixed(duration) + ' s';
    scrubber.value = String(state.t);
    playButton.textContent = state.playing ? 'Pause' : 'Play';
    if (i === state.shownSample) return;
    state.shownSample = i;
    var ps = player.state[i];
    panel.time.textContent = 't = ' + fixed(seconds(i)) + ' s';
    panel.state.textContent = 'mode ' + (ps & 4 ? 'on' : 'off') + ' \u00b7 player ' +
        (ps & 2 ? (ps & 1 ? 'dead in a vehicle' : 'dead') : ps & 1 ? 'in a vehicle' : 'on foot');
    panel.total.textContent = totals[i] + (totals[i] === 1 ? ' rioter' : ' rioters');
    for (var f = 0; f < factionCount; f++) panel.counts[f].textContent = String(counts[f][i]);
    nowBox.setAttribute('data-count', String(totals[i]));
    nowBox.setAttribute('data-sample', String(i));

    var end = firstEventAfter(i), items = [];
    if (end === panel.events) return;
    panel.events = end;
    for (var e = end - 1; e >= 0 && items.length < 40; e--) {
      var ev = events[e], t = ev.track, who = '#' + t.id + ' ' + shortName(t.faction);
      if (t.id === 0) who = 'a failed spawn (' + shortName(t.faction) + ')';
      var what = ev.kind === 'spawn' ? 'recruited' : ev.kind === 'death' ? 'killed' :
          (t.reason === END.dropped ? 'dropped at a reload' : 'released: ' + endWords(t.reason));
      items.push('<li class="' + ev.kind + '"><span class="at">' + fixed(seconds(ev.at)) + ' s</span>' + who + ' ' +
          what + '</li>');
    }
    eventList.innerHTML = items.join('');
  }

  // ---- Pointing at a rioter ----
  function describe(track, i) {
    var lines = ['<b>#' + track.id + '</b> \u00b7 ' + escapeHtml(factionName(track.faction))];
    var target = lastChange(track.targets, i), text = 'none';
    if (target === -1) text = 'the player';
    else if (target !== 0) {
      var other = byHandle[target];
      text = other ? '#' + target + ' (' + escapeHtml(shortName(other.faction)) + ')' : 'ped #' + target + ' (no rioter)';
    }
    lines.push('target: ' + text);
    // Each weapon once, with the moments it was handed (a new target brings a new weapon).
    var handed = [], when = {};
    for (var k = 0; k < track.weapons.length && track.weapons[k] <= i; k += 2) {
      var name = raw.weapons[track.weapons[k + 1]];
      if (!when[name]) { when[name] = []; handed.push(name); }
      when[name].push(fixed(seconds(track.weapons[k])));
    }
    lines.push('weapons handed: ' + (handed.length ? handed.map(function (name) {
      return escapeHtml(name) + ' (' + when[name].join(', ') + ' s)';
    }).join(', ') : 'none yet'));
    var status = 'recruited at ' + fixed(seconds(track.start)) + ' s';
    if (track.death >= 0 && track.death <= i) status += ', dead since ' + fixed(seconds(track.death)) + ' s';
    if (track.vanish >= 0 && track.vanish <= i) status += ', gone from the world';
    lines.push(status);
    return lines.join('<br>');
  }
  function escapeHtml(text) {
    return String(text).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  }
  function updateHover() {
    if (!state.pointer || !frame) { hideTip(); return; }
    var best = null, bestDistance = 10 * 10;
    frame.shown.forEach(function (s) {
      var dx = s.x - state.pointer.x, dy = s.y - state.pointer.y, d = dx * dx + dy * dy;
      if (d <= bestDistance) { best = s; bestDistance = d; }
    });
    if (!best) { hideTip(); return; }
    var changed = !state.hover || state.hover.id !== best.track.id;
    state.hover = best.track;
    tip.innerHTML = describe(best.track, frame.sample);
    tip.setAttribute('data-id', String(best.track.id));
    tip.setAttribute('data-faction', String(best.track.faction));
    tip.hidden = false;
    // In the map's corner across from the rioter: clear of it and of the player in the middle.
    var left = best.x < view.clientWidth / 2 ? view.clientWidth - tip.offsetWidth - 8 : 8;
    var top = best.y < view.clientHeight / 2 ? view.clientHeight - tip.offsetHeight - 8 : 8;
    tip.style.left = left + 'px'; tip.style.top = top + 'px';
    if (changed) state.dirty = true;
  }
  function hideTip() {
    if (state.hover) state.dirty = true;
    state.hover = null; tip.hidden = true; tip.removeAttribute('data-id');
  }

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
    var buttons = document.querySelectorAll('#speeds button');
    for (var k = 0; k < buttons.length; k++)
      buttons[k].classList.toggle('on', Number(buttons[k].getAttribute('data-speed')) === speed);
  }
  function setFollow(on) { state.follow = on; followBox.checked = on; state.dirty = true; }

  playButton.addEventListener('click', function () { if (state.playing) pause(); else play(); });
  document.getElementById('speeds').addEventListener('click', function (event) {
    var speed = event.target.getAttribute && event.target.getAttribute('data-speed');
    if (speed) setSpeed(Number(speed));
  });
  scrubber.addEventListener('input', function () { seek(Number(scrubber.value)); });
  followBox.addEventListener('change', function () { setFollow(followBox.checked); });
  chart.addEventListener('click', function (event) {
    var rect = chart.getBoundingClientRect();
    seek(chartTime(event.clientX - rect.left));
  });
  document.addEventListener('keydown', function (event) {
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    var step = event.shiftKey ? 10 : 1, handled = true;
    if (event.key === ' ' || event.code === 'Space') { if (state.playing) pause(); else play(); }
    else if (event.key === 'ArrowLeft') seek(state.t - step);
    else if (event.key === 'ArrowRight') seek(state.t + step);
    else if (event.key === 'ArrowUp') setSpeed(SPEEDS[Math.min(SPEEDS.length - 1, SPEEDS.indexOf(state.speed) + 1)]);
    else if (event.key === 'ArrowDown') setSpeed(SPEEDS[Math.max(0, SPEEDS.indexOf(state.speed) - 1)]);
    else if (event.key === 'Home') seek(0);
    else if (event.key === 'End') seek(duration);
    else handled = false;
    if (handled) event.preventDefault();
  });

  // A focused button would take the space bar as a click as well.
  document.addEventListener('keyup', function (event) {
    if (event.key === ' ' || event.code === 'Space') event.preventDefault();
  });

  var drag = null;
  view.addEventListener('pointerdown', function (event) {
    drag = { x: event.clientX, y: event.clientY, moved: false };
    view.setPointerCapture(event.pointerId);
  });
  view.addEventListener('pointermove', function (event) {
    var rect = view.getBoundingClientRect();
    state.pointer = { x: event.clientX - rect.left, y: event.clientY - rect.top };
    if (drag) {
      var dx = event.clientX - drag.x, dy = event.clientY - drag.y;
      if (!drag.moved && dx * dx + dy * dy < 9) return;
      if (!drag.moved) { drag.moved = true; view.classList.add('dragging'); setFollow(false); }
      var scale = baseScale(size(view)) * state.zoom;
      state.cx -= dx / scale; state.cy += dy / scale;
      drag.x = event.clientX; drag.y = event.clientY;
      state.dirty = true;
    }
    updateHover();
  });
  view.addEventListener('pointerup', function () { drag = null; view.classList.remove('dragging'); });
  view.addEventListener('pointerleave', function () { state.pointer = null; hideTip(); });
  view.addEventListener('dblclick', function () { setFollow(true); });
  view.addEventListener('wheel', function (event) {
    event.preventDefault();
    var rect = view.getBoundingClientRect(), box = size(view);
    var before = baseScale(box) * state.zoom;
    var zoom = Math.max(0.1, Math.min(40, state.zoom * Math.pow(1.15, -Math.sign(event.deltaY))));
    var after = baseScale(box) * zoom;
    // Keep the world point under the pointer where it is.
    var ox = event.clientX - rect.left - box.w / 2, oy = event.clientY - rect.top - box.h / 2;
    if (!state.follow) { state.cx += ox / before - ox / after; state.cy -= oy / before - oy / after; }
    state.zoom = zoom; state.dirty = true;
  }, { passive: false });
  window.addEventListener('resize', function () { chartBox = null; state.dirty = true; });

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
      drawView(); drawChart();
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
  window.replay = {
    duration: duration,
    samples: samples,
    time: function () { return state.t; },
    playing: function () { return state.playing; },
    speed: function () { return state.speed; },
    seek: function (t) { seek(t); },
    play: play,
    pause: pause,
    setSpeed: setSpeed,
    // Rioters in the roster at a moment, in all and per faction: the chart's numbers.
    count: function () { return countAt(state.t); },
    countAt: countAt,
    sampleAt: sampleAt,
    factionCountsAt: function (t) {
      var i = sampleAt(t);
      return counts.map(function (c) { return c[i]; });
    },
    // Where the last drawing put each rioter, in page coordinates.
    rioters: function () {
      if (!frame) return [];
      var rect = view.getBoundingClientRect();
      return frame.shown.map(function (s) {
        return { id: s.track.id, faction: s.track.faction, dead: s.dead, gone: s.gone,
                 weapons: s.track.weapons.length / 2, x: rect.left + s.x, y: rect.top + s.y };
      });
    },
    chartPoint: function (t) {
      var rect = chart.getBoundingClientRect();
      if (!chartBox) drawChartBase();
      return { x: rect.left + chartX(t), y: rect.top + chartBox.h / 2 };
    },
    stats: stats
  };
  window.requestAnimationFrame(tick);
})();
