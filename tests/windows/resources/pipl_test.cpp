// The PiPL of the module, byte for byte, against a list built here from the
// host's layout rules: for the architecture of this test program (linked in)
// and for the other one (compiled with its windres into a .res file).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/windows/resources/raw_resource.h"

namespace {

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
        return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 |
               uint32_t(uint8_t(c[3]));
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

std::vector<uint8_t> ExpectedPipl(const char* codeKey)
{
    const ModuleFacts& m = Module();
    PiplBuilder b;
    b.U16(1); // version
    b.U32(0); // kind/version
    b.U32(8); // properties
    b.Property("kind", PiplBuilder::Le32(PiplBuilder::Code("8BFM")));
    b.Property("name", PiplBuilder::Pascal(m.productName));
    b.Property("catg", PiplBuilder::Pascal("Orchwell"));
    b.Property("vers", PiplBuilder::Le32(m.vers));
    b.Property(codeKey, PiplBuilder::CString("ENTRYPOINT"));
    b.Property("mode", {0x10, 0x00}); // 0x1000 RGB, high byte first
    b.Property("enbl", PiplBuilder::CString("in (PSHOP_ImageMode,RGBMode)"));
    std::vector<uint8_t> fici;
    for (int filterCase = 1; filterCase <= 7; ++filterCase) {
        bool noSelection = filterCase == 1 || filterCase == 4 || filterCase == 6;
        fici.insert(fici.end(), {1, 1, uint8_t(noSelection ? 0x07 : 0x0F), 0});
    }
    b.Property("fici", fici);
    return b.bytes;
}

std::string Hex(const std::vector<uint8_t>& d)
{
    std::string s;
    char buf[4];
    for (size_t i = 0; i < d.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", d[i]);
        s += buf;
        s += (i % 16 == 15) ? '\n' : ' ';
    }
    return s;
}

const char* OwnCodeKey() { return sizeof(void*) == 8 ? "8664" : "wx86"; }
const char* OtherCodeKey() { return sizeof(void*) == 8 ? "wx86" : "8664"; }

} // namespace

TEST(MODULE_SUITE(Pipl), ResourceOfThisArchitectureMatchesTheLayout)
{
    std::vector<uint8_t> actual = RawResource("PIPL", MAKEINTRESOURCEA(16000));
    std::vector<uint8_t> expected = ExpectedPipl(OwnCodeKey());
    ASSERT_FALSE(actual.empty()) << "no PIPL 16000";
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_EQ(actual, expected) << "actual:\n" << Hex(actual) << "\nexpected:\n" << Hex(expected);
}

TEST(MODULE_SUITE(Pipl), ResourceOfTheOtherArchitectureMatchesTheLayout)
{
    std::string path = VELK_OTHER_ARCH_RES;
    if (path.empty())
        GTEST_SKIP() << "no windres for the other architecture";
    std::vector<uint8_t> actual = ResFileResource(path, L"PIPL", 16000);
    std::vector<uint8_t> expected = ExpectedPipl(OtherCodeKey());
    ASSERT_FALSE(actual.empty()) << "no PIPL 16000 in " << path;
    EXPECT_EQ(actual, expected) << "actual:\n" << Hex(actual) << "\nexpected:\n" << Hex(expected);
}

TEST(MODULE_SUITE(Pipl), PropertyLengthsLeadFromOnePropertyToTheNext)
{
    // A host that steps by the length field alone must meet all eight keys
    // and end exactly at the end of the resource.
    std::vector<uint8_t> d = RawResource("PIPL", MAKEINTRESOURCEA(16000));
    ASSERT_GE(d.size(), 10u);
    std::vector<std::string> keys;
    size_t at = 10;
    while (at + 16 <= d.size()) {
        keys.push_back({char(d[at + 7]), char(d[at + 6]), char(d[at + 5]), char(d[at + 4])});
        uint32_t len = uint32_t(d[at + 12]) | uint32_t(d[at + 13]) << 8 | uint32_t(d[at + 14]) << 16 |
                       uint32_t(d[at + 15]) << 24;
        EXPECT_EQ(len % 4, 0u) << keys.back();
        at += 16 + len;
    }
    EXPECT_EQ(at, d.size());
    std::vector<std::string> expected = {"kind", "name", "catg", "vers", OwnCodeKey(), "mode", "enbl", "fici"};
    EXPECT_EQ(keys, expected);
}
