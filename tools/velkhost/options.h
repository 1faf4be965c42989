// What one velkhost invocation was asked to do, and its exit codes.
#pragma once

#include <cstdint>
#include <string>

#include "tools/velkhost/host_profile.h"
#include "tools/velkhost/pipl.h"

enum ExitCode {
    kExitRan = 0,      // the module was called (its result code is in the summary)
    kExitIoError = 1,  // an input image could not be read or the output written
    kExitRefused = 2,  // bad usage, or the module was refused or could not be loaded
    kExitTimeout = 3,  // the watchdog ended the run
    kExitCrash = 4,    // an unhandled exception (in the module) ended the run
    kExitUiFailed = 5, // the --ui script failed
};

struct HostOptions {
    std::string command;    // run, about, pipl, list
    std::string modulePath; // UTF-8; a folder for list
    std::string inPath, outPath, maskPath;
    uint8_t fore[3] = {0, 0, 0};
    uint8_t back[3] = {255, 255, 255};
    int filterCase = 0;     // 0: implied by the image and the mask
    int planes = 0;         // 0: implied by the image
    bool repeat = false;    // prepare, start, finish without parameters
    int runs = 1;           // how often the sequence runs in one loaded module
    int frozenClock = -1;   // >= 0: the module's GetTickCount always answers this
    bool registryReadOnly = false; // the module's registry writes are refused
    bool noBuffers = false; // advanceState hands out no buffers
    int abortAfter = -1;    // abortProc answers true once progressProc ran this often
    bool pickGiven = false; // --pick R,G,B: the colour picker's answer
    uint8_t pick[3] = {0, 0, 0};
    int timeoutSeconds = 60;
    int rowPad = 0;       // extra bytes at the end of every buffer row
    std::string uiScript; // --ui: a UI script driving the module's dialogs
    const HostMode* mode = nullptr;
    const HostProfile* host = &DefaultHostProfile(); // whose record the module gets
};
