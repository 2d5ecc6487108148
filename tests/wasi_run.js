// Runs a WebAssembly module built for WASI, as a launcher runs a program:
//   node tests/wasi_run.js MODULE [ARGS...]
// The module sees the current folder, its arguments and environment, and the
// standard streams of this process; its exit status is this process's own.
'use strict';
// node:wasi warns on every run that it is experimental; the module's output
// must be all that is written.
process.removeAllListeners('warning');
const {WASI} = require('node:wasi');
const fs = require('node:fs');

const [file, ...args] = process.argv.slice(2);
if (file === undefined) {
  process.stderr.write('usage: node wasi_run.js MODULE [ARGS...]\n');
  process.exit(2);
}
const wasi = new WASI({
  version: 'preview1',
  args: [file, ...args],
  env: process.env,
  preopens: {'.': process.cwd()},
  returnOnExit: true,
});
// A module that traps, as abort() does, ends with 134, as a program that
// SIGABRT ends does in the shell; one that cannot be loaded, with 126.
WebAssembly.instantiate(fs.readFileSync(file), wasi.getImportObject())
    .then(
        ({instance}) => {
          try {
            process.exitCode = wasi.start(instance);
          } catch (error) {
            process.stderr.write(`${file}: ${error.message}\n`);
            process.exitCode = 134;
          }
        },
        (error) => {
          process.stderr.write(`${file}: ${error.message}\n`);
          process.exitCode = 126;
        });
