// A stand-in web browser for the tests: writes its command line to the file
// named by VELK_RECORDER_LOG and ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    const char* path = std::getenv("VELK_RECORDER_LOG");
    if (!path)
        return 1;
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return 1;
    std::fputs(GetCommandLineA(), f);
    std::fclose(f);
    return 0;
}
