// The page's worker. It owns the filter module (createVelkModule, defined by
// the module's text that precedes this one in the worker's source, as is
// VelkPng, png-writer.js), applies
// the page's commands to it strictly in the order they were posted and
// answers each with its result and the filter's state afterwards.
//
// A command is {id, type, ...}; its answer {id, ok, error, warning, state,
// ...result}. Only "progress" messages ({type: 'progress', phase, done,
// total}) are sent without a command asking for them, while Apply renders
// and compresses.
/* global createVelkModule, VelkPng */
'use strict';

const PREVIEW_WIDTH = 364;
const PREVIEW_HEIGHT = 360;
const VELK_3D = 0;
const VELK_2000 = 1;
const CHANNELS_RGBA = 4;

let M = null;
let controls = [];
let seeded = false;
let progressShown = -1;
let progressPhase = 'render';

// Rows done of a whole-image render or of its PNG, posted at most once a
// percent.
function reportProgress(done, total) {
  const percent = total > 0 ? Math.floor((done * 100) / total) : 0;
  if (percent === progressShown) return;
  progressShown = percent;
  self.postMessage({ type: 'progress', phase: progressPhase, done, total });
}

function startPhase(phase) {
  progressPhase = phase;
  progressShown = -1;
}

// The module may call either hook, so both lead to the same report.
self.velkProgress = reportProgress;
// The factory answers the module's promise, or (older emscripten) the
// module itself with its promise as .ready.
const made = createVelkModule({ onProgress: reportProgress });
const moduleReady = Promise.resolve(made && made.ready ? made.ready : made).then((m) => {
  M = m;
});

// ---- Memory ------------------------------------------------------------------

function lastError() {
  return M.UTF8ToString(M._velk_error());
}

function check(ok, what) {
  if (!ok) throw new Error(`${what}: ${lastError() || 'failed'}`);
}

// Calls fn(pointer, size) with a copy of bytes in the module's memory.
function withBytes(bytes, fn) {
  const pointer = M._velk_alloc(Math.max(1, bytes.length));
  if (!pointer) throw new Error('out of memory');
  M.HEAPU8.set(bytes, pointer);
  try {
    return fn(pointer, bytes.length);
  } finally {
    M._velk_free(pointer);
  }
}

// A copy of module memory; HEAPU8 is read afresh since memory may have grown.
function copyOut(pointer, size) {
  if (!pointer) throw new Error(lastError() || 'no data');
  return M.HEAPU8.slice(pointer, pointer + size);
}

function readJson(pointer) {
  return JSON.parse(M.UTF8ToString(pointer));
}

// ---- State -------------------------------------------------------------------

// A colour control holds four numbers (source, red, green, blue).
function numbersOf(control) {
  return control.kind === 'colour' ? 4 : control.count;
}

function readValues() {
  return controls.map((c, i) => {
    const values = [];
    for (let n = 0; n < numbersOf(c); ++n) values.push(M._velk_get_control(i, n));
    return values;
  });
}

function readTools() {
  if (M._velk_filter() !== VELK_2000) return null;
  return {
    canUndo: !!M._velk_can_undo(),
    canRedo: !!M._velk_can_redo(),
    bypass: [!!M._velk_bypass(0), !!M._velk_bypass(1)],
  };
}

function snapshot() {
  return { values: readValues(), tools: readTools() };
}

function imageInfo() {
  return {
    width: M._velk_image_width(),
    height: M._velk_image_height(),
    channels: M._velk_image_channels(),
  };
}

// ---- Images --------------------------------------------------------------------

function isPng(bytes) {
  const signature = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
  return bytes.length >= 8 && signature.every((b, i) => bytes[i] === b);
}

// Any format the browser reads, as 8-bit RGB, or RGBA when some pixel is
// not opaque.
async function browserPixels(bytes) {
  const bitmap = await createImageBitmap(new Blob([bytes]));
  const { width, height } = bitmap;
  const canvas = new OffscreenCanvas(width, height);
  const context = canvas.getContext('2d', { willReadFrequently: true });
  context.drawImage(bitmap, 0, 0);
  bitmap.close();
  const rgba = context.getImageData(0, 0, width, height).data;
  let opaque = true;
  for (let i = 3; i < rgba.length && opaque; i += 4) opaque = rgba[i] === 255;
  if (!opaque) return { pixels: new Uint8Array(rgba.buffer), width, height, channels: 4 };
  const rgb = new Uint8Array(width * height * 3);
  for (let i = 0, o = 0; i < rgba.length; i += 4, o += 3) {
    rgb[o] = rgba[i];
    rgb[o + 1] = rgba[i + 1];
    rgb[o + 2] = rgba[i + 2];
  }
  return { pixels: rgb, width, height, channels: 3 };
}

// Reads an image into the module; answers the reader's warning, if any.
async function loadImage(bytes) {
  if (isPng(bytes)) {
    check(withBytes(bytes, (p, n) => M._velk_decode_png(p, n)), 'PNG');
    return lastError();
  }
  let image;
  try {
    image = await browserPixels(bytes);
  } catch (e) {
    throw new Error('the browser cannot read this file as an image');
  }
  check(
    withBytes(image.pixels, (p) => M._velk_set_pixels(p, image.width, image.height, image.channels)),
    'image',
  );
  return lastError();
}

