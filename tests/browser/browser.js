// Debian's chromium, headless, through playwright-core, for the browser tests.
'use strict';

let chromium;
try {
  ({ chromium } = require('playwright-core'));
} catch (error) {
  console.error('playwright-core is missing: run scripts/setup (npm ci --prefix tests/browser)');
  process.exit(1);
}

// As root (a CI machine) chromium needs its sandbox off.
function launchChromium() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
}

module.exports = { launchChromium };
