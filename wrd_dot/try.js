// The text box: a text typed here runs through wrd's own list code, built for
// WebAssembly and embedded below, in a worker so that the page stays
// responsive. The module records each call's node; the worker reads the list,
// the calls and print_list's report back from the module's memory, and this
// script builds from them the boxes, #source and the calls that page.js steps
// through, and the memory view.
(() => {
  const MODULE = '/* module */';  // wrd.wasm, gzipped, in base64
  const MAX_TEXT = 1 << 20;       // bytes of UTF-8
  const MAX_LINK = 32 << 10;      // characters of a packed text in an address
  const textBox = $('try-text'), runButton = $('try-run'), note = $('try-note');
  const cells = $('cells'), reportText = document.querySelector('#report pre'), save = $('report-save');

  // Runs in the worker: one fresh instance of the module per run, so that each
  // run starts from the same empty heap. Standard output goes into a buffer;
  // the module has no other file.
  function work() {
    onmessage = async ({data: {module, bytes}}) => {
      const out = [];
      let memory = null;
      const wasi = {
        fd_write(fd, iovs, n, written) {
          const v = new DataView(memory.buffer);
          let total = 0;
          for (let k = 0; k < n; ++k) {
            const at = v.getUint32(iovs + 8 * k, true), length = v.getUint32(iovs + 8 * k + 4, true);
            if (fd === 1) out.push(new Uint8Array(memory.buffer, at, length).slice());
            total += length;
          }
          v.setUint32(written, total, true);
          return 0;
        },
        fd_seek: () => 70,  // ESPIPE: standard output is no file to seek in
        fd_close: () => 0,
        fd_fdstat_get(fd, stat) {
          new Uint8Array(memory.buffer, stat, 24).fill(0);
          new DataView(memory.buffer).setUint8(stat, 4);  // a regular file: fully buffered
          return 0;
        },
      };
      const progress = (at) => postMessage({progress: at / Math.max(bytes.length, 1)});
      const e =
          (await WebAssembly.instantiate(module, {wasi_snapshot_preview1: wasi, wrd: {progress}})).exports;
      memory = e.memory;
      e._initialize();
      const text = e.try_text(bytes.length);
      if (text === 0) return postMessage({error: 'noRoom'});
      new Uint8Array(memory.buffer, text, bytes.length).set(bytes);
      const status = e.try_run();
      // show_word may grow the memory, which leaves older views of it empty.
      let v = null, u8 = null;
      const fresh = () => {
        if (u8?.buffer !== memory.buffer) v = new DataView(memory.buffer), u8 = new Uint8Array(memory.buffer);
      };
      fresh();
      const utf8 = new TextDecoder();
      const stringAt = (at, length) => (fresh(), utf8.decode(u8.subarray(at, at + length)));
      const lengthAt = (at) => (fresh(), u8.indexOf(0, at) - at);
      const original = (from, to) => utf8.decode(bytes.subarray(from, to));
      const layout = {
        size: e.node_size(),
        word: e.word_offset(),
        count: e.count_offset(),
        next: e.next_offset(),
        start: e.start_address(),
        overhead: e.alloc_overhead(),
        alignment: e.alloc_alignment(),
      };
      // The list as print_list walks it, from the start pointer through each next.
      const nodes = [];
      for (let p = e.list_head(); p !== 0; fresh(), p = v.getUint32(p + layout.next, true)) {
        const word = v.getUint32(p + layout.word, true), length = lengthAt(word);
        const whole = stringAt(e.show_word(word, 0), e.shown_size());
        const fitted = stringAt(e.show_word(word, e.word_columns()), e.shown_size());
        fresh();
        nodes.push({
          address: p,
          word,
          length,
          whole,
          fitted,
          bytes: u8.slice(p, p + layout.size),
          wordBytes: u8.slice(word, word + Math.min(length + 1, 24))
        });
      }
      const indexOf = new Map(nodes.map((node, i) => [node.address, i]));
      // Each call's node as a report index; a call that found no memory made
      // nothing, and its word stays in the text as it is, between two gaps.
      // The separators come from the text as it was, before strtok cut it.
      const total = e.call_total();
      const callNodes = new Uint32Array(memory.buffer, e.call_nodes(), total);
      const callWords = new Int32Array(memory.buffer, e.call_words(), total);
      const calls = [], gaps = [], source = [];
      let seeds = 0, lost = 0, end = 0, gap = 0;
      for (let k = 0; k < total; ++k) {
        const at = callWords[k], node = callNodes[k];
        if (node === 0) ++lost;
        if (at < 0) {
          if (node !== 0) calls.push(indexOf.get(node)), ++seeds;
          continue;
        }
        const between = original(end, at).replace(/[\r\n\t]/g, ' ');
        const length = lengthAt(text + at);
        end = at + length;
        if (node === 0) {
          const word = original(at, end);
          source.push(between, word);
          gap += between.length + word.length;
          continue;
        }
        const i = indexOf.get(node);
        calls.push(i);
        source.push(between, nodes[i].whole);
        gaps.push(gap + between.length);
        gap = 0;
      }
      let size = 0;
      for (const part of out) size += part.length;
      const report = new Uint8Array(size);
      for (let at = 0, k = 0; k < out.length; at += out[k++].length) report.set(out[k], at);
      postMessage({
        status,
        lost,
        cap: e.list_heap_cap(),
        layout,
        nodes,
        calls,
        gaps,
        seeds,
        source: source.join(''),
        report
      });
    };
  }

  let worker = null, module = null;
  async function compile() {
    const gz = Uint8Array.from(atob(MODULE), (c) => c.charCodeAt(0));
    const stream = new Blob([gz]).stream().pipeThrough(new DecompressionStream('gzip'));
    return WebAssembly.compile(await new Response(stream).arrayBuffer());
  }

  const escape = (s) =>
      s.replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'})[c]);
  const hex = (n, digits) => n.toString(16).padStart(digits, '0');
  const bytesOf = (bytes) => [...bytes].map((b) => hex(b, 2)).join(' ');
  let addressText = null;  // as print_list writes an address; from the report
  let cellOf = new Map(), rowOf = new Map(), marked = [];

  // The boxes, in the markup that write_html writes, and the memory view.
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
  const texts = new Map();
  let shownId = '', longRuns = 0, ownRun = null;
  const linkNote = $('link-note');

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
    if (id === '' && ownRun) return restoreOwn();
    run(how);
  }
  runOther = () => {
    const parts = addressParts();
    const wanted = parts.run ?? (history.state && 'run' in history.state ? history.state.run : shownId);
    if (wanted === shownId || (wanted.startsWith('~') && !texts.has(wanted))) return false;
    load(wanted, 'pop');
    return true;
  };
  // The page's own run, as write_html wrote it, again.
  function restoreOwn() {
    for (const group of document.querySelectorAll('#list .group')) group.remove();
    $('list').insertAdjacentHTML('beforeend', ownRun.html);
    $('source').textContent = ownRun.source;
    cells.replaceChildren();
    contents = [], rendered = [], filled = new Set(), cellOf = new Map(), marked = [];
    say($('memory').querySelector('.note'), 'memoryNote');
    say(linkNote, null);
    shownId = state.runId = state.runParam = '';
    loadRun(CALLS, GAPS, SEEDS);
  }

  function show(run) {
    const text = new TextDecoder().decode(run.report);
    reportText.textContent = text;
    if (save.href) URL.revokeObjectURL(save.href);
    save.href = URL.createObjectURL(new Blob([run.report], {type: 'text/plain'}));
    // Each node's address as the report spells it, so that the boxes match it.
    const spelled = new Map();
    for (const m of text.matchAll(/Adresa: (\S+) .*Dalsi: (\S+)$/gm))
      spelled.set(parseInt(m[1], 16), m[1]).set(parseInt(m[2], 16), m[2]);
    const start = /^Zacatek seznamu: (\S+)$/m.exec(text);
    if (start) spelled.set(parseInt(start[1], 16), start[1]);
    addressText = (n) => spelled.get(n) ?? '0x' + n.toString(16);

    const html = [];
    run.nodes.forEach((node, i) => {
      if (i % 128 === 0) html.push(i === 0 ? '<div class="group">' : '</div><div class="group">');
      const title = node.fitted === node.whole ? '' : ` title="${escape(node.whole)}"`;
      html.push(`<div class="node" data-address="${addressText(node.address)}" data-count="0" hidden${
          title}><bdi>${escape(node.fitted)}</bdi></div>`);
    });
    if (run.nodes.length) html.push('</div>');
    const groups = document.querySelectorAll('#list .group');
    if (!ownRun && CALLS.length) {
      ownRun = {html: [...groups].map((group) => group.outerHTML).join(''), source: $('source').textContent};
    }
    for (const group of groups) group.remove();
    $('list').insertAdjacentHTML('beforeend', html.join('\n'));
    $('source').textContent = run.source;
    showMemory(run);
    loadRun(run.calls, run.gaps, run.seeds);
  }

  // One element per node and per word, in address order: the node's fields as
  // the bytes that hold them, little-endian, in the order of their offsets.
  // The elements in view are written at each step, with the node's count at
  // that step (from its box), or as free heap before the node is made; the
  // elements have fixed heights, so the first in view is found by halving.
  let contents = [], rendered = [], filled = new Set();
  const topOf = (cell) => cell.offsetTop - cells.firstElementChild.offsetTop;
  function fillVisible() {
    const rows = cells.children, from = cells.scrollTop, to = from + cells.clientHeight;
    let low = 0, high = rows.length;
    while (low < high) {
      const middle = (low + high) >> 1;
      if (topOf(rows[middle]) + rows[middle].offsetHeight <= from)
        low = middle + 1;
      else
        high = middle;
    }
    // A cell out of view is emptied, so that none holds what an earlier step showed.
    const inView = new Set();
    for (let k = low; k < rows.length && topOf(rows[k]) < to; ++k) inView.add(k);
    // The step's own cells are written wherever they stand: a print shows them alone.
    for (const cell of marked) inView.add(rowOf.get(cell));
    for (const k of filled) {
      if (!inView.has(k)) rows[k].replaceChildren(), rows[k].classList.remove('free'), delete rendered[k];
    }
    filled = inView;
    for (const k of inView) {
      // A node's and a word's cell change with the node's count; the start
      // pointer's with the first node (-1: none).
      const start = rows[k].dataset.start !== undefined,
            i = Number(rows[k].dataset.node ?? rows[k].dataset.word);
      const key = start ? state.first : Number(state.boxes[i]?.dataset.count ?? 0);
      if (rendered[k] !== key) {
        rendered[k] = key;
        rows[k].innerHTML = contents[k](key);
        rows[k].classList.toggle('free', !start && key === 0);
      }
    }
  }
  cells.addEventListener('scroll', fillVisible, {passive: true});
  function showMemory({layout, nodes}) {
    const fields = ['word', 'count', 'next'].sort((a, b) => layout[a] - layout[b]);
    const value = (node, name) => new DataView(node.bytes.buffer).getUint32(layout[name], true);
    const little = (n) => bytesOf([0, 8, 16, 24].map((shift) => (n >>> shift) & 255));
    // The start pointer: the module's list, as wrd's is data in main.
    const rows = [{
      at: layout.start,
      attributes: 'data-start',
      html: (first) => {
        const value = first < 0 ? 0 : nodes[first].address;
        return `${t('startCell', addressText(layout.start))}\n<span class="field">list </span> ${
            little(value)}  ${value ? addressText(value) : 'NULL'}`;
      },
    }];
    nodes.forEach((node, i) => {
      const next = value(node, 'next'), word = value(node, 'word');
      rows.push({
        at: node.address,
        attributes:
            `data-address="${addressText(node.address)}" data-next="${addressText(next)}" data-node="${i}"`,
        html: (count) => count === 0 ?
            t('freeNode', addressText(node.address)) :
            t('nodeOf', addressText(node.address), `<bdi>${escape(node.fitted)}</bdi>`) + '\n' +
                fields
                    .map((name) => {
                      const n = name === 'count' ? count : value(node, name);
                      const bytes = name === 'count' ?
                          little(n) :
                          bytesOf(node.bytes.subarray(layout[name], layout[name] + 4));
                      const meaning = name === 'count' ? String(n | 0) : n === 0 ? 'NULL' : addressText(n);
                      return `<span class="field">${name.padEnd(5)}</span> ${bytes}  ${meaning}`;
                    })
                    .join('\n')
      });
      const more = () =>
          (node.length + 1 > node.wordBytes.length ? ` \u2026 ${t('bytes', node.length + 1)}` : '');
      rows.push({
        at: word,
        attributes: `data-word="${i}"`,
        html: (count) => count === 0 ? t('freeWord', addressText(word)) :
                                       `${t('wordAt', addressText(word))}\n${bytesOf(node.wordBytes)}${
                                           more()}\n"<bdi>${escape(node.fitted)}</bdi>"`
      });
    });
    rows.sort((a, b) => a.at - b.at);
    contents = rows.map((row) => row.html);
    rendered = [];
    filled = new Set();
    cells.innerHTML = rows.map((row) => `<div class="cell" ${row.attributes}></div>`).join('');
    cellOf = new Map();
    rowOf = new Map();
    [...cells.children].forEach((cell, k) => {
      cellOf.set(cell.dataset.node ?? 'w' + cell.dataset.word, cell);
      rowOf.set(cell, k);
    });
    marked = [];
    const step = Math.ceil((layout.size + layout.overhead) / layout.alignment) * layout.alignment;
    say($('memory').querySelector('.note'), 'cells', nodes.length, layout.size, layout.overhead,
        layout.alignment, step);
  }

  // A language chosen writes the cells in view again.
  document.addEventListener('wrd-language', () => {
    rendered = [];
    fillVisible();
  });
  // The node of the step, marked in the memory view too, and scrolled to.
  document.addEventListener('wrd-step', ({detail: {node}}) => {
    for (const cell of marked) cell.removeAttribute('data-current');
    marked = [cellOf.get(String(node)), cellOf.get('w' + node)].filter(Boolean);
    for (const cell of marked) cell.setAttribute('data-current', '');
    if (marked.length) {
      const cell = marked[0], top = topOf(cell);
      if (top < cells.scrollTop || top + cell.offsetHeight > cells.scrollTop + cells.clientHeight) {
        cells.scrollTop = top - cells.clientHeight / 3;
      }
    }
    fillVisible();
  });

  // Runs the text in the box. `how` says what the history gets: the address
  // the page was opened at (open), a new entry (push), or nothing, where the
  // history moved to the run (pop).
  async function run(how) {
    const text = textBox.value, bytes = new TextEncoder().encode(text);
    if (bytes.length > MAX_TEXT) {
      say(note, 'tooLong', bytes.length);
      return;
    }
    if (bytes.length === 0) {
      // As wrd does with an empty wrd.txt: status 2, and no report.
      say(note, 'empty');
      return;
    }
    runButton.disabled = true;
    say(note, 'running');
    const started = performance.now();
    try {
      module = module || await compile();
      worker =
          worker || new Worker(URL.createObjectURL(new Blob([`(${work})()`], {type: 'text/javascript'})));
      const result = await new Promise((resolve, reject) => {
        worker.onmessage = ({data}) => {
          if (data.progress !== undefined)
            say(note, 'runningAt', Math.round(100 * data.progress));
          else
            resolve(data);
        };
        worker.onerror = (e) => reject(new Error(e.message));
        worker.postMessage({module, bytes});
      });
      if (result.error) throw new Error(t(result.error));
      say(note, 'drawing');
      await new Promise(requestAnimationFrame);
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
      if (how === 'push')
        history.pushState({run: id}, '', hashOf(result.calls.length));
      else if (how === 'open')
        history.replaceState({run: id}, '', asked || hashOf(result.calls.length));
      show(result);
      const seconds = ((performance.now() - started) / 1000).toFixed(2);
      // Status 5: memory ran out, and the words it could not hold were lost.
      const ranOut = result.status === 5 ? [result.cap >> 20, result.lost] : null;
      say(note, 'ran', result.calls.length, result.nodes.length, seconds, ranOut);
      note.dataset.status = result.status;
    } catch (error) {
      say(note, 'failed', error.message);
      worker?.terminate();
      worker = null;
    } finally {
      runButton.disabled = false;
    }
  }
  runButton.onclick = () => run('push');
  const textSave = $('text-save');
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
  else if (CALLS.length === 0 && textBox.value)
    run('open');
})();
