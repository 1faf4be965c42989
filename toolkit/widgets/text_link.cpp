#include "toolkit/widgets/text_link.h"

#include <cstdio>
#include <new>

TextLink* CreateTextLink(int32_t left, int32_t top, int32_t width, int32_t height,
                         int32_t command, const char* text)
{
    TextLink* link = new (std::nothrow) TextLink{};
    if (!link)
        return nullptr;
    link->logic.left = left;
    link->logic.top = top;
    link->logic.right = left + width;
    link->logic.bottom = top + height;
    link->logic.command = command;
    std::snprintf(link->logic.text, sizeof link->logic.text, "%s", text ? text : "");
    return link;
}

void DestroyTextLink(TextLink* link)
{
    delete link;
}

void PaintTextLink(TextLink* link, const Kit& kit, HDC target)
{
    if (!link)
        return;
    SelectObject(target, kit.linkFont);
    SetTextColor(target, link->logic.visited ? RGB(128, 0, 128) : RGB(0, 0, 255));
    WriteText(target, link->logic.left, link->logic.top, link->logic.text);
    SelectObject(target, kit.textFont);
    SetTextColor(target, RGB(0, 0, 0));
    link->logic.shown = 1;
}

bool TextLinkMouse(TextLink* link, const Kit& kit, UINT message, WPARAM, LPARAM lParam)
{
    if (!link)
        return false;
    const LinkReaction r = LinkMouse(link->logic, message, static_cast<uintptr_t>(lParam));
    if (r.handCursor && kit.hand)
        SetCursor(kit.hand);
    if (r.post)
        PostMessageA(kit.dialog, WM_USER, static_cast<WPARAM>(link->logic.command), 0);
    return r.claimed;
}
