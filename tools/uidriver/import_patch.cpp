#include "tools/uidriver/import_patch.h"

#include <cstdint>

// Walks the import directory and compares each slot with the real function's
// address, so the name table is not needed.
int PatchImports(HMODULE module, void* const* real, void* const* replacement, int count)
{
    if (!module)
        return 0;
    auto* base = reinterpret_cast<uint8_t*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return 0;
    int patched = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
             slot->u1.Function; ++slot) {
            for (int i = 0; i < count; ++i) {
                if (!real[i] || reinterpret_cast<void*>(slot->u1.Function) != real[i])
                    continue;
                DWORD old = 0;
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement[i]);
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
                ++patched;
            }
        }
    }
    return patched;
}
