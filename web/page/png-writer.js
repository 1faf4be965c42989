// Writes PNG files from the module's filtered rows (velk_png_rows): the rows
// are compressed by the browser's own zlib through CompressionStream, in
// bands as they are filtered, and wrapped in the PNG chunks here. Runs in the
// page's worker and under node.
'use strict';

const VelkPng = (() => {
    const SIGNATURE = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];

    const CRC_TABLE = (() => {
        const table = new Uint32Array(256);
        for (let n = 0; n < 256; ++n) {
            let c = n;
            for (let k = 0; k < 8; ++k)
                c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
            table[n] = c >>> 0;
        }
        return table;
    })();

    function crc32(bytes, crc = 0) {
        let c = ~crc >>> 0;
        for (let i = 0; i < bytes.length; ++i)
            c = CRC_TABLE[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
        return ~c >>> 0;
    }

    // One chunk: length, type, data, and the CRC of type and data.
    function chunk(type, data) {
        const out = new Uint8Array(12 + data.length);
        const view = new DataView(out.buffer);
        view.setUint32(0, data.length);
        for (let k = 0; k < 4; ++k)
            out[4 + k] = type.charCodeAt(k);
        out.set(data, 8);
        view.setUint32(8 + data.length, crc32(out.subarray(4, 8 + data.length)));
        return out;
    }

    function header(width, height, channels) {
        const data = new Uint8Array(13);
        const view = new DataView(data.buffer);
        view.setUint32(0, width);
        view.setUint32(4, height);
        data[8] = 8;                        // bits a sample
        data[9] = channels === 4 ? 6 : 2;   // RGBA or RGB
        return chunk('IHDR', data);         // deflate, adaptive filters, no interlace
    }

    // rows(first, count) returns a copy of those rows' filtered bytes;
    // progress(done, total) after each band. Returns the file's parts, in
    // order (for a Blob, or to be joined).
    async function encode({ width, height, channels, rows, band = 256, progress }) {
        const stream = new CompressionStream('deflate'); // the zlib format PNG holds
        const compressed = new Response(stream.readable).arrayBuffer();
        const writer = stream.writable.getWriter();
        for (let y = 0; y < height; y += band) {
            const count = Math.min(band, height - y);
            await writer.write(rows(y, count));
            if (progress)
                progress(y + count, height);
        }
        await writer.close();
        const data = new Uint8Array(await compressed);
        return [new Uint8Array(SIGNATURE), header(width, height, channels), chunk('IDAT', data),
            chunk('IEND', new Uint8Array(0))];
    }

    return { encode, crc32 };
})();

if (typeof module === 'object' && module.exports)
    module.exports = VelkPng;
