// Every word that the page says, in Czech and in English: its sentences,
// controls, labels, legends, notes, titles and names for screen readers. An
// entry is a string, or a function of the numbers and words it names. The
// elements of page.html name theirs: data-t (their markup), data-t-label
// (aria-label), data-t-title (title). The report's own words (@LIST_START@ as
// print_list writes it) are wrd's, in its spelling, and marked lang="cs" on the page.
const LANGUAGES = ['cs', 'en'];

// n, its digits grouped as `lang` writes them, with the form of `forms` (one,
// few, other) that Intl.PluralRules gives for n in `lang`: in Czech 1 uzel,
// 2-4 uzly, 5 and more uzlů.
const plural = (lang, n, forms) =>
    `${n.toLocaleString(lang)} ${forms[new Intl.PluralRules(lang).select(n)] ?? forms.other}`;
const cs = (n, one, few, other) => plural('cs', n, {one, few, other});
const en = (n, one, other) => plural('en', n, {one, other});
// A number as the page's language writes it, its digits grouped.
const N = (n) => n.toLocaleString(language);
const cz = (word) => `<span lang="cs">${word}</span>`;

const STRINGS = {
  en: {
    title: 'wrd: the run, line by line',
    heading: 'wrd: the run, line by line',
    steps: 'Steps',
    language: 'Language',
    first: 'First',
    firstLabel: 'First step',
    firstTitle: 'First step (Home)',
    prev: '\u25C0 Call',
    prevLabel: 'Previous call',
    prevTitle: 'Previous call (\u2190)',
    prevLine: '\u25B2 Line',
    prevLineLabel: 'Previous line',
    prevLineTitle: 'Previous line (\u2191)',
    nextLine: 'Line \u25BC',
    nextLineLabel: 'Next line',
    nextLineTitle: 'Next line (\u2193)',
    next: 'Call \u25B6',
    nextLabel: 'Next call',
    nextTitle: 'Next call (\u2192)',
    last: 'Last',
    lastLabel: 'Last step',
    lastTitle: 'Last step (End)',
    slider: 'Call',
    tools: 'Play and find',
    play: '\u25B6 Play',
    playLabel: 'Play: step on by itself',
    playTitle: 'Play (P); any key stops it',
    stop: '\u25A0 Stop',
    stopLabel: 'Stop playing',
    speed: 'Speed',
    perSecond: (n) => `${en(n, 'step', 'steps')}/s`,
    find: 'Find a word',
    findTitle:
        'Find a word (/): Enter goes to the call that makes it, then to each next call that records it',
    findHolder: 'word',
    findGo: 'Find',
    newNode: 'New node \u21E2',
    newNodeLabel: 'Next new node',
    newNodeTitle: 'Next new node (N)',
    miss: 'Miss \u21E2',
    missLabel: 'Next miss',
    missTitle: 'Next miss: the loop ends without a match (M)',
    copy: 'Copy link',
    copyLabel: 'Copy link to this step',
    copied: 'The link to this step is copied.',
    copyFailed: 'The browser lets the page copy nothing here: copy the address from its bar.',
    noLink: 'The text of this run is too long for a link: see under the text box.',
    linkTooLong: (kib) => `The text is too long for a link: packed, it takes ${kib} KiB, and an address ` +
        'carries at most 32 KiB. Save the report above, or save the text and load its file here.',
    saveText: 'Save the text',
    loadText: 'Load a text file:',
    badLink: 'The text that the address carries cannot be read: this is the run shown before.',
    theCall: 'The call',
    code: 'The code that wrd runs: add_word for each word, then print_list and free_list',
    printed: 'What print_list has written',
    copyComment: '// A copy of word, or nullptr if memory runs out.',
    list: 'The list',
    tryLabel: '<b>Try your own text</b>: wrd\'s own add_word runs it in this page.',
    run: 'Run',
    tryStop: 'Stop',
    report: 'The report that print_list wrote',
    save: 'Save it',
    then: '(then: wrd-dot -T svg &lt; wrd.report &gt; list.svg)',
    memory: 'the list in memory',
    inMemory: 'In memory',
    memoryNote: 'Run a text in the page to see its nodes in the module\'s memory, in address order.',
    about: 'About the page',
    about1: 'This is the algorithm that wrd runs for each word, as C++ that compiles. The real code ' +
        '(word_list/word_list.cpp) adds a prefetch of the next node and a test of the first two bytes ' +
        'before each strcmp. wrd records the four seed words pokus, druhy, pokus, pokus before the text, ' +
        'so that every run\'s list ends with druhy and pokus.',
    about2: 'A new node\'s next is written before the start pointer, so that the list is whole at every ' +
        'moment: the old first node is reachable from the new one before the new one is reachable from the ' +
        'start.',
    about3: `\u201C${cz('@LIST_START@')}\u201D (the start of the list) is the report's name for the ` +
        'start pointer, <code>*list</code>, and <b>p</b> is the cursor. Each box shows its position in the ' +
        'list and its address, its count and its word, and its next field: the address of the node after ' +
        'it, or NULL.<br><span class="key first"></span> the node the start pointer holds ' +
        '<span class="key compared"></span> compared by this call, in order<br>' +
        '<span class="key touched"></span> raised or made by this call <span class="key cursor"></span> ' +
        'the node p points at<br><span class="key fold"></span> a fold: two or more nodes that the window ' +
        'has no room for, counted, with an arrow through them',
    keys: 'Keys: \u2192 the end of the call, or of the next one; \u2190 the end of the previous call; ' +
        '\u2193 and \u2191 the next and previous line, Home and End the first and last step; P plays and ' +
        'any key stops; / finds a word; N goes to the next new node, M to the next miss. Back and Forward ' +
        'retrace the steps taken. The address ends in #step=K (after call K) or #step=K.J (step J within ' +
        'call K), and &amp;lang=cs or &amp;lang=en where a language was chosen.',
    // What page.js says.
    runHas: (n) => `The run has ${en(n, 'call', 'calls')}: this is the last.`,
    callHas: (k, steps, j) => `Call ${N(k)} has ${en(steps, 'step', 'steps')}: this is the nearest to ${j}.`,
    noSteps: 'Step 0 has no steps within it: this is step 0.',
    noStep: 'The address names no step (it takes #step=K or #step=K.J): this is step 0.',
    nearest: (asked, shown) => `#step=${asked} is not written K or K.J: this is the nearest step, ${shown}.`,
    notFound: (word) => `\u201C${word}\u201D is not a word of this run.`,
    noMore: (word) => `No later call records \u201C${word}\u201D: this is the call that makes it.`,
    noNew: 'No call after this step makes a new node: the step stays.',
    noMiss: 'No call after this step misses: the step stays.',
    fold: (n, all, tail) =>
        `\u22EE ${en(n, 'node', 'nodes')} folded${all ? ', all compared' : ''}${tail ? ', then NULL' : ''}`,
    count: 'count',
    nextField: 'next',
    newBox: 'new',
    unlinkedBox: 'unlinked',
    atZero: (n) => `step 0 of ${en(n, 'call', 'calls')}`,
    at: (k, n, j, m) => `call ${N(k)} of ${N(n)}, step ${N(j)} of ${N(m)}`,
    atFn: (fn, j, m) => `${fn}, step ${N(j)} of ${N(m)}`,
    before: 'Before the first call',
    none: 'The list is empty: the start pointer holds NULL.',
    other: (k) => `p points at node ${N(k)}, which holds another word: p moves on.`,
    match: (k) => `p points at node ${N(k)}, which holds the word: a match.`,
    raise: (n) => `The match's count goes up to ${N(n)}.`,
    missEmpty: 'The list is empty: p starts as nullptr, the loop ends at once, and the word is not found.',
    missOne: 'p is nullptr: the loop ends, and the list\'s one node does not hold the word.',
    missMany: (c) => `p is nullptr: the loop ends, and none of the list's ${N(c)} nodes holds the word.`,
    make: 'A new node is made: count 1, next NULL, not yet linked.',
    link: (old) => `The new node's next now holds the old first node's address (${old}).`,
    linkEmpty: 'The new node\'s next now holds the start pointer\'s NULL: the list was empty.',
    head: (address) => `The start pointer now holds the new node's address (${address}): it is first.`,
    printEmpty: 'The list is empty: print_list writes that it is, and nothing else.',
    printStart: 'print_list writes the start line: the start pointer\'s address.',
    printNode: (k) => `p points at node ${N(k)}: print_list writes its line, and p moves on.`,
    printLast: (k) =>
        `p points at node ${N(k)}, the last: print_list writes its line, and the report is whole.`,
    unlink: 'The start pointer takes the node\'s next before the node is released: once it is deleted, ' +
        'reading node->next would read freed memory.',
    freeWordStep: 'The node\'s copy of its word is released first, while the node still holds its address.',
    freeNodeStep: (left) => `The node is released: ${en(left, 'node is', 'nodes are')} left.`,
    freeLast: 'The last node is released: the start pointer holds NULL, so the loop ends and free_list ' +
        'returns true.',
    freeEmpty: 'The list is empty: free_list returned false and released nothing.',
    callCost: (call, total) => `This call has compared ${en(call, 'node', 'nodes')} so far; the run, ` +
        `${en(total, 'node', 'nodes')} since it began.`,
    runCost: (total) => `The run compared ${en(total, 'node', 'nodes')} in all.`,
    costChart: 'Nodes compared by the run, against the calls of add_word',
    costCaption: 'Each word is looked for by a walk from the first node: the run\'s compares (measured) ' +
        'grow with the list, near the estimate n \u00D7 d / 2 for n words of which d are distinct, where a ' +
        'hash table would look once per word. The line marks the call shown.',
    chartCalls: 'calls of add_word',
    chartCompares: 'nodes compared',
    measured: 'measured',
    estimate: 'estimate: n \u00D7 d / 2',
    hash: 'hash table: one per word',
    textHas: (n, seeds) =>
        `The text has ${en(n, 'word', 'words')}; wrd records the ${seeds} seed words before it.`,
    seed: (k, seeds) =>
        `Seed word ${k} of ${seeds}: wrd records these before the text, so that every run's list ends with ` +
        'druhy and pokus.',
    word: (w, n) => `Word ${N(w)} of ${N(n)} of the text`,
    // What try.js says.
    tooLong: (n) =>
        `The text is ${n.toLocaleString('en')} bytes, more than the 1 MiB (1,048,576 bytes) that ` +
        'the page runs: the run shown stays.',
    empty: 'The text is empty: wrd prints nothing for it and ends with status 2. The run shown stays.',
    running: 'Running\u2026',
    runningAt: (percent) => `Running: ${percent}% of the text\u2026`,
    drawing: 'Drawing the list\u2026',
    ran: (calls, nodes, seconds, lost) =>
        `${en(calls, 'call', 'calls')} of add_word, ${en(nodes, 'node', 'nodes')}, in ${seconds} s.` +
        (lost === null ? '' : STRINGS.en.ranOut(lost)),
    ranOut: (lost) => ` The module's memory could not grow: ${en(lost, 'word was', 'words were')} lost; ` +
        'the words after each were still counted, as wrd does when it ends with status 5.',
    stopped: 'Stopped: the run shown stays.',
    failed: (message) => `The page could not run the text: ${message}`,
    freeNode: (address) => `<b>${address}</b> free: no node of this run stands here yet`,
    nodeOf: (address, word) => `<b>${address}</b> node of "${word}"`,
    freeWord: (address) => `<b>${address}</b> free: no word of this run stands here yet`,
    freedNode: (address) => `<b>${address}</b> free: free_list released this node`,
    freedWord: (address) => `<b>${address}</b> free: free_list released this word`,
    wordAt: (address) => `<b>${address}</b> word`,
    bytes: (n) => `${N(n)} bytes`,
    startCell: (address) => `<b>${address}</b> the start pointer: list in the module, as data in wrd's main`,
    cells: (n, size, overhead, alignment, step) => `${en(n, 'node', 'nodes')} of ${size} bytes, and their ` +
        'words, as they lie in the module\'s memory at this step, lowest address first, after the start ' +
        'pointer. The module is 32-bit WebAssembly, so an address, and a pointer, is 4 bytes, little-endian; ' +
        'on a 64-bit PC it is 8, as the longer addresses of wrd\'s own report show. The allocator keeps ' +
        `${en(overhead, 'byte', 'bytes')} of its own before each block and starts each at a multiple of ` +
        `${alignment}, as measured in the module: so a node takes ${step} bytes, and blocks stand that far ` +
        'apart or more.',
  },
  cs: {
    title: 'wrd: běh programu řádek po řádku',
    heading: 'wrd: běh programu řádek po řádku',
    steps: 'Kroky',
    language: 'Jazyk',
    first: 'První',
    firstLabel: 'První krok',
    firstTitle: 'První krok (Home)',
    prev: '\u25C0 Volání',
    prevLabel: 'Předchozí volání',
    prevTitle: 'Předchozí volání (\u2190)',
    prevLine: '\u25B2 Řádek',
    prevLineLabel: 'Předchozí řádek',
    prevLineTitle: 'Předchozí řádek (\u2191)',
    nextLine: 'Řádek \u25BC',
    nextLineLabel: 'Další řádek',
    nextLineTitle: 'Další řádek (\u2193)',
    next: 'Volání \u25B6',
    nextLabel: 'Další volání',
    nextTitle: 'Další volání (\u2192)',
    last: 'Poslední',
    lastLabel: 'Poslední krok',
    lastTitle: 'Poslední krok (End)',
    slider: 'Volání',
    tools: 'Přehrávání a hledání',
    play: '\u25B6 Přehrát',
    playLabel: 'Přehrát: kroky jdou samy',
    playTitle: 'Přehrát (P); zastaví je kterákoli klávesa',
    stop: '\u25A0 Zastavit',
    stopLabel: 'Zastavit přehrávání',
    speed: 'Rychlost',
    perSecond: (n) => `${cs(n, 'krok', 'kroky', 'kroků')}/s`,
    find: 'Najít slovo',
    findTitle: 'Najít slovo (/): Enter přejde na volání, které pro ně vytvoří uzel, a pak na každé další ' +
        'volání, které je započítá',
    findHolder: 'slovo',
    findGo: 'Najít',
    newNode: 'Nový uzel \u21E2',
    newNodeLabel: 'Další nový uzel',
    newNodeTitle: 'Další nový uzel (N)',
    miss: 'Nenalezené \u21E2',
    missLabel: 'Další nenalezené slovo',
    missTitle: 'Další nenalezené slovo: cyklus skončí bez shody (M)',
    copy: 'Kopírovat odkaz',
    copyLabel: 'Kopírovat odkaz na tento krok',
    copied: 'Odkaz na tento krok je zkopírován.',
    copyFailed: 'Prohlížeč tu stránce kopírování nedovolí: zkopírujte adresu z jeho adresního řádku.',
    noLink: 'Text tohoto běhu je na odkaz příliš dlouhý: viz pod textovým polem.',
    linkTooLong: (kib) => `Text je na odkaz příliš dlouhý: zabalený zabere ${kib} KiB a adresa pojme ` +
        'nejvýše 32 KiB. Uložte výpis výše, nebo uložte text a načtěte sem jeho soubor.',
    saveText: 'Uložit text',
    loadText: 'Načíst textový soubor:',
    badLink: 'Text, který adresa nese, nelze přečíst: toto je dříve zobrazený běh.',
    theCall: 'Volání',
    code: 'Kód, který wrd provede: add_word pro každé slovo, pak print_list a free_list',
    printed: 'Co funkce print_list dosud vypsala',
    copyComment: '// Kopie slova, nebo nullptr, když dojde paměť.',
    list: 'Seznam',
    tryLabel: '<b>Vyzkoušejte vlastní text</b>: zpracuje ho přímo na této stránce funkce add_word ' +
        'z programu wrd.',
    run: 'Spustit',
    tryStop: 'Zastavit',
    report: 'Výpis, který vytiskla funkce print_list',
    save: 'Uložit',
    then: '(potom: wrd-dot -T svg &lt; wrd.report &gt; list.svg)',
    memory: 'seznam v paměti',
    inMemory: 'V paměti',
    memoryNote: 'Spusťte na stránce text a uvidíte jeho uzly v paměti modulu, seřazené podle adres.',
    about: 'O stránce',
    about1: 'Toto je algoritmus, který wrd provede pro každé slovo, zapsaný jako přeložitelný kód v C++. ' +
        'Skutečný kód (word_list/word_list.cpp) navíc předem načítá další uzel a před každým voláním strcmp ' +
        'porovná první dva bajty. Před textem wrd zaznamená čtyři počáteční slova pokus, druhy, pokus, pokus, ' +
        'takže seznam každého běhu končí slovy druhy a pokus.',
    about2: 'Ukazatel next nového uzlu se zapíše dřív než ukazatel na začátek seznamu, takže seznam je ' +
        'v každém okamžiku celý: starý první uzel je dosažitelný z nového dřív, než je nový dosažitelný ' +
        'ze začátku.',
    about3: `\u201E${cz('@LIST_START@')}\u201C je ve výpisu název ukazatele na začátek seznamu, ` +
        '<code>*list</code>, a <b>p</b> je ukazatel, který seznamem prochází. Každý rámeček ukazuje pořadí ' +
        'uzlu v seznamu, jeho adresu, počet výskytů, slovo a ukazatel next: adresu následujícího uzlu, ' +
        'nebo NULL.<br><span class="key first"></span> uzel, na který ukazuje začátek seznamu ' +
        '<span class="key compared"></span> porovnaný tímto voláním, v pořadí<br>' +
        '<span class="key touched"></span> zvýšený nebo vytvořený tímto voláním ' +
        '<span class="key cursor"></span> uzel, na který ukazuje p<br><span class="key fold"></span> ' +
        'sbalené uzly: dva nebo více uzlů, pro které v okně není místo, s jejich počtem a šipkou skrz',
    keys: 'Klávesy: \u2192 konec volání, nebo konec dalšího; \u2190 konec předchozího volání; \u2193 a ' +
        '\u2191 další a předchozí řádek, Home a End první a poslední krok; P spustí přehrávání a kterákoli ' +
        'klávesa ho zastaví; / hledá slovo; N přejde na další nový uzel, M na další nenalezené slovo. ' +
        'Tlačítka Zpět a Vpřed v prohlížeči procházejí kroky znovu. Adresa končí #step=K (po volání K) nebo ' +
        '#step=K.J (krok J volání K), a po volbě jazyka &amp;lang=cs nebo &amp;lang=en.',
    runHas: (n) => `Běh má ${cs(n, 'volání', 'volání', 'volání')}: toto je poslední.`,
    callHas: (k, steps, j) =>
        `Volání ${N(k)} má ${cs(steps, 'krok', 'kroky', 'kroků')}: toto je krok nejbližší ke kroku ${j}.`,
    noSteps: 'Krok 0 nemá žádné dílčí kroky: toto je krok 0.',
    noStep: 'Adresa neurčuje žádný krok (má tvar #step=K nebo #step=K.J): toto je krok 0.',
    nearest: (asked, shown) => `#step=${asked} nemá tvar K ani K.J: toto je nejbližší krok, ${shown}.`,
    notFound: (word) => `Slovo \u201E${word}\u201C v tomto běhu není.`,
    noMore: (word) => `Slovo \u201E${word}\u201C už žádné další volání nezapočítá: toto je volání, které ` +
        'pro ně vytvoří uzel.',
    noNew: 'Po tomto kroku už žádné volání nevytvoří nový uzel: krok zůstává.',
    noMiss: 'Po tomto kroku už žádné volání neskončí bez shody: krok zůstává.',
    fold: (n, all, tail) => `\u22EE ${cs(n, 'sbalený uzel', 'sbalené uzly', 'sbalených uzlů')}` +
        `${all ? ', všechny porovnány' : ''}${tail ? ', pak NULL' : ''}`,
    count: 'počet',
    nextField: 'další',
    newBox: 'nový',
    unlinkedBox: 'odpojený',
    atZero: (n) => `krok 0 z ${N(n)} volání`,
    at: (k, n, j, m) => `volání ${N(k)} z ${N(n)}, krok ${N(j)} z ${N(m)}`,
    atFn: (fn, j, m) => `${fn}, krok ${N(j)} z ${N(m)}`,
    before: 'Před prvním voláním',
    none: 'Seznam je prázdný: ukazatel na začátek seznamu má hodnotu NULL.',
    other: (k) => `p ukazuje na uzel ${N(k)}, který obsahuje jiné slovo: p se posune dál.`,
    match: (k) => `p ukazuje na uzel ${N(k)}, který obsahuje hledané slovo: shoda.`,
    raise: (n) => `Počet výskytů nalezeného slova se zvýší na ${N(n)}.`,
    missEmpty: 'Seznam je prázdný: p má hned na začátku hodnotu nullptr, cyklus ihned skončí a slovo ' +
        'se nenajde.',
    missOne: 'p má hodnotu nullptr: cyklus končí a jediný uzel seznamu slovo neobsahuje.',
    missMany: (c) => `p má hodnotu nullptr: cyklus končí a slovo neobsahuje žádný z ${N(c)} uzlů seznamu.`,
    make: 'Vytvoří se nový uzel: počet výskytů 1, next NULL, zatím není připojen.',
    link: (old) => `Ukazatel next nového uzlu teď obsahuje adresu dosavadního prvního uzlu (${old}).`,
    linkEmpty: 'Ukazatel next nového uzlu teď obsahuje NULL z ukazatele na začátek: seznam byl prázdný.',
    head: (address) => `Ukazatel na začátek seznamu teď obsahuje adresu nového uzlu (${address}): ` +
        'nový uzel je první.',
    printEmpty: 'Seznam je prázdný: print_list vypíše jen to, že je prázdný.',
    printStart: 'print_list vypíše úvodní řádek: adresu, kterou drží ukazatel na začátek seznamu.',
    printNode: (k) => `p ukazuje na uzel ${N(k)}: print_list vypíše jeho řádek a p se posune dál.`,
    printLast: (k) => `p ukazuje na uzel ${N(k)}, poslední: print_list vypíše jeho řádek a výpis je celý.`,
    unlink: 'Ukazatel na začátek převezme next uzlu dřív, než se uzel uvolní: po jeho smazání by čtení ' +
        'node->next četlo uvolněnou paměť.',
    freeWordStep: 'Nejdřív se uvolní kopie slova, dokud uzel ještě drží její adresu.',
    freeNodeStep: (left) => `Uzel se uvolní. Zbývající uzly: ${N(left)}.`,
    freeLast:
        'Uvolní se poslední uzel: ukazatel na začátek má hodnotu NULL, cyklus tedy skončí a free_list ' +
        'vrátí true.',
    freeEmpty: 'Seznam je prázdný: free_list vrátila false a nic neuvolnila.',
    callCost: (call, total) => `Toto volání zatím porovnalo ${cs(call, 'uzel', 'uzly', 'uzlů')}; běh od ` +
        `začátku ${cs(total, 'uzel', 'uzly', 'uzlů')}.`,
    runCost: (total) => `Běh porovnal celkem ${cs(total, 'uzel', 'uzly', 'uzlů')}.`,
    costChart: 'Uzly porovnané během, podle volání funkce add_word',
    costCaption: 'Každé slovo se hledá průchodem od prvního uzlu: porovnání běhu (změřená) rostou se ' +
        'seznamem, blízko odhadu n \u00D7 d / 2 pro n slov, z nichž d je různých, kde by hašovací tabulka ' +
        'hledala jednou na slovo. Svislá čára označuje zobrazené volání.',
    chartCalls: 'volání add_word',
    chartCompares: 'porovnané uzly',
    measured: 'změřeno',
    estimate: 'odhad: n \u00D7 d / 2',
    hash: 'hašovací tabulka: jednou na slovo',
    textHas: (n, seeds) =>
        `Text má ${cs(n, 'slovo', 'slova', 'slov')}; wrd před ním zaznamená ${seeds} počáteční slova.`,
    seed: (k, seeds) => `Počáteční slovo ${N(k)} z ${seeds}: wrd je zaznamená před textem, takže seznam ` +
        'každého běhu končí slovy druhy a pokus.',
    word: (w, n) => `Slovo ${N(w)} z ${cs(n, 'slova', 'slov', 'slov')} textu`,
    tooLong: (n) => `Text má ${n.toLocaleString('cs')} bajtů, ` +
        'víc než 1 MiB (1 048 576 bajtů), který stránka zpracuje: zůstává zobrazen předchozí běh.',
    empty: 'Text je prázdný: wrd pro něj nic nevypíše a skončí s návratovým kódem 2. Zůstává zobrazen ' +
        'předchozí běh.',
    running: 'Běží\u2026',
    runningAt: (percent) => `Běží: ${percent} % textu\u2026`,
    drawing: 'Kreslím seznam\u2026',
    ran: (calls, nodes, seconds, lost) => `${cs(calls, 'volání', 'volání', 'volání')} funkce add_word, ` +
        `${cs(nodes, 'uzel', 'uzly', 'uzlů')}, za ${seconds.replace('.', ',')} s.` +
        (lost === null ? '' : STRINGS.cs.ranOut(lost)),
    ranOut: (lost) => ` Paměť modulu se nemohla zvětšit: ` +
        `${cs(lost, 'slovo se ztratilo', 'slova se ztratila', 'slov se ztratilo')}; slova za nimi se dál ` +
        'počítala, stejně jako když wrd skončí s návratovým kódem 5.',
    stopped: 'Zastaveno: zůstává zobrazen předchozí běh.',
    failed: (message) => `Stránka nemohla text zpracovat: ${message}`,
    freeNode: (address) => `<b>${address}</b> volné: zatím tu nestojí žádný uzel tohoto běhu`,
    nodeOf: (address, word) => `<b>${address}</b> uzel slova \u201E${word}\u201C`,
    freeWord: (address) => `<b>${address}</b> volné: zatím tu nestojí žádné slovo tohoto běhu`,
    freedNode: (address) => `<b>${address}</b> volné: tento uzel uvolnila funkce free_list`,
    freedWord: (address) => `<b>${address}</b> volné: toto slovo uvolnila funkce free_list`,
    wordAt: (address) => `<b>${address}</b> slovo`,
    bytes: (n) => cs(n, 'bajt', 'bajty', 'bajtů'),
    startCell: (address) => `<b>${address}</b> ukazatel na začátek seznamu: list v modulu, ve wrd ` +
        'proměnná data ve funkci main',
    cells: (n, size, overhead, alignment, step) => `${cs(n, 'uzel', 'uzly', 'uzlů')} po ${size} bajtech ` +
        'a jejich slova, jak leží v paměti modulu v tomto kroku, od nejnižší adresy, za ukazatelem na ' +
        'začátek seznamu. Modul je 32bitový WebAssembly, takže adresa, a tedy i ukazatel, má 4 bajty ' +
        'v pořadí little-endian; na 64bitovém PC má 8, jak ukazují delší adresy ve výpisu samotného wrd. ' +
        `Alokátor si před každým blokem drží ${cs(overhead, 'bajt', 'bajty', 'bajtů')} vlastních údajů ` +
        `a každý blok začíná na násobku ${alignment}, jak bylo změřeno v modulu: uzel tak zabere ` +
        `${cs(step, 'bajt', 'bajty', 'bajtů')} a bloky od sebe stojí nejméně tak daleko.`,
  },
};

