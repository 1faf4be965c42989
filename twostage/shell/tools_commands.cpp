// The tool buttons and Bypass boxes of velk2000's dialog, wired to the tools
// of twostage_tools.cpp; each ends with a render request or a repaint.
#include <initializer_list>

#include "resources/resource_ids.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

const int kCheckIds[kTwoStageChecks] = {IDC_DOUBLE_STRETCH1, IDC_DOUBLE_STRETCH2, IDC_ANTIALIAS,
                                        IDC_DEFORMATION, IDC_WHITE_CANVAS};
const int kBypassIds[2] = {IDC_BYPASS_STAGE1, IDC_BYPASS_STAGE2};

void Render()
{
    PostMessageA(gDialog.window, WM_USER, kRenderRequest, 0);
}

void ReadCheckBoxes()
{
    for (int i = 0; i < kTwoStageChecks; ++i)
        gDialog.panel.check[i] = IsDlgButtonChecked(gDialog.window, kCheckIds[i]) == BST_CHECKED ? 1 : 0;
}

void Step(bool undo)
{
    TwoStageDialog& g = gDialog;
    const TwoStageParams* record = undo ? Undo(g.history, g.lastRendered) : Redo(g.history, g.lastRendered);
    if (!record)
        return;
    LoadPreset(-1, record);
    PostMessageA(g.window, WM_PAINT, 0, 10);
}

} // namespace

void SyncCheckBoxes()
{
    for (int i = 0; i < kTwoStageChecks; ++i)
        CheckDlgButton(gDialog.window, kCheckIds[i], gDialog.panel.check[i] ? BST_CHECKED : BST_UNCHECKED);
}

void OnToolCommand(int id)
{
    TwoStageDialog& g = gDialog;
    switch (id) {
    case 105:
        FlipDiagonally(g.panel, g.tools);
        Render();
        break;
    case 106:
        ReadCheckBoxes();
        SeedToolRandom(g.random, GetTickCount());
        RollDice(g.panel, gTwoStage.params, g.tools, g.random);
        SyncCheckBoxes();
        Render();
        break;
    case 114:
        SeedToolRandom(g.random, GetTickCount());
        VaryColours(g.panel, gTwoStage.params, g.tools, g.random);
        Render();
        break;
    case 107:
    case 108:
        Step(id == 107);
        break;
    case IDC_BYPASS_STAGE1:
    case IDC_BYPASS_STAGE2: {
        const int stage = id == IDC_BYPASS_STAGE1 ? 0 : 1;
        SetBypass(g.panel, g.tools, stage, IsDlgButtonChecked(g.window, id) == BST_CHECKED);
        Render();
        break;
    }
    default:
        break;
    }
}

bool ApplySpacingStep()
{
    bool applied = false;
    for (int b : {ButtonIncrease, ButtonDecrease}) {
        ImageButton* button = gDialog.button[b];
        if (button && button->logic.state == 3) {
            button->logic.state = 0;
            StepSpacing(gDialog.panel, gDialog.tools, b == ButtonIncrease);
            applied = true;
        }
    }
    return applied;
}

void ReleaseBypass()
{
    for (int s = 0; s < 2; ++s)
        if (gDialog.tools.bypass[s] && BypassReleased(gTwoStage.params, s)) {
            gDialog.tools.bypass[s] = false;
            CheckDlgButton(gDialog.window, kBypassIds[s], BST_UNCHECKED);
        }
}
