#include "tools/uidriver/ui_script.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "common/rgb_text.h"
#include "toolkit/layout/scale.h"
#include "tools/uidriver/box_capture.h"

namespace {

// One line split into words; "quoted text" is one word without its quotes.
std::vector<std::string> Words(const std::string& line, bool& ok)
{
    std::vector<std::string> words;
    ok = true;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos) {
                ok = false;
                return words;
            }
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
                ++end;
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

// An expected text: the two characters \n stand for a line break.
std::string Expected(std::string text)
{
    for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1))
        text.replace(at, 2, "\n");
    return text;
}

bool Number(const std::string& s, int& out)
{
    if (s.empty() || s.size() > 9)
        return false;
    for (size_t i = (s[0] == '-' ? 1 : 0); i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    out = std::atoi(s.c_str());
    return s != "-";
}

// The scale a dialog is shown at: the dpi its layout noted on the window
// (96 when it has none).
Scale DialogScale(HWND dialog)
{
    const intptr_t dpi = dialog ? reinterpret_cast<intptr_t>(GetPropA(dialog, "Velk.Dpi")) : 0;
    return Scale{dpi > 0 ? static_cast<int32_t>(dpi) : 96};
}

// A point in the dialog's layout pixels (client pixels at 96 dpi), posted at
// the device pixel where that layout pixel starts: "X,Y", or
// "@ID[/CORNER]:DX,DY" relative to a corner of control ID (tl top-left, the
// default; tr, bl, br, c the centre), or "X,@ID[/CORNER]:DX,DY": x given, y
// from the control.
bool LayoutPoint(const UiDriver& d, const std::string& s, POINT& p);

bool Point(const UiDriver& d, const std::string& s, POINT& p)
{
    POINT layout;
    if (!LayoutPoint(d, s, layout))
        return false;
    const Scale scale = DialogScale(d.dialog);
    p = {ToDevice(scale, layout.x), ToDevice(scale, layout.y)};
    return true;
}

bool LayoutPoint(const UiDriver& d, const std::string& s, POINT& p)
{
    const size_t at = s.find(",@");
    if (at != std::string::npos && s[0] != '@') {
        int x;
        POINT anchored;
        if (!Number(s.substr(0, at), x) || !LayoutPoint(d, s.substr(at + 1), anchored))
            return false;
        p = {x, anchored.y};
        return true;
    }
    std::string offset = s;
    POINT base = {0, 0};
    if (!s.empty() && s[0] == '@') {
        const size_t colon = s.find(':');
        if (colon == std::string::npos)
            return false;
        std::string anchor = s.substr(1, colon - 1), corner = "tl";
        const size_t slash = anchor.find('/');
        if (slash != std::string::npos) {
            corner = anchor.substr(slash + 1);
            anchor = anchor.substr(0, slash);
        }
        int id;
        HWND control = Number(anchor, id) && d.dialog ? GetDlgItem(d.dialog, id) : nullptr;
        if (!control)
            return false;
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, d.dialog, reinterpret_cast<POINT*>(&r), 2);
        const Scale scale = DialogScale(d.dialog);
        r = {ToLayout(scale, r.left), ToLayout(scale, r.top), ToLayout(scale, r.right),
             ToLayout(scale, r.bottom)};
        if (corner == "tl") base = {r.left, r.top};
        else if (corner == "tr") base = {r.right, r.top};
        else if (corner == "bl") base = {r.left, r.bottom};
        else if (corner == "br") base = {r.right, r.bottom};
        else if (corner == "c") base = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        else return false;
        offset = s.substr(colon + 1);
    }
    const size_t comma = offset.find(',');
    int x, y;
    if (comma == std::string::npos || !Number(offset.substr(0, comma), x) ||
        !Number(offset.substr(comma + 1), y))
        return false;
    p = {base.x + x, base.y + y};
    return true;
}

struct Runner {
    UiDriver& d;
    const UiScriptHooks& hooks;
    UiScriptResult& result;
    size_t boxesSeen = 0;
    bool targeted = false;

    bool Fail(const std::string& why)
    {
        d.error = why;
        return false;
    }

    bool Target()
    {
        if (targeted && d.dialog && IsWindow(d.dialog))
            return true;
        targeted = true;
        return FindDialog(d, DialogKind::Main);
    }

    bool PointAction(const std::vector<std::string>& w)
    {
        POINT p;
        if (w.size() != 2)
            return Fail(w[0] + " needs one point X,Y");
        if (!Target())
            return false;
        if (!Point(d, w[1], p))
            return Fail(w[0] + ": cannot read the point \"" + w[1] + "\"");
        if (w[0] == "move") return Move(d, p.x, p.y);
        if (w[0] == "press") return Press(d, p.x, p.y);
        if (w[0] == "release") return Release(d, p.x, p.y);
        if (w[0] == "click") return Click(d, p.x, p.y);
        if (w[0] == "dblclick") return DoubleClick(d, p.x, p.y);
        if (w[0] == "click-in-render") return ClickDuringNextRender(d, p.x, p.y);
        return RightClick(d, p.x, p.y);
    }

