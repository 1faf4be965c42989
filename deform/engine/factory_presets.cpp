// The factory preset codes of velk3d and their number parser.
#include "deform/engine/factory_presets.h"

#include <cctype>
#include <cstring>

const char* DeformString(int id)
{
    switch (id) {
    case 1: return DEFORM_STR_1;
    case 2: return DEFORM_STR_2;
    case 3: return DEFORM_STR_3;
    case 4: return DEFORM_STR_4;
    case 5: return DEFORM_STR_5;
    case 6: return DEFORM_STR_6;
    case 7: return DEFORM_STR_7;
    case 8: return DEFORM_STR_8;
    case 9: return DEFORM_STR_9;
    case 10: return DEFORM_STR_10;
    case 11: return DEFORM_STR_11;
    case 40: return DEFORM_STR_40;
    default: return nullptr;
    }
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The end of the string stops the parser: the position never moves past the
// terminating NUL, so a short or cut text is never read beyond its end.
int parsePresetNumber(int16_t* target, const char* text, int* position)
{
    int pos = *position;
    // A digit must stand within the next 20 characters.
    for (int skipped = 0; !IsDigit(text[pos]);) {
        if (text[pos] == '\0') {
            *position = pos;
            return 1;
        }
        ++pos;
        if (++skipped == 20) {
            *position = pos;
            return 1;
        }
    }
    char digits[5];
    int count = 0;
    while (IsDigit(text[pos])) {
        if (count == 4) { // a fifth digit leaves no room for the terminator
            *position = pos + 1;
            return 1;
        }
        digits[count++] = text[pos++];
    }
    digits[count] = '\0';
    if (text[pos] != '\0') ++pos; // just after the terminating non-digit
    *position = pos;
    int value = 0;
    for (int k = 0; k < count; ++k) value = value * 10 + (digits[k] - '0');
    if (value != 9999) *target = static_cast<int16_t>(value);
    return 0;
}

// Copies at most 60 characters of a code (the size the string table is read
// with) and returns the index just after its "#", or -1.
static int CopyCode(const char* code, char* buffer)
{
    int n = 0;
    while (n < 60 && code[n] != '\0') {
        buffer[n] = code[n];
        ++n;
    }
    buffer[n] = '\0';
    const char* hash = static_cast<const char*>(std::memchr(buffer, '#', n));
    return hash ? static_cast<int>(hash - buffer) + 1 : -1;
}

bool DecodeFactoryPreset(const char* code, DeformSettings& record)
{
    if (!code) return false;
    char text[61];
    int pos = CopyCode(code, text);
    if (pos < 0) return false;
    int16_t* const fields[8] = {
        &record.valueX[SlotTileWidth],   &record.valueY[SlotTileHeight],
        &record.valueX[SlotBevelWidth],  &record.valueX[SlotSideShading],
        &record.valueX[SlotGradient],    &record.valueY[SlotGradient],
        &record.valueX[SlotStretch],     &record.valueY[SlotStretch],
    };
    for (int16_t* field : fields) parsePresetNumber(field, text, &pos);
    int16_t style = record.styleBits;
    parsePresetNumber(&style, text, &pos);
    record.styleBits = static_cast<uint8_t>((style & 3) | (((style >> 2) & 1) << 2));
    record.saveFlags = 0;
    record.checksum = DeformChecksum(record);
    return true;
}

// The display name of a code: the text before "#", trailing blanks removed.
static int NameLength(const char* code)
{
    const char* hash = std::strchr(code, '#');
    int n = hash ? static_cast<int>(hash - code) : static_cast<int>(std::strlen(code));
    while (n > 0 && code[n - 1] == ' ') --n;
    return n;
}

void FactoryPresetName(int n, char* name, int capacity)
{
    if (!name || capacity <= 0) return;
    name[0] = '\0';
    if (n < 0 || n >= kFactoryPresetCount) return;
    const char* code = DeformString(n + 2);
    int length = NameLength(code);
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(name, code, length);
    name[length] = '\0';
}

int FindFactoryPreset(const char* name)
{
    if (!name) return -1;
    while (*name == ' ' || *name == '\t') ++name;
    int length = static_cast<int>(std::strlen(name));
    while (length > 0 && (name[length - 1] == ' ' || name[length - 1] == '\t')) --length;
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        const char* code = DeformString(n + 2);
        if (NameLength(code) != length) continue;
        int k = 0;
        while (k < length && std::tolower(static_cast<unsigned char>(code[k])) ==
                                 std::tolower(static_cast<unsigned char>(name[k])))
            ++k;
        if (k == length) return n;
    }
    return -1;
}

void FirstRunSettings(int n, int32_t planes, DeformSettings& record)
{
    DecodeFactoryPreset(DeformString(n + 2), record);
    SetFallbackLightCorrection(record);
    record.antialias = 1;
    SetDefaultColour(record);
    record.colourSource = planes == 4 ? Transparent : Picker;
}