// ---- The result as PNG ----------------------------------------------------------

// The result's PNG as a Blob: the module filters the rows and the browser's
// zlib (CompressionStream) compresses them, band by band.
async function encodePng({ width, height, channels }) {
  const rowBytes = 1 + width * channels;
  const rows = (first, count) => copyOut(M._velk_png_rows(first, count), count * rowBytes);
  const parts = await VelkPng.encode({ width, height, channels, rows, progress: reportProgress });
  return new Blob(parts, { type: 'image/png' });
}

// ---- Commands ----------------------------------------------------------------------

function openFilter(filter) {
  check(M._velk_open(filter), 'open');
  controls = readJson(M._velk_controls_json());
  return {
    filter,
    controls,
    factory: readJson(M._velk_factory_presets_json()),
    image: imageInfo(),
  };
}

function seedOnce() {
  if (seeded) return;
  const seed = new Uint32Array(1);
  crypto.getRandomValues(seed);
  M._velk_seed(seed[0]);
  seeded = true;
}

// velk2000's tool buttons; each answers whether it changed anything.
const TOOLS = {
  dice: () => (seedOnce(), M._velk_dice()),
  vary: () => (seedOnce(), M._velk_vary_colours()),
  spacingUp: () => M._velk_step_spacing(1),
  spacingDown: () => M._velk_step_spacing(0),
  flip: () => M._velk_flip(),
  undo: () => M._velk_undo(),
  redo: () => M._velk_redo(),
};

const COMMANDS = {
  async loadImage(msg) {
    const warning = await loadImage(new Uint8Array(msg.bytes));
    return { ...openFilter(msg.filter), warning };
  },
  open: (msg) => openFilter(msg.filter),
  hostColours(msg) {
    M._velk_set_host_colours(...msg.foreground, ...msg.background);
    return {};
  },
  set(msg) {
    return { stored: M._velk_set_control(msg.control, msg.number, msg.value) };
  },
  // A picked colour is stored before its source, as the picker sets it.
  colour(msg) {
    if (msg.rgb) msg.rgb.forEach((v, k) => M._velk_set_control(msg.control, k + 1, v));
    M._velk_set_control(msg.control, 0, msg.source);
    return {};
  },
  factory(msg) {
    check(M._velk_load_factory(msg.index), 'preset');
    return {};
  },
  record(msg) {
    check(withBytes(new Uint8Array(msg.bytes), (p) => M._velk_load_record(p)), 'preset');
    return {};
  },
  exportRecord(msg) {
    const pointer = M._velk_export_record(msg.form, msg.saveColours ? 1 : 0, msg.saveLight ? 1 : 0);
    return { bytes: copyOut(pointer, 64) };
  },
  // Which filter each 64-byte record belongs to (-1 for none).
  recordFilters(msg) {
    return {
      filters: msg.records.map((r) => (r.length === 64 ? withBytes(r, (p) => M._velk_record_filter(p)) : -1)),
    };
  },
  tool(msg) {
    const run = TOOLS[msg.tool];
    if (!run) throw new Error(`no tool ${msg.tool}`);
    return { changed: !!run() };
  },
  bypass(msg) {
    return { changed: !!M._velk_set_bypass(msg.stage, msg.on ? 1 : 0) };
  },
  preview() {
    const pointer = M._velk_render_preview();
    return {
      pixels: copyOut(pointer, PREVIEW_WIDTH * PREVIEW_HEIGHT * 4),
      width: M._velk_preview_width(),
      height: M._velk_preview_height(),
    };
  },
  async apply() {
    startPhase('render');
    check(M._velk_render_image(), 'render');
    startPhase('encode');
    return { png: await encodePng(imageInfo()), image: imageInfo() };
  },
};

// The transferable buffers of an answer, so large ones are moved, not copied.
function buffersOf(result) {
  return ['pixels', 'bytes'].filter((k) => result[k]).map((k) => result[k].buffer);
}

async function handle(msg) {
  await moduleReady;
  const run = COMMANDS[msg.type];
  let answer;
  try {
    if (!run) throw new Error(`unknown command ${msg.type}`);
    const result = await run(msg);
    const warning = lastError() || result.warning || '';
    answer = { ...result, id: msg.id, ok: true, warning, state: snapshot() };
  } catch (e) {
    answer = { id: msg.id, ok: false, error: e.message, state: controls.length ? snapshot() : null };
  }
  self.postMessage(answer, buffersOf(answer));
}

// Commands run one after another even when one waits for the browser's
// image decoder.
let queue = moduleReady.catch(() => {});
self.onmessage = (event) => {
  queue = queue.then(() => handle(event.data));
};
moduleReady.then(
  () => self.postMessage({ type: 'ready' }),
  (e) => self.postMessage({ type: 'failed', error: String((e && e.message) || e) }),
);
