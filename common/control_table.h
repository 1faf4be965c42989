// A filter's controls as data: for every control of a dialog, the record
// bytes it sets, the values it can take and the widget that shows it. The
// dialogs move values between widgets and records through these tables, and
// the command line names, checks and writes its options with them, so a
// control's rules exist once.
#pragma once

#include <cstdint>
#include <cstring>

enum class ControlKind : uint8_t {
    Value,  // a slider, a pad or a pair of sliders: one or two numbers
    Toggle, // a three-picture toggle: a state 0..max, with names
    Check,  // a check box: 0 or 1
    Colour, // a swatch: a colour source and red, green, blue
};

// One number of a control: where it lives in the record and which widget
// holds it.
struct ControlValue {
    uint8_t offset; // byte of the record
    uint8_t bytes;  // 1: unsigned byte; 2: signed 16-bit little-endian
    uint8_t shift;  // a bit field: the value is (field >> shift) & mask
    uint8_t mask;   // 0: the whole field
    int8_t widget;  // the dialog's slider, toggle or check box index
    uint8_t axis;   // 0: the widget's x, 1: its y
};

struct ControlSpec {
    const char* option;  // the command line's name, without "--"
    const char* alias;   // an older name of the option, or null
    const char* caption; // what the dialog calls it
    ControlKind kind;
    uint8_t count;       // numbers in the value: 1 or 2
    int16_t min, max;    // the range of each number, as a drag limits it
    ControlValue value[2];
    const char* const* names; // a toggle's state names (max + 1 of them), or null
    // A colour: value[0] is the source (ColourSource, 0..3) and value[1].offset
    // the first of the red, green, blue bytes.
};

struct ControlTable {
    const ControlSpec* controls;
    int count;
};

inline int32_t ReadControlValue(const void* record, const ControlValue& v)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(record) + v.offset;
    int32_t field = bytes[0];
    if (v.bytes == 2)
        field = static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)));
    return v.mask ? (field >> v.shift) & v.mask : field;
}

// Writes value into the field; a bit field keeps the field's other bits.
inline void WriteControlValue(void* record, const ControlValue& v, int32_t value)
{
    uint8_t* bytes = static_cast<uint8_t*>(record) + v.offset;
    if (v.mask) {
        const int32_t keep = bytes[0] & ~(v.mask << v.shift);
        bytes[0] = static_cast<uint8_t>(keep | ((value & v.mask) << v.shift));
    } else if (v.bytes == 2) {
        bytes[0] = static_cast<uint8_t>(value);
        bytes[1] = static_cast<uint8_t>(value >> 8);
    } else {
        bytes[0] = static_cast<uint8_t>(value);
    }
}

// The value limited to the control's range, as a drag or a load limits it.
inline int32_t LimitControlValue(const ControlSpec& c, int32_t value)
{
    return value < c.min ? c.min : value > c.max ? c.max : value;
}

// The control with this option name or alias, or null.
inline const ControlSpec* FindControl(const ControlTable& table, const char* option)
{
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        if (std::strcmp(c.option, option) == 0 || (c.alias && std::strcmp(c.alias, option) == 0))
            return &c;
    }
    return nullptr;
}

// The control whose number `axis` is held by widget `widget` of `kind`, or
// null.
inline const ControlSpec* ControlOfWidget(const ControlTable& table, ControlKind kind, int widget,
                                          int axis, int* number = nullptr)
{
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        if (c.kind != kind)
            continue;
        for (int k = 0; k < c.count; ++k)
            if (c.value[k].widget == widget && c.value[k].axis == axis) {
                if (number)
                    *number = k;
                return &c;
            }
    }
    return nullptr;
}
