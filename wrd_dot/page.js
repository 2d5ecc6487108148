// Steps through a run of add_word. loadRun(data) reads it, in the form that
// wrd_dot/page_data.h states: wrd-dot writes it in #run, and a run typed into
// the page hands it here. A call that found no memory changed nothing and is
// no step; its word still counts among the text's. The report lists the
// newest node first, so the nodes in the list at any moment are the last
// `listed` of the report, in list order: report index i stands at position
// i - (nodeCount - listed). Boxes are made when first drawn. Each step drawn
// dispatches `wrd-step` on the document, with the step's state.
//
// A step is (call, line): `call` calls (1-based) have begun, and `line` steps
// of the last one have run; (0, 0) is the empty list. `counts` and `listed`
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
  let stepped = 0;
  for (let k = 0; k < all.length; ++k) {
    if (all[k] < 0) continue;
    calls[stepped] = all[k];
    textWord[stepped++] = k - data.seeds;
  }
  const firstWord = textWord.subarray(0, stepped).findIndex((w) => w >= 0);
  Object.assign(state, {
    data,
    boxes: [],
    calls: calls.subarray(0, stepped),
    textWord: textWord.subarray(0, stepped),  // per stepped call: its word of the text, < 0 for a seed
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
  $('slider').max = stepped;
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
  const i = state.calls[k - 1], isNew = state.counts[i] === 0;
  const compares = isNew ? state.listed : i - (state.nodeCount - state.listed) + 1;
  return {i, isNew, compares, lines: compares + (isNew ? 4 : 1)};
}
function actionOf(step, line) {
  if (!step) return 'none';
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
  k = Math.max(0, Math.min(k, state.calls.length));
  while (state.applied < Math.max(k - 1, 0)) applyCall();
  while (state.applied > Math.max(k - 1, 0)) undoCall();
  state.call = k;
  state.line = j < 0 ? stepCount(k) : j;
  draw();
  const hash = '#step=' + label();
  $('note').textContent = '';
  if (history === 'push' && location.hash !== hash) {
    window.history.pushState(null, '', hash);
  } else if (history !== 'none' && location.hash !== hash) {
    window.history.replaceState(null, '', hash);
  }
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
  else if (state.call < state.calls.length)
    go(state.call + 1, 1, how);
}
function previousLine(how) {
  if (state.line > 1)
    go(state.call, state.line - 1, how);
  else
    go(state.call - 1, lastOf(state.call - 1), how);
}

// The step that the address names, or the nearest one, with a line in #note
// that says why the page shows another step than the address named.
function fromHash() {
  const m = /^#step=(\d+)(?:\.(\d+))?$/.exec(location.hash);
  const n = state.calls.length;
  let note = '', k = 0, j = 0;
  if (m) {
    k = Math.min(Number(m[1]), n);
    while (state.applied < Math.max(k - 1, 0)) applyCall();
    while (state.applied > Math.max(k - 1, 0)) undoCall();
    const steps = stepCount(k);
    j = m[2] === undefined || k === 0 ? steps : Math.max(1, Math.min(Number(m[2]), steps));
    if (k > 0 && k < Number(m[1]))
      note = `The run has ${counted(n, 'call', 'calls')}: this is the last.`;
    else if (k > 0 && `${j}` !== (m[2] ?? `${steps}`)) {
      note = `Call ${k} has ${counted(steps, 'step', 'steps')}: this is the nearest to ${m[2]}.`;
    } else if (k === 0 && m[2] !== undefined)
      note = 'Step 0 has no steps within it: this is step 0.';
  } else if (location.hash !== '' && location.hash !== '#') {
    note = 'The address names no step (it takes #step=K or #step=K.J): this is step 0.';
  }
  go(k, j, 'replace');
  $('note').textContent = note;
}

// A count with its noun, singular for one.
const counted = (n, one, many) => `${n} ${n === 1 ? one : many}`;
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
  const action = actionOf(step, line), i = step ? step.i : -1, c = step ? step.compares : 0;
  const made = line > c + (step && step.isNew ? 1 : 0);  // the call's node holds its new count
  const inList = state.listed + (action === 'head' ? 1 : 0), offset = state.nodeCount - inList;
  const shift = action === 'head' ? 1 : 0;
  const focus = {compare: line - 1, raise: i - offset, miss: inList}[action] ?? 0;
  const cursor = action === 'compare' ? offset + line - 1 : action === 'raise' ? i : -1;
  const comparedUpTo = (action === 'compare' ? line : c) + shift;
  const node = action === 'compare' ? cursor : ['none', 'miss'].includes(action) ? -1 : i;
  return {step, action, i, made, inList, offset, shift, focus, cursor, comparedUpTo, node};
}

