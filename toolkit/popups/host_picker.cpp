#include "toolkit/popups/host_picker.h"

#include <cstring>

bool PickHostColour(FilterRecord* host, uint8_t rgb[3])
{
    if (!host || !host->colorServices)
        return false;
    ColorServicesInfo info;
    std::memset(&info, 0, sizeof info);
    // The record's own size on this architecture (36 on Win32, 56 on Win64):
    // hosts refuse a smaller one.
    info.infoSize = static_cast<int32_t>(sizeof info);
    info.selector = 0;    // choose a colour
    info.sourceSpace = 0; // RGB
    info.resultSpace = 0;
    for (int i = 0; i < 3; ++i)
        info.colorComponents[i] = rgb[i];
    info.selectorParameter.pickerPrompt = nullptr;
    if (host->colorServices(&info) != noErr)
        return false;
    for (int i = 0; i < 3; ++i)
        rgb[i] = static_cast<uint8_t>(info.colorComponents[i] & 0xFF);
    return true;
}
