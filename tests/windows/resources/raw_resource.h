// Shared helpers of the resource tests: which module is linked into the test
// program, and raw access to its resources and to a compiled .res file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Test suites carry the module's name, so that the two test programs
// register distinct tests.
#if defined(VELK_TEST_velk3d)
#define MODULE_SUITE(name) name##Velk3d
#else
#define MODULE_SUITE(name) name##Velk2000
#endif

struct ModuleFacts {
    bool deform;             // velk3d
    const char* productName; // PiPL name, version block product name
    uint32_t vers;           // PiPL vers
    WORD version[4];         // file and product version
    const char* versionText;
    std::string caption; // of "samples"
};

const ModuleFacts& Module();

// Bytes of a resource of the test program itself (empty when missing).
std::vector<uint8_t> RawResource(LPCSTR type, LPCSTR name);

// Bytes of the resource (type name, ordinal id) in a .res file; empty when
// the file or the resource is missing.
std::vector<uint8_t> ResFileResource(const std::string& path, const std::wstring& type, WORD id);
