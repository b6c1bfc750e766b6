// Build step: the page as one file. The style, the page's script and the WebAssembly module (one script with
// the module inside, as base64) go into editor.html, so the page needs nothing beside it and no network.
// node assemble.js SOURCE_DIR MODULE_JS EXAMPLE_CONFIG VERSION OUTPUT_HTML
'use strict';
const fs = require('node:fs');
const path = require('node:path');

const [dir, modulePath, examplePath, version, output] = process.argv.slice(2);
if (!output) {
  console.error('usage: node assemble.js SOURCE_DIR MODULE_JS EXAMPLE_CONFIG VERSION OUTPUT_HTML');
  process.exit(2);
}
const read = (file) => fs.readFileSync(file, 'utf8');
// Inside a <script> or <style> element only its own end tag would end it early.
const inline = (text, tag) => text.replace(new RegExp(`</${tag}`, 'gi'), `<\\/${tag}`);
const pieces = {
  '/*STYLE*/': inline(read(path.join(dir, 'editor.css')), 'style'),
  '/*MODULE*/': inline(read(modulePath), 'script'),
  '/*SCRIPT*/': inline(read(path.join(dir, 'editor.js')), 'script'),
  // As a JSON text in a script element: no '<' in it, so nothing inside can close the element.
  '/*EXAMPLE*/': JSON.stringify(read(examplePath)).replace(/</g, '\\u003c'),
  '@VERSION@': version,
};
const template = read(path.join(dir, 'editor.html'));
for (const mark of Object.keys(pieces)) if (!template.includes(mark)) throw new Error(`editor.html lacks ${mark}`);
// One pass, so that nothing put in is taken for a mark.
const page = template.replace(/\/\*(STYLE|MODULE|SCRIPT|EXAMPLE)\*\/|@VERSION@/g, (mark) => pieces[mark]);
const limit = 2 * 1024 * 1024;
if (Buffer.byteLength(page) > limit) throw new Error(`the page is ${Buffer.byteLength(page)} bytes, over 2 MiB`);
fs.writeFileSync(output, page);