    bool DragAction(const std::vector<std::string>& w)
    {
        if (!Target())
            return false;
        std::vector<POINT> path;
        int steps = 8;
        WPARAM keys = 0;
        DragPace pace = DragPace::Stream;
        for (size_t i = 1; i < w.size(); ++i) {
            POINT p;
            if (w[i] == "->")
                continue;
            if (w[i] == "steps" && i + 1 < w.size() && Number(w[i + 1], steps))
                ++i;
            else if (w[i] == "shift")
                keys |= MK_SHIFT;
            else if (w[i] == "control")
                keys |= MK_CONTROL;
            else if (w[i] == "settle")
                pace = DragPace::Settle;
            else if (w[i] == "whole")
                pace = DragPace::Burst;
            else if (Point(d, w[i], p))
                path.push_back(p);
            else
                return Fail("drag: cannot read \"" + w[i] + "\"");
        }
        if (path.size() < 2)
            return Fail("drag needs X,Y -> X,Y");
        return Drag(d, path, steps, keys, pace);
    }

    bool ExpectBox(const std::vector<std::string>& w)
    {
        const std::vector<CapturedBox> boxes = CapturedBoxes();
        if (w[0] == "expect-no-box") {
            if (boxes.size() > boxesSeen)
                return Fail("a message box was shown: \"" + boxes[boxesSeen].text + "\"");
            return true;
        }
        if (w.size() != 2)
            return Fail("expect-box needs \"TEXT\"");
        const std::string wanted = Expected(w[1]);
        for (size_t i = boxesSeen; i < boxes.size(); ++i)
            if (boxes[i].text == wanted) {
                boxesSeen = i + 1;
                return true;
            }
        std::string shown;
        for (size_t i = boxesSeen; i < boxes.size(); ++i)
            shown += " \"" + boxes[i].text + "\"";
        return Fail("no message box \"" + w[1] + "\" (shown:" + (shown.empty() ? " none" : shown) + ")");
    }

    bool Expect(const std::vector<std::string>& w)
    {
        int id = 0, want = 0;
        if (w[0] == "expect-closed") {
            for (DWORD start = GetTickCount(); !TargetClosed(d); Sleep(5))
                if (GetTickCount() - start > static_cast<DWORD>(d.timeoutMs))
                    return Fail("waited " + std::to_string(GetTickCount() - start) +
                                " ms for the dialog to close: it is still open");
            return true;
        }
        if (!Target())
            return false;
        if (w[0] == "expect-title") {
            if (w.size() != 2)
                return Fail("expect-title needs \"TEXT\"");
            const std::string t = WindowTitle(d);
            return t == w[1] ? true : Fail("title is \"" + t + "\"");
        }
        if (w.size() != 3 || !Number(w[1], id))
            return Fail(w[0] + " needs an id and a value");
        if (w[0] == "expect-checked") {
            if (!Number(w[2], want))
                return Fail("expect-checked needs 0 or 1");
            const int state = CheckState(d, id);
            return state == want ? true : Fail("control " + w[1] + " is " + std::to_string(state));
        }
        const std::string t = ControlText(d, id);
        return t == Expected(w[2]) ? true : Fail("control " + w[1] + " shows \"" + t + "\"");
    }

    bool Pick(const std::vector<std::string>& w)
    {
        uint8_t rgb[3] = {0, 0, 0};
        if (w.size() != 2 || (w[1] != "cancel" && !ParseRgb(w[1], rgb)))
            return Fail("pick needs R,G,B or cancel");
        if (!hooks.setPick)
            return Fail("this host has no colour picker to script");
        hooks.setPick(w[1] != "cancel", rgb, hooks.user);
        return true;
    }

