// Steps through the run: CALLS[k] is the index in the report of call k's node
// (0-based), the seed calls first; GAPS[w] is the number of characters between
// text word w and the word before it in #source, where each word is written as
// the boxes show it. The report lists the newest node first, so the nodes in
// the list at any moment are the last `listed` of the report, in list order:
// report index i stands at position i - (n - listed).
//
// A step is (call, line): `call` calls (1-based) have begun, and `line` line
// steps of the last one have run; (0, 0) is the empty list. `count` and
// `listed` hold the state after the first call - 1 calls; the running call's
// partial work is derived from them, so a step costs only what it draws.
const $ = (id) => document.getElementById(id);
const slider = $('slider'), list = $('list');
const codeLines = Object.fromEntries([...document.querySelectorAll('#code [data-line]')].map((el) => [el.dataset.line, el]));
// The run's state, which loadRun sets.
let boxes = [], nodes = 0, count = null, source = '', wordStart = null;
let listed = 0, applied = 0, call = 0, line = 0;
let drawn = [], first = -1, touched = -1, cursor = -1, callNode = -1;

// The word of report index i as the boxes show it, whole (a cut word's title).
let wordLength = null;
const wordOf = (i) => boxes[i].title || boxes[i].querySelector('bdi').textContent;
function lengthOf(i) {
  if (wordLength[i] < 0) wordLength[i] = wordOf(i).length;
  return wordLength[i];
}
// The cells that a box shows once it is drawn, made then: most boxes never are.
function cellsOf(box) {
  if (!box.firstElementChild.classList.contains('address')) {
    box.insertAdjacentHTML('afterbegin', '<span class="address"></span><span class="count"></span>');
  }
  return {address: box.firstElementChild, count: box.children[1]};
}

// Calls applied to or taken from the state after the first `applied` calls;
// the nodes whose count changed are written to the DOM once, at the end.
const dirty = new Set();
function applyCall() {
  const i = CALLS[applied++];
  if (count[i]++ === 0) ++listed;
  dirty.add(i);
}
function undoCall() {
  const i = CALLS[--applied];
  if (--count[i] === 0) --listed;
  dirty.add(i);
}

// What call k does, from the state before it: the nodes it compares, its line
// steps, and whether it makes a node.
function plan(k) {
  const i = CALLS[k - 1], isNew = count[i] === 0;
  const compares = isNew ? listed : i - (nodes - listed) + 1;
  return {i, isNew, compares, lines: compares + (isNew ? 3 : 1)};
}

// Moves to call k, line j (j < 0: its last line); out of range gives step 0.
function go(k, j) {
  if (!(k >= 1 && k <= CALLS.length)) k = 0;
  while (applied < Math.max(k - 1, 0)) applyCall();
  while (applied > Math.max(k - 1, 0)) undoCall();
  if (k > 0) {
    const lines = plan(k).lines;
    if (j < 0) j = lines;
    if (!(j >= 1 && j <= lines)) return go(0, 0);
  }
  call = k;
  line = k > 0 ? j : 0;
  draw();
}
function lastLine(k) { return k > 0 ? -1 : 0; }
// The next call's end, or the running call's own end while it runs.
function nextCall() {
  const k = call > 0 && line < plan(call).lines ? call : Math.min(call + 1, CALLS.length);
  go(k, lastLine(k));
}
function nextLine() {
  if (call > 0 && line < plan(call).lines) go(call, line + 1);
  else if (call < CALLS.length) go(call + 1, 1);
}
function previousLine() {
  if (line > 1) go(call, line - 1);
  else go(call - 1, lastLine(call - 1));
}

