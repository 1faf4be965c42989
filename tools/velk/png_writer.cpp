#include "tools/velk/png_writer.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "tools/velk/deflate_join.h"

namespace {

// Filtered bytes per band. Big enough that restarting the history costs
// nothing measurable (0.02% on a render, under 1% on smooth pictures), small
// enough that a 24-megapixel image gives both cores many bands to share.
constexpr size_t kBandBytes = size_t(2) << 20;

void PutBigEndian(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

void AppendChunk(std::vector<uint8_t>& out, const char type[4], const uint8_t* data, uint32_t size)
{
    const size_t at = out.size();
    out.resize(at + 12 + size);
    PutBigEndian(&out[at], size);
    std::memcpy(&out[at + 4], type, 4);
    if (size > 0)
        std::memcpy(&out[at + 8], data, size);
    PutBigEndian(&out[at + 8 + size], static_cast<uint32_t>(libdeflate_crc32(0, &out[at + 4], 4 + size)));
}

enum Filter : uint8_t { None, Sub, Up, Average, Paeth };

uint8_t PaethPredictor(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : (pb <= pc ? b : c));
}

// One row filtered: out[0] is the filter, out[1..] the filtered bytes. The
// first pixel has no left neighbour, the first row no row above.
void FilterRow(Filter f, const uint8_t* row, const uint8_t* above, size_t bytes, int pixelBytes, uint8_t* out)
{
    const size_t left = std::min(bytes, static_cast<size_t>(pixelBytes));
    out[0] = f;
    uint8_t* d = out + 1;
    switch (f) {
    case None:
        std::memcpy(d, row, bytes);
        break;
    case Sub:
        std::memcpy(d, row, left);
        for (size_t x = left; x < bytes; ++x)
            d[x] = static_cast<uint8_t>(row[x] - row[x - left]);
        break;
    case Up:
        for (size_t x = 0; x < bytes; ++x)
            d[x] = static_cast<uint8_t>(row[x] - (above ? above[x] : 0));
        break;
    case Average:
        for (size_t x = 0; x < left; ++x)
            d[x] = static_cast<uint8_t>(row[x] - ((above ? above[x] : 0) >> 1));
        for (size_t x = left; x < bytes; ++x)
            d[x] = static_cast<uint8_t>(row[x] - ((row[x - left] + (above ? above[x] : 0)) >> 1));
        break;
    case Paeth:
        for (size_t x = 0; x < left; ++x)
            d[x] = static_cast<uint8_t>(row[x] - (above ? above[x] : 0)); // the predictor is the byte above
        for (size_t x = left; x < bytes; ++x)
            d[x] = static_cast<uint8_t>(
                row[x] - (above ? PaethPredictor(row[x - left], above[x], above[x - left]) : row[x - left]));
        break;
    }
}

// The filter libpng's heuristic picks: the smallest sum of the filtered
// bytes taken as signed, None preferred on a tie.
void FilterRowAdaptively(const uint8_t* row, const uint8_t* above, size_t bytes, int pixelBytes, uint8_t* out,
                         std::vector<uint8_t>& trial)
{
    trial.resize(bytes + 1);
    uint64_t best = UINT64_MAX;
    for (Filter f : {None, Sub, Up, Average, Paeth}) {
        FilterRow(f, row, above, bytes, pixelBytes, trial.data());
        uint64_t sum = 0;
        for (size_t x = 1; x <= bytes; ++x)
            sum += static_cast<uint64_t>(std::abs(static_cast<int>(static_cast<int8_t>(trial[x]))));
        if (sum < best) {
            best = sum;
            std::memcpy(out, trial.data(), bytes + 1);
        }
    }
}

// The zlib header for a compression level (its FLEVEL field tells readers
// how hard the compressor tried; it changes nothing in the decoding).
void ZlibHeader(int level, uint8_t header[2])
{
    const int flevel = level < 2 ? 0 : (level < 6 ? 1 : (level == 6 ? 2 : 3));
    header[0] = 0x78; // deflate, 32 KB window
    int flags = flevel << 6;
    flags += (31 - (header[0] * 256 + flags) % 31) % 31;
    header[1] = static_cast<uint8_t>(flags);
}

} // namespace

PngWriter::PngWriter(int32_t width, int32_t height, int32_t channels, const PngChunks& chunks, int level,
                     int threads)
    : width_(width), height_(height), channels_(channels), level_(level)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    head_.assign(kSignature, kSignature + 8);
    uint8_t ihdr[13];
    PutBigEndian(ihdr, static_cast<uint32_t>(width));
    PutBigEndian(ihdr + 4, static_cast<uint32_t>(height));
    ihdr[8] = 8;                         // bits per sample
    ihdr[9] = channels == 4 ? 6 : 2;     // RGBA or RGB
    ihdr[10] = ihdr[11] = ihdr[12] = 0;  // deflate, adaptive filters, not interlaced
    AppendChunk(head_, "IHDR", ihdr, 13);
    head_.insert(head_.end(), chunks.beforeImage.begin(), chunks.beforeImage.end());
    tail_ = chunks.afterImage;
    AppendChunk(tail_, "IEND", nullptr, 0);

    const size_t rowBytes = size_t(width) * static_cast<size_t>(channels) + 1;
    const int32_t bandRows = static_cast<int32_t>(std::max<size_t>(1, kBandBytes / rowBytes));
    for (int32_t first = 0; first < height; first += bandRows) {
        PngBand band;
        band.first = first;
        band.end = std::min(height, first + bandRows);
        bands_.push_back(std::move(band));
    }
    if (threads <= 0)
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::min<int>(threads, static_cast<int>(bands_.size()));
    for (int i = 0; i < threads; ++i)
        workers_.emplace_back(&PngWriter::Work, this);
}

