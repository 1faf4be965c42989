// User presets as registry files: the .reg text regedit and `velk presets
// export` write (UTF-16, HKEY_CURRENT_USER), and the presets read back from
// any such file, REGEDIT4 or version 5.00, from any hive. Pure functions,
// shared by the page and its tests.
'use strict';

const VelkRegistry = (() => {
  const FILTERS = ['velk3d', 'velk2000'];
  // Where the plug-ins keep their user presets, below the hive.
  const REGISTRY_KEYS = { velk3d: 'Software\\Velk 3D\\User Defined', velk2000: 'Software\\Orchwell\\Velk2000' };
  const LAST_USED = 'Last Used'; // velk3d's last applied settings, not a preset
  const MAX_NAME_BYTES = 49;
  const RECORD_SIZE = 64;

  const utf8Length = (text) => new TextEncoder().encode(text).length;

  // The registry file regedit writes: UTF-16 with its byte-order mark, CRLF
  // lines, values broken before 80 columns.
  function format(presets) {
    let text = 'Windows Registry Editor Version 5.00\r\n';
    for (const filter of FILTERS) {
      if (!presets[filter].length) continue;
      text += `\r\n[HKEY_CURRENT_USER\\${REGISTRY_KEYS[filter]}]\r\n`;
      for (const p of presets[filter]) {
        let line = `"${p.name.replace(/["\\]/g, '\\$&')}"=hex:`;
        p.record.forEach((byte, i) => {
          line += byte.toString(16).padStart(2, '0');
          if (i + 1 < p.record.length) {
            line += ',';
            if (utf8Length(line) > 76) {
              text += `${line}\\\r\n`;
              line = '  ';
            }
          }
        });
        text += `${line}\r\n`;
      }
    }
    text += '\r\n';
    const bytes = new Uint8Array(2 + text.length * 2);
    bytes[0] = 0xff;
    bytes[1] = 0xfe;
    for (let i = 0; i < text.length; ++i) {
      const unit = text.charCodeAt(i);
      bytes[2 + 2 * i] = unit & 0xff;
      bytes[3 + 2 * i] = unit >> 8;
    }
    return bytes;
  }

  function decodeRegistryText(bytes) {
    if (bytes[0] === 0xff && bytes[1] === 0xfe) return new TextDecoder('utf-16le').decode(bytes.subarray(2));
    return new TextDecoder('utf-8').decode(bytes); // drops a UTF-8 byte-order mark
  }

  // The key path below its hive, lower case, or '' for another hive.
  function belowHive(key) {
    let k = key.toLowerCase();
    let rest = '';
    for (const hive of ['hkey_local_machine\\', 'hkey_current_user\\', 'hklm\\', 'hkcu\\']) if (k.startsWith(hive)) rest = k.slice(hive.length);
    if (k.startsWith('hkey_users\\')) {
      const user = k.indexOf('\\', 11);
      if (user >= 0) rest = k.slice(user + 1);
    }
    if (rest.startsWith('software\\wow6432node\\')) rest = `software\\${rest.slice(21)}`;
    return rest;
  }

  // "name"=hex:... lines of the presets' keys: [{filter, name, record}] and
  // what was left out, or throws when this is no registry file.
  function parse(bytes) {
    const lines = decodeRegistryText(bytes).replace(/\r/g, '').split('\n');
    let n = lines.findIndex((l) => l.trim() !== '');
    const first = n >= 0 ? lines[n].trim() : '';
    if (first !== 'Windows Registry Editor Version 5.00' && first !== 'REGEDIT4') throw new Error('not a registry file');
    const keys = Object.fromEntries(FILTERS.map((f) => [REGISTRY_KEYS[f].toLowerCase(), f]));
    const found = [];
    const skipped = [];
    let filter = null;
    for (++n; n < lines.length; ++n) {
      let line = lines[n].trim();
      while (line.endsWith('\\') && n + 1 < lines.length) line = line.slice(0, -1) + lines[++n].trim();
      if (line.startsWith('[')) {
        filter = line.endsWith(']') && !line.startsWith('[-') ? keys[belowHive(line.slice(1, -1))] || null : null;
        continue;
      }
      const value = /^"((?:[^"\\]|\\.)*)"\s*=\s*(.*)$/.exec(line);
      if (!filter || !value) continue;
      const name = value[1].replace(/\\(.)/g, '$1');
      const hex = /^hex(?:\(3\))?:(.*)$/.exec(value[2]);
      if (!hex || name === LAST_USED) continue;
      const digits = hex[1].split(/[\s,]+/).filter(Boolean);
      const record = Uint8Array.from(digits, (d) => parseInt(d, 16));
      if (digits.some((d) => !/^[0-9a-f]{1,2}$/i.test(d)) || record.length !== RECORD_SIZE) skipped.push(`${name} (not a ${RECORD_SIZE}-byte record)`);
      else if (!name || utf8Length(name) > MAX_NAME_BYTES) skipped.push(`${name} (name too long)`);
      else found.push({ filter, name, record });
    }
    return { found, skipped };
  }

  return { format, parse, utf8Length, LAST_USED, MAX_NAME_BYTES };
})();

if (typeof module === 'object' && module.exports)
  module.exports = VelkRegistry;
