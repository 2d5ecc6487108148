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
  const MAX_LINK = 32 << 10;  // characters of a packed text in an address

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
      // Where the start pointer lies, and the allocator's spacing, for the memory view.
      Object.assign(
          data.memory, {start: e.start_address(), header: e.alloc_header(), alignment: e.alloc_alignment()});
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
        say(note, 'runningAt', Math.round(100 * data.progress));
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
    say(note, 'ran', data.calls.length, data.addresses.length, seconds, status === 5 ? lost : null);
  }

  // A text packed for an address: deflated, in base64url; and back.
  async function pack(text) {
    const stream = new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    const bytes = new Uint8Array(await new Response(stream).arrayBuffer());
    let binary = '';
    for (let at = 0; at < bytes.length; at += 8192)
      binary += String.fromCharCode(...bytes.subarray(at, at + 8192));
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }
  async function unpack(packed) {
    const bytes = Uint8Array.from(atob(packed.replace(/-/g, '+').replace(/_/g, '/')), (c) => c.charCodeAt(0));
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new Response(stream).text();
  }

  // The runs of this visit by id: the packed text, '' for the page's own
  // text, or ~N for a text too long for an address, kept here alone.
  const texts = new Map(), ownRun = JSON.parse($('run').textContent), linkNote = $('link-note');
  const textSave = $('text-save');
  let shownId = '', longRuns = 0;

  // Shows the run of id `id`, which the address or the history names: the
  // page's own run as it was, or the text run again.
  async function load(id, how) {
    let text;
    try {
      text = id === '' ? textBox.defaultValue : texts.get(id) ?? await unpack(id);
    } catch {
      state.runId = state.runParam = shownId.startsWith('~') ? '' : shownId;
      fromHash();
      return say($('note'), 'badLink');
    }
    textBox.value = text;
    if (id === '' && ownRun.calls.length) {
      say(linkNote, null);
      shownId = state.runId = state.runParam = '';
      return loadRun(ownRun);
    }
    run(how);
  }
  runOther = () => {
    const parts = addressParts();
    const wanted = parts.run ?? (history.state && 'run' in history.state ? history.state.run : shownId);
    if (wanted === shownId || (wanted.startsWith('~') && !texts.has(wanted))) return false;
    load(wanted, 'pop');
    return true;
  };

  // Runs the text in the box. `how` says what the history gets: the address
  // the page was opened at (open), a new entry (push), or nothing, where the
  // history moved to the run (pop).
  async function run(how) {
    const text = textBox.value, bytes = new TextEncoder().encode(text);
    if (bytes.length === 0) {
      // As wrd does with an empty wrd.txt: status 2, and no report.
      say(note, 'empty');
      return;
    }
    runButton.disabled = true;
    stopButton.disabled = false;
    say(note, 'running');
    const started = performance.now(), times = {};
    try {
      module = module || await compile();
      times.compile = performance.now() - started;
      const result = await runInWorker(bytes);
      if (result === null) {
        say(note, 'stopped');
        return;
      }
      if (result.refused) {
        say(note, 'tooLong', bytes.length);
        return;
      }
      times.worker = performance.now() - started;
      // The text goes into the address, unless it is the page's own or too long for one.
      const packed = text === textBox.defaultValue ? '' : await pack(text);
      const id = packed.length > MAX_LINK ? `~${++longRuns}` : packed;
      texts.set(id, text);
      shownId = state.runId = id;
      state.runParam = id.startsWith('~') ? '' : id;
      if (id.startsWith('~'))
        say(linkNote, 'linkTooLong', Math.ceil(packed.length / 1024));
      else
        say(linkNote, null);
      if (textSave.href) URL.revokeObjectURL(textSave.href);
      textSave.href = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
      // A run asked for shows its last step; one opened or gone back to, the step its address names.
      // (page.js has already put step 0 in the address: the one it was opened at is the navigation's;
      // a bare # there opens step 0, as on every page).
      const opened = performance.getEntriesByType('navigation')[0]?.name ?? location.href;
      const asked = how !== 'open' ? '' : opened.endsWith('#') ? '#step=0' : new URL(opened).hash;
      const last = hashOf(result.data.calls.reduce((n, i) => n + (i >= 0), 0));
      showReport(result.report);
      result.data.printed = reportText.textContent;         // what the module's print_list wrote
      await new Promise((resolve) => setTimeout(resolve));  // the report and the run, each a task of its own
      if (how === 'push')
        history.pushState({run: id}, '', last);
      else if (how === 'open')
        history.replaceState({run: id}, '', asked || last);
      loadRun(result.data);
      times.shown = performance.now() - started;
      said(result, (times.shown / 1000).toFixed(2));
      note.dataset.status = result.status;
      note.dataset.times = JSON.stringify({...result.times, ...times});
    } catch (error) {
      say(note, 'failed', error.message);
      stop();
    } finally {
      running = null;
      runButton.disabled = false;
      stopButton.disabled = true;
    }
  }
  runButton.onclick = () => run('push');
  stopButton.onclick = stop;
  $('text-file').onchange = async ({target: {files}}) => {
    if (!files.length) return;
    textBox.value = await files[0].text();
    run('push');
  };
  // The page opens the run that its address carries; with no run, the page
  // with no run of its own runs its text.
  const opened = performance.getEntriesByType('navigation')[0]?.name ?? location.href;
  const carried = addressParts(new URL(opened).hash).run;
  if (carried)
    load(carried, 'open');
  else if (ownRun.calls.length === 0 && textBox.value)
    run('open');
})();
