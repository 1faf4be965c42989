#include "tools/velk/deflate_join.h"

#include <cstring>
#include <vector>

namespace {

// Bits of a deflate stream, least significant first, through a 64-bit
// buffer. Refill makes at least 48 bits ready: enough for a length code, a
// distance code and their extra bits. Reading past the end gives zeros;
// Overrun tells afterwards, so the decoding loops need no check per bit.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) { Refill(); }

    void Refill()
    {
        if (count_ >= 48)
            return;
        if (next_ + 8 <= size_) {
            // Whole bytes while they fit: 56..63 bits ready.
            uint64_t word;
            std::memcpy(&word, data_ + next_, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
            word = __builtin_bswap64(word);
#endif
            buffer_ |= word << count_;
            next_ += static_cast<size_t>((63 - count_) >> 3);
            count_ |= 56;
            return;
        }
        while (count_ <= 56) {
            const uint64_t byte = next_ < size_ ? data_[next_] : 0;
            buffer_ |= byte << count_;
            ++next_;
            count_ += 8;
        }
    }
    // The next n bits, and dropping them; n no more than are ready.
    uint32_t Peek(int n) const { return static_cast<uint32_t>(buffer_ & ((uint64_t(1) << n) - 1)); }
    void Drop(int n)
    {
        buffer_ >>= n;
        count_ -= n;
    }
    uint32_t Take(int n) // n <= 32
    {
        Refill();
        const uint32_t value = Peek(n);
        Drop(n);
        return value;
    }
    void AlignToByte() { Drop(count_ & 7); }
    void SkipBytes(uint32_t n) // at a byte boundary
    {
        const uint64_t target = Position() + uint64_t(n) * 8;
        next_ = static_cast<size_t>(target >> 3);
        buffer_ = 0;
        count_ = 0;
        Refill();
    }
    uint64_t Position() const { return uint64_t(next_) * 8 - static_cast<uint64_t>(count_); }
    bool Overrun() const { return Position() > uint64_t(size_) * 8; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t next_ = 0;     // the next byte to load
    uint64_t buffer_ = 0; // the next count_ bits
    int count_ = 0;
};

// Extra bits of the length symbols 257..285 and of the distances 0..29.
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Extra bits after each literal/length symbol (none after the literals),
// and after each distance symbol.
struct ExtraBits {
    uint8_t afterSymbol[288] = {};
    uint8_t afterDistance[32] = {};
    ExtraBits()
    {
        for (int s = 257; s < 286; ++s)
            afterSymbol[s] = kLengthExtra[s - 257];
        for (int d = 0; d < 30; ++d)
            afterDistance[d] = kDistanceExtra[d];
    }
};
const ExtraBits kExtra;

// A canonical Huffman code. Codes of up to kFastBits bits are looked up in
// one table indexed by the next kFastBits bits of the stream: symbol << 10 |
// (code length + the symbol's extra bits) << 5 | code length, or 0 where no
// short code starts. Longer codes, rare in practice, are decoded a bit at a
// time from the counts per length.
constexpr int kMaxCodeLength = 15;
constexpr int kFastBits = 10;

struct HuffmanTable {
    uint32_t fast[1 << kFastBits];
    int fastBits = 0;
    uint16_t perLength[kMaxCodeLength + 1]; // codes of each length
    uint16_t symbols[288];                  // by code
};

bool BuildTable(HuffmanTable& t, const uint8_t* lengths, int count, const uint8_t* extraBits)
{
    std::memset(t.perLength, 0, sizeof t.perLength);
    int longest = 0;
    for (int s = 0; s < count; ++s) {
        if (lengths[s] > kMaxCodeLength)
            return false;
        ++t.perLength[lengths[s]];
        if (lengths[s] > longest)
            longest = lengths[s];
    }
    t.perLength[0] = 0; // unused symbols take no code
    // More codes of a length than the shorter ones leave room for: not a
    // prefix code. Fewer (an incomplete code) is allowed; its gaps decode as
    // errors.
    int left = 1;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        left = left * 2 - t.perLength[len];
        if (left < 0)
            return false;
    }
    int offset[kMaxCodeLength + 2] = {};
    int next[kMaxCodeLength + 1] = {};
    for (int len = 1, code = 0; len <= kMaxCodeLength; ++len) {
        code = (code + t.perLength[len - 1]) << 1;
        next[len] = code;
        offset[len + 1] = offset[len] + t.perLength[len];
    }
    t.fastBits = longest < kFastBits ? longest : kFastBits;
    const size_t fastSize = size_t(1) << t.fastBits;
    std::memset(t.fast, 0, fastSize * sizeof t.fast[0]);
    for (int s = 0; s < count; ++s) {
        const int len = lengths[s];
        if (len == 0)
            continue;
        t.symbols[offset[len]++] = static_cast<uint16_t>(s);
        const uint32_t code = static_cast<uint32_t>(next[len]++);
        if (len > t.fastBits)
            continue;
        uint32_t reversed = 0; // the stream holds codes most significant bit first
        for (int i = 0; i < len; ++i)
            reversed |= ((code >> i) & 1u) << (len - 1 - i);
        for (size_t i = reversed; i < fastSize; i += size_t(1) << len)
            t.fast[i] = static_cast<uint32_t>(s << 10 | (len + (extraBits ? extraBits[s] : 0)) << 5 | len);
    }
    return true;
}

// A code longer than kFastBits, or none: bit by bit.
int DecodeSlowly(const HuffmanTable& t, BitReader& in)
{
    int code = 0, first = 0, index = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        code |= static_cast<int>(in.Take(1));
        const int count = t.perLength[len];
        if (code - first < count)
            return t.symbols[index + code - first];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return -1;
}

// The next symbol, its code taken (not its extra bits); -1 for no code.
inline int Decode(const HuffmanTable& t, BitReader& in)
{
    const uint32_t e = t.fast[in.Peek(t.fastBits)];
    if (e == 0)
        return DecodeSlowly(t, in);
    in.Drop(static_cast<int>(e & 31));
    return static_cast<int>(e >> 10);
}

// Reads a block's codes up to and including its end-of-block code. This loop
// is most of the time of a join, and its speed is the chain of dependent
// table loads from one code to the next: each step looks up the literal or
// length code and, at once, the distance code that would follow a length,
// with the extra bits counted in the tables; there is no branch on whether
// a match came, which on photographs is random. The reader is a local copy
// the compiler keeps in registers.
bool SkipCodes(BitReader& reader, const HuffmanTable& literals, const HuffmanTable& distances)
{
    BitReader in = reader;
    const uint32_t literalMask = (1u << literals.fastBits) - 1;
    const uint32_t distanceMask = (1u << distances.fastBits) - 1;
    bool ok = false;
    for (;;) {
        in.Refill();
        const uint32_t e = literals.fast[in.Peek(kFastBits) & literalMask];
        const uint32_t symbol = e >> 10;
        const int lengthBits = static_cast<int>((e >> 5) & 31);
        const uint32_t d = distances.fast[(in.Peek(lengthBits + kFastBits) >> lengthBits) & distanceMask];
        const bool match = symbol > 256;
        if (e == 0 || symbol == 256 || (match && (d == 0 || (d >> 10) >= 30))) {
            // The rare cases: a long code, the block's end, an error.
            const int slow = Decode(literals, in);
            if (slow < 0 || in.Overrun())
                break;
            if (slow < 256)
                continue;
            if (slow == 256) {
                ok = true;
                break;
            }
            if (slow - 257 >= 29)
                break;
            in.Drop(kLengthExtra[slow - 257]);
            in.Refill();
            const int distance = Decode(distances, in);
            if (distance < 0 || distance >= 30)
                break;
            in.Drop(kDistanceExtra[distance]);
            continue;
        }
        in.Drop(match ? lengthBits + static_cast<int>((d >> 5) & 31) : lengthBits);
        if (in.Overrun())
            break;
    }
    reader = in;
    return ok;
}

bool ReadDynamicTables(BitReader& in, HuffmanTable& literals, HuffmanTable& distances)
{
    const int nLiterals = static_cast<int>(in.Take(5)) + 257;
    const int nDistances = static_cast<int>(in.Take(5)) + 1;
    const int nCodeLengths = static_cast<int>(in.Take(4)) + 4;
    if (nLiterals > 286 || nDistances > 30)
        return false;
    static const uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    uint8_t codeLengths[19] = {};
    for (int i = 0; i < nCodeLengths; ++i)
        codeLengths[kOrder[i]] = static_cast<uint8_t>(in.Take(3));
    HuffmanTable lengthCode; // NOLINT(cppcoreguidelines-pro-type-member-init): filled by BuildTable
    if (!BuildTable(lengthCode, codeLengths, 19, nullptr))
        return false;
    uint8_t lengths[286 + 30] = {};
    const int total = nLiterals + nDistances;
    for (int n = 0; n < total;) {
        in.Refill();
        const int symbol = Decode(lengthCode, in);
        if (symbol < 0 || in.Overrun())
            return false;
        if (symbol < 16) {
            lengths[n++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t value = 0;
        int repeat;
        if (symbol == 16) {
            if (n == 0)
                return false;
            value = lengths[n - 1];
            repeat = 3 + static_cast<int>(in.Take(2));
        } else if (symbol == 17) {
            repeat = 3 + static_cast<int>(in.Take(3));
        } else {
            repeat = 11 + static_cast<int>(in.Take(7));
        }
        if (n + repeat > total)
            return false;
        std::memset(lengths + n, value, static_cast<size_t>(repeat));
        n += repeat;
    }
    return lengths[256] != 0 && BuildTable(literals, lengths, nLiterals, kExtra.afterSymbol) &&
           BuildTable(distances, lengths + nLiterals, nDistances, kExtra.afterDistance);
}

void FixedTables(HuffmanTable& literals, HuffmanTable& distances)
{
    uint8_t lengths[288];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    BuildTable(literals, lengths, 288, kExtra.afterSymbol);
    std::memset(lengths, 5, 30);
    BuildTable(distances, lengths, 30, kExtra.afterDistance);
}

} // namespace

bool FindFinalBlock(const uint8_t* data, size_t size, FinalBlock& last)
{
    BitReader in(data, size);
    // Filled by BuildTable before use. NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
    HuffmanTable literals, distances, fixedLiterals, fixedDistances;
    bool haveFixed = false;
    for (;;) {
        const uint64_t header = in.Position();
        const bool final = in.Take(1) != 0;
        const uint32_t type = in.Take(2);
        if (type == 0) {
            in.AlignToByte();
            const uint32_t length = in.Take(16);
            if ((in.Take(16) ^ 0xFFFFu) != length)
                return false;
            in.SkipBytes(length);
        } else if (type == 1) {
            if (!haveFixed)
                FixedTables(fixedLiterals, fixedDistances);
            haveFixed = true;
            if (!SkipCodes(in, fixedLiterals, fixedDistances))
                return false;
        } else if (type == 2) {
            if (!ReadDynamicTables(in, literals, distances) || !SkipCodes(in, literals, distances))
                return false;
        } else {
            return false;
        }
        if (in.Overrun())
            return false;
        if (final) {
            last.headerBit = header;
            last.endBit = in.Position();
            return (last.endBit + 7) / 8 == size;
        }
    }
}

size_t UnfinishDeflate(uint8_t* stream, size_t size)
{
    FinalBlock last;
    if (!FindFinalBlock(stream, size, last))
        return 0;
    stream[last.headerBit >> 3] &= static_cast<uint8_t>(~(1u << (last.headerBit & 7)));
    // An empty stored block: three header bits of 0, zeros to the byte's
    // end, then LEN 0 and NLEN 0xFFFF. The padding after the end-of-block
    // code is zeros already; when fewer than three bits of it are left, the
    // header runs into a byte of its own.
    const uint64_t padding = (8 - last.endBit % 8) % 8;
    if (padding < 3)
        stream[size++] = 0;
    for (uint8_t b : {0x00, 0x00, 0xFF, 0xFF})
        stream[size++] = b;
    return size;
}
