// The PiPL a module must carry, built from the host's published layout rules
// (not from the resource scripts): version 1, kind/version 0, 8 properties of
// vendor "8BIM", each with its data padded to 4 bytes and the padded length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PiplBuilder {
public:
    std::vector<uint8_t> bytes;

    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v)
    {
        U8(uint8_t(v));
        U8(uint8_t(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(uint16_t(v));
        U16(uint16_t(v >> 16));
    }
    // A four-character code is the little-endian integer of its characters
    // read big-endian.
    static uint32_t Code(const char* c)
    {
        return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 |
               uint32_t(uint8_t(c[2])) << 8 | uint32_t(uint8_t(c[3]));
    }
    static std::vector<uint8_t> Le32(uint32_t v)
    {
        return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    }
    static std::vector<uint8_t> Pascal(const std::string& s)
    {
        std::vector<uint8_t> d{uint8_t(s.size())};
        d.insert(d.end(), s.begin(), s.end());
        return d;
    }
    static std::vector<uint8_t> CString(const std::string& s)
    {
        std::vector<uint8_t> d(s.begin(), s.end());
        d.push_back(0);
        return d;
    }
    // Vendor, key, id 0, then the data padded to 4 bytes with the padded
    // length in front.
    void Property(const char* key, std::vector<uint8_t> data)
    {
        while (data.size() % 4 != 0)
            data.push_back(0);
        U32(Code("8BIM"));
        U32(Code(key));
        U32(0);
        U32(uint32_t(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
};

// productName "Velk 2000" / "Velk 3D", vers 0x00010001 / 0x00010009,
// codeKey "wx86" (Win32) or "8664" (Win64).
inline std::vector<uint8_t> ExpectedPipl(const std::string& productName, uint32_t vers,
                                         const char* codeKey)
{
    PiplBuilder b;
    b.U16(1); // version
    b.U32(0); // kind/version
    b.U32(9); // properties
    b.Property("kind", PiplBuilder::Le32(PiplBuilder::Code("8BFM")));
    b.Property("name", PiplBuilder::Pascal(productName));
    b.Property("catg", PiplBuilder::Pascal("Orchwell"));
    b.Property("vers", PiplBuilder::Le32(vers));
    b.Property(codeKey, PiplBuilder::CString("ENTRYPOINT"));
    b.Property("mode", {0x10, 0x00}); // 0x1000 RGB, high byte first
    b.Property("enbl", PiplBuilder::CString("in (PSHOP_ImageMode,RGBMode)"));
    std::vector<uint8_t> fici;
    for (int filterCase = 1; filterCase <= 7; ++filterCase) {
        const bool noSelection = filterCase == 1 || filterCase == 4 || filterCase == 6;
        fici.insert(fici.end(), {1, 1, uint8_t(noSelection ? 0x07 : 0x0F), 0});
    }
    b.Property("fici", fici);
    b.Property("pmsa", PiplBuilder::Le32(1)); // the dialog follows the monitor's scaling
    return b.bytes;
}