// The language that the page speaks, and the words of the address that ask
// for it; the browser's first language of the two, else English.
let language = navigator.languages.map((l) => l.slice(0, 2).toLowerCase()).find((l) => STRINGS[l]) ?? 'en';
let languageChosen = false;

// The words of `key` in the page's language, given `args` where it takes them.
function t(key, ...args) {
  const entry = STRINGS[language][key];
  return typeof entry === 'function' ? entry(...args) : entry;
}

// Elements whose text is a sentence of the table, said again in the other
// language when it changes: each element's key and arguments.
const spoken = new Map();
function say(element, key, ...args) {
  if (key === null) {
    spoken.delete(element);
    element.textContent = '';
    return;
  }
  spoken.set(element, [key, args]);
  element.textContent = t(key, ...args);
}

// Puts the page's static words in `lang`, and what was said in it again.
function speak(lang) {
  language = lang;
  document.documentElement.lang = lang;
  document.title = t('title');
  for (const el of document.querySelectorAll('[data-t]')) el.innerHTML = t(el.dataset.t);
  for (const el of document.querySelectorAll('[data-t-label]'))
    el.setAttribute('aria-label', t(el.dataset.tLabel));
  for (const el of document.querySelectorAll('[data-t-title]')) el.title = t(el.dataset.tTitle);
  for (const el of document.querySelectorAll('[data-t-holder]')) el.placeholder = t(el.dataset.tHolder);
  for (const el of document.querySelectorAll('option[data-per-second]')) {
    el.textContent = t('perSecond', Number(el.dataset.perSecond));
  }
  for (const [el, [key, args]] of spoken) el.textContent = t(key, ...args);
  const select = document.getElementById('lang');
  if (select) select.value = lang;
}
