// The input both record harnesses take: a flag byte (bit 0: repair the
// checksum so the record gets past its check; bit 1: a mask; bit 2: four
// planes), width and height, the record file's bytes (a byte 0 first gives
// a file of another length), then pixels and the mask.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_input.h"
#include "tools/velk/image_file.h"

struct FuzzRecordInput {
    Image image;
    std::vector<uint8_t> mask;
    std::string recordPath; // the record's bytes as a file
};

// Record is the record type; Checksum(record) is its checksum's value.
template <class Record, class Checksum>
FuzzRecordInput ReadFuzzRecordInput(const uint8_t* data, size_t size, const char* fileName,
                                    decltype(Record::checksum) Record::*field, Checksum checksum)
{
    FuzzInput in{data, size};
    FuzzRecordInput r;
    const uint8_t flags = in.Byte();
    r.image.width = in.In(1, 40);
    r.image.height = in.In(1, 40);
    r.image.channels = flags & 4 ? 4 : 3;
    std::vector<uint8_t> bytes(in.Byte() == 0 ? in.Byte() : sizeof(Record));
    in.Fill(bytes.data(), bytes.size());
    if ((flags & 1) && bytes.size() == sizeof(Record)) {
        Record record;
        std::memcpy(&record, bytes.data(), sizeof record);
        record.*field = checksum(record);
        std::memcpy(bytes.data(), &record, sizeof record);
    }
    r.image.pixels.resize(size_t(r.image.width) * r.image.height * r.image.channels);
    in.Fill(r.image.pixels.data(), r.image.pixels.size());
    if (flags & 2) {
        r.mask.resize(size_t(r.image.width) * r.image.height);
        in.Fill(r.mask.data(), r.mask.size());
    }
    r.recordPath = FuzzFile(fileName, bytes.data(), bytes.size());
    return r;
}