// The geometry of the list: a column of slots under the start pointer, each
// slot a node, a fold that stands for several, or NULL.
const LEFT = 64, START_HEIGHT = 40, PITCH = 72, BESIDE = 80;
const arrows = $('arrow-paths'), paths = [];
let boxWidth = 0, boxHeight = 0, nullWidth = 0;
function slotTop(s) { return START_HEIGHT + 32 + s * PITCH; }
// The slots that fit in the window, measured once and at each resize.
let slots = 6;
function measureSlots() {
  slots = Math.max(6, Math.floor((innerHeight - list.getBoundingClientRect().top - slotTop(0) - 8) / PITCH));
}
// Every arrow of the page: a straight line from one point to another.
function arrow(n, x1, y1, x2, y2) {
  while (paths.length <= n) {
    paths.push(arrows.appendChild(document.createElementNS('http://www.w3.org/2000/svg', 'path')));
  }
  paths[n].setAttribute('d', `M${x1} ${y1}L${x2} ${y2}`);
}
// A count with its noun, singular for one.
function counted(n, one, many) { return `${n} ${n === 1 ? one : many}`; }
function place(el, x, y) {
  el.style.left = x + 'px';
  el.style.top = y + 'px';
}

// A box's count and existence, as its DOM states them.
function showCount(i, value) {
  const box = boxes[i];
  if (box.dataset.count != value) {
    box.dataset.count = value;
    box.toggleAttribute('hidden', value === 0);
  }
}
function mark(i, name, on) {
  if (i >= 0) boxes[i].toggleAttribute(name, on);
}

function draw() {
  const step = call > 0 ? plan(call) : null;
  const c = step ? step.compares : 0, at = line - c;
  const action = !step ? 'none' : at <= 0 ? 'compare' : !step.isNew ? 'raise' : ['make', 'link', 'head'][at - 1];
  const i = step ? step.i : -1;
  // Counts: the nodes that calls changed, and the running call's node.
  if (callNode >= 0) dirty.add(callNode);
  for (const d of dirty) showCount(d, count[d] + (d === i && at > 0 ? 1 : 0));
  if (i >= 0) showCount(i, count[i] + (at > 0 ? 1 : 0));
  dirty.clear();
  callNode = i;

  const inList = listed + (action === 'head' ? 1 : 0), offset = nodes - inList;
  // The compared nodes stand one lower once a new node is first.
  const shift = action === 'head' ? 1 : 0, comparedUpTo = (action === 'compare' ? line : c) + shift;
  const focus = action === 'compare' ? line - 1 : action === 'raise' ? i - offset : 0;
  mark(first, 'data-first', false);
  first = inList > 0 ? offset : -1;
  mark(first, 'data-first', true);
  mark(touched, 'data-touched', false);
  touched = at > 0 ? i : -1;
  mark(touched, 'data-touched', true);
  mark(cursor, 'data-cursor', false);
  cursor = action === 'compare' ? offset + line - 1 : action === 'raise' ? i : -1;
  mark(cursor, 'data-cursor', true);

  // Which positions the slots show: all of them when they fit, and otherwise
  // the first two, a fold, and a window that ends just after the focus.
  let end = Math.min(inList, Math.max(focus + 2, slots - 1)), windowStart = end;
  const shown = [];
  if (end <= slots - 1) {
    for (let p = 0; p < end; ++p) shown.push(p);
  } else {
    windowStart = end - (slots - 4);
    shown.push(0, 1, -1);
    for (let p = windowStart; p < end; ++p) shown.push(p);
  }
  for (const b of drawn) {
    boxes[b].removeAttribute('data-slot');
    delete boxes[b].dataset.compared;
  }
  drawn = [];
  const middle = $('fold-middle'), tail = $('fold-tail'), nul = $('null');
  middle.hidden = true;
  const x = LEFT, mid = LEFT + boxWidth / 2;
  let s = 0, a = 0;
  for (const p of shown) {
    if (p < 0) {
      const folded = windowStart - 2;
      middle.hidden = false;
      middle.textContent = `\u22EE ${counted(folded, 'node', 'nodes')}` + (comparedUpTo >= windowStart ? ', all compared' : '');
      middle.dataset.nodes = folded;
      place(middle, x, slotTop(s));
    } else {
      const b = offset + p, box = boxes[b];
      drawn.push(b);
      box.dataset.slot = s;
      if (p >= shift && p < comparedUpTo) box.dataset.compared = p - shift + 1;
      const cells = cellsOf(box);
      cells.address.textContent = `${p + 1}. ${box.dataset.address}`;
      cells.count.textContent = `count ${box.dataset.count}`;
      place(box, x, slotTop(s));
    }
    if (s > 0) arrow(a++, mid, slotTop(s - 1) + boxHeight, mid, slotTop(s));
    ++s;
  }
  const atEnd = end === inList;
  nul.hidden = !atEnd;
  tail.hidden = atEnd;
  const last = atEnd ? nul : tail;
  if (!atEnd) {
    tail.textContent = `\u22EE ${counted(inList - end, 'more node', 'more nodes')}` + (comparedUpTo >= inList ? ', all compared' : '') + ', then NULL';
    tail.dataset.nodes = inList - end;
  }
  place(last, atEnd ? mid - nullWidth / 2 : x, slotTop(s));
  if (s > 0) arrow(a++, mid, slotTop(s - 1) + boxHeight, mid, slotTop(s));
  // The start pointer, above the first slot.
  place($('start'), x, 0);
  arrow(a++, mid, START_HEIGHT, mid, slotTop(0));
  $('start-address').textContent = first < 0 ? 'NULL' : boxes[first].dataset.address;
  // A new node stands beside the first slot until the start pointer holds it.
  if (action === 'make' || action === 'link') {
    const box = boxes[i], cells = cellsOf(box);
    cells.address.textContent = `new ${box.dataset.address}`;
    cells.count.textContent = 'count 1';
    box.dataset.slot = 'new';
    drawn.push(i);
    place(box, x + boxWidth + BESIDE, slotTop(0));
    if (action === 'link') {
      // To the old first node's right edge, or to NULL's where the list is empty.
      const right = inList > 0 ? x + boxWidth : mid + nullWidth / 2;
      arrow(a++, x + boxWidth + BESIDE, slotTop(0) + boxHeight / 2, right, slotTop(0) + boxHeight / 2);
    }
  }
  // The cursor p, left of the node it points at.
  const pointer = $('cursor');
  pointer.hidden = cursor < 0;
  if (cursor >= 0) {
    const y = slotTop(Number(boxes[cursor].dataset.slot)) + boxHeight / 2;
    place(pointer, 0, y - 10);
    arrow(a++, 24, y, LEFT, y);
  }
  for (let p = a; p < paths.length; ++p) paths[p].setAttribute('d', '');

  describe(action, step, i);
  const label = line === (step ? step.lines : 0) ? `${call}` : `${call}.${line}`;
  if (location.hash !== '#step=' + label) history.replaceState(null, '', '#step=' + label);
  document.dispatchEvent(new CustomEvent('wrd-step', {detail: {call, line, action, node: at > 0 ? i : cursor}}));
}

