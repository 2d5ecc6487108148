// Steps through a run of add_word. loadRun(data) reads it, in the form that
// wrd_dot/page_data.h states: wrd-dot writes it in #run, and a run typed into
// the page hands it here. A call that found no memory changed nothing and is
// no step; its word still counts among the text's. The report lists the
// newest node first, so the nodes in the list at any moment are the last
// `listed` of the report, in list order: report index i stands at position
// i - (nodeCount - listed). Boxes are made when first drawn. Each step gone to
// dispatches `wrd-step` on the document, with the step's state.
//
// A step is (call, line): `call` calls (1-based) have begun, and `line` steps
// of the last one have run; (0, 0) is the empty list. After the N calls of
// add_word that made nodes come print_list (call N + 1) and free_list (N + 2). `counts` and `listed`
// hold the state after the first call - 1 calls; the running call's partial
// work is derived from them, so that a step costs only what it draws.
const $ = (id) => document.getElementById(id);
const SVG = 'http://www.w3.org/2000/svg';

// All that the page knows of the run and of the step it shows.
const state = {};

// The geometry of the list: a column of slots under the start pointer, each
// slot a node, a fold that stands for several, or NULL. Box sizes are
// measured once the page is laid out.
const LEFT = 32, START_HEIGHT = 40, GAP = 24, BESIDE = 24, INDENT = 56;
const geometry = {
  boxWidth: 0,
  boxHeight: 0,
  nullWidth: 0,
  foldHeight: 0,
  rows: 6,
  pitch: 88,
  beside: true,
  columns: 60,
  code: {lines: {}},  // measured by fitCode
};
const slotTop = (s) => START_HEIGHT + 32 + s * geometry.pitch;

// Reads a run, forgets all that an earlier run drew, and draws the step that
// the address names (step 0 if none). It may be called again with another run.
function loadRun(data) {
  const nodeCount = data.addresses.length, texts = data.gaps.length;
  const all = data.calls, calls = new Int32Array(all.length), textWord = new Int32Array(all.length);
  const dataCall = new Int32Array(all.length);
  // The compares of the run's first k calls of add_word, made ones or not.
  const totals = new Float64Array(all.length + 1);
  let stepped = 0;
  for (let k = 0; k < all.length; ++k) {
    totals[k + 1] = totals[k] + data.compares[k];
    if (all[k] < 0) continue;
    calls[stepped] = all[k];
    dataCall[stepped] = k;
    textWord[stepped++] = k - data.seeds;
  }
  const firstWord = textWord.subarray(0, stepped).findIndex((w) => w >= 0);
  Object.assign(state, {
    data,
    boxes: [],
    calls: calls.subarray(0, stepped),
    textWord: textWord.subarray(0, stepped),  // per stepped call: its word of the text, < 0 for a seed
    dataCall: dataCall.subarray(0, stepped),  // per stepped call: its index in data.calls
    totals,
    extra: stepped > 0 ? 2 : 0,  // print_list and free_list, where the run made a list
    printed: (data.printed ?? '').match(/[^\n]*\n|[^\n]+$/g) ?? [],
    gaps: data.gaps,
    seeds: firstWord < 0 ? stepped : firstWord,  // the seed calls stepped
    source: data.source,
    nodeCount,                          // nodes in the report, and so in the whole run
    counts: new Int32Array(nodeCount),  // after the first `applied` calls
    listed: 0,
    applied: 0,
    call: 0,
    line: 0,
    drawn: [],
    first: -1,
    touched: -1,
    cursor: -1,
    wordStarts: new Int32Array(texts),
    wordEnds: new Int32Array(texts),
    arrowPaths: [],
    makes: [],  // the calls that make a node, in order
  });
  const seen = new Uint8Array(nodeCount);
  state.calls.forEach((i, k) => {
    if (!seen[i]) seen[i] = 1, state.makes.push(k + 1);
  });
  $('arrow-paths').replaceChildren();
  for (const box of document.querySelectorAll('#list .node')) box.remove();
  for (let w = 0, at = 0, lost = 0; w < texts; ++w) {
    at += data.gaps[w];
    state.wordStarts[w] = at;
    const i = data.calls[data.seeds + w];
    at += (i < 0 ? data.lost[lost++] : data.words[i]).length;
    state.wordEnds[w] = at;
  }
  $('slider').max = stepped + state.extra;
  drawChart();
  // A new run shows its step from the page's top, where the page is measured:
  // nothing of it under the sticky controls.
  scrollTo(0, 0);
  measure();
  fromHash();
  fitCode();
}

// The word of report index i as the boxes show it, whole (a cut word's title).
const wordOf = (i) => state.data.words[i];
// The address of report index i, or NULL past the last node.
const addressOf = (i) => (i >= 0 && i < state.nodeCount ? state.data.addresses[i] : 'NULL');

// The box of report index i, made when first drawn: most boxes never are. A
// box shows where it has a slot.
function boxOf(i) {
  if (state.boxes[i]) return state.boxes[i];
  const box = document.createElement('div'), fitted = state.data.fitted[i];
  box.className = 'node';
  box.dataset.address = addressOf(i);
  box.dataset.index = i;
  if (fitted !== undefined) box.title = wordOf(i);
  box.append(
      document.createElement('span'), document.createElement('span'), isolated(fitted ?? wordOf(i)),
      document.createElement('span'));
  box.children[0].className = 'address';
  box.children[1].className = 'count';
  box.children[3].className = 'next';
  box.children[3].dataset.field = 'next';
  state.boxes[i] = box;
  return $('list').appendChild(box);
}
function cellsOf(box) {
  return {address: box.children[0], count: box.children[1], next: box.lastElementChild};
}

// The calls of the run: add_word's, then print_list and free_list.
const callCount = () => state.calls.length + state.extra;
// Calls applied to or taken from the state after the first `applied` calls.
function applyCall() {
  const i = state.calls[state.applied++];
  if (state.counts[i]++ === 0) ++state.listed;
}
function undoCall() {
  const i = state.calls[--state.applied];
  if (--state.counts[i] === 0) --state.listed;
}

