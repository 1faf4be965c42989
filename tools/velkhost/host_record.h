// The FilterRecord velkhost hands a module, its image buffers and the host
// callbacks: abortProc, progressProc, advanceState, colorServices.
#pragma once

#include "host/filter_record.h"
#include "tools/velkhost/image_io.h"
#include "tools/velkhost/options.h"

// The image of one run: `source` stays as read; `output` starts as a copy of
// it and receives what the module writes into outData.
struct HostImage {
    Image source, output, mask;
    bool haveMask = false;
};

// Fills a zeroed record (hosts hand out records longer than the published
// layout, so the allocation is larger than sizeof(FilterRecord)) for the
// image, the options and the host window. The record and its buffers belong
// to this file until ReleaseFilterRecord.
FilterRecord* CreateFilterRecord(const HostOptions& options, HostImage& image, void* hostWindow);

// After the start selector returns: checks the buffers (input written,
// padding or guard bytes overwritten), copies outData into the output image
// when the module succeeded, and notes whether it cleared the rectangles.
void EndStart(FilterRecord* record, bool succeeded);

void ReleaseFilterRecord(FilterRecord* record);

// The colour picker's answer from now on, set by a UI script: a colour, or
// a cancelled picker. Overrides --pick.
void SetScriptedPick(bool given, const uint8_t rgb[3]);
