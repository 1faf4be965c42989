// The page: the two filters' dialogs as web controls, driving the module in a
// worker (velk-worker.js defines its source as VELK_WORKER_SOURCE, so that
// the page works from file: URLs too).
/* global VELK_WORKER_SOURCE */
'use strict';

(() => {
  const PREVIEW_WIDTH = 364;
  const PREVIEW_HEIGHT = 360;
  const FILTERS = ['velk3d', 'velk2000']; // the module's VELK_3D, VELK_2000
  const RECORD_APPLIED = 0;
  const RECORD_PRESET = 1;
  const RECORD_SIZE = 64;
  const SOURCES = ['Foreground', 'Background', 'Picker', 'Transparent'];
  const SOURCE_PICKER = 2;
  const SOURCE_TRANSPARENT = 3;
  const PRESETS_STORAGE = 'velk-user-presets';

  // Where each control goes, by option name: sliders along the preview's top
  // and left edges, then the dialog's groups (span: columns of six; cells:
  // rows side by side), row by row. An item is an option name or
  // {o, n (one number of a pair), label, style}; a row is a list of items or
  // {heading, items}.
  const LAYOUTS = {
    velk3d: {
      opensOn: 'Velkstone',
      top: [{ o: 'tile-width', label: 'Tile width' }],
      left: [{ o: 'tile-height', label: 'Tile height' }],
      groups: [
        { title: 'G-Shading', span: 3, cells: true, rows: [[{ o: 'g-shading', label: '' }]] },
        { title: 'Stretch', span: 3, cells: true, rows: [[{ o: 'stretch', label: '' }, 'x2']] },
        {
          title: 'Tiles',
          span: 3,
          rows: [['s-bevel-width'], ['s-shading'], [{ o: 'orientation', label: 'Shaded faces' }], [{ o: 'fill', label: 'BkgrColor' }]],
        },
        { title: 'Light correction', span: 3, rows: [['brightness-ratio'], ['light-boosting'], ['saturation']] },
      ],
      footer: ['antialiasing'],
      // The toggle's three pictures: which faces of a tile S-Shading darkens.
      toggleFaces: { orientation: [[1, 1, 0, 0], [0, 1, 0, 1], [0, 1, 1, 0]] },
    },
    velk2000: {
      opensOn: 'e-Flowers',
      top: [
        { o: 'stage1-spacing', n: 0, label: 'Columns, first stage' },
        { o: 'stage2-spacing', n: 0, label: 'Columns, second stage' },
      ],
      left: [
        { o: 'stage1-spacing', n: 1, label: 'Rows 1' },
        { o: 'stage2-spacing', n: 1, label: 'Rows 2' },
      ],
      groups: [
        {
          title: 'G-Shading',
          span: 4,
          cells: true,
          rows: [
            [{ o: 'stage1-g-shading', label: 'First stage' }, { o: 'stage1-gradient-color', label: '' }],
            [{ o: 'stage2-g-shading', label: 'Second stage' }, { o: 'stage2-gradient-color', label: '' }],
            [{ o: 'curve', label: 'Curve', style: 'diamond' }, { o: 'curve-shape', label: '' }],
          ],
        },
        {
          title: 'Stretch',
          span: 2,
          cells: true,
          rows: [
            [{ o: 'stage1-stretch', label: 'First stage' }, 'stage1-x2'],
            [{ o: 'stage2-stretch', label: 'Second stage' }, 'stage2-x2'],
          ],
        },
        {
          title: 'Side shadows',
          span: 6,
          rows: [
            { heading: '1', items: ['stage1-s-shading', 'stage1-s-blur', { o: 'stage1-orientation', label: '' }, { o: 'stage1-side-color', label: '' }] },
            { heading: '2', items: ['stage2-s-shading', 'stage2-s-blur', { o: 'stage2-orientation', label: '' }, { o: 'stage2-side-color', label: '' }] },
          ],
        },
        { title: 'Light correction', span: 3, rows: [['brightness-ratio'], ['light-exiting'], ['saturation']] },
        { title: 'Canvas', span: 3, rows: [['offset'], ['deformation', 'white-canvas', 'bg-color']] },
        { title: 'Tools', span: 6, tools: true },
      ],
      footer: ['antialiasing'],
      toggleFaces: {},
    },
  };

  // The save pop-up's two boxes.
  const SAVE_BOXES = {
    velk3d: ['Save Background Color', 'Save Light Correction'],
    velk2000: ['Save Color Settings', 'Save Light Correction'],
  };

  // The registry keys of user presets, below the hive, as the plug-ins and
  // the command line keep them; "Last Used" is no user preset.
  const { LAST_USED, MAX_NAME_BYTES, utf8Length } = VelkRegistry;

  const $ = (id) => document.getElementById(id);

  function el(tag, attrs = {}, ...children) {
    const node = document.createElement(tag);
    for (const [k, v] of Object.entries(attrs)) {
      if (v === null || v === undefined || v === false) continue;
      if (k === 'class') node.className = v;
      else if (k === 'text') node.textContent = v;
      else node.setAttribute(k, v === true ? '' : String(v));
    }
    node.append(...children.filter((c) => c !== null && c !== undefined));
    return node;
  }

  let uidCount = 0;
  const uid = (prefix) => `${prefix}-${++uidCount}`;
  const clamp = (v, lo, hi) => Math.min(hi, Math.max(lo, v));

  // ---- The worker --------------------------------------------------------------

  const worker = new Worker(
    URL.createObjectURL(new Blob([VELK_WORKER_SOURCE], { type: 'text/javascript' })),
  );
  const waiting = new Map();
  let nextId = 1;
  let latestId = 0;

  function call(type, args = {}, transfer = []) {
    const id = nextId++;
    latestId = id;
    const answered = new Promise((resolve) => waiting.set(id, resolve));
    worker.postMessage({ ...args, type, id }, transfer);
    showBusy();
    return answered;
  }

  worker.onmessage = (event) => {
    const msg = event.data;
    if (msg.type === 'progress') return showProgress(msg.phase, msg.done, msg.total);
    if (msg.type === 'ready') return started();
    if (msg.type === 'failed') return showStatus(`The filter module did not start: ${msg.error}`, 'error');
    const resolve = waiting.get(msg.id);
    waiting.delete(msg.id);
    // Only the answer to the newest command describes the state the page
    // has asked for; older ones would move widgets back under the pointer.
    if (msg.state && msg.id === latestId) applyState(msg.state);
    if (!msg.ok) showStatus(msg.error, 'error');
    else if (msg.warning) showStatus(msg.warning, 'warning');
    showBusy();
    if (resolve) resolve(msg);
  };
  worker.onerror = (e) => showStatus(`The filter module failed: ${e.message}`, 'error');

  // Work still to come (commands, a waiting preview, files being read), for
  // the busy cursor and for tests.
  let reading = 0;
  function showBusy() {
    const pending = waiting.size + (preview.wanted ? 1 : 0) + reading;
    document.documentElement.dataset.pending = String(pending);
  }

  async function readFile(file) {
    reading++;
    showBusy();
    try {
      return await file.arrayBuffer();
    } finally {
      reading--;
      showBusy();
    }
  }

  // ---- State ---------------------------------------------------------------------

  const state = {
    filter: 'velk3d',
    controls: [],
    byOption: new Map(),
    values: [],
    tools: null,
    factory: [],
    image: null, // {width, height, channels, name}
    host: { foreground: [0, 0, 0], background: [255, 255, 255] },
  };
  let widgets = [];

  function applyState(s) {
    if (s.values.length !== state.controls.length) return;
    state.values = s.values;
    state.tools = s.tools;
    refreshWidgets();
  }

  function refreshWidgets() {
    for (const update of widgets) update();
  }

  function showStatus(text, kind = 'info') {
    const status = $('status');
    status.textContent = text;
    status.dataset.kind = kind;
  }

  // ---- The preview -------------------------------------------------------------------

  // At most one render runs; changes during it make one more wait, and any
  // further change joins that one. since: the oldest event not yet shown.
  const preview = { running: false, wanted: false, since: null };
  window.velkStats = [];

  function changed(event) {
    if (preview.since === null) preview.since = event && event.timeStamp ? event.timeStamp : performance.now();
    requestPreview();
  }

  async function requestPreview() {
    if (!state.image) return;
    if (preview.running) {
      preview.wanted = true;
      showBusy();
      return;
    }
    const since = preview.since;
    preview.since = null;
    preview.running = true;
    const answer = await call('preview');
    preview.running = false;
    if (answer.ok) drawPreview(answer, since);
    if (preview.wanted) {
      preview.wanted = false;
      requestPreview();
    }
    showBusy();
  }

  function drawPreview(answer, since) {
    const canvas = $('preview');
    const pixels = new Uint8ClampedArray(answer.pixels.buffer);
    canvas.getContext('2d').putImageData(new ImageData(pixels, PREVIEW_WIDTH, PREVIEW_HEIGHT), 0, 0);
    $('drop-hint').hidden = true;
    if (since !== null) window.velkStats.push(performance.now() - since);
  }

  function clearPreview() {
    const canvas = $('preview');
    canvas.getContext('2d').clearRect(0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT);
    $('drop-hint').hidden = false;
  }

  // ---- Changing controls ------------------------------------------------------------------

  function setNumbers(control, numbers, event) {
    const c = state.controls[control];
    let any = false;
    for (const [number, raw] of numbers) {
      const value = clamp(Math.round(raw), c.min, c.max);
      if (state.values[control][number] === value) continue;
      state.values[control][number] = value;
      call('set', { control, number, value });
      any = true;
    }
    if (!any) return;
    refreshWidgets();
    changed(event);
  }

  function setColour(control, source, rgb, event) {
    state.values[control][0] = source;
    if (rgb) rgb.forEach((v, k) => (state.values[control][k + 1] = v));
    call('colour', { control, source, rgb });
    refreshWidgets();
    changed(event);
  }

  // Pointer drags on a widget: onPoint gets the pointer's place in rail as
  // fractions 0..1 of its width and height.
  function dragOn(target, rail, onPoint) {
    const move = (e) => {
      const r = rail.getBoundingClientRect();
      onPoint(clamp((e.clientX - r.left) / r.width, 0, 1), clamp((e.clientY - r.top) / r.height, 0, 1), e);
    };
    target.addEventListener('pointerdown', (e) => {
      if (e.button !== 0) return;
      e.preventDefault();
      target.setPointerCapture(e.pointerId);
      target.focus();
      move(e);
    });
    target.addEventListener('pointermove', (e) => {
      if (target.hasPointerCapture(e.pointerId)) move(e);
    });
  }

  // Arrow keys step by one, with Shift (or Page keys) by ten.
  function keyStep(e) {
    return e.shiftKey || e.key.startsWith('Page') ? 10 : 1;
  }

  // ---- Widgets ---------------------------------------------------------------------------

  function stageOf(option) {
    return option.startsWith('stage2-') ? 'stage2' : 'stage1';
  }

  // The caption's first words ("S-Shading: Side Shadow Depth" → "S-Shading").
  function shortCaption(caption) {
    return caption.split(':')[0].split(' (')[0];
  }

  function makeSlider(item, { vertical = false, length = 0, edge = false } = {}) {
    const control = item.control;
    const c = state.controls[control];
    const n = item.number;
    const knob = el('div', { class: 'knob' });
    const rail = el('div', { class: 'rail' }, el('div', { class: 'fill' }), knob);
    if (length) rail.style[vertical ? 'height' : 'width'] = `${length}px`;
    const track = el(
      'div',
      {
        class: 'track',
        role: 'slider',
        tabindex: 0,
        'aria-label': item.accessibleName,
        'aria-valuemin': c.min,
        'aria-valuemax': c.max,
        'aria-orientation': vertical ? 'vertical' : 'horizontal',
        'data-option': c.option,
        'data-number': n,
        title: item.accessibleName,
      },
      rail,
    );
    const readout = el('output', { class: 'readout', 'aria-hidden': 'true' });
    const root = el(
      'div',
      { class: `slider ${vertical ? 'vertical' : 'horizontal'} ${edge ? 'edge' : ''} ${stageOf(c.option)}` },
      el('span', { class: 'label' }, item.label),
      track,
      readout,
    );
    const set = (v, e) => setNumbers(control, [[n, v]], e);
    dragOn(track, rail, (fx, fy, e) => set(c.min + (vertical ? fy : fx) * (c.max - c.min), e));
    track.addEventListener('keydown', (e) => {
      const v = state.values[control][n];
      const step = keyStep(e);
      const forward = vertical ? ['ArrowDown', 'ArrowRight', 'PageDown'] : ['ArrowRight', 'ArrowUp', 'PageUp'];
      const back = vertical ? ['ArrowUp', 'ArrowLeft', 'PageUp'] : ['ArrowLeft', 'ArrowDown', 'PageDown'];
      let next = null;
      if (forward.includes(e.key)) next = v + step;
      else if (back.includes(e.key)) next = v - step;
      else if (e.key === 'Home') next = c.min;
      else if (e.key === 'End') next = c.max;
      if (next === null) return;
      e.preventDefault();
      set(next, e);
    });
    widgets.push(() => {
      const v = state.values[control][n];
      root.style.setProperty('--f', (v - c.min) / (c.max - c.min));
      readout.textContent = v;
      track.setAttribute('aria-valuenow', v);
    });
    return root;
  }

  // A 2-D pad: x grows to the right, y downwards.
  function makePad(item) {
    const control = item.control;
    const c = state.controls[control];
    const knob = el('div', { class: 'knob' });
    const rail = el('div', { class: 'rail' }, el('div', { class: 'line-x' }), el('div', { class: 'line-y' }), knob);
    const pad = el(
      'div',
      {
        class: 'pad',
        role: 'slider',
        tabindex: 0,
        'aria-roledescription': '2-D pad',
        'aria-label': `${item.accessibleName} (arrow keys move x and y)`,
        'aria-valuemin': c.min,
        'aria-valuemax': c.max,
        'data-option': c.option,
        title: item.accessibleName,
      },
      rail,
    );
    const readout = el('output', { class: 'readout', 'aria-hidden': 'true' });
    const root = el(
      'div',
      { class: `pad-box ${stageOf(c.option)} ${item.style || ''}` },
      el('span', { class: 'label' }, item.label),
      pad,
      readout,
    );
    const span = c.max - c.min;
    dragOn(pad, rail, (fx, fy, e) => setNumbers(control, [[0, c.min + fx * span], [1, c.min + fy * span]], e));
    pad.addEventListener('keydown', (e) => {
      const [x, y] = state.values[control];
      const d = keyStep(e);
      const moves = { ArrowLeft: [x - d, y], ArrowRight: [x + d, y], ArrowUp: [x, y - d], ArrowDown: [x, y + d] };
      if (!moves[e.key]) return;
      e.preventDefault();
      setNumbers(control, [[0, moves[e.key][0]], [1, moves[e.key][1]]], e);
    });
    widgets.push(() => {
      const [x, y] = state.values[control];
      root.style.setProperty('--fx', (x - c.min) / span);
      root.style.setProperty('--fy', (y - c.min) / span);
      readout.textContent = `${x}, ${y}`;
      pad.setAttribute('aria-valuenow', x);
      pad.setAttribute('aria-valuetext', `x ${x}, y ${y}`);
    });
    return root;
  }

  // A small picture of a tile's four faces, the darkened ones shaded.
  function facesPicture(faces) {
    return el('span', { class: 'faces', 'aria-hidden': 'true' }, ...faces.map((f) => el('i', { class: f ? 'dark' : '' })));
  }

  // A three-state toggle as a row of radio buttons with the state names.
  function makeToggle(item) {
    const control = item.control;
    const c = state.controls[control];
    const name = uid('toggle');
    const faces = LAYOUTS[state.filter].toggleFaces[c.option];
    const inputs = [];
    const labels = [];
    for (let v = c.min; v <= c.max; ++v) {
      const input = el('input', { type: 'radio', name, value: v, 'data-option': c.option });
      input.addEventListener('change', (e) => setNumbers(control, [[0, v]], e));
      const caption = c.names ? c.names[v - c.min] : faces ? `faces ${v + 1}` : String(v);
      const picture = faces ? facesPicture(faces[v - c.min]) : null;
      inputs.push(input);
      labels.push(el('label', { title: caption }, input, picture, el('span', { class: picture ? 'sr-only' : '' }, caption)));
    }
    const labelId = uid('label');
    const root = el(
      'div',
      { class: `toggle-box ${stageOf(c.option)}`, title: c.caption },
      el('span', { class: 'label', id: labelId }, item.label),
      el('div', { class: 'toggle', role: 'radiogroup', 'aria-labelledby': labelId }, ...labels),
    );
    widgets.push(() => {
      const v = state.values[control][0];
      inputs.forEach((input, k) => (input.checked = k + c.min === v));
    });
    return root;
  }

  function makeCheck(item) {
    const control = item.control;
    const c = state.controls[control];
    const input = el('input', { type: 'checkbox', 'data-option': c.option });
    input.addEventListener('change', (e) => setNumbers(control, [[0, input.checked ? 1 : 0]], e));
    widgets.push(() => (input.checked = state.values[control][0] === 1));
    return el('label', { class: 'check', title: c.caption }, input, el('span', {}, item.label));
  }

  // The colour a swatch shows for a control's numbers (null: transparent).
  function shownColour(values) {
    const [source, r, g, b] = values;
    if (source === 0) return state.host.foreground;
    if (source === 1) return state.host.background;
    if (source === SOURCE_TRANSPARENT) return null;
    return [r, g, b];
  }

  const cssColour = (rgb) => `rgb(${rgb.join(',')})`;
  const hexColour = (rgb) => `#${rgb.map((v) => v.toString(16).padStart(2, '0')).join('')}`;
  const fromHex = (hex) => [1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16));

  function paintSwatch(swatch, rgb) {
    swatch.classList.toggle('transparent', rgb === null);
    swatch.style.backgroundColor = rgb ? cssColour(rgb) : '';
  }

  function makeColour(item) {
    const control = item.control;
    const c = state.controls[control];
    const swatch = el('button', {
      type: 'button',
      class: 'swatch',
      'aria-haspopup': 'dialog',
      'data-option': c.option,
      title: c.caption,
    });
    swatch.addEventListener('click', () => openColourPopup(control, swatch));
    widgets.push(() => {
      const values = state.values[control];
      const rgb = shownColour(values);
      paintSwatch(swatch, rgb);
      const what = rgb ? `${SOURCES[values[0]]} ${rgb.join(',')}` : 'Transparent';
      swatch.setAttribute('aria-label', `${item.accessibleName}: ${what}`);
      swatch.dataset.source = values[0];
    });
    return el('div', { class: 'colour' }, el('span', { class: 'label' }, item.label), swatch);
  }

  // ---- The colour-source pop-up ------------------------------------------------------------------

  const popup = { control: -1, anchor: null };

  function buildColourPopup() {
    const box = $('colour-popup');
    box.querySelectorAll('[data-source]').forEach((button) => {
      button.addEventListener('click', (e) => chooseSource(Number(button.dataset.source), e));
    });
    const picker = $('colour-picker');
    picker.addEventListener('input', (e) => setColour(popup.control, SOURCE_PICKER, fromHex(picker.value), e));
    box.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') closeColourPopup(true);
    });
    document.addEventListener('pointerdown', (e) => {
      if (!box.hidden && !box.contains(e.target) && e.target !== popup.anchor) closeColourPopup(false);
    });
  }

  function openColourPopup(control, anchor) {
    const box = $('colour-popup');
    if (!box.hidden && popup.control === control) return closeColourPopup(true);
    popup.control = control;
    popup.anchor = anchor;
    const values = state.values[control];
    $('colour-popup-title').textContent = state.controls[control].caption.split(' (')[0];
    paintSwatch($('chip-foreground'), state.host.foreground);
    paintSwatch($('chip-background'), state.host.background);
    $('colour-picker').value = hexColour(values.slice(1, 4));
    const alpha = state.image && state.image.channels === 4;
    $('source-transparent').disabled = !alpha;
    $('chip-transparent').textContent = alpha ? '' : 'n/a';
    box.querySelectorAll('[data-source]').forEach((b) => b.setAttribute('aria-pressed', String(Number(b.dataset.source) === values[0])));
    box.hidden = false;
    const r = anchor.getBoundingClientRect();
    const left = clamp(r.left + window.scrollX, 8, window.scrollX + document.documentElement.clientWidth - box.offsetWidth - 8);
    box.style.left = `${left}px`;
    box.style.top = `${r.bottom + window.scrollY + 6}px`;
    (box.querySelector('[aria-pressed="true"]:not(:disabled)') || box.querySelector('button')).focus();
  }

  function closeColourPopup(refocus) {
    const box = $('colour-popup');
    if (box.hidden) return;
    box.hidden = true;
    if (refocus && popup.anchor) popup.anchor.focus();
  }

  function chooseSource(source, event) {
    const rgb = source === SOURCE_PICKER ? fromHex($('colour-picker').value) : null;
    setColour(popup.control, source, rgb, event);
    if (source !== SOURCE_PICKER) closeColourPopup(true);
    else $('colour-popup').querySelectorAll('[data-source]').forEach((b) => b.setAttribute('aria-pressed', String(b.dataset.source === '2')));
  }

  // ---- velk2000's tools ---------------------------------------------------------------------------

  const TOOL_BUTTONS = [
    { tool: 'undo', text: '↶', label: 'Undo' },
    { tool: 'redo', text: '↷', label: 'Redo' },
    { tool: 'dice', text: '⚄', label: 'Dice: new random settings', class: 'dice' },
    { tool: 'vary', text: '⚂', label: 'Colour variations: new shadow colours', class: 'dice small' },
    { tool: 'spacingUp', text: '▲', label: 'Increase all spacings' },
    { tool: 'spacingDown', text: '▼', label: 'Decrease all spacings' },
    { tool: 'flip', text: '⤡', label: 'Diagonal flip: rows become columns' },
  ];

  function makeTools() {
    const buttons = TOOL_BUTTONS.map((t) => {
      const b = el('button', { type: 'button', class: `tool ${t.class || ''}`, 'data-tool': t.tool, title: t.label, 'aria-label': t.label }, t.text);
      b.addEventListener('click', (e) => runTool(t.tool, e));
      return b;
    });
    const bypasses = [0, 1].map((stage) => {
      const input = el('input', { type: 'checkbox', 'data-bypass': stage + 1 });
      input.addEventListener('change', (e) => setBypass(stage, input.checked, e));
      return el('label', { class: `check bypass stage${stage + 1}`, title: `Switch stage ${stage + 1} off until one of its values moves` }, input, el('span', {}, `Bypass ${stage + 1}`));
    });
    widgets.push(() => {
      const t = state.tools;
      if (!t) return;
      buttons[0].disabled = !t.canUndo;
      buttons[1].disabled = !t.canRedo;
      bypasses.forEach((label, stage) => (label.querySelector('input').checked = t.bypass[stage]));
    });
    return el('div', { class: 'tools' }, el('div', { class: 'tool-buttons' }, ...buttons), el('div', { class: 'bypasses' }, ...bypasses));
  }

  async function runTool(tool, event) {
    const answer = await call('tool', { tool });
    if (!answer.ok) return;
    if (answer.changed) changed(event);
    else if (tool.startsWith('spacing')) showStatus('The spacings are at their end.', 'warning');
  }

  async function setBypass(stage, on, event) {
    const answer = await call('bypass', { stage, on });
    if (answer.ok) changed(event);
  }

  // ---- Building the panel ------------------------------------------------------------------------------

  // The layout's items with their controls: a pair that is no pad becomes
  // two sliders (horizontal, vertical).
  function expandItem(entry) {
    const spec = typeof entry === 'string' ? { o: entry } : entry;
    const control = state.byOption.get(spec.o);
    if (control === undefined) return [];
    const c = state.controls[control];
    const label = spec.label ?? shortCaption(c.caption);
    const pair = c.kind === 'value' && c.count === 2 && !c.pad;
    const axes = ['horizontal', 'vertical'];
    if (!pair) return [{ control, number: 0, label, accessibleName: c.caption, kind: c.pad ? 'pad' : c.kind, style: spec.style }];
    const numbers = spec.n === undefined ? [0, 1] : [spec.n];
    return numbers.map((n) => ({
      control,
      number: n,
      label: spec.n === undefined ? `${label} ${axes[n].slice(0, 1).toUpperCase()}` : label,
      accessibleName: `${c.caption}, ${axes[n]}`,
      kind: 'value',
    }));
  }

  const MAKERS = { value: makeSlider, pad: makePad, toggle: makeToggle, check: makeCheck, colour: makeColour };

  function makeItem(item) {
    return MAKERS[item.kind](item);
  }

  const rowItems = (row) => (Array.isArray(row) ? row : row.items);

  function placed(layout) {
    const options = [...layout.top, ...layout.left, ...layout.footer];
    for (const g of layout.groups) for (const row of g.rows || []) options.push(...rowItems(row));
    return new Set(options.map((o) => (typeof o === 'string' ? o : o.o)));
  }

  function makeRow(row, cells) {
    const items = rowItems(row).flatMap(expandItem).map(makeItem);
    const heading = row.heading ? el('span', { class: `row-heading stage${row.heading}`, title: `Stage ${row.heading}` }, row.heading) : null;
    return el('div', { class: cells ? 'cell' : 'row' }, heading, ...items);
  }

  function makeGroup(g) {
    const body = g.tools ? [makeTools()] : g.rows.map((row) => makeRow(row, g.cells));
    const group = el('fieldset', { class: `group ${g.cells ? 'cells' : ''}` }, el('legend', {}, g.title), ...body);
    group.style.gridColumn = `span ${g.span || 6}`;
    return group;
  }

  function buildPanel() {
    widgets = [];
    const layout = LAYOUTS[state.filter];
    const edge = (entries, vertical) =>
      entries.flatMap(expandItem).map((item) =>
        makeSlider(item, { vertical, length: vertical ? PREVIEW_HEIGHT : PREVIEW_WIDTH, edge: true }),
      );
    $('edge-top').replaceChildren(...edge(layout.top, false));
    $('edge-left').replaceChildren(...edge(layout.left, true));
    const groups = layout.groups.map(makeGroup);
    // A control the layout does not place still gets a widget.
    const known = placed(layout);
    const others = state.controls.filter((c) => !known.has(c.option)).map((c) => c.option);
    if (others.length) groups.push(makeGroup({ title: 'More', rows: [others] }));
    $('groups').replaceChildren(...groups);
    $('footer-controls').replaceChildren(...layout.footer.flatMap(expandItem).map(makeItem));
    $('groups').dataset.filter = state.filter;
    refreshWidgets();
  }

  // A filter opened on the image: its controls, presets and a first preview.
  function setupFilter(answer) {
    state.filter = FILTERS[answer.filter];
    state.controls = answer.controls;
    state.byOption = new Map(answer.controls.map((c, i) => [c.option, i]));
    state.factory = answer.factory;
    state.values = answer.state.values;
    state.tools = answer.state.tools;
    closeColourPopup(false);
    for (const radio of document.querySelectorAll('input[name="filter"]')) radio.checked = radio.value === state.filter;
    buildPanel();
    const opening = state.factory.indexOf(LAYOUTS[state.filter].opensOn);
    fillPresetBox(opening >= 0 ? `f:${opening}` : '');
    updateSaveBoxes();
  }

  async function openFilter(filter, event) {
    state.filter = filter;
    if (!state.image) return;
    const answer = await call('open', { filter: FILTERS.indexOf(filter) });
    if (!answer.ok) return;
    setupFilter(answer);
    changed(event);
  }

  // ---- Images -----------------------------------------------------------------------------------------

  async function loadImageFile(file, event) {
    if (!file) return;
    showStatus(`Reading ${file.name}…`);
    const bytes = await readFile(file);
    const answer = await call('loadImage', { bytes, filter: FILTERS.indexOf(state.filter) }, [bytes]);
    if (!answer.ok) return;
    state.image = { ...answer.image, name: file.name };
    setupFilter(answer);
    const { width, height, channels } = answer.image;
    $('image-info').textContent = `${file.name}: ${width} × ${height}, ${channels === 4 ? 'RGBA' : 'RGB'}`;
    for (const id of ['apply', 'export-record', 'preset-box', 'preset-save']) $(id).disabled = false;
    $('result').hidden = true;
    showStatus(answer.warning || `Opened ${file.name}.`, answer.warning ? 'warning' : 'info');
    changed(event);
  }

  function wireImageInput() {
    $('open-image').addEventListener('click', () => $('image-file').click());
    $('image-file').addEventListener('change', (e) => {
      loadImageFile(e.target.files[0], e);
      e.target.value = '';
    });
    document.addEventListener('dragover', (e) => {
      if (![...e.dataTransfer.types].includes('Files')) return;
      e.preventDefault();
      document.body.classList.add('dropping');
    });
    document.addEventListener('dragleave', (e) => {
      if (e.relatedTarget === null) document.body.classList.remove('dropping');
    });
    document.addEventListener('drop', (e) => {
      e.preventDefault();
      document.body.classList.remove('dropping');
      const file = [...e.dataTransfer.files][0];
      if (file) loadImageFile(file, e);
    });
  }

  // ---- Host colours --------------------------------------------------------------------------------------

  function sendHostColours() {
    call('hostColours', { foreground: state.host.foreground, background: state.host.background });
  }

  function wireHostColours() {
    for (const which of ['foreground', 'background']) {
      const input = $(`host-${which}`);
      input.value = hexColour(state.host[which]);
      input.addEventListener('input', (e) => {
        state.host[which] = fromHex(input.value);
        sendHostColours();
        refreshWidgets();
        changed(e);
      });
    }
  }

  // ---- Downloads, Apply and the record ------------------------------------------------------------------------

  function downloadBytes(bytes, name, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const a = el('a', { href: url, download: name, hidden: true });
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function baseName(name) {
    return name.replace(/\.[^.]*$/, '') || 'image';
  }

  // The render fills the bar's first nine tenths, compressing the rest.
  function showProgress(phase, done, total) {
    const fraction = total > 0 ? done / total : 0;
    $('progress').value = phase === 'render' ? 0.9 * fraction : 0.9 + 0.1 * fraction;
    $('progress-label').textContent = phase === 'render' ? 'Rendering…' : 'Compressing…';
  }

  async function apply() {
    const button = $('apply');
    button.disabled = true;
    $('result').hidden = true;
    $('progress-box').hidden = false;
    showProgress('render', 0, 1);
    showStatus('Rendering the whole image…');
    const started = performance.now();
    const answer = await call('apply');
    $('progress-box').hidden = true;
    button.disabled = false;
    if (!answer.ok) return;
    const link = $('result');
    if (link.href) URL.revokeObjectURL(link.href);
    const name = `${baseName(state.image.name)}-${state.filter}.png`;
    link.href = URL.createObjectURL(answer.png);
    link.download = name;
    link.textContent = `Save ${name}`;
    link.hidden = false;
    const seconds = ((performance.now() - started) / 1000).toFixed(1);
    showStatus(`Rendered ${answer.image.width} × ${answer.image.height} in ${seconds} s.`);
  }

  async function exportRecord() {
    const answer = await call('exportRecord', { form: RECORD_APPLIED, saveColours: true, saveLight: true });
    if (answer.ok) downloadBytes(answer.bytes, `${state.filter}.rec`, 'application/octet-stream');
  }

  // ---- User presets in the browser's storage -------------------------------------------------------------------

  const toHex = (bytes) => Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
  const fromHexBytes = (hex) => Uint8Array.from(hex.match(/../g) || [], (h) => parseInt(h, 16));

  // {velk3d: [{name, record: Uint8Array}], velk2000: [...]}, in saving order.
  function readPresets() {
    const empty = { velk3d: [], velk2000: [] };
    try {
      const stored = JSON.parse(localStorage.getItem(PRESETS_STORAGE) || '{}');
      for (const f of FILTERS) empty[f] = (stored[f] || []).map(([name, hex]) => ({ name, record: fromHexBytes(hex) }));
    } catch (e) {
      showStatus('The stored user presets could not be read.', 'warning');
    }
    return empty;
  }

  function writePresets(presets) {
    const stored = {};
    for (const f of FILTERS) stored[f] = presets[f].map((p) => [p.name, toHex(p.record)]);
    try {
      localStorage.setItem(PRESETS_STORAGE, JSON.stringify(stored));
    } catch (e) {
      showStatus('The browser refused to store the user presets.', 'error');
    }
  }

  // Adds or replaces presets by name, as a save or an import does.
  function mergePresets(added) {
    const presets = readPresets();
    for (const { filter, name, record } of added) {
      const list = presets[filter];
      const same = list.find((p) => p.name === name);
      if (same) same.record = record;
      else list.push({ name, record });
    }
    writePresets(presets);
  }

  function deletePreset(filter, name) {
    const presets = readPresets();
    presets[filter] = presets[filter].filter((p) => p.name !== name);
    writePresets(presets);
  }

  // ---- The preset box ------------------------------------------------------------------------------------------------

  function fillPresetBox(selected = $('preset-box').value) {
    const box = $('preset-box');
    const users = readPresets()[state.filter];
    const placeholder = el('option', { value: '', disabled: true }, 'Choose a preset…');
    const userGroup = el('optgroup', { label: 'User presets' }, ...users.map((p) => el('option', { value: `u:${p.name}` }, `>${p.name}`)));
    const factoryGroup = el('optgroup', { label: 'Factory presets' }, ...state.factory.map((name, i) => el('option', { value: `f:${i}` }, name)));
    box.replaceChildren(placeholder, users.length ? userGroup : null, factoryGroup);
    box.value = selected;
    if (box.value !== selected || !selected) box.value = '';
    updatePresetButtons();
    $('preset-names').replaceChildren(...users.map((p) => el('option', { value: p.name })));
  }

  function selectedUserPreset() {
    const value = $('preset-box').value;
    if (!value.startsWith('u:')) return null;
    return readPresets()[state.filter].find((p) => p.name === value.slice(2)) || null;
  }

  function updatePresetButtons() {
    $('preset-export-rec').disabled = !selectedUserPreset();
  }

  async function choosePreset(e) {
    const value = $('preset-box').value;
    updatePresetButtons();
    let answer;
    if (value.startsWith('f:')) answer = await call('factory', { index: Number(value.slice(2)) });
    else if (value.startsWith('u:')) {
      const preset = selectedUserPreset();
      if (!preset) return;
      answer = await call('record', { bytes: preset.record.slice().buffer });
    }
    if (answer && answer.ok) changed(e);
  }

  function updateSaveBoxes() {
    const [colours, light] = SAVE_BOXES[state.filter];
    $('save-colours-caption').textContent = colours;
    $('save-light-caption').textContent = light;
  }

  function openSaveDialog() {
    const dialog = $('save-dialog');
    const chosen = selectedUserPreset();
    $('save-name').value = chosen ? chosen.name : '';
    $('save-error').textContent = '';
    dialog.showModal();
    $('save-name').focus();
  }

  function presetNameProblem(name) {
    if (!name) return 'Enter a name.';
    if (utf8Length(name) > MAX_NAME_BYTES) return `A name of at most ${MAX_NAME_BYTES} bytes is needed.`;
    if (name === LAST_USED) return `"${LAST_USED}" is kept for the last applied settings.`;
    return '';
  }

  async function savePreset() {
    const name = $('save-name').value.trim();
    const problem = presetNameProblem(name);
    if (problem) {
      $('save-error').textContent = problem;
      return;
    }
    const answer = await call('exportRecord', {
      form: RECORD_PRESET,
      saveColours: $('save-colours').checked,
      saveLight: $('save-light').checked,
    });
    if (!answer.ok) return;
    mergePresets([{ filter: state.filter, name, record: answer.bytes }]);
    $('save-dialog').close();
    fillPresetBox(`u:${name}`);
    showStatus(`Saved the user preset "${name}".`);
  }

  function deleteNamedPreset() {
    const name = $('save-name').value.trim();
    if (!readPresets()[state.filter].some((p) => p.name === name)) {
      $('save-error').textContent = 'No user preset has that name.';
      return;
    }
    deletePreset(state.filter, name);
    $('save-dialog').close();
    fillPresetBox();
    showStatus(`Deleted the user preset "${name}".`);
  }

  // ---- Preset files: .rec and registry files ----------------------------------------------------------------

  const safeFileName = (name) => name.replace(/[\\/:*?"<>|\x00-\x1f]/g, '_');

  function exportSelectedPreset() {
    const preset = selectedUserPreset();
    if (preset) downloadBytes(preset.record, `${safeFileName(preset.name)}.rec`, 'application/octet-stream');
  }

  function exportAllPresets() {
    const presets = readPresets();
    if (!presets.velk3d.length && !presets.velk2000.length) return showStatus('There are no user presets to export.', 'warning');
    downloadBytes(VelkRegistry.format(presets), 'velk-presets.reg', 'application/octet-stream');
  }

  // Keeps the records the module takes for their key's filter.
  async function checkedPresets(found, skipped) {
    if (!found.length) return [];
    const answer = await call('recordFilters', { records: found.map((p) => p.record) });
    if (!answer.ok) return [];
    return found.filter((p, i) => {
      const ok = FILTERS[answer.filters[i]] === p.filter;
      if (!ok) skipped.push(`${p.name} (not a ${p.filter} record)`);
      return ok;
    });
  }

  async function importRecordFile(file, bytes) {
    if (bytes.length !== RECORD_SIZE) return showStatus(`${file.name} is not a ${RECORD_SIZE}-byte record.`, 'error');
    const answer = await call('recordFilters', { records: [bytes] });
    const filter = answer.ok ? FILTERS[answer.filters[0]] : undefined;
    if (!filter) return showStatus(`${file.name} is no velk3d or velk2000 record.`, 'error');
    let name = baseName(file.name);
    while (utf8Length(name) > MAX_NAME_BYTES) name = name.slice(0, -1);
    mergePresets([{ filter, name, record: bytes }]);
    fillPresetBox(filter === state.filter ? `u:${name}` : '');
    showStatus(`Imported the ${filter} user preset "${name}".`);
  }

  async function importRegistryFile(file, bytes) {
    let parsed;
    try {
      parsed = VelkRegistry.parse(bytes);
    } catch (e) {
      return showStatus(`${file.name}: ${e.message}.`, 'error');
    }
    const presets = await checkedPresets(parsed.found, parsed.skipped);
    mergePresets(presets);
    fillPresetBox();
    const left = parsed.skipped.length ? ` Left out: ${parsed.skipped.join(', ')}.` : '';
    showStatus(`Imported ${presets.length} user preset${presets.length === 1 ? '' : 's'} from ${file.name}.${left}`, left ? 'warning' : 'info');
  }

  async function importPresetFile(file) {
    if (!file) return;
    const bytes = new Uint8Array(await readFile(file));
    if (/\.rec$/i.test(file.name) || bytes.length === RECORD_SIZE) await importRecordFile(file, bytes);
    else await importRegistryFile(file, bytes);
  }

  function wirePresets() {
    $('preset-box').addEventListener('change', choosePreset);
    $('preset-save').addEventListener('click', openSaveDialog);
    $('preset-export-rec').addEventListener('click', exportSelectedPreset);
    $('preset-export-reg').addEventListener('click', exportAllPresets);
    $('preset-import').addEventListener('click', () => $('preset-file').click());
    $('preset-file').addEventListener('change', (e) => {
      importPresetFile(e.target.files[0]);
      e.target.value = '';
    });
    $('save-form').addEventListener('submit', (e) => {
      e.preventDefault();
      savePreset();
    });
    $('save-cancel').addEventListener('click', () => $('save-dialog').close());
    $('save-delete').addEventListener('click', deleteNamedPreset);
  }

  // ---- Start ----------------------------------------------------------------------------------------------------

  function wirePage() {
    for (const radio of document.querySelectorAll('input[name="filter"]')) {
      radio.addEventListener('change', (e) => {
        if (radio.checked) openFilter(radio.value, e);
      });
    }
    $('apply').addEventListener('click', apply);
    $('export-record').addEventListener('click', exportRecord);
    wireImageInput();
    wireHostColours();
    wirePresets();
    buildColourPopup();
  }

  // The module is up: the page's colours go to it; the filter opens with
  // the first image.
  function started() {
    sendHostColours();
    showStatus('Open an image, or drop one on the page, to start.');
    document.documentElement.dataset.ready = 'true';
  }

  wirePage();
  clearPreview();
})();