// What call k does, from the state before it: its node, the nodes it
// compares, and its steps: a compare per node, then a raise, or the loop's
// end (miss) and make, link and head.
function plan(k) {
  const n = state.calls.length;
  if (k === n + 1) return {fn: 'print_list', i: -1, compares: 0, lines: 1 + state.listed};
  if (k === n + 2) return {fn: 'free_list', i: -1, compares: 0, lines: Math.max(1, 3 * state.listed)};
  const i = state.calls[k - 1], isNew = state.counts[i] === 0;
  const compares = isNew ? state.listed : i - (state.nodeCount - state.listed) + 1;
  return {fn: 'add_word', i, isNew, compares, lines: compares + (isNew ? 4 : 1)};
}
function actionOf(step, line) {
  if (!step) return 'none';
  if (step.fn === 'print_list') return 'print';
  if (step.fn === 'free_list')
    return state.listed ? ['unlink', 'free-word', 'free-node'][(line - 1) % 3] : 'free-empty';
  const at = line - step.compares;
  if (at <= 0) return 'compare';
  return step.isNew ? ['miss', 'make', 'link', 'head'][at - 1] : 'raise';
}
const stepCount = (k) => (k > 0 ? plan(k).lines : 0);
const label = () => (state.line === stepCount(state.call) ? `${state.call}` : `${state.call}.${state.line}`);

// Moves to call k, step j (j < 0: its last), which must exist, and draws it.
// `history` says what the browser's history gets: a new entry, the current
// one replaced, or nothing (when the history itself moved).
function go(k, j, history = 'push') {
  k = Math.max(0, Math.min(k, callCount()));
  applyUpTo(k);
  state.call = k;
  state.line = j < 0 ? stepCount(k) : j;
  const at = draw();
  settle();
  document.dispatchEvent(new CustomEvent('wrd-step', {detail: stepState(at)}));
  const hash = hashOf(label());
  say($('note'), null);
  if (history === 'push' && location.hash !== hash) {
    window.history.pushState({run: state.runId}, '', hash);
  } else if (history !== 'none' && location.hash !== hash) {
    window.history.replaceState({run: state.runId}, '', hash);
  }
}
// The state before call k: every add_word call applied before print_list.
function applyUpTo(k) {
  const before = Math.min(Math.max(k - 1, 0), state.calls.length);
  while (state.applied < before) applyCall();
  while (state.applied > before) undoCall();
}
const lastOf = (k) => (k > 0 ? -1 : 0);
// The next call's end, or the running call's own end while it runs.
function nextCall(how) {
  const k = state.call > 0 && state.line < stepCount(state.call) ? state.call : state.call + 1;
  go(k, lastOf(k), how);
}
function nextLine(how) {
  if (state.call > 0 && state.line < stepCount(state.call))
    go(state.call, state.line + 1, how);
  else if (state.call < callCount())
    go(state.call + 1, 1, how);
}
function previousLine(how) {
  if (state.line > 1)
    go(state.call, state.line - 1, how);
  else
    go(state.call - 1, lastOf(state.call - 1), how);
}

