// The browser module under node, against the command line: every factory
// preset renders the same pixels, every control writes the record bytes its
// option writes, velk2000's tools roll the same settings for the same seed,
// and PNG files of every bit depth and colour type decode to the pixels the
// command line reads from them.
//   VELK_MODULE (velk_module.js), VELK_CLI (native velk), VELK_SOURCE_DIR
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import test from 'node:test';
import zlib from 'node:zlib';

const env = (name) => {
    const value = process.env[name];
    if (!value || !fs.existsSync(value))
        throw new Error(`${name} must name an existing file or folder (is ${value})`);
    return value;
};
const cli = env('VELK_CLI');
const sample = path.join(env('VELK_SOURCE_DIR'), 'samples', 'coffee.png');
const require = createRequire(import.meta.url);
const M = require(env('VELK_MODULE'))();
const VelkPng = require(path.join(env('VELK_SOURCE_DIR'), 'web', 'page', 'png-writer.js'));
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'velk-web-'));
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));

const text = (pointer) => M.UTF8ToString(pointer);
const bytesAt = (pointer, length) => Buffer.from(M.HEAPU8.slice(pointer, pointer + length));
const velk = (...args) => execFileSync(cli, args, { stdio: ['ignore', 'pipe', 'pipe'] });
const file = (name) => path.join(work, name);

function withBytes(bytes, use) {
    const p = M._velk_alloc(bytes.length);
    M.HEAPU8.set(bytes, p);
    try {
        return use(p);
    } finally {
        M._velk_free(p);
    }
}

function decode(bytes) {
    assert.equal(withBytes(bytes, (p) => M._velk_decode_png(p, bytes.length)), 1, text(M._velk_error()));
    const width = M._velk_image_width(), height = M._velk_image_height(), channels = M._velk_image_channels();
    return { width, height, channels, pixels: bytesAt(M._velk_image_pixels(), width * height * channels) };
}

// The whole image as the page renders and downloads it.
async function renderPng() {
    assert.equal(M._velk_render_image(), 1, text(M._velk_error()));
    const width = M._velk_image_width(), height = M._velk_image_height(), channels = M._velk_image_channels();
    const parts = await VelkPng.encode({
        width, height, channels, band: 100,
        rows: (first, count) => bytesAt(M._velk_png_rows(first, count), count * (1 + width * channels)),
    });
    return Buffer.concat(parts);
}

function exportRecord(form = 0, saveColours = 1, saveLight = 1) {
    return bytesAt(M._velk_export_record(form, saveColours, saveLight), 64);
}

// Pixels of two PNG files, compared after decoding both here.
function assertSamePixels(pngA, pngB, what) {
    const a = decode(pngA), b = decode(pngB);
    assert.deepEqual([a.width, a.height, a.channels], [b.width, b.height, b.channels], what);
    assert.ok(a.pixels.equals(b.pixels), `${what}: the pixels differ`);
}

function openOn(png, filter) {
    decode(png);
    assert.equal(M._velk_open(filter), 1, text(M._velk_error()));
}

const controls = () => JSON.parse(text(M._velk_controls_json()));
const presets = () => JSON.parse(text(M._velk_factory_presets_json()));
const FILTERS = [['velk3d', 0], ['velk2000', 1]];

test('every factory preset renders the command line\'s pixels, and its record remakes them', async () => {
    const image = fs.readFileSync(sample);
    for (const [name, filter] of FILTERS) {
        openOn(image, filter);
        for (const [n, preset] of presets().entries()) {
            // Chosen in a dialog just opened: a preset chosen after another
            // keeps what its code leaves unset, as in the dialog.
            openOn(image, filter);
            assert.equal(M._velk_load_factory(n), 1);
            const png = await renderPng();
            const record = file(`${name}-${n}.rec`);
            fs.writeFileSync(record, exportRecord());
            velk('apply', name, '--preset', preset, sample, file('preset.png'));
            velk('apply', name, '--record', record, sample, file('record.png'));
            assertSamePixels(png, fs.readFileSync(file('preset.png')), `${name} "${preset}"`);
            assertSamePixels(png, fs.readFileSync(file('record.png')), `${name} "${preset}" by its record`);
        }
    }
});

// A value inside each control's range that differs from where it starts,
// and the option text that sets it.
function settingFor(control, index) {
    const pick = (k) => control.min + ((index * 7 + k * 13) % (control.max - control.min + 1));
    switch (control.kind) {
    case 'colour': {
        const rgb = [index * 40 % 256, (200 + index * 9) % 256, 17 + index];
        return { numbers: [2, ...rgb], option: rgb.join(',') };
    }
    case 'check': {
        const value = M._velk_get_control(index, 0) ? 0 : 1;
        return { numbers: [value], option: value ? 'on' : 'off' };
    }
    case 'toggle': {
        const value = (M._velk_get_control(index, 0) + 1) % (control.max + 1);
        return { numbers: [value], option: control.names ? control.names[value] : String(value) };
    }
    default: {
        const numbers = control.count === 2 ? [pick(0), pick(1)] : [pick(0)];
        return { numbers, option: numbers.join(',') };
    }
    }
}

