// The two ways a host calls a filter: a filter run and the about box.
#pragma once

#include "tools/velkhost/options.h"

// Checks the PiPL, loads the module and runs the selector sequence
// (parameters, prepare, start, finish; --repeat leaves out parameters), then
// writes the output image. Prints the summary and ends the process with the
// exit code.
[[noreturn]] void RunFilter(const HostOptions& options);

// Checks the PiPL, loads the module and calls the about selector.
[[noreturn]] void RunAbout(const HostOptions& options);
