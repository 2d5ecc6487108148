// The memory view of a typed run: each node and each word's copy as the
// module's heap holds them at the step shown, lowest address first. What the
// heap holds at the run's end comes from the run's data ("memory", read from
// the module); a step before it is derived from the step's state, which
// page.js gives with each `wrd-step`: a node not yet made is free heap, a new
// node's next is NULL until it is linked, and counts are as they stand. Only
// the cells in view, and those of the nodes drawn, are made: cells are one
// height, so that a scroll position names its cells. The first row is the
// start pointer's (the module's list, as wrd's is data in main), which lies
// below the heap.
(() => {
  const cells = document.getElementById('cells'), ROW = 70;
  const spacer = cells.appendChild(document.createElement('div'));
  let run = null, order = [], rowOf = null, step = null, made = new Map();

  const escape = (s) =>
      s.replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'})[c]);
  const hex = (n, digits) => (n >>> 0).toString(16).padStart(digits, '0');
  // An address as the module's print_list spells one.
  const spelled = (n) => (n === 0 ? 'NULL' : '0x' + hex(n, 1));
  const littleEndian = (n) => [0, 8, 16, 24].map((shift) => hex((n >>> shift) & 255, 2)).join(' ');

  // The rows of a run: the start pointer's (-1), then one per node (2i) and
  // per word (2i + 1), by address.
  function load(data) {
    const nodes = data.addresses, m = data.memory;
    order = [-1, ...m.order];
    rowOf = new Int32Array(order.length);
    order.forEach((row, r) => row >= 0 && (rowOf[row] = r));
    spacer.style.height = order.length * ROW + 'px';
    for (const cell of made.values()) cell.remove();
    made = new Map();
    run = data;
    const step = Math.ceil((m.size + m.header) / m.alignment) * m.alignment;
    say(document.querySelector('#memory .note'), 'cells', nodes.length, m.size, m.header, m.alignment, step);
  }
  // Forgets a run, where page.js shows one of its own, which has no memory.
  function unload() {
    for (const cell of made.values()) cell.remove();
    made = new Map();
    run = null;
    spacer.style.height = '0';
    say(document.querySelector('#memory .note'), 'memoryNote');
  }

  // The start pointer's cell: its address, and the first node's address that it holds.
  function startCell(cell) {
    const first = step.first < 0 ? 0 : run.memory.at[step.first];
    cell.dataset.start = '';
    return `${t('startCell', spelled(run.memory.start))}\n<span class="field">list </span> ${
        littleEndian(first)}  ${spelled(first)}`;
  }

  // A node's cell at the step: its fields in the order of their offsets.
  function nodeCell(cell, i) {
    const word = run.memory.wordAt[i], count = step.count(i), next = step.next(i);
    const fitted = escape(run.fitted[i] ?? run.words[i]);
    cell.dataset.address = run.addresses[i];
    if (count === 0 || step.freed(i) === 2) {
      cell.removeAttribute('data-next');
      cell.dataset.count = 0;
      return t(count ? 'freedNode' : 'freeNode', run.addresses[i]);
    }
    const nextAt = next < run.addresses.length ? run.memory.at[next] : 0;
    const nextText = next < run.addresses.length ? run.addresses[next] : 'NULL';
    cell.dataset.next = nextText;
    cell.dataset.count = count;
    const m = run.memory,
          fields = {word: [word, spelled(word)], count: [count, String(count)], next: [nextAt, nextText]};
    return t('nodeOf', run.addresses[i], `<bdi>${fitted}</bdi>`) + '\n' +
        ['word', 'count', 'next']
            .sort((a, b) => m[a] - m[b])
            .map(
                (name) => `<span class="field">${name.padEnd(5)}</span> ${littleEndian(fields[name][0])}  ${
                    fields[name][1]}`)
            .join('\n');
  }
  function wordCell(cell, i) {
    const at = run.memory.wordAt[i], size = run.memory.sizes[i], head = run.memory.heads[i];
    const more = size > (head.length + 1) / 3 ? ` \u2026 ${t('bytes', size)}` : '';
    cell.dataset.address = spelled(at);
    if (step.count(i) === 0) return t('freeWord', spelled(at));
    if (step.freed(i) > 0) return t('freedWord', spelled(at));
    return `${t('wordAt', spelled(at))}\n${head}${more}\n"<bdi>${
        escape(run.fitted[i] ?? run.words[i])}</bdi>"`;
  }

  // The cells in view and those of the nodes drawn, written as they stand.
  function render() {
    if (!run) return;
    const from = Math.floor(cells.scrollTop / ROW),
          to = Math.ceil((cells.scrollTop + cells.clientHeight) / ROW);
    const wanted = new Set();
    for (let r = Math.max(0, from); r < Math.min(order.length, to + 1); ++r) wanted.add(r);
    for (const i of [...step.drawn, step.node].filter((n) => n >= 0))
      wanted.add(rowOf[2 * i]).add(rowOf[2 * i + 1]);
    for (const [r, cell] of made) {
      if (!wanted.has(r)) cell.remove(), made.delete(r);
    }
    for (const r of wanted) {
      const row = order[r], i = row >> 1;
      let cell = made.get(r);
      if (!cell) {
        cell = cells.appendChild(document.createElement('div'));
        made.set(r, cell);
        cell.style.top = r * ROW + 'px';
        if (row >= 0) cell.dataset[row & 1 ? 'word' : 'node'] = i;
      }
      if (row < 0) {
        cell.innerHTML = startCell(cell);
        cell.className = 'cell';
        continue;
      }
      cell.innerHTML = row & 1 ? wordCell(cell, i) : nodeCell(cell, i);
      const free = step.count(i) === 0 || step.freed(i) > (row & 1 ? 0 : 1);
      cell.className = 'cell' + (free ? ' free' : '');
      cell.toggleAttribute('data-current', i === step.node);
    }
  }

  cells.addEventListener('scroll', () => requestAnimationFrame(render), {passive: true});
  // A language chosen writes the cells again.
  document.addEventListener('wrd-language', () => run && render());
  addEventListener('resize', () => run && render());  // the rows in view may be more or fewer
  document.addEventListener('wrd-step', ({detail}) => {
    if (!detail.data.memory) return run && unload();
    if (detail.data !== run) load(detail.data);
    step = detail;
    // The node of the step, scrolled to where it is out of view.
    const r = step.node >= 0 ? rowOf[2 * step.node] : -1;
    if (r >= 0 && (r * ROW < cells.scrollTop || (r + 1) * ROW > cells.scrollTop + cells.clientHeight)) {
      cells.scrollTop = r * ROW - cells.clientHeight / 3;
    }
    render();
  });
})();