test('every control writes the bytes its option writes, in the record the plug-in stores', async () => {
    const image = fs.readFileSync(sample);
    for (const [name, filter] of FILTERS) {
        openOn(image, filter);
        const args = [];
        controls().forEach((control, index) => {
            // Anti-aliasing stays on: velk2000 switches it on when a record loads.
            if (control.option === 'antialiasing')
                return;
            const setting = settingFor(control, index);
            setting.numbers.forEach((value, k) => M._velk_set_control(index, k, value));
            setting.numbers.forEach((value, k) =>
                assert.equal(M._velk_get_control(index, k), value, `${name} --${control.option}`));
            args.push(`--${control.option}`, setting.option);
        });
        velk('record', name, ...args, file('cli.rec'));
        assert.ok(exportRecord().equals(fs.readFileSync(file('cli.rec'))), `${name}: ${args.join(' ')}`);
        // And the page's render of those settings is the command line's.
        const png = await renderPng();
        velk('apply', name, ...args, sample, file('controls.png'));
        assertSamePixels(png, fs.readFileSync(file('controls.png')), `${name} with every control set`);
    }
});

test('velk2000\'s tools make what the command line\'s tools make, and undo steps back through renders', () => {
    const image = fs.readFileSync(sample);
    openOn(image, 1);
    const rendered = [];
    const render = () => {
        M._velk_render_preview();
        rendered.push(exportRecord());
    };
    render();
    M._velk_seed(1234);
    assert.equal(M._velk_dice(), 1);
    render();
    M._velk_seed(99);
    assert.equal(M._velk_vary_colours(), 1);
    render();
    assert.equal(M._velk_set_bypass(1, 1), 1);
    assert.equal(M._velk_bypass(1), 1);
    assert.equal(M._velk_step_spacing(1), 1);
    assert.equal(M._velk_step_spacing(1), 1);
    assert.equal(M._velk_flip(), 1);
    render();
    velk('record', 'velk2000', '--dice', '1234', '--colour-variations', '99', '--bypass', '2',
         '--spacing-steps', '2', '--flip', file('tools.rec'));
    assert.ok(rendered[3].equals(fs.readFileSync(file('tools.rec'))), 'the tools\' record');

    // A value moved on a bypassed stage releases its box.
    const gShading = controls().findIndex((c) => c.option === 'stage2-g-shading');
    M._velk_set_control(gShading, 0, 40);
    assert.equal(M._velk_bypass(1), 0);
    render();

    assert.equal(M._velk_can_redo(), 0);
    for (let back = rendered.length - 2; back >= 1; --back) {
        assert.equal(M._velk_undo(), 1);
        assert.ok(exportRecord().equals(rendered[back]), `undo to render ${back}`);
        M._velk_render_preview();
    }
    assert.equal(M._velk_can_redo(), 1);
});

test('user presets load as the preset box loads them', () => {
    const image = fs.readFileSync(sample);
    // velk3d: a preset saved with its colour brings the colour, and one saved
    // without light correction keeps the dialog's light sliders.
    openOn(image, 0);
    const fill = controls().findIndex((c) => c.option === 'fill');
    const boost = controls().findIndex((c) => c.option === 'light-boosting');
    assert.equal(M._velk_set_control(fill, 0, 3), 2, 'no transparent fill without alpha');
    [2, 10, 20, 30].forEach((v, k) => M._velk_set_control(fill, k, v));
    M._velk_set_control(boost, 0, 77);
    const saved = exportRecord(1, 1, 0);
    velk('record', 'velk3d', '--fill', '10,20,30', '--light-boosting', '77', '--save-background-color', 'on',
         '--save-light-correction', 'off', file('saved.rec'));
    assert.ok(saved.equals(fs.readFileSync(file('saved.rec'))), 'the saved preset');
    assert.equal(M._velk_open(0), 1);
    assert.equal(withBytes(saved, (p) => M._velk_load_record(p)), 1);
    assert.deepEqual([1, 2, 3].map((k) => M._velk_get_control(fill, k)), [10, 20, 30]);
    assert.equal(M._velk_get_control(boost, 0), 30, 'the light sliders stay');
    assert.equal(withBytes(saved, (p) => M._velk_record_filter(p)), 0);

    // A damaged record is refused and changes nothing.
    const damaged = Buffer.from(saved);
    damaged[3] ^= 1;
    const before = exportRecord();
    assert.equal(withBytes(damaged, (p) => M._velk_load_record(p)), 0);
    assert.match(text(M._velk_error()), /Corrupted/);
    assert.ok(exportRecord().equals(before));
    assert.equal(withBytes(damaged, (p) => M._velk_record_filter(p)), -1);
});

