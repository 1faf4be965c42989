// A velk3d record as the command line reads it (--record FILE): the file's
// bytes, checked and sealed, then rendered whole and as the dialog's
// preview, on a small image of fuzzed size, planes and mask.
//
// Input: a flag byte (bit 0: repair the checksum so the record gets past
// its check; bit 1: a mask; bit 2: four planes), width and height, then the
// record's bytes (a file of any length), then pixels.
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_input.h"
#include "tools/velk/velk3d_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in{data, size};
    const uint8_t flags = in.Byte();
    Image image;
    image.width = in.In(1, 40);
    image.height = in.In(1, 40);
    image.channels = flags & 4 ? 4 : 3;
    const size_t recordBytes = in.Byte() == 0 ? in.Byte() : sizeof(DeformSettings);
    std::vector<uint8_t> bytes(recordBytes);
    in.Fill(bytes.data(), bytes.size());
    if ((flags & 1) && bytes.size() == sizeof(DeformSettings)) {
        DeformSettings r;
        std::memcpy(&r, bytes.data(), sizeof r);
        r.checksum = DeformChecksum(r);
        std::memcpy(bytes.data(), &r, sizeof r);
    }
    image.pixels.resize(size_t(image.width) * image.height * image.channels);
    in.Fill(image.pixels.data(), image.pixels.size());
    std::vector<uint8_t> mask;
    if (flags & 2) {
        mask.resize(size_t(image.width) * image.height);
        in.Fill(mask.data(), mask.size());
    }

    Velk3dOptions options;
    options.recordPath = FuzzFile("velk3d.rec", bytes.data(), bytes.size());
    options.threads = 1;
    Velk3dRun run;
    std::string error;
    if (!PrepareVelk3d(options, image.channels, run, error))
        return 0;
    std::vector<uint8_t> out;
    RenderVelk3dImage(run, image, mask, options, nullptr, nullptr, out);
    PreviewImage preview = ReducePreview(image, mask);
    RenderVelk3dPreview(run, image.channels, !mask.empty(), options, preview);
    return 0;
}
