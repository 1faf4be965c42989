// Joining raw deflate streams that were compressed independently (in
// parallel, by a compressor that can only finish a stream, such as
// libdeflate) into one stream. Every part but the last has the final-block
// mark of its last block cleared and ends with an empty stored block, the
// byte-aligned marker zlib's Z_SYNC_FLUSH writes, so that the next part's
// first block starts on a byte and follows on.
//
// Where the last block starts is only known by walking the stream's blocks,
// so FindFinalBlock decodes the Huffman codes (it does not produce the data).
#pragma once

#include <cstddef>
#include <cstdint>

struct FinalBlock {
    uint64_t headerBit = 0; // the bit that marks the block as final
    uint64_t endBit = 0;    // just past the block's end-of-block code
};

// Walks a raw deflate stream (no zlib header) to its final block. False when
// the bytes are not a complete deflate stream or hold anything after the
// final block but its padding bits.
bool FindFinalBlock(const uint8_t* data, size_t size, FinalBlock& last);

// The most bytes UnfinishDeflate appends.
constexpr size_t kSyncMarkerBytes = 5;

// Makes the complete raw deflate stream of `size` bytes at `stream`
// continuable: clears the final mark and appends the sync marker, for which
// kSyncMarkerBytes must be free after the stream. The stream's new size, or 0,
// with the bytes untouched, when FindFinalBlock fails on it.
size_t UnfinishDeflate(uint8_t* stream, size_t size);