// The parts of an address, #step=K.J&lang=cs, by name.
function addressParts(hash = location.hash) {
  const parts = {};
  for (const part of hash.replace(/^#/, '').split('&')) {
    if (!part) continue;
    const at = part.indexOf('=') < 0 ? part.length : part.indexOf('=');
    try {
      parts[part.slice(0, at)] = decodeURIComponent(part.slice(at + 1));
    } catch {
      parts[part.slice(0, at)] = part.slice(at + 1);
    }
  }
  return parts;
}
// The address of step `label`, with the language where one was chosen.
const hashOf = (label) => `#step=${label}` + (state.runParam ? `&run=${state.runParam}` : '') +
    (languageChosen ? `&lang=${language}` : '');
// A number as an address writes it, read as nearly as it can be: 1e9, +5, or
// the first digits in it.
function loose(text) {
  const n = Number(text);
  return text.trim() === '' || Number.isNaN(n) ? Number((/\d+/.exec(text) ?? ['0'])[0]) : Math.round(n);
}

// The step that the address names, or the nearest one, with a line in #note
// that says why the page shows another step than the address named. An
// address with digits that is not written K or K.J goes to the nearest step
// its numbers give; one that names no step (a bare # too) opens step 0.
function fromHash() {
  const parts = addressParts(), asked = parts.step;
  if (LANGUAGES.includes(parts.lang)) {
    languageChosen = true;
    if (parts.lang !== language) speak(parts.lang), document.dispatchEvent(new Event('wrd-language'));
  }
  const m = /^(\d+)(?:\.(\d+))?$/.exec(asked ?? '');
  const n = callCount();
  let note = null, k = 0, j = 0;
  if (m || /\d/.test(asked ?? '')) {
    const dot = m ? -1 : asked.indexOf('.');
    const callText = m ? m[1] : dot < 0 ? asked : asked.slice(0, dot);
    const lineText = m                              ? m[2] :
        dot < 0 || !/\d/.test(asked.slice(dot + 1)) ? undefined :
                                                      asked.slice(dot + 1);
    k = Math.max(0, Math.min(loose(callText), n));
    applyUpTo(k);
    const steps = stepCount(k);
    j = lineText === undefined || k === 0 ? steps : Math.max(1, Math.min(loose(lineText), steps));
    if (!m)
      note = ['nearest', asked, k === 0 || j === steps ? `${k}` : `${k}.${j}`];
    else if (k > 0 && k < Number(m[1]))
      note = ['runHas', n];
    else if (k > 0 && `${j}` !== (m[2] ?? `${steps}`))
      note = ['callHas', k, steps, m[2]];
    else if (k === 0 && m[2] !== undefined)
      note = ['noSteps'];
  } else if (location.hash.length > 1 && Object.keys(parts).some((name) => name !== 'lang')) {
    note = ['noStep'];
  }
  go(k, j, 'replace');
  if (note) say($('note'), ...note);
}

function place(el, x, y) {
  el.style.left = x + 'px';
  el.style.top = y + 'px';
}
// The numbers 0 ... n - 1 from `from`.
const range = (from, to) => Array.from({length: Math.max(0, to - from)}, (_, p) => from + p);

// Which list positions `rows` slots show for a list of `length` nodes and a
// focus (a position, or `length` for NULL): all when they fit; else the first
// one or two, a fold (-1) and a window that ends just after the focus. A fold
// never stands for one node: that node is shown. `end` is the position after
// the last one shown; a tail of one node is shown too. `closed` tells whether
// a slot is left for NULL or the tail's fold: on a short screen (3 rows) the
// focus may take the last one, but NULL as the focus keeps its own.
function windowOf(length, focus, rows) {
  const head = rows >= 6 ? 2 : 1, width = Math.max(focus < length ? 1 : 0, rows - head - 2);
  const fit = Math.min(length, Math.max(focus + Math.min(2, width), rows - 1));
  const end = length - fit === 1 ? length : fit, start = fit - width;
  const shown = start - head <= 1 ? range(0, end) : [...range(0, head), -1, ...range(start, end)];
  const closed = shown.length < rows || focus === length;
  if (start - head <= 1) return {shown, start: end, folded: 0, end, closed};
  return {shown, start, folded: start - head, end, closed};
}

// Moves a mark (first, touched, cursor) from the box that held it to box i.
function mark(name, i) {
  const attribute = 'data-' + name;
  if (state[name] >= 0) state.boxes[state[name]].removeAttribute(attribute);
  state[name] = i;
  if (i >= 0) boxOf(i).setAttribute(attribute, '');
}

// What the step shows, derived from the call's plan and the step within it.
function scene() {
  const step = state.call > 0 ? plan(state.call) : null, line = state.line;
  if (step && step.fn !== 'add_word') return sceneAfter(step, line);
  const action = actionOf(step, line), i = step ? step.i : -1, c = step ? step.compares : 0;
  const made = line > c + (step && step.isNew ? 1 : 0);  // the call's node holds its new count
  const inList = state.listed + (action === 'head' ? 1 : 0), offset = state.nodeCount - inList;
  const shift = action === 'head' ? 1 : 0;
  const focus = {compare: line - 1, raise: i - offset, miss: inList}[action] ?? 0;
  const cursor = action === 'compare' ? offset + line - 1 : action === 'raise' ? i : -1;
  const comparedUpTo = (action === 'compare' ? line : c) + shift;
  const node = action === 'compare' ? cursor : ['none', 'miss'].includes(action) ? -1 : i;
  return {step, action, i, made, inList, offset, shift, focus, cursor, comparedUpTo, node, freed: 0};
}
// A step of print_list (p on the node whose line is written, after the start
// line) or of free_list (per node: unlink, free its word, free it; `gone` nodes
// have left the list, and `i` is the one unlinked, until it is freed).
function sceneAfter(step, line) {
  const action = actionOf(step, line), printing = action === 'print';
  const gone = printing ? 0 : Math.ceil(line / 3), phase = (line - 1) % 3;
  const inList = state.listed - gone, offset = state.nodeCount - inList;
  const i = printing || !state.listed || phase === 2 ? -1 : offset - 1;
  const cursor = printing && line > 1 ? offset + line - 2 : -1;
  const codeLine = !printing ? action :
      !state.listed          ? 'print-empty' :
      line > 1               ? 'print-node' :
                               'print-start';
  return {
    step,
    action,
    i,
    made: false,
    inList,
    offset,
    shift: 0,
    focus: printing ? Math.max(0, line - 2) : 0,
    cursor,
    comparedUpTo: 0,
    node: printing   ? cursor :
        state.listed ? offset - 1 :
                       -1,
    codeLine,
    freed: printing ? 0 : phase,
    gone,
  };
}

function draw() {
  const at = scene();
  mark('first', at.inList > 0 ? at.offset : -1);
  mark('touched', at.made ? at.i : -1);
  mark('cursor', at.cursor);
  const beside = geometry.beside || !['make', 'link', 'unlink', 'free-word'].includes(at.action);
  const top = beside ? 0 : 1;  // the slot of the first node
  const view = windowOf(at.inList, at.focus, geometry.rows - top);
  const arrows = [];
  const last = drawSlots(at, view, top, arrows);
  drawStart(at, top, arrows);
  if (at.action === 'make' || at.action === 'link') drawNewNode(at, beside, arrows);
  if (at.action === 'unlink' || at.action === 'free-word') drawUnlinked(at, arrows);
  drawCursor(at, last, arrows);
  drawArrows(arrows);
  $('list').style.height = slotTop(last) + geometry.boxHeight + 16 + 'px';
  describe(at);
  return at;
}

// A node's count as it stands at the step, 0 before it is made.
const countAt = (at, i) => state.counts[i] + (i === at.i && at.made ? 1 : 0);
// What a step tells the page's other scripts: the call and its line, its
// action, the node under p or raised or made (-1: none), the run's data, the
// nodes drawn, and each node's count and next (a report index, nodeCount for
// NULL; -1 before the node is made) as they stand.
function stepState(at) {
  return {
    call: state.call,
    line: state.line,
    action: at.action,
    node: at.node,
    first: state.first,  // the report index of the node the start pointer holds, -1: none
    data: state.data,
    drawn: [...state.drawn],
    count: (i) => countAt(at, i),
    // 1: the node's word is freed; 2: the node too.
    freed: (i) =>
        (!at.gone || i < state.nodeCount - state.listed || i >= at.offset ? 0 :
             i < at.offset - 1                                            ? 2 :
                                                                            at.freed),
    next: (i) =>
        (countAt(at, i) === 0                   ? -1 :
             i === at.i && at.action === 'make' ? state.nodeCount :
                                                  i + 1),
  };
}

// The slots from row `top` down: the boxes, the folds and NULL, each with the
// arrow into it. Returns the row of the last slot drawn: NULL or the tail's
// fold where the window leaves room for them.
function drawSlots(at, view, top, arrows) {
  for (const b of state.drawn) {
    state.boxes[b].removeAttribute('data-slot');
    state.boxes[b].removeAttribute('data-freed');
    delete state.boxes[b].dataset.compared;
  }
  state.drawn = [];
  const middle = $('fold-middle'), tail = $('fold-tail'), nul = $('null');
  middle.hidden = true;
  let s = top, bottom = 0;
  for (const p of view.shown) {
    if (p < 0) {
      drawFold(middle, view.folded, at.comparedUpTo >= view.start, false, s);
    } else {
      drawBox(at, p, s);
    }
    if (s > top) arrows.push(down(bottom, s));
    bottom = slotTop(s) + (p < 0 ? geometry.foldHeight : geometry.boxHeight);
    ++s;
  }
  const atEnd = view.end === at.inList;
  nul.hidden = !atEnd || !view.closed;
  tail.hidden = atEnd || !view.closed;
  if (!view.closed) return s - 1;
  if (atEnd) {
    // Under a new node that stands above the list, NULL keeps to the left.
    const alone = top > 0 && at.inList === 0;
    place(nul, alone ? LEFT : LEFT + geometry.boxWidth / 2 - geometry.nullWidth / 2, slotTop(s));
  } else {
    drawFold(tail, at.inList - view.end, at.comparedUpTo >= at.inList, true, s);
  }
  if (s > top) arrows.push(down(bottom, s));
  return s;
}
// The arrow from the bottom of the slot above slot s (a box's next field, or a
// fold) into slot s.
function down(bottom, s) {
  const mid = LEFT + geometry.boxWidth / 2;
  return [mid, bottom, mid, slotTop(s)];
}
function drawFold(fold, nodes, allCompared, tail, s) {
  fold.hidden = false;
  fold.textContent = t('fold', nodes, allCompared, tail);
  fold.dataset.nodes = nodes;
  place(fold, LEFT, slotTop(s));
}
// The box at list position p, in slot s, with its cells as they stand.
function drawBox(at, p, s) {
  const b = at.offset + p, box = boxOf(b), cells = cellsOf(box);
  state.drawn.push(b);
  box.dataset.slot = s;
  box.dataset.count = countAt(at, b);
  if (p >= at.shift && p < at.comparedUpTo) box.dataset.compared = p - at.shift + 1;
  cells.address.textContent = `${p + 1}. ${box.dataset.address}`;
  cells.count.textContent = `${t('count')} ${box.dataset.count}`;
  cells.next.textContent = `${t('nextField')} ${addressOf(b + 1)}`;
  place(box, LEFT, slotTop(s));
}
// The start pointer, above the first slot, and its value.
function drawStart(at, top, arrows) {
  place($('start'), LEFT, 0);
  const x = top > 0 ? LEFT + 20 : LEFT + geometry.boxWidth / 2;
  arrows.push([x, START_HEIGHT, x, slotTop(top)]);
  $('start-address').textContent = state.first < 0 ? 'NULL' : addressOf(state.first);
}
// A new node stands beside the first slot, or above it where the list is
// narrow, until the start pointer holds it; at link its next points at the
// old first node, or at NULL where the list was empty.
function drawNewNode(at, beside, arrows) {
  const box = boxOf(at.i), cells = cellsOf(box), g = geometry;
  box.dataset.count = 1;
  cells.address.textContent = `${t('newBox')} ${box.dataset.address}`;
  cells.count.textContent = `${t('count')} 1`;
  cells.next.textContent = `${t('nextField')} ${at.action === 'make' ? 'NULL' : addressOf(at.i + 1)}`;
  box.dataset.slot = 'new';
  state.drawn.push(at.i);
  const x = beside ? LEFT + g.boxWidth + BESIDE : LEFT + INDENT, y = slotTop(0);
  place(box, x, y);
  if (at.action !== 'link') return;
  const target = at.inList > 0 ? g.boxWidth : g.boxWidth / 2 + g.nullWidth / 2;
  const fromY = y + g.boxHeight - 10;  // the middle of the next field
  if (beside) {
    arrows.push([x, fromY, LEFT + target, at.inList > 0 ? fromY : y + g.nullWidth / 2]);
  } else {
    const nextX = at.inList > 0 ? x + 40 : LEFT + (INDENT + g.nullWidth) / 2;
    arrows.push([nextX, y + g.boxHeight, nextX, slotTop(1)]);
  }
}
// The node that free_list has unlinked stands beside the list until it is
// freed: its next still holds the node that is now first; at free-word its
// word is gone.
function drawUnlinked(at, arrows) {
  const box = boxOf(at.i), cells = cellsOf(box), g = geometry;
  box.dataset.count = state.counts[at.i];
  cells.address.textContent = `${t('unlinkedBox')} ${box.dataset.address}`;
  cells.count.textContent = `${t('count')} ${box.dataset.count}`;
  cells.next.textContent = `${t('nextField')} ${addressOf(at.i + 1)}`;
  box.dataset.slot = 'new';
  box.toggleAttribute('data-freed', at.action === 'free-word');
  state.drawn.push(at.i);
  // Beside the list, or above it where the list is narrow, as a new node stands.
  const x = g.beside ? LEFT + g.boxWidth + BESIDE : LEFT + INDENT, y = slotTop(0),
        fromY = y + g.boxHeight - 10;
  place(box, x, y);
  const some = at.inList > 0, nextX = some ? x + 40 : LEFT + (INDENT + g.nullWidth) / 2;
  if (g.beside)
    arrows.push([
      x, fromY, LEFT + (some ? g.boxWidth : g.boxWidth / 2 + g.nullWidth / 2),
      some ? fromY : y + g.nullWidth / 2
    ]);
  else
    arrows.push([nextX, y + g.boxHeight, nextX, slotTop(1)]);
}
// The cursor p, left of the node it points at, or of NULL once it is nullptr.
function drawCursor(at, last, arrows) {
  const pointer = $('cursor');
  const slot = at.action === 'miss' ? last :
      at.cursor >= 0                ? Number(state.boxes[at.cursor].dataset.slot) :
                                      -1;
  pointer.hidden = slot < 0;
  if (slot < 0) return;
  const y = slotTop(slot) + 20;
  place(pointer, 0, y - 10);
  const x = at.action === 'miss' ? parseFloat($('null').style.left) : LEFT;
  arrows.push([14, y, x, y]);
}
// Every arrow of the page: a straight line from one point to another.
function drawArrows(arrows) {
  const layer = $('arrow-paths'), paths = state.arrowPaths;
  while (paths.length < arrows.length) paths.push(layer.appendChild(document.createElementNS(SVG, 'path')));
  paths.forEach((path, n) => {
    const a = arrows[n];
    path.setAttribute('d', a ? `M${a[0]} ${a[1]}L${a[2]} ${a[3]}` : '');
  });
}

// The call's line, the code's current line, the sentence, the text strip and
// the counter.
function describe(at) {
  const call = $('call'), n = callCount(), k = state.call;
  const fn = at.step ? at.step.fn : '';
  call.dataset.action = at.action;
  state.codeLine = at.codeLine ?? at.action;
  for (const line of document.querySelectorAll('#code [data-line]')) {
    line.toggleAttribute('data-current', line.dataset.line === state.codeLine);
  }
  showCodeLine(state.codeLine);
  printedCode(fn || 'add_word');
  $('slider').value = k;
  $('at').textContent = k === 0 ? t('atZero', n) :
      fn === 'add_word'         ? t('at', k, n, state.line, at.step.lines) :
                                  t('atFn', fn, state.line, at.step.lines);
  if (k === 0)
    call.textContent = t('before');
  else if (fn === 'add_word')
    call.replaceChildren('add_word("', isolated(wordOf(at.i)), '")');
  else
    call.textContent = `${fn}(&data)`;
  describePrinted(at);
  describeCost(at);
  $('what').textContent = sentence(at);
  describeText(at);
}
// Marks the code's lines of the other functions, which a printed step leaves
// out so that the step fits one page: each function's lines run from its
// line that names it (data-fn) to the next such line.
function printedCode(fn) {
  const code = $('code');
  if (code.dataset.fn === fn) return;
  code.dataset.fn = fn;
  let of = null;
  for (const line of code.children) {
    of = line.dataset.fn ?? of;
    line.toggleAttribute('data-other', of !== null && of !== fn);
  }
}
// Scrolls the code, within its box, to the line of `action`, from the
// geometry that fitCode measured, so that a step lays the page out once.
function showCodeLine(action) {
  const code = geometry.code, line = code.lines[action];
  if (!line || (line[0] >= code.scroll && line[0] + line[1] <= code.scroll + code.height)) return;
  code.scroll = Math.max(0, Math.min(line[0] - (code.height - line[1]) / 2, code.scrollHeight - code.height));
  $('code').scrollTop = code.scroll;
}
// The sentence that #what shows, and the live region says.
function sentence(at) {
  if (at.step && at.step.fn !== 'add_word') return sentenceAfter(at);
  const line = state.line, c = at.step ? at.step.compares : 0;
  const old = addressOf(state.nodeCount - state.listed);
  if (at.action === 'compare') return t(line < c || (at.step && at.step.isNew) ? 'other' : 'match', line);
  if (at.action === 'miss') return c === 0 ? t('missEmpty') : c === 1 ? t('missOne') : t('missMany', c);
  return {
    none: () => t('none'),
    raise: () => t('raise', state.counts[at.i] + 1),
    make: () => t('make'),
    link: () => (state.listed ? t('link', old) : t('linkEmpty')),
    head: () => t('head', addressOf(at.i)),
  }[at.action]();
}

function sentenceAfter(at) {
  const line = state.line, listed = state.listed;
  if (at.action === 'print')
    return !listed        ? t('printEmpty') :
        line === 1        ? t('printStart') :
        line - 1 < listed ? t('printNode', line - 1) :
                            t('printLast', line - 1);
  if (at.action === 'free-node')
    return at.gone === listed ? t('freeLast') : t('freeNodeStep', listed - at.gone);
  return t({unlink: 'unlink', 'free-word': 'freeWordStep', 'free-empty': 'freeEmpty'}[at.action]);
}

// #printed, during print_list: what it has written up to the step, the line
// just written marked. Whole chunks of lines are blocks of their own, kept
// from step to step and laid out only when in view, so that a step of a long
// report rewrites only its tail.
const CHUNK = 256;
// Lines from to to - 1 of the report, each word isolated, so that a word's
// right-to-left letters or direction controls reorder nothing outside it:
// its line's labels, as print_list writes them, stand around it.
const [WORD_LABEL, NEXT_LABEL] = ['@WordLabel@', '@NextLabel@'];
function printedLines(from, to) {
  const parts = [];
  for (let n = from; n < to; ++n) {
    const line = state.printed[n], at = line.indexOf(WORD_LABEL) + WORD_LABEL.length;
    const end = line.lastIndexOf(NEXT_LABEL);
    if (at < WORD_LABEL.length || end < at) {
      parts.push(line);
      continue;
    }
    const word = document.createElement('bdi');
    word.textContent = line.slice(at, end);
    parts.push(line.slice(0, at), word, line.slice(end));
  }
  return parts;
}
function describePrinted(at) {
  const printed = $('printed'), shown = state.printedShown ?? [];
  printed.hidden = !at.step || at.step.fn !== 'print_list';
  const written = printed.hidden ? 0 : Math.min(state.line, state.printed.length);
  const before = Math.max(0, written - 1), full = Math.floor(before / CHUNK);
  if (printed.hidden || state.printedFor !== state.data) {
    printed.replaceChildren();
    shown.length = 0;
    state.printedFor = printed.hidden ? null : state.data;
    if (printed.hidden) return;
    state.printedTail = printed.appendChild(document.createElement('span'));
    state.printedTail.append(document.createElement('span'), document.createElement('mark'));
  }
  const tail = state.printedTail;
  while (shown.length > full) shown.pop().remove();
  while (shown.length < full) {
    const chunk = document.createElement('span'), c = shown.length;
    chunk.className = 'chunk';
    chunk.append(...printedLines(c * CHUNK, (c + 1) * CHUNK));
    shown.push(printed.insertBefore(chunk, tail));
  }
  state.printedShown = shown;
  tail.firstChild.replaceChildren(...printedLines(full * CHUNK, before));
  tail.lastChild.replaceChildren(...printedLines(before, written));
  const mark = tail.lastChild;  // the marked line whole at the bottom, or its start where it is longer
  printed.scrollTop = mark.offsetTop - Math.max(0, printed.clientHeight - mark.offsetHeight);
}

// #cost: the nodes this call has compared so far, and the run since it began.
function describeCost(at) {
  const k = state.call, step = at.step, cost = $('cost');
  let call = 0, total = 0;
  if (k > state.calls.length) {
    total = state.totals[state.totals.length - 1];
  } else if (k > 0) {
    call = at.action === 'compare' ? state.line : step.compares;
    total = state.totals[state.dataCall[k - 1]] + call;
  }
  cost.dataset.callCompares = call;
  cost.dataset.totalCompares = total;
  say(cost, ...(k > state.calls.length ? ['runCost', total] : ['callCost', call, total]));
  markChart(k);
}

// #cost-chart: the run's total compares after each call of add_word, beside
// the README's estimate and a hash table's one lookup per call. The estimate
// after c calls is c x d / 2, d the distinct words among them: a hit walks
// about half the list, and a word that comes once walks all of it when the
// list is about half as long. At most about 400 points a series, so that a
// long run draws at once; numbers of six digits or more are written short.
const CHART = {
  w: 360,
  h: 230,
  left: 58,
  right: 12,
  top: 12,
  bottom: 44
};
function drawChart() {
  const chart = $('cost-chart'), calls = state.data.calls, n = calls.length, totals = state.totals;
  chart.replaceChildren();
  chart.hidden = n === 0;
  if (n === 0) return;
  const every = Math.max(1, Math.ceil(n / 400)), seen = new Uint8Array(state.nodeCount);
  const estimate = new Float64Array(n + 1);
  for (let c = 0, listed = 0; c < n; ++c) {
    const i = calls[c];
    if (i >= 0 && !seen[i]) seen[i] = 1, ++listed;
    estimate[c + 1] = ((c + 1) * listed) / 2;
  }
  const top = Math.max(totals[n], estimate[n], n, 1), C = CHART;
  const x = (c) => (C.left + (c / n) * (C.w - C.left - C.right)).toFixed(1);
  const y = (v) => (C.h - C.bottom - (v / top) * (C.h - C.top - C.bottom)).toFixed(1);
  const line = (series, value) => {
    const points = [];
    for (let c = 0; c < n + every; c += every)
      points.push(`${x(Math.min(c, n))},${y(value(Math.min(c, n)))}`);
    return `<polyline data-series="${series}" class="${series}" points="${points.join(' ')}"/>`;
  };
  const number = (v) =>
      new Intl.NumberFormat(language, v < 1e5 ? {} : {notation: 'compact', maximumSignificantDigits: 3})
          .format(Math.round(v));
  chart.innerHTML = `<title>${t('costChart')}</title>` +
      `<path class="axis" d="M${C.left} ${C.top}V${C.h - C.bottom}H${C.w - C.right}"/>` +
      line('estimate', (c) => estimate[c]) + line('hash', (c) => c) + line('measured', (c) => totals[c]) +
      `<line id="cost-mark" y1="${C.top}" y2="${C.h - C.bottom}"/>` +
      `<text x="${C.left - 4}" y="${C.top + 10}" text-anchor="end">${number(top)}</text>` +
      `<text x="${C.left - 4}" y="${C.h - C.bottom}" text-anchor="end">0</text>` +
      `<text x="${C.w - C.right}" y="${C.h - C.bottom + 16}" text-anchor="end">${number(n)}</text>` +
      `<text x="${(C.left + C.w) / 2}" y="${C.h - 8}" text-anchor="middle">${t('chartCalls')}</text>` +
      `<text transform="translate(14 ${(C.h - C.bottom + C.top) / 2}) rotate(-90)" text-anchor="middle">${
                        t('chartCompares')}</text>` +
      `<g class="legend"><text x="${C.left + 8}" y="${C.top + 14}" class="measured">${t('measured')}</text>` +
      `<text x="${C.left + 8}" y="${C.top + 30}" class="estimate">${t('estimate')}</text>` +
      `<text x="${C.left + 8}" y="${C.top + 46}" class="hash">${t('hash')}</text></g>`;
  state.chartX = x;
}
document.addEventListener('wrd-language', () => state.data && drawChart());
// The chart's mark at the call shown: print_list and free_list stand after the last.
function markChart(k) {
  const mark = $('cost-mark');
  if (!mark) return;
  const c = k === 0 ? 0 : k > state.calls.length ? state.data.calls.length : state.dataCall[k - 1] + 1;
  mark.setAttribute('x1', state.chartX(c));
  mark.setAttribute('x2', state.chartX(c));
}

// A word set apart from the text around it, so that a right-to-left word
// reads as it is written and moves nothing beside it.
function isolated(word, tag = 'bdi') {
  const el = document.createElement(tag);
  el.textContent = word;
  return el;
}
// The words w - 1, w - 2, ... (step -1) or w + 1, ... (step 1) that fit in
// `room` characters, each with the separators between it and word w, in the
// order read from w; at most `breaks` line breaks, past which a whole line
// has room. `cut` tells whether the text goes on past them, `room` what
// room is left.
function neighbours(w, step, room, breaks) {
  const s = state, words = s.gaps.length, parts = [];
  const end = (k) => s.wordEnds[k];
  for (let k = w;; k += step) {
    const from = step < 0 ? (k > 0 ? end(k - 1) : 0) : end(k);
    const to = step < 0 ? s.wordStarts[k] : k + 1 < words ? s.wordStarts[k + 1] : s.source.length;
    const gap = s.source.slice(from, to).replace(/\s*\n\s*/g, '\n').replace(/[^\S\n]+/g, ' ');
    const next = k + step,
          word = next >= 0 && next < words ? s.source.slice(s.wordStarts[next], end(next)) : '';
    const lineBreak = gap.includes('\n') ? 1 : 0;
    if (lineBreak > breaks || gap.length > room) return {parts, cut: true, breaks, room};
    breaks -= lineBreak;
    if (lineBreak) room = geometry.columns;
    room -= gap.length + word.length;
    parts.push(gap);
    if (room < 0) return {parts, cut: true, breaks, room: 0};
    if (!word) return {parts, cut: false, breaks, room};
    parts.push(isolated(word));
  }
}
// The text strip: the words around the current one, cut only between words,
// each word an isolate, with "…" at a cut and at most one line break.
function describeText(at) {
  const text = $('text'), where = $('where'), words = state.gaps.length;
  const w = state.call > 0 && state.call <= state.calls.length ? state.textWord[state.call - 1] : -1;
  text.replaceChildren();
  text.hidden = state.call > state.calls.length;  // no word: the strip gives way to #printed
  where.hidden = text.hidden;                     // the code's own lines say what follows the text
  if (text.hidden) return;
  if (w < 0) {
    where.textContent =
        state.call === 0 ? t('textHas', words, state.seeds) : t('seed', state.call, state.seeds);
    if (words > 0)
      text.append(
          isolated(state.source.slice(state.wordStarts[0], state.wordEnds[0])), ...strip(0, 0, false));
    return;
  }
  where.textContent = t('word', w + 1, words);
  text.append(...strip(w, state.wordEnds[w] - state.wordStarts[w], true));
}
// Word w marked (or plain), with the words before it (when `marked`) and
// after it that fit in the strip's width: a third of the room before it,
// and what the words after it leave.
function strip(w, length, marked) {
  const room = Math.max(8, geometry.columns - length), behind = marked ? Math.floor(room / 3) : 0;
  const after = neighbours(w, 1, room - behind, 1);
  const before = marked ? neighbours(w, -1, behind + after.room, after.breaks) : {parts: [], cut: false};
  const word = marked ? [isolated(state.source.substr(state.wordStarts[w], length), 'mark')] : [];
  return [
    ...(before.cut ? ['\u2026'] : []), ...before.parts.reverse(), ...word, ...after.parts,
    ...(after.cut ? ['\u2026'] : [])
  ];
}

// Sizes that depend on the window: the boxes, the rows that fit under the
// list's top, where a new node goes and the strip's width.
function measure() {
  const sample = state.nodeCount ? boxOf(0) : document.createElement('div'), g = geometry, list = $('list');
  // Everything that is measured is put in place first, so that the page is
  // laid out once.
  const hidden = sample.hidden, slot = sample.dataset.slot, text = $('text');
  sample.hidden = false;
  sample.dataset.slot = 'measure';
  const probe = text.appendChild(document.createElement('span'));
  probe.textContent = '0'.repeat(10);
  g.boxWidth = sample.offsetWidth;
  g.boxHeight = sample.offsetHeight;
  // NULL and the fold are measured shown, whatever the step before hid.
  const nul = $('null'), fold = $('fold-tail'), nullHidden = nul.hidden, foldHidden = fold.hidden;
  nul.hidden = fold.hidden = false;
  g.nullWidth = nul.offsetWidth;
  g.foldHeight = fold.offsetHeight;
  nul.hidden = nullHidden;
  fold.hidden = foldHidden;
  g.columns = Math.max(20, Math.floor(text.clientWidth / (probe.offsetWidth / 10)) - 2);
  const listTop = list.getBoundingClientRect().top + scrollY;
  g.listTop = listTop;
  g.size = `${innerWidth}x${innerHeight}`;
  g.beside = list.clientWidth >= LEFT + 2 * g.boxWidth + BESIDE;
  probe.remove();
  sample.hidden = hidden;
  if (slot === undefined)
    delete sample.dataset.slot;
  else
    sample.dataset.slot = slot;
  g.pitch = g.boxHeight + GAP;
  // What the page scrolls into view (a focused control, a link's target) stands below the sticky controls.
  document.documentElement.style.scrollPaddingTop = document.querySelector('header').offsetHeight + 'px';
  g.rows = matchMedia('print').matches ?
      10 :
      Math.max(3, Math.floor((innerHeight - listTop - slotTop(0) - g.boxHeight - 8) / g.pitch) + 1);
}

// Lays the step out again where drawing it moved the list or, on a wide
// screen, the code (a sentence that takes a line more or less, print_list's
// lines in the strip's place), or where the window changed size since it was
// measured (a phone turned, its resize event still to come), so that the rows
// drawn fit and the code ends at the window's bottom.
function settle() {
  const g = geometry, top = (id) => $(id).getBoundingClientRect().top + scrollY;
  if (g.size === `${innerWidth}x${innerHeight}` && g.listTop === top('list') &&
      (g.codeTop === null || g.codeTop === top('code')))
    return;
  layOut();
}

// The code's height on a wide screen, down to the window's bottom with the
// page at its top, and where its lines stand in it; measured once a step is
// drawn, since it depends on what stands above it.
function fitCode() {
  const code = $('code'), wide = getComputedStyle(document.querySelector('main')).display === 'grid';
  const lineShown = state.codeLine;
  code.style.maxHeight =
      wide ? Math.max(120, innerHeight - code.getBoundingClientRect().top - scrollY - 24) + 'px' : '';
  const lines = {};
  for (const line of code.querySelectorAll('[data-line]')) {
    lines[line.dataset.line] = [line.offsetTop, line.offsetHeight];
  }
  geometry.code = {lines, height: code.clientHeight, scrollHeight: code.scrollHeight, scroll: code.scrollTop};
  geometry.codeTop = wide ? code.getBoundingClientRect().top + scrollY : null;
  showCodeLine(lineShown);
}

// Each step the reader takes is an entry in the history; a held key's
// repeats replace theirs.
const steppers = {
  first: () => go(0, 0),
  prev: () => go(state.call - 1, lastOf(state.call - 1)),
  next: nextCall,
  last: () => go(callCount(), lastOf(callCount())),
  'prev-line': previousLine,
  'next-line': nextLine,
};
for (const [id, stepper] of Object.entries(steppers)) {
  $(id).onclick = () => {
    setPlaying(false);
    stepper('push');
  };
}
// A slide is one entry in the history, however far it goes.
let sliding = false;
$('slider').oninput = () => {
  setPlaying(false);
  const k = Number($('slider').value);
  go(k, lastOf(k), sliding ? 'replace' : 'push');
  sliding = true;
};
$('slider').onchange = () => {
  sliding = false;
};
// Where an entry of the history names another run than the one shown, the
// text box's script (where the page has one) runs that one first, and says so.
let runOther = () => false;
addEventListener('popstate', () => runOther() || fromHash());
$('copy-link').onclick = async () => {
  if (state.runId.startsWith('~')) return say($('note'), 'noLink');
  try {
    await navigator.clipboard.writeText(location.href);
    say($('note'), 'copied');
  } catch {
    say($('note'), 'copyFailed');
  }
};
// A new size, or the page laid out for print, lays the list out again.
const layOut = () => {
  measure();
  draw();
  fitCode();
};
addEventListener('resize', layOut);
matchMedia('print').addEventListener('change', layOut);
addEventListener('beforeprint', layOut);
addEventListener('afterprint', layOut);
// A cut word shows whole by a tap or a click on its box, since a finger
// cannot reach its tooltip; one at a time.
$('list').addEventListener('click', (e) => {
  const box = e.target.closest('.node[title]');
  for (const open of document.querySelectorAll('.node[data-whole]')) {
    if (open !== box) open.removeAttribute('data-whole');
  }
  if (box) box.toggleAttribute('data-whole');
});
$('code').addEventListener('scroll', () => {
  geometry.code.scroll = $('code').scrollTop;
}, {passive: true});
addEventListener('keydown', (e) => {
  // Any key stops a play, and does nothing else.
  if (playing !== null) {
    setPlaying(false);
    if (e.key !== 'Tab') e.preventDefault();
    return;
  }
  const keys = {
    ArrowRight: 'next',
    ArrowLeft: 'prev',
    ArrowDown: 'next-line',
    ArrowUp: 'prev-line',
    Home: 'first',
    End: 'last'
  };
  // A key pressed in a field (the slider, a text box) is the field's own: it
  // moves the slider or the caret, not the step; but on the slider, which
  // moves by calls, ↓ and ↑ move by lines, as they do elsewhere.
  const field = e.target instanceof Element && e.target.closest('input, textarea, select, [contenteditable]');
  const lines = field && field.id === 'slider' && (e.key === 'ArrowDown' || e.key === 'ArrowUp');
  if (e.altKey || e.ctrlKey || e.metaKey || (field && !lines)) return;
  const tool = {p: 'play', n: 'next-new', m: 'next-miss'}[e.key.toLowerCase()];
  if (tool || e.key === '/') {
    e.preventDefault();
    if (tool)
      $(tool).click();
    else
      $('find').focus();
    return;
  }
  if (!(e.key in keys)) return;
  e.preventDefault();
  const stepper = steppers[keys[e.key]];
  if (e.repeat)
    stepper('replace');
  else
    stepper('push');
});

// Play: a step each tick of #speed, until the end, a press of #play again, a
// step taken by hand or any key. A play is one entry in the history.
let playing = null;
const atLast = () => state.call === callCount() && state.line === stepCount(state.call);
function setPlaying(on) {
  clearTimeout(playing);
  playing = null;
  const button = $('play');
  button.dataset.t = on ? 'stop' : 'play';
  button.dataset.tLabel = on ? 'stopLabel' : 'playLabel';
  button.textContent = t(button.dataset.t);
  button.setAttribute('aria-label', t(button.dataset.tLabel));
  button.setAttribute('aria-pressed', on);
  if (!on) return;
  if (atLast()) go(0, 0);
  let how = 'push';
  const tick = () => {
    nextLine(how);
    how = 'replace';
    if (atLast())
      setPlaying(false);
    else
      playing = setTimeout(tick, Number($('speed').value));
  };
  playing = setTimeout(tick, Number($('speed').value));
}
$('play').onclick = () => setPlaying(playing === null);

// Goes to the line of `action` (miss or make) in call k, which makes a node.
function goToAction(k, action) {
  applyUpTo(k);
  const step = plan(k);
  go(k, step.compares + (action === 'miss' ? 1 : 2));
}
// The next call from the step shown on whose `action` line it has not yet
// reached, that makes a node; #note says where there is none.
function jump(action, none) {
  setPlaying(false);
  const here = state.call > 0 && state.makes.includes(state.call) ? plan(state.call) : null;
  const line = here ? here.compares + (action === 'miss' ? 1 : 2) : 0;
  const k = here && state.line < line ? state.call : state.makes.find((m) => m > state.call);
  if (k === undefined) return say($('note'), none);
  goToAction(k, action);
}
$('next-new').onclick = () => jump('make', 'noNew');
$('next-miss').onclick = () => jump('miss', 'noMiss');

// Find: the call that makes the word's node, or from there on the next call
// that records it; past the last, the first again, said in #note.
function find(word) {
  setPlaying(false);
  const i = word ? state.data.words.indexOf(word) : -1;
  if (i < 0) return word && say($('note'), 'notFound', word);
  const first = state.calls.indexOf(i) + 1, later = state.calls.indexOf(i, state.call) + 1;
  const k = state.call < first ? first : later || first;
  go(k, -1);
  if (state.call >= first && !later) say($('note'), 'noMore', word);
}
$('find-form').onsubmit = (e) => {
  e.preventDefault();
  find($('find').value);
};

// The language, chosen: the page says all in it, and the address keeps it.
$('lang').onchange = () => {
  languageChosen = true;
  speak($('lang').value);
  document.dispatchEvent(new Event('wrd-language'));
  measure();
  draw();
  fitCode();
  history.replaceState(history.state, '', hashOf(label()));
};

speak(language);
// The run that the address carries, whose text the text box's script reads:
// its id, and what the address writes of it ('' for the page's own run).
state.runId = state.runParam = addressParts().run ?? '';
loadRun(JSON.parse($('run').textContent));
