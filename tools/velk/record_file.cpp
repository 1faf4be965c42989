#include "tools/velk/record_file.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <vector>

bool ReadRecordFile(const std::string& path, void* record, size_t size, std::string& error)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = "record " + path + " is not a regular file";
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open record " + path;
        return false;
    }
    std::vector<unsigned char> bytes(size + 1); // one more, to see a longer file
    const size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (count != size) {
        error = "record " + path + " is not a " + std::to_string(size) + "-byte settings record";
        return false;
    }
    std::memcpy(record, bytes.data(), size);
    return true;
}
