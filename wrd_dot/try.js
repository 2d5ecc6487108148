// The text box: a text typed here runs through wrd's own list code, built for
// WebAssembly and embedded below, in a worker so that the page stays
// responsive. The module runs the text and makes the run's data as wrd-dot
// makes its page's (wrd_dot/page_data.h); this script moves the text in and
// the data and the report out, and hands the data to page.js's loadRun. Stop
// ends a run by ending its worker; the run shown stays.
(() => {
  const MODULE = `/* module */`;  // wrd.wasm, gzipped, in base64 lines (atob skips the line feeds)
  const $ = (id) => document.getElementById(id);
  const textBox = $('try-text'), runButton = $('try-run'), stopButton = $('try-stop'), note = $('try-note');
  const reportText = document.querySelector('#report pre'), save = $('report-save');
  const counted = (n, one, many) => `${n} ${n === 1 ? one : many}`;

  // In the worker, whose code is these two and work, as text (runInWorker):
  // the calls of WASI that the module makes, standard output into `out`.
  const wasi = (memory, out) => ({
    fd_write(fd, iovs, n, written) {
      const v = new DataView(memory().buffer);
      let total = 0;
      for (let k = 0; k < n; ++k) {
        const at = v.getUint32(iovs + 8 * k, true), length = v.getUint32(iovs + 8 * k + 4, true);
        if (fd === 1) out.push(new Uint8Array(memory().buffer, at, length).slice());
        total += length;
      }
      v.setUint32(written, total, true);
      return 0;
    },
    fd_seek: () => 70,  // ESPIPE: standard output is no file to seek in
    fd_close: () => 0,
    fd_fdstat_get(fd, stat) {
      new Uint8Array(memory().buffer, stat, 24).fill(0);
      new DataView(memory().buffer).setUint8(stat, 4);  // a regular file: fully buffered
      return 0;
    },
  });
  // The data's arrays of numbers as typed arrays, whose buffers move to the
  // page without a copy; returns those buffers.
  const typed = (data) => [[data, ['calls', 'compares', 'gaps']],
                           [data.memory, ['at', 'wordAt', 'counts', 'nexts', 'sizes', 'order']]]
                              .flatMap(([object, names]) => names.map((name) => {
                                object[name] = Int32Array.from(object[name]);
                                return object[name].buffer;
                              }));

  // Runs in the worker: one fresh instance of the module per run, so that each
  // run starts from the same empty heap. Standard output goes into a buffer;
  // the module has no other file. Posts the run, or the longest text that the
  // module takes when this one is longer.
  function work() {
    onmessage = async ({data: {module, bytes}}) => {
      const out = [], times = {}, started = performance.now();
      const lap = (name) => (times[name] = performance.now() - started);
      const progress = (at) => postMessage({progress: at / Math.max(bytes.length, 1)});
      let e = null;
      const imports = {wasi_snapshot_preview1: wasi(() => e.memory, out), wrd: {progress}};
      e = (await WebAssembly.instantiate(module, imports)).exports;
      e._initialize();
      lap('instance');
      const text = e.try_text(bytes.length);
      if (text === 0) return postMessage({refused: e.max_text()});
      new Uint8Array(e.memory.buffer, text, bytes.length).set(bytes);
      const status = e.try_run();
      lap('run');
      const at = e.page_data();  // may grow the memory: views of it are made after
      lap('made');
      const data =
          JSON.parse(new TextDecoder().decode(new Uint8Array(e.memory.buffer, at, e.page_data_size())));
      const moved = typed(data);
      const report = new Uint8Array(out.reduce((size, part) => size + part.length, 0));
      out.reduce((at, part) => (report.set(part, at), at + part.length), 0);
      moved.push(report.buffer);
      lap('data');
      postMessage({status, cap: e.list_heap_cap(), used: e.list_heap_used(), data, report, times}, moved);
    };
  }

  let worker = null, module = null, running = null;
  async function compile() {
    const gz = Uint8Array.from(atob(MODULE), (c) => c.charCodeAt(0));
    const stream = new Blob([gz]).stream().pipeThrough(new DecompressionStream('gzip'));
    return WebAssembly.compile(await new Response(stream).arrayBuffer());
  }

  // The run's report, as print_list wrote it, to read and to save.
  function showReport(report) {
    reportText.textContent = new TextDecoder().decode(report);
    if (save.href) URL.revokeObjectURL(save.href);
    save.href = URL.createObjectURL(new Blob([report], {type: 'text/plain'}));
  }

  // The text's run in the worker: the worker's message, or null when stopped.
  function runInWorker(bytes) {
    worker = worker ||
        new Worker(URL.createObjectURL(
            new Blob([`const wasi = ${wasi}, typed = ${typed};\n(${work})();`], {type: 'text/javascript'})));
    return new Promise((resolve, reject) => {
      running = resolve;
      worker.onmessage = ({data}) => {
        if (data.progress === undefined) return resolve(data);
        note.textContent = `Running: ${Math.round(100 * data.progress)}% of the text\u2026`;
      };
      worker.onerror = (e) => reject(new Error(e.message));
      worker.postMessage({module, bytes});
    });
  }
  function stop() {
    worker?.terminate();
    worker = null;
    running?.(null);
  }

  // What the note says of a run done: its size and time, and memory lost.
  function said(result, seconds) {
    const {data, status} = result, lost = data.calls.length - Number($('slider').max);
    return `${counted(data.calls.length, 'call', 'calls')} of add_word, ${
               counted(data.addresses.length, 'node', 'nodes')}, in ${seconds} s.` +
        (status === 5 ? ` The module's memory could not grow: ${
                            counted(lost, 'word was', 'words were')} lost; the words after each were still ` +
                 'counted, as wrd does when it ends with status 5.' :
                        '');
  }

  async function run(opening) {
    const bytes = new TextEncoder().encode(textBox.value);
    if (bytes.length === 0) {
      // As wrd does with an empty wrd.txt: status 2, and no report.
      note.textContent =
          'The text is empty: wrd prints nothing for it and ends with status 2. The run shown stays.';
      return;
    }
    runButton.disabled = true;
    stopButton.disabled = false;
    note.textContent = 'Running\u2026';
    const started = performance.now(), times = {};
    try {
      module = module || await compile();
      times.compile = performance.now() - started;
      const result = await runInWorker(bytes);
      if (result === null) {
        note.textContent = 'Stopped: the run shown stays.';
        return;
      }
      if (result.refused) {
        note.textContent = `The text is ${bytes.length.toLocaleString('en')} bytes, more than the ${
                               result.refused >>
                               20} MiB (${result.refused.toLocaleString('en')} bytes) that the page runs: ` +
            'the run shown stays.';
        return;
      }
      times.worker = performance.now() - started;
      // A run asked for shows its last step; the page's own run, the step its address names.
      // (page.js has already put step 0 in the address: the one it was opened at is the navigation's).
      const asked =
          opening ? new URL(performance.getEntriesByType('navigation')[0]?.name ?? location.href).hash : '';
      showReport(result.report);
      await new Promise((resolve) => setTimeout(resolve));  // the report and the run, each a task of its own
      history.replaceState(null, '', asked || '#step=' + result.data.calls.reduce((n, i) => n + (i >= 0), 0));
      loadRun(result.data);
      times.shown = performance.now() - started;
      note.textContent = said(result, (times.shown / 1000).toFixed(2));
      note.dataset.status = result.status;
      note.dataset.times = JSON.stringify({...result.times, ...times});
    } catch (error) {
      note.textContent = `The page could not run the text: ${error.message}`;
      stop();
    } finally {
      running = null;
      runButton.disabled = false;
      stopButton.disabled = true;
    }
  }
  runButton.onclick = () => run(false);
  stopButton.onclick = stop;
  // The page with no run runs its text as it opens.
  if (JSON.parse($('run').textContent).calls.length === 0 && textBox.value) run(true);
})();