// A word set apart from the text around it, so that a right-to-left word
// reads as it is written and moves nothing beside it.
function isolated(word) {
  const el = document.createElement('bdi');
  el.textContent = word;
  return el;
}

// Whether a cut before source[at] keeps characters whole: it must not split a
// surrogate pair, nor part a combining mark from the letter it follows.
const JOINED = /^[\p{M}\uDC00-\uDFFF]/u;
function cuttable(at) {
  return at <= 0 || at >= source.length || !JOINED.test(String.fromCodePoint(source.codePointAt(at)));
}
// At most n code units of the text before or after `at`, cut between
// characters, its blanks as spaces, with "…" where the text goes on.
function before(at, n) {
  let from = Math.max(0, at - n);
  while (from < at && !cuttable(from)) ++from;
  return (from > 0 ? '\u2026' : '') + source.slice(from, at).replace(/\s+/g, ' ');
}
function after(at, n) {
  let to = Math.min(source.length, at + n);
  while (to > at && !cuttable(to)) --to;
  return source.slice(at, to).replace(/\s+/g, ' ') + (to < source.length ? '\u2026' : '');
}

// The call's line, the code's current line, the text strip and the counter.
function describe(action, step, i) {
  const callEl = $('call');
  callEl.dataset.action = action;
  for (const name in codeLines) codeLines[name].toggleAttribute('data-current', name === action);
  slider.value = call;
  $('at').textContent = call === 0 ? `step 0 of ${CALLS.length}` :
    `call ${call} of ${CALLS.length}, line ${line} of ${step.lines}`;
  const what = $('what');
  if (!step) {
    callEl.textContent = 'Before the first call';
    what.textContent = 'The list is empty: the start pointer holds NULL.';
  } else {
    const word = isolated(wordOf(i)), c = step.compares;
    callEl.replaceChildren('add_word("', word, '")');
    what.textContent = {
      compare: line < c || step.isNew ? `p points at node ${line}, which holds another word: p moves on.` :
        `p points at node ${line}, which holds the word: a match.`,
      raise: `The match's count goes up to ${count[i] + 1}.`,
      make: (c === 0 ? 'The list is empty' : c === 1 ? 'Its one node holds another word' :
        `None of its ${c} nodes holds the word`) + ': a new node is made, with count 1, not yet linked.',
      link: `The new node's next now points at the old first node (${listed ? boxes[nodes - listed].dataset.address : 'NULL'}).`,
      head: 'The start pointer now holds the new node: it is first.',
    }[action];
  }
  // The text strip: the words around the current one.
  const text = $('text'), where = $('where');
  const w = call - SEEDS - 1;
  text.textContent = '';
  if (call === 0 || w < 0) {
    where.textContent = call === 0 ? `The text has ${counted(GAPS.length, 'word', 'words')}; wrd adds the ${SEEDS} seed words before it.` :
      `Seed word ${call} of ${SEEDS}: wrd adds these before the text, so the list is never empty when the text begins.`;
    text.append(after(0, 60));
  } else {
    where.textContent = `Word ${w + 1} of ${GAPS.length} of the text`;
    const start = wordStart[w], end = start + lengthOf(i);
    const marked = document.createElement('mark');
    marked.textContent = source.slice(start, end);
    text.append(before(start, 30), marked, after(end, 40));
  }
}

