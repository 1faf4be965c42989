// A velk2000 record as the command line reads it (--record FILE): the file's
// bytes, checked and loaded as a user preset is (version fix-ups included),
// then rendered whole and as the dialog's preview, on a small image of
// fuzzed size, planes and mask.
#include "tests/fuzz/fuzz_record_input.h"
#include "tools/velk/velk2000_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzRecordInput in = ReadFuzzRecordInput<TwoStageParams>(data, size, "velk2000.rec",
                                                             &TwoStageParams::checksum, TwoStageChecksum);
    Velk2000Options options;
    options.recordPath = in.recordPath;
    options.threads = 1;
    TwoStageParams record;
    std::string error, warning;
    if (!PrepareVelk2000(options, record, error, warning))
        return 0;
    std::vector<uint8_t> out;
    RenderVelk2000Image(record, in.image, in.mask, options, nullptr, nullptr, out);
    PreviewImage preview = ReducePreview(in.image, in.mask);
    RenderVelk2000Preview(record, in.image.channels, !in.mask.empty(), options, preview);
    return 0;
}
