// The filters' web page in Chromium, end to end: the page is worked with
// real pointer drags and clicks, and what it downloads (the record, the
// rendered PNG, user presets as .rec and .reg files) must be what the native
// command line makes of the same settings, pixel for pixel.
//
// Environment: VELK_WEB_DIR (the built page), VELK_CLI (the native velk),
// VELK_SOURCE_DIR (the repository), VELK_MODULE (velk_module.js, default in
// VELK_WEB_DIR), VELK_WEB_SCREENSHOTS (a folder for screenshots, optional),
// VELK_CHROMIUM (default /usr/bin/chromium).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const SOURCE_DIR = path.resolve(process.env.VELK_SOURCE_DIR || path.join(here, '../..'));
const WEB_DIR = path.resolve(process.env.VELK_WEB_DIR || path.join(SOURCE_DIR, 'build/web/web'));
const CLI = path.resolve(process.env.VELK_CLI || path.join(SOURCE_DIR, 'build/native/tools/velk/velk'));
const MODULE_JS = process.env.VELK_MODULE || path.join(WEB_DIR, 'velk_module.js');
const SCREENSHOTS = process.env.VELK_WEB_SCREENSHOTS || '';
const CHROMIUM = process.env.VELK_CHROMIUM || '/usr/bin/chromium';
const COFFEE = path.join(SOURCE_DIR, 'samples/coffee.png');
const CUTOUT = path.join(SOURCE_DIR, 'samples/coffee-cutout.png');
const PRESET_NAME = 'Würfel 1'; // not ASCII, so the registry file's UTF-16 matters

const requireHere = createRequire(path.join(SOURCE_DIR, 'web/package.json'));

for (const [what, file] of [['VELK_WEB_DIR', path.join(WEB_DIR, 'velk-worker.js')], ['VELK_CLI', CLI], ['VELK_MODULE', MODULE_JS], ['Chromium', CHROMIUM]]) {
  if (!fs.existsSync(file)) {
    console.error(`page_test: ${file} is missing (${what}); build the web and native targets first`);
    process.exit(1);
  }
}

const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'velk-page-'));
const CLI_ENV = { ...process.env, VELK_PRESETS: path.join(tmp, 'cli-presets.reg') };
let server;
let baseUrl;
let browser;
let velk; // the module in node, for decoding PNGs
const latencies = {};

// ---- Helpers -------------------------------------------------------------------

