// velkhost --ui SCRIPT: a UI script run on a thread of its own while the
// host's thread is inside the module, driving the dialogs the module shows.
#pragma once

#include <cstdint>
#include <string>

// Reads the script and starts it; false with error when the file cannot be read.
bool StartUiScript(const std::string& path, std::string& error);
// After the module returned: waits for the script to end and notes its
// outcome in the run log. A script that failed, or ended with a dialog still
// open, cancels every open dialog so that the module can return.
void FinishUiScript();