// ---- PNG files of every kind -------------------------------------------------

function chunk(type, data) {
    const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
    const out = Buffer.alloc(body.length + 8);
    out.writeUInt32BE(data.length, 0);
    body.copy(out, 4);
    out.writeUInt32BE(zlib.crc32(body), body.length + 4);
    return out;
}

// A PNG of `depth` bits and colour type `type`; samples(x, y, channel) gives
// each sample, extra chunks go before the image data.
function png({ width, height, depth, type, channels, samples, extra = [] }) {
    const rowBits = width * channels * depth;
    const rows = [];
    for (let y = 0; y < height; ++y) {
        const row = Buffer.alloc(1 + Math.ceil(rowBits / 8));
        let bit = 0;
        for (let x = 0; x < width; ++x)
            for (let c = 0; c < channels; ++c, bit += depth) {
                const v = samples(x, y, c);
                if (depth === 16) {
                    row.writeUInt16BE(v, 1 + bit / 8);
                } else if (depth === 8) {
                    row[1 + bit / 8] = v;
                } else {
                    row[1 + (bit >> 3)] |= v << (8 - depth - (bit & 7));
                }
            }
        rows.push(row);
    }
    const header = Buffer.alloc(13);
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    header[8] = depth;
    header[9] = type;
    return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', header),
        ...extra.map(([t, d]) => chunk(t, d)), chunk('IDAT', zlib.deflateSync(Buffer.concat(rows))),
        chunk('IEND', Buffer.alloc(0))]);
}

test('PNG files of every bit depth and colour type render as the command line renders them', async () => {
    let seed = 7;
    const random = (n) => (seed = (seed * 1103515245 + 12345) >>> 0) % n;
    const width = 61, height = 47;
    const palette = Buffer.from(Array.from({ length: 16 * 3 }, () => random(256)));
    const cases = [
        { name: 'grey1', depth: 1, type: 0, channels: 1 },
        { name: 'grey2', depth: 2, type: 0, channels: 1 },
        { name: 'grey4', depth: 4, type: 0, channels: 1 },
        { name: 'grey8', depth: 8, type: 0, channels: 1 },
        { name: 'grey16', depth: 16, type: 0, channels: 1 },
        { name: 'grey8-trns', depth: 8, type: 0, channels: 1, extra: [['tRNS', Buffer.from([0, 2])]] },
        { name: 'grey-alpha8', depth: 8, type: 4, channels: 2 },
        { name: 'grey-alpha16', depth: 16, type: 4, channels: 2 },
        { name: 'rgb8', depth: 8, type: 2, channels: 3 },
        { name: 'rgb16', depth: 16, type: 2, channels: 3 },
        { name: 'rgb8-trns', depth: 8, type: 2, channels: 3, extra: [['tRNS', Buffer.from([0, 2, 0, 2, 0, 2])]] },
        { name: 'rgba8', depth: 8, type: 6, channels: 4 },
        { name: 'rgba16', depth: 16, type: 6, channels: 4 },
        { name: 'palette4', depth: 4, type: 3, channels: 1, extra: [['PLTE', palette]] },
        { name: 'palette8-trns', depth: 8, type: 3, channels: 1,
          extra: [['PLTE', palette], ['tRNS', Buffer.from([0, 90, 255, 3])]] },
    ];
    for (const c of cases) {
        const max = c.type === 3 ? 16 : 2 ** c.depth;
        // Grey levels 0..3 where a tRNS colour (2) must recur.
        const samples = c.name.endsWith('trns') && c.type !== 3 ? (x, y) => (x + y) % 4 : () => random(max);
        const bytes = png({ width, height, ...c, samples });
        const input = file(`${c.name}.png`);
        fs.writeFileSync(input, bytes);
        for (const [name, filter] of FILTERS) {
            openOn(bytes, filter);
            const expectChannels = c.type & 4 || c.extra?.some(([t]) => t === 'tRNS') ? 4 : 3;
            assert.equal(M._velk_image_channels(), expectChannels, `${c.name} channels`);
            const out = await renderPng();
            velk('apply', name, input, file('out.png'));
            assertSamePixels(out, fs.readFileSync(file('out.png')), `${c.name} through ${name}`);
        }
    }
    // What is not a PNG, or is cut short, is refused with a message.
    const bad = [Buffer.from('GIF89a not a png'), png({ width, height, depth: 8, type: 2, channels: 3,
        samples: () => 1 }).subarray(0, 60)];
    for (const bytes of bad) {
        assert.equal(withBytes(bytes, (p) => M._velk_decode_png(p, bytes.length)), 0);
        assert.notEqual(text(M._velk_error()), '');
    }
});
