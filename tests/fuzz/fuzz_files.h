// The command line reads records and images from files: the harnesses write
// the fuzzer's bytes to a file of their own (one per process) and read it back
// through the same functions.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

inline std::string FuzzFile(const char* name, const void* data, size_t size)
{
    const std::string path = "/tmp/velk-fuzz-" + std::to_string(getpid()) + "-" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}
