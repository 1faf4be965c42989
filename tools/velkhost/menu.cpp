// What a host shows before it calls anything: its Filter menu built from the
// PiPLs of a folder, and one module's PiPL in detail.
#include "tools/velkhost/menu.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/uidriver/text.h"

int PrintPipl(const HostOptions& options)
{
    PiplInfo info = ReadModulePipl(Widen(options.modulePath));
    if (info.bytes.empty()) {
        std::printf("error %s\n", info.error.c_str());
        return kExitRefused;
    }
    std::printf("size %u\nbytes ", unsigned(info.bytes.size()));
    for (uint8_t b : info.bytes)
        std::printf("%02x", b);
    std::printf("\n");
    for (const PiplProperty& p : info.properties) {
        std::printf("property %u %s %s %u ", p.offset, p.vendor.c_str(), p.key.c_str(),
                    unsigned(p.data.size()));
        for (uint8_t b : p.data)
            std::printf("%02x", b);
        std::printf("\n");
    }
    std::string why = FilterRefusal(info);
    if (why.empty())
        why = ModeRefusal(info, *options.mode);
    if (why.empty()) {
        std::printf("filter %s > %s entry %s mode %04x\n", info.category.c_str(), info.name.c_str(),
                    info.entry.c_str(), info.modeFlags);
        return kExitRan;
    }
    std::printf("refused %s\n", why.c_str());
    return kExitRefused;
}

namespace {

struct MenuItem {
    std::string category, name, file;
    bool enabled = true;
};

} // namespace

int ListFolder(const HostOptions& options)
{
    std::wstring folder = Widen(options.modulePath);
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*.8bf").c_str(), &found);
    std::vector<MenuItem> items;
    std::vector<std::string> notes;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::string file = Narrow(found.cFileName);
            PiplInfo info = ReadModulePipl(folder + found.cFileName);
            const std::string why = FilterRefusal(info);
            if (!why.empty()) {
                notes.push_back("skipped " + file + ": " + why);
                continue;
            }
            items.push_back(
                {info.category, info.name, file, ModeRefusal(info, *options.mode).empty()});
        } while (FindNextFileW(find, &found));
        FindClose(find);
    } else if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("error no folder %s\n", options.modulePath.c_str());
        return kExitRefused;
    }
    std::sort(items.begin(), items.end(), [](const MenuItem& a, const MenuItem& b) {
        return a.category != b.category ? a.category < b.category : a.name < b.name;
    });
    std::sort(notes.begin(), notes.end());
    for (const MenuItem& m : items)
        std::printf("%s%s%s%s\t%s\n", m.category.c_str(), m.category.empty() ? "" : " > ",
                    m.name.c_str(), m.enabled ? "" : " (disabled)", m.file.c_str());
    for (const std::string& n : notes)
        std::printf("%s\n", n.c_str());
    return kExitRan;
}
