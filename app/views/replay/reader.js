// Reads the recording that skirmora-sim writes into the replay page (app/views/Replay.cpp): a head, then the
// rioters' tracks in parts, each part JSON of its own, into typed arrays. The page hands it each part as the
// browser parses the next. (A worker was tried: cloning the texts over to it cost the page more than the
// reading itself.)
(function (scope) {
  'use strict';

  function Reader() {
    this.k = 0;
    this.pos = 0;
  }

  // The head: everything but the tracks, and how many tracks and parts follow. Null for a page with no riot.
  Reader.prototype.head = function (text) {
    var head = JSON.parse(text);
    if (!head || !head.times || !head.times.length) return null;
    this.data = head;
    this.code = new Int16Array(128).fill(-1);
    for (var k = 0; k < head.steps.alphabet.length; k++) this.code[head.steps.alphabet.charCodeAt(k)] = k;
    this.base = head.steps.digits;
    this.times = sums(head.times);
    head.times = null;
    this.samples = this.times.length;
    this.player = this.readPlayer(head.player);
    head.player = null;
    var n = head.trackCount;
    var t = { n: n, at: new Int32Array(n + 1), aimAt: new Int32Array(n + 1), armAt: new Int32Array(n + 1) };
    this.columns = head.trackFields.map(function (name) {
      return (t[name] = name === 'reason' ? new Int8Array(n) : name === 'modelFailed' ? new Uint8Array(n)
                                                                                       : new Int32Array(n));
    });
    // Room for what the head says the tracks hold; the pools grow if they hold more. Places in tenths fit 16
    // bits within 3 km of the origin, as a riot's mostly do: half the memory.
    var sizes = head.sizes || [0, 0, 0];
    t.x = new Int16Array(sizes[0]);
    t.y = new Int16Array(sizes[0]);
    t.aims = new Int32Array(sizes[1]);
    t.arms = new Int32Array(sizes[2]);
    this.tracks = t;
    return { tracks: n, parts: head.partCount };
  };

  function sums(deltas) {
    var out = new Float64Array(deltas.length), value = 0;
    for (var i = 0; i < deltas.length; i++) { value += deltas[i]; out[i] = value; }
    return out;
  }

  Reader.prototype.readPlayer = function (raw) {
    var n = this.samples, p = { x: new Int32Array(n), y: new Int32Array(n), state: new Uint8Array(n) };
    this.steps(raw.steps, 0, raw.steps.length, p.x, p.y, 0, n);
    for (var k = 0; k < raw.states.length; k += 2) p.state.fill(raw.states[k + 1], raw.states[k]);
    return p;
  };

  // One part: a JSON array of tracks, each a text: its numbers, its steps, a space, its targets, a space, its
  // weapons. Returns how many tracks are read so far.
  Reader.prototype.part = function (text) {
    if (!this.tracks) throw new Error('The page holds tracks but no head before them.');
    var list = JSON.parse(text), t = this.tracks, first = this.k, last = first + list.length;
    var columns = this.columns, spaces = new Int32Array(3 * list.length);
    if (last > t.n) throw new Error('The page holds more tracks than its head says.');
    for (var i = 0; i < list.length; i++) {
      var k = first + i, r = list[i];
      this.pos = 0;
      for (var w = 0; w < columns.length; w++) columns[w][k] = signed(this.number(r));
      var aims = r.indexOf(' ', this.pos), arms = aims < 0 ? -1 : r.indexOf(' ', aims + 1);
      if (arms < 0) throw new Error('Track ' + k + ' of the page is broken.');
      spaces[3 * i] = this.pos;
      spaces[3 * i + 1] = aims;
      spaces[3 * i + 2] = arms;
      this.unpack(k);
      t.at[k + 1] = t.at[k] + (t.id[k] !== 0 ? Math.max(0, t.end[k] - t.start[k]) : 0);
      t.aimAt[k + 1] = t.aimAt[k] + this.changeCount(r, aims + 1, arms);
      t.armAt[k + 1] = t.armAt[k] + this.changeCount(r, arms + 1, r.length);
    }
    this.reserve('x', t.at[last]);
    this.reserve('y', t.at[last]);
    this.reserve('aims', t.aimAt[last]);
    this.reserve('arms', t.armAt[last]);
    for (i = 0; i < list.length; i++) {
      k = first + i;
      r = list[i];
      var from = spaces[3 * i], count = t.at[k + 1] - t.at[k];
      aims = spaces[3 * i + 1];
      arms = spaces[3 * i + 2];
      if (!this.steps(r, from, aims, t.x, t.y, t.at[k], count)) {
        t.x = Int32Array.from(t.x);  // a place past 16 bits: from now on 32
        t.y = Int32Array.from(t.y);
        this.steps(r, from, aims, t.x, t.y, t.at[k], count);
      }
      this.changes(r, aims + 1, arms, t.aims, t.aimAt[k], t.start[k], t.id[k]);
      this.changes(r, arms + 1, r.length, t.arms, t.armAt[k], t.start[k], null);
    }
    this.k = last;
    return last;
  };

  // Room in a pool for length values, half as much again when it grows.
  Reader.prototype.reserve = function (name, length) {
    var pool = this.tracks[name];
    if (pool.length >= length) return;
    var grown = new pool.constructor(Math.max(length, Math.ceil(pool.length * 1.5)));
    grown.set(pool);
    this.tracks[name] = grown;
  };

  // Everything read, as the page uses it; null for a page with no riot.
  Reader.prototype.finish = function () {
    var t = this.tracks;
    if (!t) return null;
    if (this.k !== t.n)
      throw new Error('The page is cut short: it holds ' + this.k + ' of its ' + t.n + ' rioters\u2019 tracks.');
    t.x = t.x.subarray(0, t.at[t.n]);
    t.y = t.y.subarray(0, t.at[t.n]);
    t.aims = t.aims.subarray(0, t.aimAt[t.n]);
    t.arms = t.arms.subarray(0, t.armAt[t.n]);
    return { head: this.data, times: this.times, player: this.player, tracks: t };
  };

  // A track's numbers as written small (AppendTrack in app/views/Replay.cpp) back to what they say.
  Reader.prototype.unpack = function (k) {
    var t = this.tracks, times = this.times, last = this.samples - 1;
    function timeOf(sample) { return times[Math.max(0, Math.min(last, sample))]; }
    var start = t.start[k] += k ? t.start[k - 1] : 0, ended = this.data.ends[t.reason[k]] !== 'stillThere';
    t.id[k] += k ? t.id[k - 1] : 0;
    t.end[k] += start;
    if (t.death[k] >= 0) t.death[k] += start;
    if (t.vanish[k] >= 0) t.vanish[k] += start;
    if (t.killer[k]) t.killer[k] += t.id[k];
    t.startMs[k] += timeOf(start);
    t.deathMs[k] = t.death[k] >= 0 ? t.deathMs[k] + timeOf(t.death[k]) : -1;
    t.endMs[k] = ended ? t.endMs[k] + timeOf(t.end[k]) : -1;
  };

  // The number of text at this.pos, moving on past it: base `digits`, lowest digit first, a symbol of
  // `digits` or more saying more follow.
  Reader.prototype.number = function (text) {
    var code = this.code, base = this.base, value = 0, scale = 1;
    while (this.pos < text.length) {
      var digit = code[text.charCodeAt(this.pos++) & 127];
      if (digit < base) return value + Math.max(digit, 0) * scale;
      value += (digit - base) * scale;
      scale *= base;
    }
    return value;
  };

  function signed(z) { return z % 2 ? -(z + 1) / 2 : z / 2; }

  // Positions as AppendSteps writes them, text from `from` to `to`: one symbol a small step, the run symbol and
  // a count for samples that did not move, the jump symbol and two numbers for a long step. Fills count samples
  // from at; false if a place does not fit 16 bits and the pools are of 16.
  Reader.prototype.steps = function (text, from, to, xs, ys, at, count) {
    var code = this.code, s = this.data.steps, side = 2 * s.reach + 1, reach = s.reach;
    var n = 0, x = 0, y = 0, narrow = xs instanceof Int16Array;
    this.pos = from;
    while (this.pos < to && n < count) {
      var symbol = code[text.charCodeAt(this.pos++) & 127], repeat = 1;
      if (symbol < 0) break;
      if (symbol === s.run) {
        repeat = this.number(text);
      } else if (symbol === s.jump) {
        x += signed(this.number(text));
        y += signed(this.number(text));
      } else if (symbol < s.run) {
        x += Math.floor(symbol / side) - reach;
        y += symbol % side - reach;
      }
      if (narrow && (x < -32768 || x > 32767 || y < -32768 || y > 32767)) return false;
      for (; repeat > 0 && n < count; repeat--, n++) { xs[at + n] = x; ys[at + n] = y; }
    }
    return true;
  };

  // Pairs of (samples since the pair before, the value's code) as AppendChanges writes them, text from `from`
  // to `to`: how many numbers.
  Reader.prototype.changeCount = function (text, from, to) {
    var code = this.code, base = this.base, n = 0;
    for (var k = from; k < to; k++) if (code[text.charCodeAt(k) & 127] < base) n += 1;
    return n;
  };

  // The pairs back to (sample, value) into pool from at: a target when own is a handle (0 none, 1 the player,
  // else the distance from own zigzagged + 2), a weapon as it stands when own is null.
  Reader.prototype.changes = function (text, from, to, pool, at, sample, own) {
    this.pos = from;
    for (var q = at; this.pos < to; q += 2) {
      pool[q] = sample += this.number(text);
      var value = this.number(text);
      pool[q + 1] = own === null ? value : value < 2 ? -value : own + signed(value - 2);
    }
  };

  scope.SkirmoraReader = Reader;
})(window);
