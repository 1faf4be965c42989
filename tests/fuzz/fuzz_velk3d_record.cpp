// A velk3d record as the command line reads it (--record FILE): the file's
// bytes, checked and sealed, then rendered whole and as the dialog's
// preview, on a small image of fuzzed size, planes and mask.
#include "tests/fuzz/fuzz_record_input.h"
#include "tools/velk/velk3d_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRecordInput in = ReadFuzzRecordInput<DeformSettings>(data, size, "velk3d.rec", &DeformSettings::checksum,
                                                             DeformChecksum);
    Velk3dOptions options;
    options.recordPath = in.recordPath;
    options.threads = 1;
    Velk3dRun run;
    std::string error;
    if (!PrepareVelk3d(options, in.image.channels, run, error))
        return 0;
    std::vector<uint8_t> out;
    RenderVelk3dImage(run, in.image, in.mask, options, nullptr, nullptr, out);
    PreviewImage preview = ReducePreview(in.image, in.mask);
    RenderVelk3dPreview(run, in.image.channels, !in.mask.empty(), options, preview);
    return 0;
}
