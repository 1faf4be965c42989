// A velk2000 record as the command line reads it (--record FILE): the file's
// bytes, checked and loaded as a user preset is (version fix-ups included),
// then rendered whole and as the dialog's preview, on a small image of
// fuzzed size, planes and mask.
//
// Input as for the velk3d harness: flags (bit 0 repairs the checksum), width
// and height, the record's bytes, then pixels.
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_input.h"
#include "tools/velk/velk2000_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in{data, size};
    const uint8_t flags = in.Byte();
    Image image;
    image.width = in.In(1, 40);
    image.height = in.In(1, 40);
    image.channels = flags & 4 ? 4 : 3;
    const size_t recordBytes = in.Byte() == 0 ? in.Byte() : sizeof(TwoStageParams);
    std::vector<uint8_t> bytes(recordBytes);
    in.Fill(bytes.data(), bytes.size());
    if ((flags & 1) && bytes.size() == sizeof(TwoStageParams)) {
        TwoStageParams r;
        std::memcpy(&r, bytes.data(), sizeof r);
        r.checksum = TwoStageChecksum(r);
        std::memcpy(bytes.data(), &r, sizeof r);
    }
    image.pixels.resize(size_t(image.width) * image.height * image.channels);
    in.Fill(image.pixels.data(), image.pixels.size());
    std::vector<uint8_t> mask;
    if (flags & 2) {
        mask.resize(size_t(image.width) * image.height);
        in.Fill(mask.data(), mask.size());
    }

    Velk2000Options options;
    options.recordPath = FuzzFile("velk2000.rec", bytes.data(), bytes.size());
    options.threads = 1;
    TwoStageParams record;
    std::string error, warning;
    if (!PrepareVelk2000(options, record, error, warning))
        return 0;
    std::vector<uint8_t> out;
    RenderVelk2000Image(record, image, mask, options, nullptr, nullptr, out);
    PreviewImage preview = ReducePreview(image, mask);
    RenderVelk2000Preview(record, image.channels, !mask.empty(), options, preview);
    return 0;
}
