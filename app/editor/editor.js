// Skirmora's config editor: the file's text is what counts. The form shows what the text says and edits the text
// in place (the player's comments and key order stay); the game's own check (WebAssembly) judges the text at
// every change. window.Skirmora.check(text or bytes) returns the report "skirmora-sim check -" prints.
'use strict';
(() => {
  const $ = (id) => document.getElementById(id);
  const textArea = $('text');
  let mod = null;   // the WebAssembly module
  let data = null;  // the key rows and the game's names (app/editor/EditorData.cpp)
  const state = {
    handle: null,      // where Save writes, when the browser gives one (File System Access API)
    name: null,        // the opened file's name
    bom: false, crlf: true,
    original: null,    // the opened file's bytes, checked as they are until the first change
    dirty: false,
    parsed: null,      // parseJsonc of the text
    report: '', status: -1,
  };
  let timer = 0;

  // ---- The check ----------------------------------------------------------------------------------------

  function bytesOf(input) {
    if (typeof input === 'string') return new TextEncoder().encode(input);
    if (input instanceof Uint8Array) return input;
    if (input instanceof ArrayBuffer) return new Uint8Array(input);
    throw new TypeError('check takes a text, a Uint8Array or an ArrayBuffer');
  }

  function runCheck(input) {
    const bytes = bytesOf(input);
    const at = mod._malloc(Math.max(bytes.length, 1));
    const status = mod._malloc(4);
    try {
      mod.HEAPU8.set(bytes, at);
      const report = mod._SkirmoraCheck(at, bytes.length, status);
      return { report: mod.UTF8ToString(report), status: mod.getValue(status, 'i32') };
    } finally {
      mod._free(at);
      mod._free(status);
    }
  }

  // ---- The text as JSON with comments, with the place of every value ---------------------------------------

  class ParseError extends Error {
    constructor(message, offset) { super(message); this.offset = offset; }
  }

  // {value, end} for the text's first document (value null: only blanks and comments), or {error, offset}.
  // Objects keep every member in order, repeats included; the later one counts, as in the game.
  function parseJsonc(t) {
    let i = 0;
    const fail = (message) => { throw new ParseError(message, i); };
    const blanks = () => {
      for (;;) {
        const c = t[i];
        if (c === ' ' || c === '\t' || c === '\n' || c === '\r') i++;
        else if (c === '/' && t[i + 1] === '/') while (i < t.length && t[i] !== '\n' && t[i] !== '\r') i++;
        else if (c === '/' && t[i + 1] === '*') {
          const close = t.indexOf('*/', i + 2);
          if (close < 0) fail('a comment is never closed');
          i = close + 2;
        } else return;
      }
    };
    const escapes = { '"': '"', '\\': '\\', '/': '/', b: '\b', f: '\f', n: '\n', r: '\r', t: '\t' };
    const string = () => {
      let out = '';
      for (i++; i < t.length && t[i] !== '"'; i++) {
        if (t[i] !== '\\') { out += t[i]; continue; }
        const e = t[++i];
        if (e in escapes) out += escapes[e];
        else if (e === 'u' && /^[0-9a-fA-F]{4}$/.test(t.substr(i + 1, 4))) {
          out += String.fromCharCode(parseInt(t.substr(i + 1, 4), 16));
          i += 4;
        } else fail('a bad escape');
      }
      if (t[i] !== '"') fail('a text is never closed');
      i++;
      return out;
    };
    const value = (depth) => {
      if (depth > 1000) fail('nested too deeply');
      blanks();
      const start = i;
      const c = t[i];
      if (c === '{' || c === '[') {
        const object = c === '{';
        const node = object ? { type: 'object', start, members: [] } : { type: 'array', start, items: [] };
        i++;
        blanks();
        if (t[i] === (object ? '}' : ']')) { i++; node.end = i; return node; }
        for (;;) {
          if (object) {
            blanks();
            if (t[i] !== '"') fail('a key expected');
            const keyStart = i;
            const key = string();
            const keyEnd = i;
            blanks();
            if (t[i] !== ':') fail("':' expected");
            i++;
            const v = value(depth + 1);
            node.members.push({ key, keyStart, keyEnd, value: v, start: keyStart, end: v.end });
          } else node.items.push(value(depth + 1));
          blanks();
          if (t[i] === ',') { i++; continue; }
          if (t[i] === (object ? '}' : ']')) { i++; node.end = i; return node; }
          fail(object ? "',' or '}' expected" : "',' or ']' expected");
        }
      }
      if (c === '"') { const s = string(); return { type: 'string', value: s, start, end: i }; }
      const number = /-?\d+(\.\d*)?([eE][+-]?\d*)?/y;  // as the game's reader takes one: 01 and 1. too
      number.lastIndex = i;
      const n = number.exec(t);
      if (n) { i += n[0].length; return { type: 'number', value: Number(n[0]), start, end: i }; }
      for (const [word, v] of [['true', true], ['false', false], ['null', null]])
        if (t.startsWith(word, i)) { i += word.length; return { type: word === 'null' ? 'null' : 'boolean', value: v, start, end: i }; }
      fail('a value expected');
    };
    try {
      blanks();
      if (i >= t.length) return { value: null, end: i };
      const v = value(0);
      return { value: v, end: v.end };
    } catch (error) {
      if (error instanceof ParseError) return { error: error.message, offset: error.offset };
      throw error;
    }
  }

  // The member of an object that counts (the later of repeats), the item of an array, or null.
  function child(node, step) {
    if (!node) return null;
    if (typeof step === 'number') return node.type === 'array' ? node.items[step] || null : null;
    if (node.type !== 'object') return null;
    for (let k = node.members.length - 1; k >= 0; k--) if (node.members[k].key === step) return node.members[k].value;
    return null;
  }
  const nodeAt = (path) => path.reduce((node, step) => child(node, step), state.parsed && state.parsed.value);
  const source = (node) => textArea.value.slice(node.start, node.end);

  // ---- Edits of the text in place ---------------------------------------------------------------------------

  const splice = (t, start, end, insert) => t.slice(0, start) + insert + t.slice(end);
  const lineStart = (t, pos) => t.lastIndexOf('\n', pos - 1) + 1;
  const indentAt = (t, pos) => /^[ \t]*/.exec(t.slice(lineStart(t, pos)))[0];
  const lineEnd = (t, pos) => { const k = t.indexOf('\n', pos); return k < 0 ? t.length : k; };
  // The end of the line when only blanks and a // comment follow pos on it, else pos.
  const afterComment = (t, pos) => (/^[ \t]*(\/\/.*)?$/.test(t.slice(pos, lineEnd(t, pos))) ? lineEnd(t, pos) : pos);
  const entriesOf = (node) => (node.type === 'object' ? node.members : node.items);
  const onOwnLines = (t, node) => {
    const entries = entriesOf(node);
    return entries.length ? t.slice(node.start, entries[0].start).includes('\n') : t.slice(node.start, node.end).includes('\n');
  };
  function indentUnit(t) {
    const top = state.parsed && state.parsed.value;
    if (top && top.type === 'object' && top.members.length && onOwnLines(t, top)) {
      const inner = indentAt(t, top.members[0].start), outer = indentAt(t, top.start);
      if (inner.length > outer.length) return inner.slice(outer.length);
    }
    return '    ';
  }

  // A line of documentation as // comments at this indent, wrapped before the 110th column.
  function commentLines(doc, indent) {
    const lines = [];
    let line = '';
    for (const word of doc.split(' ')) {
      if (line && indent.length + 3 + line.length + 1 + word.length > 110) { lines.push(line); line = ''; }
      line += (line ? ' ' : '') + word;
    }
    return [...lines, line].map((l) => `${indent}// ${l}\n`).join('');
  }

  // Adds an entry (a member's "key": value, or an item) at the end of an object or array, in its layout.
  function insertEntry(t, node, entry, doc = '') {
    const entries = entriesOf(node);
    const unit = indentUnit(t);
    if (entries.length) {
      const last = entries[entries.length - 1];
      if (!onOwnLines(t, node)) return splice(t, last.end, last.end, `, ${entry}`);
      const indent = indentAt(t, last.start);
      const spaced = /\n[ \t]*\n[ \t]*\S/.test(t.slice(node.start, last.start)) && doc ? '\n' : '';
      const at = afterComment(t, last.end);
      const lines = (doc ? commentLines(doc, indent) : '') + indent + entry.split('\n').join(`\n${indent}`);
      return splice(splice(t, at, at, `\n${spaced}${lines}`), last.end, last.end, ',');
    }
    const closer = node.end - 1;
    if (node === state.parsed.value || t.slice(node.start, node.end).includes('\n')) {
      const outer = indentAt(t, node.start);
      const indent = outer + unit;
      const lines = (doc ? commentLines(doc, indent) : '') + indent + entry.split('\n').join(`\n${indent}`);
      return splice(t, node.start + 1, closer, `\n${lines}\n${outer}`);
    }
    return splice(t, node.start + 1, closer, entry);
  }

  // Takes an entry out with its comma, and its line when nothing else is left on it.
  function removeEntry(t, node, index) {
    const entries = entriesOf(node);
    const entry = entries[index];
    const after = skipBlanks(t, entry.end);
    let start = entry.start;
    if (t[after] === ',') t = splice(t, entry.start, after + 1 + /^[ \t]*/.exec(t.slice(after + 1))[0].length, '');
    else if (index > 0) {
      const comma = skipBlanks(t, entries[index - 1].end);
      t = splice(splice(t, entry.start, entry.end, ''), comma, comma + 1, '');
      start -= 1;
    } else t = splice(t, entry.start, entry.end, '');
    const from = lineStart(t, start);
    if (/^[ \t]*$/.test(t.slice(from, start)) && /^[ \t]*(\/\/.*)?$/.test(t.slice(start, lineEnd(t, start))))
      t = splice(t, from, Math.min(lineEnd(t, start) + 1, t.length), '');
    return t;
  }
  function skipBlanks(t, k) {
    for (;;) {
      while (/[ \t\r\n]/.test(t[k] || '')) k++;
      if (t.startsWith('//', k)) k = lineEnd(t, k);
      else if (t.startsWith('/*', k)) k = t.indexOf('*/', k) < 0 ? t.length : t.indexOf('*/', k) + 2;
      else return k;
    }
  }

  const rowOf = (name, level) => data.keys.find((row) => row.name === name && row.level === level);
  const docOf = (row) => (row && (row.doc || docs[row.level][row.name])) || '';

  // Sets the value at path (a key of an object, or an item of an array) to the JSON text, adding the key when
  // the file lacks it (with its line of documentation, as in a new file).
  function setValue(t, path, json) {
    const node = nodeAt(path);
    if (node) return splice(t, node.start, node.end, json);
    const parent = nodeAt(path.slice(0, -1));
    const key = path[path.length - 1];
    const row = rowOf(key, path.length > 1 ? 'faction' : 'top');
    return insertEntry(t, parent, `${JSON.stringify(key)}: ${json}`, path.length === 1 ? docOf(row) : '');
  }
  // Takes out every member of that name (repeats too) from the object at path.
  function removeKey(t, path, key) {
    for (;;) {
      const parent = nodeAt(path);
      const index = parent.members.map((m) => m.key).lastIndexOf(key);
      if (index < 0) return t;
      t = removeEntry(t, parent, index);
      state.parsed = parseJsonc(t);
    }
  }
  function moveItem(t, array, from, to) {
    const [a, b] = from < to ? [array.items[from], array.items[to]] : [array.items[to], array.items[from]];
    const textA = t.slice(a.start, a.end), textB = t.slice(b.start, b.end);
    return splice(splice(t, b.start, b.end, textA), a.start, a.end, textB);
  }

  // A new file is the example config (examples/Skirmora_config.txt) under a header of its own; the example's
  // comment lines above a key are that key's documentation in the form and where the form adds the key.
  const example = JSON.parse(document.getElementById('example').textContent);
  const docs = { top: {}, faction: {} };
  function readDocs() {
    const top = parseJsonc(example).value;
    const commentAbove = (member) => {
      const lines = example.slice(0, lineStart(example, member.start)).split('\n').slice(0, -1);
      const above = [];
      while (lines.length && /^\s*\/\//.test(lines[lines.length - 1])) above.unshift(lines.pop().trim().replace(/^\/\/\s?/, ''));
      return above.join(' ');
    };
    const take = (object, level) => {
      for (const member of object.members) if (!docs[level][member.key]) docs[level][member.key] = commentAbove(member);
    };
    take(top, 'top');
    for (const faction of (child(top, 'Factions') || { items: [] }).items) if (faction.type === 'object') take(faction, 'faction');
  }
  function newFileText() {
    return '// Skirmora\'s config file. Save it as Skirmora_config.txt in the game\'s folder (beside GTA5.exe or\n' +
      '// GTA5_Enhanced.exe). Skirmora reads it when the game starts and again at every press of the toggle key:\n' +
      '// edit, save, press. Every key is optional; a key you leave out keeps its value. Lines starting with //\n' +
      '// are comments.\n' + example.slice(example.indexOf('\n{') + 1);
  }

  // Applies an edit made in the form: on the text as it stands now, then everything follows the new text.
  function edit(change) {
    flush();
    let t = textArea.value;
    if (!state.parsed.error && !state.parsed.value) {  // only comments so far: the document starts here
      t = t + (t && !t.endsWith('\n') ? '\n' : '') + '{\n}\n';
      state.parsed = parseJsonc(t);
    }
    const scroll = textArea.scrollTop;
    textArea.value = change(t);
    textArea.scrollTop = scroll;
    changed();
  }

  // ---- Following the text ---------------------------------------------------------------------------------

  function changed() {
    state.dirty = true;
    state.original = null;
    clearTimeout(timer);
    timer = 0;
    update();
  }
  function flush() { if (timer) { clearTimeout(timer); timer = 0; update(); } }

  function bytesToSave() {
    let t = textArea.value;
    if (state.crlf) t = t.replace(/\n/g, '\r\n');
    const body = new TextEncoder().encode(t);
    if (!state.bom) return body;
    const out = new Uint8Array(body.length + 3);
    out.set([0xEF, 0xBB, 0xBF]);
    out.set(body, 3);
    return out;
  }

  function update() {
    state.parsed = parseJsonc(textArea.value);
    const checked = runCheck(state.original || bytesToSave());
    state.report = checked.report;
    state.status = checked.status;
    renderForm();
    renderVerdict();
    $('save').disabled = false;
    document.title = `${state.dirty ? '• ' : ''}${state.name || 'New file'} – Skirmora config editor`;
  }

  // ---- The verdict ------------------------------------------------------------------------------------------

  // What the player most needs to know, shown first: findings that empty or cripple the riot, and the rows of
  // what is in force that recruit nobody.
  const consequenceWords = ['nobody', 'cost the game dearly', 'get no weapon', 'not rebuilt', 'reads no setting',
    'random pedestrians'];
  // The consequences, each with the findings it follows (so that it says where) or the explanation after it.
  function consequencesOf(sections) {
    const out = [];
    for (const { title, lines } of sections) {
      const grave = (line) => (title === '' ? true : inForce(title) ? line.includes('nobody')
        : title === 'Notes' ? /cost the game/.test(line) : consequenceWords.some((w) => line.includes(w)));
      const finding = (line) => /^line \d/.test(line);
      lines.forEach((line, k) => {
        const ended = title === 'The load ended early' && k === 0;  // where the load ended, alone
        if (!grave(line) && !ended) return;
        let from = k, to = k;
        if (ended) to = k;
        else if (finding(line)) while (to + 1 < lines.length && !finding(lines[to + 1])) to++;
        else if (!inForce(title)) while (from > 0 && finding(lines[from - 1])) from--;
        for (let j = from; j <= to; j++) if (!out.includes(lines[j])) out.push(lines[j]);
      });
    }
    return out;
  }
  const inForce = (title) => title === 'Settings in force' || /^(Shared weapons|Factions) \(/.test(title);

  // The mistakes of syntax that one button mends, by the check's words: the edit, at the place it names.
  const fixes = [
    [/a comma is missing here/, 'Put the comma in', (t, at) => splice(t, at, at, ',')],
    [/\(a trailing comma\)/, 'Take the comma out', (t, at) => {
      const comma = t.lastIndexOf(',', at);
      return comma < 0 ? t : splice(t, comma, comma + 1, '');
    }],
    [/a curly quote/, 'Straighten the quotes', (t) => t.replace(/[\u201C\u201D\u201E\u201F]/g, '"')],
    [/text after the end of the document/, 'Take out the text after the document',
      (t) => (state.parsed.error ? t : `${t.slice(0, state.parsed.end)}\n`)],
  ];
  function fixText(change) {
    flush();
    textArea.value = change(textArea.value);
    changed();
  }

  // A line of the report, with a button that goes to its place in the text when it names one, and one that
  // mends the mistake when a button can.
  function reportLine(line, className) {
    const li = document.createElement('li');
    li.className = className;
    const place = /line (\d+)(?:, column (\d+))?/.exec(line);
    if (place) {
      const go = document.createElement('button');
      go.type = 'button';
      go.className = 'at';
      go.textContent = place[0];
      go.addEventListener('click', () => goTo(Number(place[1]), Number(place[2] || 1)));
      li.append(line.slice(0, place.index), go, line.slice(place.index + place[0].length));
      const fix = fixes.find(([words]) => words.test(line));
      if (fix) {
        const at = () => offsetOf(textArea.value, Number(place[1]), Number(place[2] || 1));
        li.append(' ', el('button', { type: 'button', class: 'small', onclick: () => fixText((t) => fix[2](t, at())) }, fix[1]));
      }
    } else li.textContent = line;
    return li;
  }

  function renderVerdict() {
    const lines = state.report.replace(/\n$/, '').split('\n');
    const headline = $('headline');
    headline.textContent = lines[0].replace(/^standard input: /, '');
    headline.className = `status-${state.status}`;
    // Sections of findings: a finding is one line; the check wraps its explanations, which are joined again.
    // What the load means stands right under the headline, in a section without a title.
    const sections = [{ title: '', lines: [] }];
    for (const line of lines.slice(1)) {
      if (!line) continue;
      if (!line.startsWith(' ')) { sections.push({ title: line, lines: [] }); continue; }
      const section = sections[sections.length - 1];
      const last = section.lines.length - 1;
      const text = line.trim();
      if (!inForce(section.title) && last >= 0 && !/^line \d/.test(text) && !/^line \d/.test(section.lines[last]) &&
          /[^.:]$/.test(section.lines[last])) section.lines[last] += ` ${text}`;
      else section.lines.push(text);
    }
    const consequences = document.createElement('ul');
    for (const line of consequencesOf(sections)) consequences.append(reportLine(line, 'consequence'));
    $('consequences').replaceChildren(...(consequences.children.length ? [heading('h3', 'Consequences'), consequences] : []));
    const findings = [];
    for (const section of sections.filter((s) => s.title && !inForce(s.title))) {
      const list = document.createElement('ul');
      for (const line of section.lines)
        list.append(reportLine(line, /^line \d/.test(line) ? 'finding' : 'explains'));
      findings.push(heading('h4', section.title), list);
    }
    $('findings').replaceChildren(...findings);
    $('in-force').textContent = sections.filter((s) => inForce(s.title))
      .map((s) => [s.title, ...s.lines.map((l) => `  ${l}`)].join('\n')).join('\n\n');
    $('report').textContent = state.report;
  }
  function heading(tag, text) { const h = document.createElement(tag); h.textContent = text; return h; }

  // The place the check names: lines end as the parser counts them, a column counts characters.
  function offsetOf(t, line, column) {
    let k = 0;
    for (let l = 1; l < line; l++) {
      const end = t.indexOf('\n', k);
      if (end < 0) return t.length;
      k = end + 1;
    }
    for (let c = 1; c < column && k < t.length && t[k] !== '\n'; c++) k += t.codePointAt(k) > 0xFFFF ? 2 : 1;
    return k;
  }
  function goTo(line, column) {
    const at = offsetOf(textArea.value, line, column);
    textArea.focus({ preventScroll: true });
    textArea.setSelectionRange(at, Math.min(at + 1, lineEnd(textArea.value, at)) || at);
    const lineHeight = parseFloat(getComputedStyle(textArea).lineHeight) || 18;
    textArea.scrollTop = Math.max(0, (line - 3) * lineHeight);
    textArea.scrollIntoView({ block: 'nearest' });
  }

  // ---- The form ---------------------------------------------------------------------------------------------

  const el = (tag, props = {}, ...children) => {
    const e = document.createElement(tag);
    for (const [k, v] of Object.entries(props)) {
      if (k.startsWith('on')) e.addEventListener(k.slice(2), v);
      else if (k === 'dataset') Object.assign(e.dataset, v);
      else if (v !== undefined && v !== null && v !== false) e.setAttribute(k, v === true ? '' : v);
    }
    e.append(...children.filter((c) => c !== null && c !== undefined));
    return e;
  };
  const idOf = (path) => `f-${path.join('-')}`;
  const shown = (value) => (value === undefined ? '' : typeof value === 'string' ? value : JSON.stringify(value));
  const gameNames = {};  // lower case -> the game's spelling, by kind
  const isThrown = (name) => data.thrown.includes(String(name).toUpperCase());

  function removeButton(path, label) {
    return el('button', { type: 'button', class: 'small', 'aria-label': `Take ${label} out of the file`, dataset: { focus: `${idOf(path)}-x` },
      title: 'Take it out of the file', onclick: () => edit((t) => removeKey(t, path.slice(0, -1), path[path.length - 1])) }, '✕');
  }

  // A field for one value: the toggle key, a number, true or false.
  function scalarField(row, path) {
    const node = nodeAt(path);
    const id = idOf(path);
    const builtIn = row.builtIn !== undefined ? `built-in: ${shown(row.builtIn)}` : 'not in the file';
    let control, odd = false;
    if (row.field === 'key' || row.field === 'bool') {
      const choices = row.field === 'key' ? data.keyNames.map((k) => [JSON.stringify(k), k]) : [['true', 'true'], ['false', 'false']];
      const current = node ? source(node) : '';
      odd = node && !choices.some(([json]) => json === current);
      control = el('select', { id, dataset: { focus: id },
        onchange: (e) => edit((t) => (e.target.value ? setValue(t, path, e.target.value) : removeKey(t, path.slice(0, -1), row.name))) },
      el('option', { value: '' }, `(${builtIn})`),
      ...(odd ? [el('option', { value: current }, `${current} (as written)`)] : []),
      ...choices.map(([json, label]) => el('option', { value: json }, label)));
      control.value = current;
    } else {
      odd = node && node.type !== 'number';
      control = el('input', { id, type: 'text', inputmode: row.field === 'whole' ? 'numeric' : 'decimal',
        value: node ? source(node) : '', placeholder: builtIn, dataset: { focus: id }, spellcheck: 'false',
        onchange: (e) => {
          const v = e.target.value.trim();
          if (!v) return edit((t) => removeKey(t, path.slice(0, -1), row.name));
          if (!/^-?(0|[1-9]\d*)(\.\d+)?([eE][+-]?\d+)?$/.test(v)) {
            e.target.setCustomValidity('Write a number, such as 20');
            e.target.reportValidity();
            return;
          }
          e.target.setCustomValidity('');
          edit((t) => setValue(t, path, v));
        } });
    }
    return el('div', { class: `field${node ? '' : ' unset'}${odd ? ' odd' : ''}` },
      el('label', { for: id }, row.name), control, node ? removeButton(path, row.name) : el('span'),
      docOf(row) ? el('p', { class: 'doc' }, docOf(row)) : null,
      odd ? el('p', { class: 'problem' }, `The file's value is not ${row.is || 'of this kind'}: ` +
        `${control.tagName === 'SELECT' ? 'choose' : 'write'} one.`) : null,
      row.warning ? el('p', { class: 'warning' }, row.warning) : null);
  }

  // A list of names: chips, each with its marks and a button to take it out, and a field to add one.
  function namesField(row, path) {
    const node = nodeAt(path);
    const id = idOf(path);
    const kind = row.field === 'models' ? 'models' : 'weapons';
    const header = [el('label', { for: id }, row.name), el('span'), node ? removeButton(path, row.name) : el('span')];
    const doc = docOf(row) ? el('p', { class: 'doc' }, docOf(row)) : null;
    if (node && node.type !== 'array') {
      const fix = node.type === 'string' ? `[${source(node)}]` : '[]';
      return el('div', { class: 'field odd' }, ...header.slice(0, 2), el('span'), doc,
        el('p', { class: 'problem' }, `The file has ${source(node).slice(0, 60)} here, not a list of names.`),
        el('button', { type: 'button', id, onclick: () => edit((t) => setValue(t, path, fix)) }, `Make it a list: ${fix.slice(0, 60)}`));
    }
    const chips = (node ? node.items : []).map((item, k) => {
      const name = item.type === 'string' ? item.value : source(item);
      const known = item.type === 'string' && gameNames[kind].has(name.toLowerCase());
      const tags = [];
      if (item.type !== 'string') tags.push('not a name');
      else if (!known) tags.push('not the base game\'s');
      if (kind === 'weapons' && isThrown(name)) tags.push(path.length === 1 ? 'thrown: taken out of this list' : 'thrown');
      return el('span', { class: `chip${item.type !== 'string' ? ' odd' : known ? '' : ' unknown'}` }, name,
        ...tags.map((tag) => el('span', { class: 'tag' }, tag)),
        el('button', { type: 'button', 'aria-label': `Remove ${name} from ${row.name}`, dataset: { focus: `${id}-x${k}` },
          onclick: () => edit((t) => removeEntry(t, nodeAt(path), k)) }, '✕'));
    });
    const input = el('input', { id, list: `${kind === 'models' ? 'model' : 'weapon'}-names`, dataset: { focus: id },
      placeholder: kind === 'models' ? 'a ped model, e.g. g_m_y_famca_01' : 'a weapon, e.g. WEAPON_PISTOL', spellcheck: 'false',
      onkeydown: (e) => { if (e.key === 'Enter') { e.preventDefault(); add(); } } });
    const add = () => {
      const name = input.value.trim();
      if (!name) return;
      const json = JSON.stringify(name);
      edit((t) => (nodeAt(path) ? insertEntry(t, nodeAt(path), json) : setValue(t, path, `[${json}]`)));
    };
    return el('div', { class: `field${node ? '' : ' unset'}` }, ...header, doc,
      el('div', { class: 'names' }, ...(chips.length ? chips : [el('span', { class: 'doc' }, node ? '(empty list)' : `(not in the file${row.instead ? `: ${row.instead}` : ''})`)])),
      el('div', { class: 'add-name' }, input, el('button', { type: 'button', class: 'small', onclick: add, dataset: { focus: `${id}-add` } }, 'Add')));
  }

  // The keys of an object that change nothing: unknown ones (with the key it most likely meant) and repeats.
  function oddKeys(object, path, level) {
    const items = [];
    object.members.forEach((member, k) => {
      const later = object.members.slice(k + 1).some((m) => m.key === member.key);
      const row = rowOf(member.key, level);
      if (row && !later) return;
      if (member.key === '$schema' && level === 'top') return;
      const where = `${path.length ? `Factions[${path[1]}]` : 'the file'}`;
      const meant = !row && data.keys.find((r) => r.level === level && distance(r.name, member.key) <= 2 &&
        !object.members.some((m) => m.key === r.name));
      items.push(el('li', {}, `"${member.key}" in ${where}: ${later ? 'given again later, only the later one counts' : 'not a key here, it changes nothing'}. `,
        meant && !later ? el('button', { type: 'button', class: 'small', onclick: () => edit((t) => splice(t, member.keyStart, member.keyEnd, JSON.stringify(meant.name))) }, `Rename it "${meant.name}"`) : null, ' ',
        el('button', { type: 'button', class: 'small', onclick: () => edit((t) => removeEntry(t, nodeAt(path), k)) }, 'Remove it')));
    });
    return items.length ? el('div', { class: 'field odd' }, el('p', { class: 'problem' }, 'Keys that change nothing'), el('ul', { class: 'odd-keys' }, ...items)) : null;
  }
  function distance(a, b) {
    a = a.toLowerCase();
    b = b.toLowerCase();
    const d = Array.from({ length: a.length + 1 }, (_, i) => [i, ...Array(b.length).fill(0)]);
    for (let j = 1; j <= b.length; j++) d[0][j] = j;
    for (let i = 1; i <= a.length; i++)
      for (let j = 1; j <= b.length; j++) {
        d[i][j] = Math.min(d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] === b[j - 1] ? 0 : 1));
        if (i > 1 && j > 1 && a[i - 1] === b[j - 2] && a[i - 2] === b[j - 1]) d[i][j] = Math.min(d[i][j], d[i - 2][j - 2] + 1);
      }
    return d[a.length][b.length];
  }

  function fieldFor(row, path) {
    if (row.field === 'weapons' || row.field === 'models') return namesField(row, path);
    if (row.field === 'factions') return factionsField(row, path);
    return scalarField(row, path);
  }

  function factionsField(row, path) {
    const node = nodeAt(path);
    const rows = data.keys.filter((r) => r.level === 'faction');
    const newFaction = (t) => {
      const array = nodeAt(path);
      if (!array) return setValue(t, path, '[\n    {}\n]'.replace(/ {4}/g, indentUnit(t)));
      return insertEntry(t, array, '{}');
    };
    const parts = [el('legend', {}, row.name), docOf(row) ? el('p', { class: 'doc' }, docOf(row)) : null];
    if (node && node.type !== 'array') {
      parts.push(el('p', { class: 'problem' }, `The file has ${source(node).slice(0, 60)} here, not a list of factions${row.instead ? `: ${row.instead}` : ''}.`),
        el('button', { type: 'button', onclick: () => edit((t) => setValue(t, path, '[]')) }, 'Make it an empty list'));
      return el('fieldset', {}, ...parts);
    }
    if (!node || !node.items.length) parts.push(el('p', { class: 'doc' }, `${node ? 'An empty list' : 'Not in the file'}${row.instead ? `: ${row.instead}` : ''}.`));
    const count = node ? node.items.length : 0;
    // Thousands of factions would hold the page at every change: the first ones get a card, the rest the text.
    const cards = 100;
    (node ? node.items.slice(0, cards) : []).forEach((item, k) => {
      const here = [...path, k];
      const tools = el('div', { class: 'faction-tools' },
        el('button', { type: 'button', class: 'small', disabled: k === 0, 'aria-label': `Move faction ${k} up`, dataset: { focus: `${idOf(here)}-up` },
          onclick: () => edit((t) => moveItem(t, nodeAt(path), k, k - 1)) }, '↑ Up'),
        el('button', { type: 'button', class: 'small', disabled: k === count - 1, 'aria-label': `Move faction ${k} down`, dataset: { focus: `${idOf(here)}-down` },
          onclick: () => edit((t) => moveItem(t, nodeAt(path), k, k + 1)) }, '↓ Down'),
        el('button', { type: 'button', class: 'small', 'aria-label': `Remove faction ${k}`,
          onclick: () => edit((t) => removeEntry(t, nodeAt(path), k)) }, 'Remove'));
      const card = [el('legend', {}, `Factions[${k}]`), tools];
      if (item.type !== 'object') {
        card.push(el('p', { class: 'problem' }, `${source(item).slice(0, 60)} is not a faction: a faction is { … }.`),
          el('button', { type: 'button', onclick: () => edit((t) => setValue(t, here, '{}')) }, 'Make it an empty faction'));
      } else {
        card.push(...rows.map((r) => fieldFor(r, [...here, r.name])), oddKeys(item, here, 'faction'));
      }
      parts.push(el('fieldset', { class: 'faction' }, ...card));
    });
    if (count > cards) parts.push(el('p', { class: 'doc' }, `And ${count - cards} more factions: edit them in the text.`));
    parts.push(el('button', { type: 'button', id: idOf([...path, 'add']), dataset: { focus: idOf([...path, 'add']) }, onclick: () => edit(newFaction) }, 'Add a faction'));
    return el('fieldset', {}, ...parts);
  }

  function renderForm() {
    const active = document.activeElement && document.activeElement.dataset && document.activeElement.dataset.focus;
    const form = $('form');
    const blocked = $('form-blocked');
    const parsed = state.parsed;
    const top = parsed.value;
    let message = '';
    if (parsed.error) {
      const place = textArea.value.slice(0, parsed.offset).split('\n');
      message = `The text does not read as JSON at line ${place.length}, column ${[...place[place.length - 1]].length + 1} ` +
        '(the check says what is wrong there): fix it in the text, and the form follows again.';
    } else if (top && top.type !== 'object') {
      message = 'The file must be one JSON object, { … }, for the form to show it.';
    }
    blocked.hidden = !message;
    blocked.textContent = message;
    if (message) { form.replaceChildren(); return; }
    const topRows = data.keys.filter((row) => row.level === 'top');
    form.replaceChildren(el('fieldset', {}, el('legend', {}, 'The whole riot'),
      ...topRows.filter((r) => r.field !== 'factions').map((row) => fieldFor(row, [row.name])),
      top ? oddKeys(top, [], 'top') : null),
    ...topRows.filter((r) => r.field === 'factions').map((row) => fieldFor(row, [row.name])));
    // The focus stays where it was; when its control went (a key or a name taken out), on its field's control.
    if (active) {
      const again = [active, active.replace(/-(x\d*|add|up|down)$/, '')]
        .map((id) => form.querySelector(`[data-focus="${CSS.escape(id)}"]`)).find(Boolean);
      if (again) again.focus({ preventScroll: true });
    }
  }

  // ---- Opening and saving ------------------------------------------------------------------------------------

  function load(bytes, name, handle) {
    const notes = [];
    let text;
    state.bom = false;
    if ((bytes[0] === 0xFF && bytes[1] === 0xFE) || (bytes[0] === 0xFE && bytes[1] === 0xFF)) {
      text = new TextDecoder(bytes[0] === 0xFF ? 'utf-16le' : 'utf-16be').decode(bytes);
      notes.push('This file is UTF-16 text, which the game cannot read: Save writes it as UTF-8, which it can.');
    } else {
      state.bom = bytes[0] === 0xEF && bytes[1] === 0xBB && bytes[2] === 0xBF;
      try {
        text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
      } catch (error) {
        text = new TextDecoder('utf-8').decode(bytes);
        notes.push('Some bytes of this file are not UTF-8 text: they show as �, and Save writes them so.');
      }
    }
    if (name && name !== 'Skirmora_config.txt')
      notes.push(`The game reads only a file named Skirmora_config.txt: save this one under that name.`);
    state.crlf = /\r\n/.test(text) || !/\n/.test(text);
    state.name = name;
    state.handle = handle || null;
    state.original = bytes;
    state.dirty = false;
    textArea.value = text;
    $('text-notes').hidden = !notes.length;
    $('text-notes').textContent = notes.join(' ');
    const saving = handle ? 'Save writes back to it' : window.showSaveFilePicker ? 'Save asks where to write it'
      : 'Save downloads Skirmora_config.txt';
    $('file-name').textContent = name ? `${name}: ${saving}` : 'A new file';
    update();
  }

  const confirmDrop = () => !state.dirty || window.confirm('Your changes are not saved. Leave them?');

  async function openFile() {
    if (!confirmDrop()) return;
    if (window.showOpenFilePicker) {
      try {
        const [handle] = await window.showOpenFilePicker({ types: [{ description: 'Skirmora config', accept: { 'text/plain': ['.txt', '.json'] } }] });
        const file = await handle.getFile();
        load(new Uint8Array(await file.arrayBuffer()), file.name, handle);
      } catch (error) {
        if (error.name !== 'AbortError') $('file-input').click();  // the browser's own file chooser instead
      }
    } else $('file-input').click();
  }

  async function save(pick) {
    flush();
    const bytes = bytesToSave();
    try {
      if (!pick && state.handle && state.handle.createWritable) return await write(state.handle, bytes);
      if (window.showSaveFilePicker) {
        const handle = await window.showSaveFilePicker({ suggestedName: 'Skirmora_config.txt',
          types: [{ description: 'Skirmora config', accept: { 'text/plain': ['.txt'] } }] });
        state.handle = handle;
        state.name = handle.name;
        return await write(handle, bytes);
      }
    } catch (error) {
      if (error.name === 'AbortError') return;
      alert(`Cannot save there: ${error.message}. The file is downloaded instead.`);
    }
    const link = el('a', { href: URL.createObjectURL(new Blob([bytes], { type: 'text/plain' })), download: 'Skirmora_config.txt' });
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    state.dirty = false;
    $('file-name').textContent = 'Downloaded as Skirmora_config.txt: move it into the game\'s folder';
    update();
  }
  async function write(handle, bytes) {
    const out = await handle.createWritable();
    await out.write(bytes);
    await out.close();
    state.dirty = false;
    $('file-name').textContent = `${handle.name}: saved`;
    update();
  }

  function wire() {
    $('form').addEventListener('submit', (e) => e.preventDefault());
    $('open').addEventListener('click', openFile);
    $('file-input').addEventListener('change', async (e) => {
      const file = e.target.files[0];
      if (file) load(new Uint8Array(await file.arrayBuffer()), file.name, null);
      e.target.value = '';
    });
    $('new').addEventListener('click', () => { if (confirmDrop()) { load(new Uint8Array(0), null, null); edit(() => newFileText()); state.dirty = false; update(); } });
    $('save').addEventListener('click', () => save(false));
    $('save-as').addEventListener('click', () => save(true));
    textArea.addEventListener('input', () => {
      state.dirty = true;
      state.original = null;
      clearTimeout(timer);
      // A file far larger than any config takes the check seconds: it waits for a longer pause in the typing.
      timer = setTimeout(() => { timer = 0; update(); }, textArea.value.length > 65536 ? 1500 : 150);
    });
    document.addEventListener('keydown', (e) => {
      if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === 's') { e.preventDefault(); save(false); }
      if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === 'o') { e.preventDefault(); openFile(); }
    });
    document.addEventListener('dragover', (e) => { e.preventDefault(); document.body.classList.add('dropping'); });
    document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
    document.addEventListener('drop', async (e) => {
      e.preventDefault();
      document.body.classList.remove('dropping');
      const item = [...e.dataTransfer.items].find((i) => i.kind === 'file');
      if (!item || !confirmDrop()) return;
      const handle = item.getAsFileSystemHandle ? await item.getAsFileSystemHandle().catch(() => null) : null;
      const file = handle && handle.kind === 'file' ? await handle.getFile() : item.getAsFile();
      if (file) load(new Uint8Array(await file.arrayBuffer()), file.name, handle && handle.kind === 'file' ? handle : null);
    });
    window.addEventListener('beforeunload', (e) => { if (state.dirty) { e.preventDefault(); e.returnValue = ''; } });
  }

  function fillNames() {
    for (const [kind, list] of [['weapons', 'weapon-names'], ['models', 'model-names']]) {
      gameNames[kind] = new Set(data[kind].map((n) => n.toLowerCase()));
      $(list).replaceChildren(...data[kind].map((name) => el('option', { value: name, label: kind === 'weapons' && isThrown(name) ? 'thrown weapon' : undefined })));
    }
  }

  const ready = SkirmoraModule().then((module) => {
    mod = module;
    data = JSON.parse(mod.UTF8ToString(mod._SkirmoraData()));
    fillNames();
    readDocs();
    wire();
    load(new Uint8Array(0), null, null);
    textArea.value = newFileText();
    state.original = null;
    update();
    window.Skirmora.check = (input) => runCheck(input).report;
    window.Skirmora.status = (input) => runCheck(input).status;
    window.Skirmora.data = data;
    document.documentElement.dataset.ready = '';
  });
  window.Skirmora = { ready };
})();