    bool AnswerBox(const std::vector<std::string>& w)
    {
        static const struct {
            const char* name;
            int id;
        } answers[] = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES},
                       {"no", IDNO}, {"retry", IDRETRY},   {"abort", IDABORT}};
        for (const auto& a : answers)
            if (w.size() == 2 && w[1] == a.name) {
                SetNextBoxAnswer(a.id);
                return true;
            }
        return Fail("answer-box needs ok, cancel, yes, no, retry or abort");
    }

    bool Line(const std::vector<std::string>& w)
    {
        const std::string& c = w[0];
        int id = 0;
        if (c == "dialog") {
            DialogKind kind;
            if (w.size() != 2 || !ParseDialogKind(w[1], kind))
                return Fail("dialog needs samples, back, save or any");
            targeted = true;
            return FindDialog(d, kind);
        }
        if (c == "wait")
            return Target() && WaitIdle(d);
        if (c == "timeout") {
            int ms = 0;
            if (w.size() != 2 || !Number(w[1], ms) || ms < 1)
                return Fail("timeout needs a number of milliseconds");
            d.timeoutMs = ms;
            return true;
        }
        if (c == "dpi") {
            // The dialog moved to a screen of another scaling: what Windows
            // sends a per-monitor aware window, suggesting the screen's
            // top-left corner (so the whole dialog stays on this screen).
            int dpi = 0;
            if (w.size() != 2 || !Number(w[1], dpi) || dpi < 48)
                return Fail("dpi needs dots per inch (96 is 100%)");
            if (!Target())
                return false;
            RECT r;
            GetWindowRect(d.dialog, &r);
            OffsetRect(&r, -r.left, -r.top);
            DWORD_PTR ignored;
            if (!SendMessageTimeoutA(d.dialog, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r),
                                     SMTO_NORMAL, static_cast<UINT>(d.timeoutMs), &ignored))
                return Fail("dpi: the dialog did not take WM_DPICHANGED");
            return WaitIdle(d);
        }
        if (c == "cursor") {
            POINT p;
            if (w.size() != 2)
                return Fail("cursor needs one point X,Y");
            if (!Target())
                return false;
            if (!Point(d, w[1], p))
                return Fail("cursor: cannot read the point \"" + w[1] + "\"");
            ClientToScreen(d.dialog, &p);
            SetCursorPos(p.x, p.y);
            return WaitIdle(d);
        }
        if (c == "move" || c == "press" || c == "release" || c == "click" || c == "dblclick" ||
            c == "rclick" || c == "click-in-render")
            return PointAction(w);
        if (c == "drag")
            return DragAction(w);
        if (c == "key")
            return w.size() == 2 ? Target() && Key(d, w[1]) : Fail("key needs a name");
        if (c == "check")
            return w.size() == 2 && Number(w[1], id) ? Target() && ClickControl(d, id)
                                                     : Fail("check needs an id");
        if (c == "select" || c == "type") {
            if (w.size() != 3 || !Number(w[1], id))
                return Fail(c + " needs an id and \"TEXT\"");
            return Target() && (c == "select" ? SelectComboText(d, id, w[2])
                                              : SetControlText(d, id, w[2]));
        }
        if (c == "pick")
            return Pick(w);
        if (c == "answer-box")
            return AnswerBox(w);
        if (c == "expect-box" || c == "expect-no-box")
            return ExpectBox(w);
        if (c.compare(0, 7, "expect-") == 0)
            return Expect(w);
        if (c == "rects") {
            if (w.size() != 2)
                return Fail("rects needs a file name");
            if (!Target())
                return false;
            FILE* f = std::fopen(w[1].c_str(), "w");
            if (!f)
                return Fail("cannot write " + w[1]);
            for (HWND child = GetWindow(d.dialog, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                RECT r;
                GetWindowRect(child, &r);
                MapWindowPoints(nullptr, d.dialog, reinterpret_cast<POINT*>(&r), 2);
                std::fprintf(f, "%d %ld %ld %ld %ld\n", GetDlgCtrlID(child), r.left, r.top, r.right,
                             r.bottom);
            }
            std::fclose(f);
            return true;
        }
        if (c == "capture" || c == "capture-all") {
            Capture shot;
            if (w.size() != 2)
                return Fail(c + " needs a file name");
            if (!Target() || !(c == "capture" ? CaptureClient(d, shot) : CaptureAll(d, shot)))
                return false;
            if (!SavePng(w[1], shot))
                return Fail("cannot write " + w[1]);
            result.captures.push_back(w[1]);
            return true;
        }
        return Fail("unknown action \"" + c + "\"");
    }
};

} // namespace

UiScriptResult RunUiScript(UiDriver& d, const std::string& script, const UiScriptHooks& hooks)
{
    UiScriptResult result;
    Runner runner{d, hooks, result};
    std::istringstream lines(script);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const size_t hash = line.find('#');
        // A # inside quotes is text, not a comment.
        if (hash != std::string::npos && line.find('"') > hash)
            line.erase(hash);
        bool ok;
        const std::vector<std::string> words = Words(line, ok);
        if (ok && words.empty())
            continue;
        d.error.clear();
        if (!ok || !runner.Line(words)) {
            // The step as written, then why it failed.
            std::string step = line;
            while (!step.empty() && (step.back() == ' ' || step.back() == '\r' || step.back() == '\t'))
                step.pop_back();
            step.erase(0, step.find_first_not_of(" \t"));
            result.failedLine = number;
            result.error = step + ": " + (!ok ? "unbalanced quotes"
                                          : d.error.empty() ? "failed without a reason (a driver fault)"
                                                            : d.error);
            return result;
        }
        ++result.steps;
    }
    if (ArmedClickPending()) {
        result.failedLine = result.steps + 1;
        result.error = "click-in-render: no render request came after it, so the click was never sent";
    }
    return result;
}
