// PNG files written on every core. The image is cut into bands of rows;
// each band is filtered and deflated (libdeflate) by a worker thread as soon
// as its rows are there, and the bands are joined into the file's one zlib
// stream (deflate_join.h). A band starts with an empty history, which costs
// well under 1% of the size at the band height chosen here.
//
// Rows are filtered as the command line always wrote them: below level 6
// every row with the Average filter (fast, and on photographs nearly as small
// as choosing per row), from 6 on each row's filter chosen by the smallest
// sum of the filtered bytes, as libpng chooses.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/velk/output_file.h"

struct libdeflate_compressor;

// Ancillary chunks carried into the file, each complete (length, type, data,
// CRC): before the image data (colour profile, Exif, resolution, text) and
// after it (text the source kept there).
struct PngChunks {
    std::vector<uint8_t> beforeImage;
    std::vector<uint8_t> afterImage;
};

struct PngBand {
    int32_t first = 0, end = 0; // its rows
    std::vector<uint8_t> chunk; // the IDAT chunk: length, type, data, CRC (the last band's CRC at the end)
    uint32_t adler = 1;         // of its filtered rows
    size_t filteredSize = 0;
    bool failed = false;
};

class PngWriter {
public:
    // Pixels are 8-bit RGB or RGBA (channels 3 or 4); level is zlib's 0..9;
    // threads 0 means one a core.
    PngWriter(int32_t width, int32_t height, int32_t channels, const PngChunks& chunks, int level,
              int threads);
    ~PngWriter(); // an unfinished file is dropped
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // Rows 0..end - 1 of pixels (the whole image's buffer, which must stay
    // as it is until Finish) are final: the bands they complete start.
    void AddRows(const uint8_t* pixels, int32_t end);

    // After every row: waits for the bands and gives the file as pieces in
    // order (valid while the writer lives). False with a message on failure.
    bool Finish(std::vector<FilePiece>& pieces, std::string& error);

private:
    void Work();
    void EncodeBand(PngBand& band, libdeflate_compressor* compressor, bool firstBand, bool lastBand) const;

    int32_t width_, height_, channels_;
    int level_;
    std::vector<uint8_t> head_; // signature, IHDR, the chunks before the image
    std::vector<uint8_t> tail_; // the chunks after it, IEND
    std::vector<PngBand> bands_;
    const uint8_t* pixels_ = nullptr;

    std::mutex mutex_;
    std::condition_variable changed_;
    int32_t rowsReady_ = 0;
    size_t nextBand_ = 0, bandsDone_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
