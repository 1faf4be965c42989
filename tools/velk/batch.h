// Batches: many images, one filter, one folder. Several images are read,
// rendered and written at once, each with the render threads it would have
// alone, so that every core stays busy through the single-threaded parts
// (decoding, encoding); one bar shows the whole batch.
#pragma once

#include <functional>
#include <string>

#include "tools/velk/commands.h"
#include "tools/velk/progress_bar.h"

// Applies the filter to one image: args.input to args.output. False with a
// message.
typedef std::function<bool(const ApplyArgs& args, const ProgressSink& sink, std::string& error)>
    ApplyOne;

// Applies to every input of args.files, writing DIR/NAME (the input's name,
// with --format's extension when given). Each output is replaced only when
// complete; a failing image never stops or harms the others. Returns 0 when
// every image was written, 1 (after a list of the failures) when some were
// not, 2 when the batch cannot start.
int RunBatch(const ApplyArgs& args, const std::string& label, const ApplyOne& apply);
