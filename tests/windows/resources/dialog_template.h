// Reader of dialog templates as stored in the resources, classic and
// extended, so that tests see the exact styles and dialog units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TemplateItem {
    uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;              // sign-extended: -1 stays -1
    std::string className;   // "Button", "Static", "ComboBox", ... or the name
    std::string text;
};

struct DialogTemplate {
    bool ok = false;
    bool extended = false;
    uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0, weight = 0, italic = 0, charset = 0; // weight.. only in extended ones
    std::string typeface;
    std::vector<TemplateItem> items;
};

DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& data);
