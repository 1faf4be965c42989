// The host's view of modules before any call: the Filter menu of a folder
// and one module's PiPL.
#pragma once

#include "tools/velkhost/options.h"

// Prints the PiPL: "size N", "bytes HEX", one "property OFFSET VENDOR KEY
// LENGTH HEX" line per property, then "filter CATEGORY > NAME entry E mode M"
// or "refused REASON". Returns the exit code.
int PrintPipl(const HostOptions& options);

// Prints the *.8bf filters of a folder as a Filter menu, sorted by category
// and name: "CATEGORY > NAME[ (disabled)]<TAB>FILE", disabled when the PiPL
// does not enable the image mode; then "skipped FILE: REASON" for files that
// are not filters of this architecture. Returns the exit code.
int ListFolder(const HostOptions& options);