PngWriter::~PngWriter()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void PngWriter::AddRows(const uint8_t* pixels, int32_t end)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pixels_ = pixels;
        rowsReady_ = std::max(rowsReady_, std::min(end, height_));
    }
    changed_.notify_all();
}

void PngWriter::Work()
{
    // One compressor a thread, for all its bands.
    std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> compressor(nullptr,
                                                                                         libdeflate_free_compressor);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] {
            return stopping_ || (nextBand_ < bands_.size() && bands_[nextBand_].end <= rowsReady_);
        });
        if (stopping_)
            return;
        const size_t index = nextBand_++;
        lock.unlock();
        if (!compressor)
            compressor.reset(libdeflate_alloc_compressor(level_));
        EncodeBand(bands_[index], compressor.get(), index == 0, index + 1 == bands_.size());
        lock.lock();
        ++bandsDone_;
        changed_.notify_all();
    }
}

void PngWriter::EncodeBand(PngBand& band, libdeflate_compressor* compressor, bool firstBand, bool lastBand) const
{
    const size_t bytes = size_t(width_) * static_cast<size_t>(channels_);
    const size_t rows = static_cast<size_t>(band.end - band.first);
    std::vector<uint8_t> filtered((bytes + 1) * rows), trial;
    for (size_t r = 0; r < rows; ++r) {
        const size_t y = static_cast<size_t>(band.first) + r;
        const uint8_t* row = pixels_ + y * bytes;
        const uint8_t* above = y > 0 ? row - bytes : nullptr;
        uint8_t* out = &filtered[r * (bytes + 1)];
        if (level_ < 6)
            FilterRow(Average, row, above, bytes, channels_, out);
        else
            FilterRowAdaptively(row, above, bytes, channels_, out, trial);
    }
    band.filteredSize = filtered.size();
    band.adler = static_cast<uint32_t>(libdeflate_adler32(1, filtered.data(), filtered.size()));

    if (!compressor) {
        band.failed = true;
        return;
    }
    // The chunk: length and type, the zlib header in the first band, the
    // deflated rows (the sync marker after them, or in the last band the
    // zlib trailer), the CRC. Deflated into scratch room of the worst case's
    // size, then kept at its own size.
    const size_t start = 8 + (firstBand ? 2 : 0);
    const size_t bound = libdeflate_deflate_compress_bound(compressor, filtered.size());
    const std::unique_ptr<uint8_t[]> room(new uint8_t[start + bound + kSyncMarkerBytes]); // untouched until written
    if (firstBand)
        ZlibHeader(level_, &room[8]);
    size_t deflated =
        libdeflate_deflate_compress(compressor, filtered.data(), filtered.size(), &room[start], bound);
    filtered = std::vector<uint8_t>();
    if (deflated != 0 && !lastBand)
        deflated = UnfinishDeflate(&room[start], deflated);
    if (deflated == 0) {
        band.failed = true;
        return;
    }
    band.chunk.reserve(start + deflated + 8);
    band.chunk.assign(room.get(), room.get() + start + deflated);
    std::memcpy(&band.chunk[4], "IDAT", 4);
    if (lastBand)
        return; // its trailer and CRC come when every band is done
    PutBigEndian(&band.chunk[0], static_cast<uint32_t>(band.chunk.size() - 8));
    const uint32_t crc = static_cast<uint32_t>(libdeflate_crc32(0, &band.chunk[4], band.chunk.size() - 4));
    band.chunk.resize(band.chunk.size() + 4);
    PutBigEndian(&band.chunk[band.chunk.size() - 4], crc);
}

bool PngWriter::Finish(std::vector<FilePiece>& pieces, std::string& error)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (rowsReady_ < height_) {
        error = "the image is incomplete";
        return false;
    }
    changed_.wait(lock, [&] { return bandsDone_ == bands_.size(); });
    lock.unlock();

    uLong adler = 1;
    for (const PngBand& band : bands_) {
        if (band.failed) {
            error = "out of memory while compressing";
            return false;
        }
        adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.filteredSize));
    }
    PngBand& last = bands_.back();
    const size_t trailer = last.chunk.size();
    last.chunk.resize(trailer + 8);
    PutBigEndian(&last.chunk[trailer], static_cast<uint32_t>(adler));
    PutBigEndian(&last.chunk[0], static_cast<uint32_t>(trailer + 4 - 8));
    PutBigEndian(&last.chunk[trailer + 4],
                 static_cast<uint32_t>(libdeflate_crc32(0, &last.chunk[4], trailer + 4 - 4)));

    pieces.clear();
    pieces.push_back({head_.data(), head_.size()});
    for (const PngBand& band : bands_)
        pieces.push_back({band.chunk.data(), band.chunk.size()});
    pieces.push_back({tail_.data(), tail_.size()});
    return true;
}
