// velk3d's preset codes and preset names as text from outside: a code
// decoded over a record (the module reads codes from its string table, and
// a damaged or edited module hands it anything), and a preset name looked up
// as the command line's --preset does.
#include <string>

#include "deform/engine/factory_presets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DeformSettings record{};
    DecodeFactoryPreset(text.c_str(), record);
    FindFactoryPreset(text.c_str());
    int16_t value = 0;
    int position = 0;
    for (int i = 0; i < 12 && position >= 0 && position < int(text.size()); ++i)
        if (parsePresetNumber(&value, text.c_str(), &position) != 0)
            break;
    return 0;
}