function fromHash() {
  const m = /^#step=(\d+)(?:\.(\d+))?$/.exec(location.hash);
  if (!m) return go(0, 0);
  go(Number(m[1]), m[2] === undefined ? -1 : Number(m[2]));
}

$('first').onclick = () => go(0, 0);
$('prev').onclick = () => go(call - 1, lastLine(call - 1));
$('next').onclick = nextCall;
$('last').onclick = () => go(CALLS.length, lastLine(CALLS.length));
$('prev-line').onclick = previousLine;
$('next-line').onclick = nextLine;
slider.oninput = () => go(Number(slider.value), lastLine(Number(slider.value)));
addEventListener('hashchange', fromHash);
addEventListener('resize', () => {
  measureSlots();
  draw();
});
addEventListener('keydown', (e) => {
  const keys = {ArrowRight: 'next', ArrowLeft: 'prev', ArrowDown: 'next-line', ArrowUp: 'prev-line', Home: 'first', End: 'last'};
  if (e.altKey || e.ctrlKey || e.metaKey || !(e.key in keys)) return;
  e.preventDefault();
  $(keys[e.key]).click();
});

// Reads the run that the boxes and #source show, with its calls, gaps and
// seed count, resets every state, and draws the step that the address names.
function loadRun(calls, gaps, seeds) {
  CALLS = calls;
  GAPS = gaps;
  SEEDS = seeds;
  boxes = [...document.querySelectorAll('#list .node')];
  nodes = boxes.length;
  count = new Int32Array(nodes);
  source = $('source').textContent;
  wordLength = new Int32Array(nodes).fill(-1);
  wordStart = new Int32Array(GAPS.length);
  for (let w = 0, at = 0; w < GAPS.length; ++w) {
    at += GAPS[w];
    wordStart[w] = at;
    at += lengthOf(CALLS[SEEDS + w]);
  }
  listed = applied = call = line = 0;
  drawn = [];
  first = touched = cursor = callNode = -1;
  dirty.clear();
  for (const p of paths) p.setAttribute('d', '');
  slider.max = CALLS.length;
  const sample = boxes.length ? boxes[0] : null;
  if (sample) {
    cellsOf(sample);
    sample.hidden = false;
    sample.dataset.slot = 'measure';
    boxWidth = sample.offsetWidth;
    boxHeight = sample.offsetHeight;
    sample.hidden = true;
    sample.removeAttribute('data-slot');
  }
  nullWidth = $('null').offsetWidth;
  measureSlots();
  fromHash();
}
loadRun(CALLS, GAPS, SEEDS);
