// Writes the page's worker source as a script: the module's JavaScript and
// the worker's own scripts in one string, VELK_WORKER_SOURCE, that the page
// turns into a worker through a blob URL (file:// pages cannot start a
// worker from a file).
//   node bundle-worker.js OUT.js MODULE.js SCRIPT.js...
'use strict';
const fs = require('fs');
const [out, ...scripts] = process.argv.slice(2);
const source = scripts.map((script) => fs.readFileSync(script, 'utf8')).join('\n');
fs.writeFileSync(out + '.tmp', 'var VELK_WORKER_SOURCE = ' + JSON.stringify(source) + ';\n');
fs.renameSync(out + '.tmp', out);
