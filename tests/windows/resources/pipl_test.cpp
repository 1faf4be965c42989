// The PiPL of the module, byte for byte, against a list built here from the
// host's layout rules: for the architecture of this test program (linked in)
// and for the other one (compiled with its windres into a .res file).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/windows/harness/expected_pipl.h"
#include "tests/windows/resources/raw_resource.h"

namespace {

std::vector<uint8_t> ModulePipl(const char* codeKey)
{
    const ModuleFacts& m = Module();
    return ::ExpectedPipl(m.productName, m.vers, codeKey);
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
    std::vector<uint8_t> expected = ModulePipl(OwnCodeKey());
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
    std::vector<uint8_t> expected = ModulePipl(OtherCodeKey());
    ASSERT_FALSE(actual.empty()) << "no PIPL 16000 in " << path;
    EXPECT_EQ(actual, expected) << "actual:\n" << Hex(actual) << "\nexpected:\n" << Hex(expected);
}

TEST(MODULE_SUITE(Pipl), PropertyLengthsLeadFromOnePropertyToTheNext)
{
    // A host that steps by the length field alone must meet all nine keys
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
    std::vector<std::string> expected = {"kind", "name", "catg", "vers", OwnCodeKey(), "mode", "enbl", "fici", "pmsa"};
    EXPECT_EQ(keys, expected);
}
