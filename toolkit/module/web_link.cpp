#include "toolkit/module/web_link.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "toolkit/presetstore/preset_store.h"

bool WebHandlerCommand(const char* registered, const char* address, char* command, int capacity)
{
    char text[1024];
    std::snprintf(text, sizeof text, "%s", registered);
    for (char* c = text; *c; ++c) {
        if (*c == '%') {
            *c = '\0';
            if (c > text)
                c[-1] = ' ';
            break;
        }
        if (c[0] == '/' && c[1] == 'e') {
            *c = '\0';
            break;
        }
    }
    const int n = std::snprintf(command, capacity, "%s %s", text, address);
    return n >= 0 && n < capacity;
}

void OpenHomePage(const char* address)
{
    char name[1] = "";
    char registered[1024] = "";
    if (AccessRegistryValue(HKEY_LOCAL_MACHINE, "Software\\CLASSES\\http\\shell\\open\\command", name,
                            registered, sizeof registered - 1, 0) != ERROR_SUCCESS)
        return;
    char command[1200];
    if (!WebHandlerCommand(registered, address, command, sizeof command))
        return;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