function cli(...args) {
  try {
    return execFileSync(CLI, args, { env: CLI_ENV, encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
  } catch (e) {
    throw new Error(`velk ${args.join(' ')} failed: ${e.stderr || e.message}`);
  }
}

// The options `velk show` prints for a record, as {option: value}.
function shownOptions(record) {
  const words = cli('show', record).trim().split(/\s+/);
  const options = {};
  for (let i = 1; i + 1 < words.length; i += 2) options[words[i].replace(/^--/, '')] = words[i + 1];
  return options;
}

async function loadModule() {
  const create = requireHere(MODULE_JS);
  const made = create();
  return made && made.ready ? made.ready : made;
}

function decodePng(bytes, what) {
  const p = velk._velk_alloc(bytes.length);
  velk.HEAPU8.set(bytes, p);
  const ok = velk._velk_decode_png(p, bytes.length);
  velk._velk_free(p);
  assert.ok(ok, `${what} is no PNG the module reads: ${velk.UTF8ToString(velk._velk_error())}`);
  const width = velk._velk_image_width();
  const height = velk._velk_image_height();
  const channels = velk._velk_image_channels();
  const pixels = velk.HEAPU8.slice(velk._velk_image_pixels(), velk._velk_image_pixels() + width * height * channels);
  return { width, height, channels, pixels };
}

function assertSamePixels(aFile, bFile) {
  const a = decodePng(fs.readFileSync(aFile), aFile);
  const b = decodePng(fs.readFileSync(bFile), bFile);
  assert.deepEqual([a.width, a.height, a.channels], [b.width, b.height, b.channels], `${aFile} and ${bFile} differ in size or channels`);
  let differing = 0;
  let first = -1;
  for (let i = 0; i < a.pixels.length; ++i) {
    if (a.pixels[i] !== b.pixels[i]) {
      differing++;
      if (first < 0) first = i;
    }
  }
  if (differing) {
    const px = Math.floor(first / a.channels);
    assert.fail(`${aFile} differs from ${bFile} in ${differing} bytes, first at pixel ${px % a.width},${Math.floor(px / a.width)}`);
  }
}

function serve(dir) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.png': 'image/png' };
  return http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '') || 'index.html';
    const file = path.join(dir, name);
    if (!file.startsWith(dir + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
}

// A page with the module started; errors it throws fail the test.
async function openPage(context, url) {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.velkErrors = errors;
  await page.goto(url);
  await page.waitForSelector('html[data-ready="true"]', { timeout: 15000 });
  return page;
}

function assertNoPageErrors(page) {
  assert.deepEqual(page.velkErrors, [], 'the page reported errors');
  return page.locator('#status[data-kind="error"]').count().then((n) => {
    assert.equal(n, 0, 'the page shows an error');
  });
}

// Every command answered and every wanted preview drawn.
async function idle(page) {
  await page.waitForFunction(() => document.documentElement.dataset.pending === '0', null, { timeout: 20000 });
}

// The file input's change event comes a little after setInputFiles returns,
// so the page is idle only once it shows the image.
async function loadImage(page, file) {
  await page.setInputFiles('#image-file', file);
  await page.waitForFunction((name) => document.getElementById('image-info').textContent.startsWith(name), path.basename(file));
  await idle(page);
}

async function chooseFilter(page, filter) {
  await page.locator('.filters label', { hasText: filter }).click();
  await idle(page);
  assert.equal(await page.locator('#groups').getAttribute('data-filter'), filter);
}

// The preview's pixels and how many distinct colours its image part has.
async function previewPixels(page) {
  const shown = await page.evaluate(() => {
    const canvas = document.getElementById('preview');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const colours = new Set();
    let text = '';
    for (let i = 0; i < data.length; i += 4) if (data[i + 3]) colours.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
    for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
    const r = canvas.getBoundingClientRect();
    return { data: btoa(text), colours: colours.size, cssWidth: r.width, cssHeight: r.height, width: canvas.width, height: canvas.height };
  });
  return { ...shown, data: Buffer.from(shown.data, 'base64') };
}

// What the page's widgets show, in `velk show`'s terms: {option: value}.
async function shownOnPage(page) {
  return page.evaluate(() => {
    const out = {};
    const pairs = {};
    for (const track of document.querySelectorAll('.track[data-option]')) {
      (pairs[track.dataset.option] ||= [])[Number(track.dataset.number)] = track.closest('.slider').querySelector('.readout').textContent;
    }
    for (const [option, values] of Object.entries(pairs)) out[option] = values.join(',');
    for (const pad of document.querySelectorAll('.pad[data-option]')) out[pad.dataset.option] = pad.closest('.pad-box').querySelector('.readout').textContent.replace(/\s/g, '');
    for (const radio of document.querySelectorAll('.toggle input:checked')) out[radio.dataset.option] = { value: radio.value, name: radio.closest('label').textContent.trim() };
    for (const check of document.querySelectorAll('#groups .check input[data-option], #footer-controls input[data-option]')) out[check.dataset.option] = check.checked ? 'on' : 'off';
    for (const swatch of document.querySelectorAll('.swatch[data-option]')) out[swatch.dataset.option] = swatch.getAttribute('aria-label').split(': ').pop();
    return out;
  });
}

// The page shows exactly the settings of the record (as `velk show` prints them).
async function assertPageShows(page, record, what) {
  const expected = shownOptions(record);
  const shown = await shownOnPage(page);
  assert.deepEqual(Object.keys(shown).sort(), Object.keys(expected).sort(), `${what}: the page's controls are not the record's`);
  for (const [option, want] of Object.entries(expected)) {
    const got = shown[option];
    if (typeof got === 'object') {
      assert.ok(want === got.value || want === got.name, `${what}: --${option} is ${want} in the record, the page shows ${got.name}`);
    } else if (got.startsWith('Picker ')) {
      assert.equal(got.slice(7), want, `${what}: --${option}`);
    } else if (/^(Foreground|Background|Transparent)/.test(got)) {
      assert.equal(got.split(' ')[0].toLowerCase(), want.split(':')[0], `${what}: --${option}`);
    } else {
      assert.equal(got, want, `${what}: --${option}`);
    }
  }
}

async function download(page, click, file) {
  const [dl] = await Promise.all([page.waitForEvent('download'), click()]);
  await dl.saveAs(file);
  return dl.suggestedFilename();
}

async function choosePreset(page, label) {
  await page.selectOption('#preset-box', { label });
  await idle(page);
}

// A factory preset chosen on the page shows what the command line records for it.
async function checkFactoryPresets(page, filter, names) {
  const factory = await page.locator('#preset-box optgroup[label="Factory presets"] option').allTextContents();
  assert.ok(factory.length >= 5, `${filter} lists ${factory.length} factory presets`);
  for (const name of names) {
    assert.ok(factory.includes(name), `${filter}'s preset box has no "${name}"`);
    await choosePreset(page, name);
    const record = path.join(tmp, `${filter}-factory.rec`);
    cli('record', filter, '--preset', name, record);
    await assertPageShows(page, record, `${filter} preset "${name}"`);
  }
}

function centre(box) {
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

// A real drag of a knob to a place in its track (fractions of the rail).
async function dragKnob(page, widget, fx, fy) {
  const knob = await widget.locator('.knob').boundingBox();
  const rail = await widget.locator('.rail').boundingBox();
  const from = centre(knob);
  const to = { x: fx === null ? from.x : rail.x + fx * rail.width, y: fy === null ? from.y : rail.y + fy * rail.height };
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(to.x, to.y, { steps: 30 });
  await page.mouse.up();
  await idle(page);
}

// Drags a slider and a pad, checks that they show where they were taken and
// that the preview followed: several renders painted along the way.
async function dragControls(page, filter, slider, pad) {
  const before = await previewPixels(page);
  await page.evaluate(() => (window.velkStats.length = 0));
  const track = page.locator(`.track[data-option="${slider.option}"][data-number="0"]`);
  const c = await track.evaluate((t) => ({ min: Number(t.getAttribute('aria-valuemin')), max: Number(t.getAttribute('aria-valuemax')) }));
  await dragKnob(page, track, slider.to, null);
  const value = Number(await track.getAttribute('aria-valuenow'));
  const wanted = c.min + slider.to * (c.max - c.min);
  assert.ok(Math.abs(value - wanted) <= 1, `${filter}: ${slider.option} dragged to ${wanted} shows ${value}`);
  const stats = await page.evaluate(() => window.velkStats.slice());
  assert.ok(stats.length >= 3, `${filter}: the preview was painted ${stats.length} times during a drag`);
  const sorted = stats.slice().sort((a, b) => a - b);
  latencies[filter] = { renders: stats.length, median: sorted[Math.floor(sorted.length / 2)], worst: sorted[sorted.length - 1] };

  const padBox = page.locator(`.pad[data-option="${pad.option}"]`);
  await dragKnob(page, padBox, pad.to[0], pad.to[1]);
  const shown = (await padBox.locator('xpath=..').locator('.readout').textContent()).split(',').map(Number);
  const range = await padBox.evaluate((p) => [Number(p.getAttribute('aria-valuemin')), Number(p.getAttribute('aria-valuemax'))]);
  pad.to.forEach((f, i) => {
    const want = range[0] + f * (range[1] - range[0]);
    assert.ok(Math.abs(shown[i] - want) <= 1, `${filter}: pad ${pad.option} dragged to ${want} shows ${shown[i]}`);
  });
  const afterDrag = await previewPixels(page);
  assert.ok(!afterDrag.data.equals(before.data), `${filter}: the preview did not change with the controls`);
}

async function openColourSource(page, option) {
  await page.locator(`.swatch[data-option="${option}"]`).click();
  await page.waitForSelector('#colour-popup:not([hidden])');
}

// Exports the record and the rendered image; both must be what the command
// line makes: the record shows as the page's controls, and the image is the
// command line's render of the record.
async function applyAndCompare(page, filter, input, tag, hostArgs = []) {
  const record = path.join(tmp, `${tag}.rec`);
  assert.equal(await download(page, () => page.click('#export-record'), record), `${filter}.rec`);
  assert.equal(fs.statSync(record).size, 64, `${tag}: the record is not 64 bytes`);
  await assertPageShows(page, record, `${tag} record`);

  await page.click('#apply');
  await page.waitForSelector('#result:not([hidden])', { timeout: 30000 });
  const rendered = path.join(tmp, `${tag}-page.png`);
  const name = await download(page, () => page.click('#result'), rendered);
  assert.equal(name, `${path.basename(input, '.png')}-${filter}.png`);
  const expected = path.join(tmp, `${tag}-cli.png`);
  cli('apply', filter, '--record', record, ...hostArgs, input, expected);
  assertSamePixels(rendered, expected);
  return { record, rendered };
}

// ---- The tests ----------------------------------------------------------------------

before(async () => {
  velk = await loadModule();
  server = serve(fs.realpathSync(WEB_DIR));
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  baseUrl = `http://127.0.0.1:${server.address().port}/index.html`;
  const { chromium } = requireHere('playwright-core');
  browser = await chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  for (const [filter, l] of Object.entries(latencies)) {
    console.log(`${filter} preview latency over a drag (${l.renders} renders): median ${l.median.toFixed(1)} ms, worst ${l.worst.toFixed(1)} ms`);
  }
  fs.rmSync(tmp, { recursive: true, force: true });
});

const newContext = (scale = 1) => browser.newContext({ viewport: { width: 1280, height: 900 }, deviceScaleFactor: scale, acceptDownloads: true });

test('velk3d: presets, drags and a picked fill make the record and image the command line makes', async () => {
  const context = await newContext();
  const page = await openPage(context, baseUrl);
  await loadImage(page, COFFEE);
  assert.match(await page.textContent('#image-info'), /600 × 400, RGB$/);
  const first = await previewPixels(page);
  assert.ok(first.colours > 1000, `the first preview has ${first.colours} colours`);
  assert.deepEqual([first.width, first.height, first.cssWidth, first.cssHeight], [364, 360, 364, 360]);

  await checkFactoryPresets(page, 'velk3d', ['Roof', 'Herring-Bone']);
  await dragControls(page, 'velk3d', { option: 's-shading', to: 0.8 }, { option: 'g-shading', to: [0.2, 0.7] });

  // The keyboard works a slider and a pad too.
  const saturation = page.locator('.track[data-option="saturation"]');
  await saturation.focus();
  await page.keyboard.press('End');
  await page.keyboard.press('ArrowLeft');
  const pad = page.locator('.pad[data-option="g-shading"]');
  const [x, y] = (await pad.getAttribute('aria-valuetext')).match(/\d+/g).map(Number);
  await pad.focus();
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  await idle(page);
  assert.equal(await saturation.getAttribute('aria-valuenow'), '99');
  assert.equal(await pad.getAttribute('aria-valuetext'), `x ${x + 1}, y ${y - 2}`);

  await openColourSource(page, 'fill');
  assert.ok(await page.locator('#source-transparent').isDisabled(), 'transparent is offered for an image without alpha');
  await page.locator('#colour-picker').fill('#3366cc');
  await page.keyboard.press('Escape');
  await idle(page);
  assert.equal(await page.locator('.swatch[data-option="fill"]').getAttribute('aria-label'), 'BkgrColor: the colour behind the tiles (transparent by default on an image with alpha): Picker 51,102,204');

  await applyAndCompare(page, 'velk3d', COFFEE, 'velk3d');
  await assertNoPageErrors(page);
  await context.close();
});

test('velk3d on an image with alpha: a transparent fill gives the command line\'s RGBA image', async () => {
  const context = await newContext();
  const page = await openPage(context, baseUrl);
  await loadImage(page, CUTOUT);
  assert.match(await page.textContent('#image-info'), /RGBA$/);
  assert.match(await page.locator('.swatch[data-option="fill"]').getAttribute('aria-label'), /: Transparent$/);
  await openColourSource(page, 'fill');
  await page.click('#colour-popup [data-source="1"]');
  await idle(page);
  assert.match(await page.locator('.swatch[data-option="fill"]').getAttribute('aria-label'), /: Background 255,255,255$/);
  await openColourSource(page, 'fill');
  await page.click('#source-transparent');
  await idle(page);
  await dragControls(page, 'velk3d-rgba', { option: 'tile-width', to: 0.15 }, { option: 'stretch', to: [0.1, 0.4] });
  const { rendered } = await applyAndCompare(page, 'velk3d', CUTOUT, 'velk3d-rgba');
  assert.equal(decodePng(fs.readFileSync(rendered), rendered).channels, 4);
  await assertNoPageErrors(page);
  await context.close();
});

test('velk2000: presets, drags, tools and a user preset through a registry file match the command line', async () => {
  const context = await newContext();
  const page = await openPage(context, baseUrl);
  await loadImage(page, COFFEE);
  await chooseFilter(page, 'velk2000');
  await checkFactoryPresets(page, 'velk2000', ['Drapery', 'Lizard Skin']);

  // The Dice, then undo and redo through it.
  const beforeDice = await shownOnPage(page);
  await page.click('[data-tool="dice"]');
  await idle(page);
  const afterDice = await shownOnPage(page);
  assert.notDeepEqual(afterDice, beforeDice, 'the Dice changed nothing');
  assert.ok(await page.locator('[data-tool="undo"]').isEnabled(), 'nothing to undo after the Dice');
  await page.click('[data-tool="undo"]');
  await idle(page);
  assert.deepEqual(await shownOnPage(page), beforeDice, 'undo did not bring back the settings before the Dice');
  await page.click('[data-tool="redo"]');
  await idle(page);
  assert.deepEqual(await shownOnPage(page), afterDice, 'redo did not bring back the Dice');

  // Bypass holds until a value of its stage moves.
  const bypass = page.locator('input[data-bypass="1"]');
  await bypass.check();
  await idle(page);
  assert.ok(await bypass.isChecked(), 'Bypass 1 released itself');
  await dragControls(page, 'velk2000', { option: 'stage1-s-shading', to: 0.8 }, { option: 'stage2-stretch', to: [0.3, 0.8] });
  assert.ok(!(await bypass.isChecked()), 'Bypass 1 still shows on after a first-stage value moved');

  // A shadow in the page's foreground colour, which the command line is given.
  await page.locator('#host-foreground').fill('#204060');
  await openColourSource(page, 'stage1-side-color');
  await page.click('#colour-popup [data-source="0"]');
  await idle(page);
  assert.match(await page.locator('.swatch[data-option="stage1-side-color"]').getAttribute('aria-label'), /: Foreground 32,64,96$/);
  const host = ['--foreground', '32,64,96'];

  // A user preset with both boxes, exported as .rec and .reg, then chosen.
  await page.click('#preset-save');
  await page.check('#save-colours');
  await page.check('#save-light');
  await page.fill('#save-name', PRESET_NAME);
  await page.click('#save-ok');
  await page.waitForFunction(() => !document.getElementById('save-dialog').open);
  assert.equal(await page.locator('#preset-box option:checked').textContent(), `>${PRESET_NAME}`);
  const presetRec = path.join(tmp, 'preset.rec');
  assert.equal(await download(page, () => page.click('#preset-export-rec'), presetRec), `${PRESET_NAME}.rec`);
  const pageReg = path.join(tmp, 'page.reg');
  await download(page, () => page.click('#preset-export-reg'), pageReg);
  await choosePreset(page, `>${PRESET_NAME}`);

  const { rendered } = await applyAndCompare(page, 'velk2000', COFFEE, 'velk2000', host);

  // The command line takes the page's registry file and renders the preset
  // as the page did.
  cli('presets', 'import', pageReg);
  assert.ok(cli('presets').includes(`  >${PRESET_NAME}\n`), 'velk presets does not list the imported preset');
  const byPreset = path.join(tmp, 'velk2000-preset-cli.png');
  cli('apply', 'velk2000', '--preset', `>${PRESET_NAME}`, ...host, COFFEE, byPreset);
  assertSamePixels(rendered, byPreset);
  await assertNoPageErrors(page);
  await context.close();
});

test('from a file: URL the page renders and imports the command line\'s registry file', async () => {
  const cliReg = path.join(tmp, 'cli.reg');
  const presetRec = path.join(tmp, 'preset.rec');
  assert.ok(fs.existsSync(presetRec), 'the velk2000 test saved no preset');
  cli('presets', 'export', cliReg);
  const context = await newContext();
  const page = await openPage(context, pathToFileURL(path.join(fs.realpathSync(WEB_DIR), 'index.html')).href);
  await loadImage(page, COFFEE);
  const shown = await previewPixels(page);
  assert.ok(shown.colours > 1000, `the preview from file: has ${shown.colours} colours`);
  // Other formats go through the browser's decoder: RGB, or RGBA when some
  // pixel is not opaque (the preview with a transparent band, as WebP).
  for (const [type, channels] of [['image/jpeg', 'RGB'], ['image/webp', 'RGBA']]) {
    const encoded = await page.evaluate(async (type) => {
      const canvas = document.createElement('canvas');
      canvas.width = 364;
      canvas.height = 360;
      const context = canvas.getContext('2d');
      context.drawImage(document.getElementById('preview'), 0, 0);
      context.clearRect(0, 300, 364, 60);
      const blob = await new Promise((resolve) => canvas.toBlob(resolve, type, 1));
      const bytes = new Uint8Array(await blob.arrayBuffer());
      return btoa(Array.from(bytes, (b) => String.fromCharCode(b)).join(''));
    }, type);
    const name = `preview.${type.split('/')[1]}`;
    await page.setInputFiles('#image-file', { name, mimeType: type, buffer: Buffer.from(encoded, 'base64') });
    await page.waitForFunction((name) => document.getElementById('image-info').textContent.startsWith(name), name);
    await idle(page);
    assert.equal(await page.textContent('#image-info'), `${name}: 364 × 360, ${channels}`);
    assert.ok((await previewPixels(page)).colours > 1000, `the preview of ${name} is empty`);
  }

  await chooseFilter(page, 'velk2000');
  await page.setInputFiles('#preset-file', cliReg);
  await page.waitForSelector(`#preset-box option[value="u:${PRESET_NAME}"]`, { state: 'attached' });
  await choosePreset(page, `>${PRESET_NAME}`);
  const again = path.join(tmp, 'preset-again.rec');
  await download(page, () => page.click('#preset-export-rec'), again);
  assert.deepEqual(fs.readFileSync(again), fs.readFileSync(presetRec), 'the preset changed on its way through the registry files');
  await assertNoPageErrors(page);
  await context.close();
});

test('the preview is sharp at device scales 1 and 2 and the page fits 1280 x 900', async () => {
  for (const scale of [1, 2]) {
    const context = await newContext(scale);
    const page = await openPage(context, baseUrl);
    await loadImage(page, COFFEE);
    for (const filter of ['velk3d', 'velk2000']) {
      await chooseFilter(page, filter);
      const fits = await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth);
      assert.ok(fits, `${filter} at scale ${scale}: the page is wider than the window`);
      // Each preview pixel is one block of scale x scale screen pixels of its colour.
      const canvas = await previewPixels(page);
      const shot = path.join(tmp, `preview-${filter}-${scale}x.png`);
      await page.locator('#preview').screenshot({ path: shot });
      const screen = decodePng(fs.readFileSync(shot), shot);
      assert.deepEqual([screen.width, screen.height], [364 * scale, 360 * scale], `${filter} at scale ${scale}: the preview's size on screen`);
      let wrong = 0;
      for (let y = 0; y < screen.height; ++y) {
        for (let x = 0; x < screen.width; ++x) {
          const p = (Math.floor(y / scale) * 364 + Math.floor(x / scale)) * 4;
          if (canvas.data[p + 3] !== 255) continue;
          const s = (y * screen.width + x) * screen.channels;
          if ([0, 1, 2].some((k) => Math.abs(screen.pixels[s + k] - canvas.data[p + k]) > 1)) wrong++;
        }
      }
      assert.equal(wrong, 0, `${filter} at scale ${scale}: ${wrong} screen pixels are not their preview pixel's colour`);
      if (SCREENSHOTS) {
        fs.mkdirSync(SCREENSHOTS, { recursive: true });
        await page.screenshot({ path: path.join(SCREENSHOTS, `${filter}-${scale}x.png`), fullPage: true });
      }
    }
    await assertNoPageErrors(page);
    await context.close();
  }
});