function draw() {
  const at = scene();
  mark('first', at.inList > 0 ? at.offset : -1);
  mark('touched', at.made ? at.i : -1);
  mark('cursor', at.cursor);
  const beside = geometry.beside || !['make', 'link'].includes(at.action);
  const top = beside ? 0 : 1;  // the slot of the first node
  const view = windowOf(at.inList, at.focus, geometry.rows - top);
  const arrows = [];
  const last = drawSlots(at, view, top, arrows);
  drawStart(at, top, arrows);
  if (at.action === 'make' || at.action === 'link') drawNewNode(at, beside, arrows);
  drawCursor(at, last, arrows);
  drawArrows(arrows);
  $('list').style.height = slotTop(last) + geometry.boxHeight + 16 + 'px';
  describe(at);
  document.dispatchEvent(new CustomEvent('wrd-step', {detail: stepState(at)}));
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
    data: state.data,
    drawn: [...state.drawn],
    count: (i) => countAt(at, i),
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
    delete state.boxes[b].dataset.compared;
  }
  state.drawn = [];
  const middle = $('fold-middle'), tail = $('fold-tail'), nul = $('null');
  middle.hidden = true;
  let s = top, bottom = 0;
  for (const p of view.shown) {
    if (p < 0) {
      drawFold(middle, view.folded, at.comparedUpTo >= view.start, '', s);
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
    drawFold(tail, at.inList - view.end, at.comparedUpTo >= at.inList, ', then NULL', s);
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
function drawFold(fold, nodes, allCompared, after, s) {
  fold.hidden = false;
  fold.textContent =
      `\u22EE ${counted(nodes, 'node', 'nodes')} folded` + (allCompared ? ', all compared' : '') + after;
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
  cells.count.textContent = `count ${box.dataset.count}`;
  cells.next.textContent = `next ${addressOf(b + 1)}`;
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
  cells.address.textContent = `new ${box.dataset.address}`;
  cells.count.textContent = 'count 1';
  cells.next.textContent = `next ${at.action === 'make' ? 'NULL' : addressOf(at.i + 1)}`;
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
  const call = $('call'), n = state.calls.length, k = state.call;
  call.dataset.action = at.action;
  for (const line of document.querySelectorAll('#code [data-line]')) {
    line.toggleAttribute('data-current', line.dataset.line === at.action);
  }
  showCodeLine(at.action);
  $('slider').value = k;
  $('at').textContent =
      k === 0 ? `step 0 of ${n} calls` : `call ${k} of ${n}, step ${state.line} of ${at.step.lines}`;
  if (k === 0)
    call.textContent = 'Before the first call';
  else
    call.replaceChildren('add_word("', isolated(wordOf(at.i)), '")');
  $('what').textContent = sentence(at);
  describeText(at);
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
  const line = state.line, c = at.step ? at.step.compares : 0;
  const old = addressOf(state.nodeCount - state.listed);
  return {
    none: 'The list is empty: the start pointer holds NULL.',
    compare: line < c || (at.step && at.step.isNew) ?
        `p points at node ${line}, which holds another word: p moves on.` :
        `p points at node ${line}, which holds the word: a match.`,
    raise: `The match's count goes up to ${state.counts[at.i] + 1}.`,
    miss: c === 0 ?
        'The list is empty: p starts as nullptr, the loop ends at once, and the word is not found.' :
        c === 1 ? 'p is nullptr: the loop ends, and the list\'s one node does not hold the word.' :
                  `p is nullptr: the loop ends, and none of the list's ${c} nodes holds the word.`,
    make: 'A new node is made: count 1, next NULL, not yet linked.',
    link: state.listed ? `The new node's next now holds the old first node's address (${old}).` :
                         'The new node\'s next now holds the start pointer\'s NULL: the list was empty.',
    head: `The start pointer now holds the new node's address (${addressOf(at.i)}): it is first.`,
  }[at.action];
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
  const w = state.call > 0 ? state.textWord[state.call - 1] : -1;
  text.replaceChildren();
  if (w < 0) {
    where.textContent = state.call === 0 ?
        `The text has ${counted(words, 'word', 'words')}; wrd records the ${
            state.seeds} seed words before it.` :
        `Seed word ${state.call} of ${
            state.seeds}: wrd records these before the text, so that every run's list ` +
            'ends with druhy and pokus.';
    if (words > 0)
      text.append(
          isolated(state.source.slice(state.wordStarts[0], state.wordEnds[0])), ...strip(0, 0, false));
    return;
  }
  where.textContent = `Word ${w + 1} of ${words} of the text`;
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
  g.rows = Math.max(3, Math.floor((innerHeight - listTop - slotTop(0) - g.boxHeight - 8) / g.pitch) + 1);
}

// The code's height on a wide screen, down to the window's bottom with the
// page at its top, and where its lines stand in it; measured once a step is
// drawn, since it depends on what stands above it.
function fitCode() {
  const code = $('code'), wide = getComputedStyle(document.querySelector('main')).display === 'grid';
  code.style.maxHeight =
      wide ? Math.max(120, innerHeight - code.getBoundingClientRect().top - scrollY - 24) + 'px' : '';
  const lines = {};
  for (const line of code.querySelectorAll('[data-line]')) {
    lines[line.dataset.line] = [line.offsetTop, line.offsetHeight];
  }
  geometry.code = {lines, height: code.clientHeight, scrollHeight: code.scrollHeight, scroll: code.scrollTop};
  showCodeLine($('call').dataset.action);
}

// Each step the reader takes is an entry in the history; a held key's
// repeats replace theirs.
const steppers = {
  first: () => go(0, 0),
  prev: () => go(state.call - 1, lastOf(state.call - 1)),
  next: nextCall,
  last: () => go(state.calls.length, lastOf(state.calls.length)),
  'prev-line': previousLine,
  'next-line': nextLine,
};
for (const [id, stepper] of Object.entries(steppers)) $(id).onclick = () => stepper('push');
// A slide is one entry in the history, however far it goes.
let sliding = false;
$('slider').oninput = () => {
  const k = Number($('slider').value);
  go(k, lastOf(k), sliding ? 'replace' : 'push');
  sliding = true;
};
$('slider').onchange = () => {
  sliding = false;
};
addEventListener('popstate', fromHash);
addEventListener('resize', () => {
  measure();
  draw();
  fitCode();
});
$('code').addEventListener('scroll', () => {
  geometry.code.scroll = $('code').scrollTop;
}, {passive: true});
addEventListener('keydown', (e) => {
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
  if (e.altKey || e.ctrlKey || e.metaKey || !(e.key in keys) || (field && !lines)) return;
  e.preventDefault();
  const stepper = steppers[keys[e.key]];
  if (e.repeat)
    stepper('replace');
  else
    stepper('push');
});
loadRun(JSON.parse($('run').textContent));
