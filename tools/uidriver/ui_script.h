// UI scripts: one driver action a line, so that an interaction with a dialog
// can be written down, replayed by hand with velkhost --ui and run by the
// tests. Every action waits until the dialog is idle before the next line.
//
//   dialog samples|back|save|any   act on the newest dialog of that template
//   wait                           wait until the dialog is idle
//   timeout MS                     how long every later wait may take
//                                  (10000 ms unless set)
//   cursor X,Y                     puts the system's pointer there (where a
//                                  pop-up centred on the mouse opens)
//   move X,Y | press X,Y | release X,Y | click X,Y | dblclick X,Y | rclick X,Y
//   drag X,Y -> X,Y [-> X,Y ...] [steps N] [shift|control] [settle|whole]
//                                  whole: queued at once, one render
//   key escape|enter|f1
//   check ID                       click a check box (or any button) by its id
//   select ID "TEXT"               choose a combo box entry by its text
//   type ID "TEXT"                 set a control's text (an editable combo box)
//   pick R,G,B | pick cancel       the host colour picker's answer from now on
//   answer-box ok|cancel|yes|no|retry|abort   the next message box's answer
//   expect-box "TEXT"              a message box with exactly this text was
//                                  shown since the last expect-box
//   expect-no-box                  no message box since the last expect-box
//   expect-checked ID 0|1
//   expect-text ID "TEXT" | expect-title "TEXT"
//   expect-closed                  the dialog has closed
//   dpi N                          WM_DPICHANGED: the dialog now on a screen of N dpi
//   capture FILE.png               the dialog's client area as painted
//   capture-all FILE.png           the main dialog with its open pop-ups in place
//   rects FILE                     every control's client rectangle (screen
//                                  pixels), a line "ID LEFT TOP RIGHT BOTTOM" each
// Points are layout pixels X,Y of the dialog (client pixels at 96 dpi,
// posted where a scaled dialog shows them), or @ID[/CORNER]:DX,DY from a
// corner of control ID (tl, tr, bl, br or c, the centre), or X,@ID...:DX,DY
// (x given, y from the control); in an expected text \n is a line break;
// # starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/uidriver/ui_driver.h"

struct UiScriptHooks {
    // The colour picker's answer for the picks that follow: a colour, or a
    // cancelled picker (given = false). May be null.
    void (*setPick)(bool given, const uint8_t rgb[3], void* user) = nullptr;
    void* user = nullptr;
};

struct UiScriptResult {
    int steps = 0;      // lines carried out
    int failedLine = 0; // 0 when every line passed
    std::string error;
    std::vector<std::string> captures;
};

UiScriptResult RunUiScript(UiDriver& d, const std::string& script, const UiScriptHooks& hooks);
