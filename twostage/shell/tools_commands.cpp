// The tool buttons and Bypass boxes of velk2000's dialog, wired to the tools
// of twostage_tools.cpp; each ends with a render request or a repaint.
#include <initializer_list>

#include "resources/resource_ids.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

const int kCheckIds[kTwoStageChecks] = {IDC_DOUBLE_STRETCH1, IDC_DOUBLE_STRETCH2, IDC_ANTIALIAS,
                                        IDC_DEFORMATION, IDC_WHITE_CANVAS};
const int kBypassIds[2] = {IDC_BYPASS_STAGE1, IDC_BYPASS_STAGE2};

void Step(TwoStageDialog& d, bool undo)
{
    const TwoStageParams* record = undo ? Undo(d.history, d.lastRendered) : Redo(d.history, d.lastRendered);
    if (!record)
        return;
    // The entry is a record that was rendered: it comes back whole, colours
    // and anti-aliasing included, without a preset load's fix-ups.
    gTwoStage.params = *record;
    SetWidgets(d.panel, gTwoStage.params);
    SyncCheckBoxes(d);
    RefreshSpacingShadows(d.tools, d.panel);
    PostRender(d.frame);
}

} // namespace

void ReadCheckBoxes(TwoStageDialog& d)
{
    for (int i = 0; i < kTwoStageChecks; ++i)
        d.panel.check[i] = IsDlgButtonChecked(d.frame.window, kCheckIds[i]) == BST_CHECKED ? 1 : 0;
}

void SyncCheckBoxes(TwoStageDialog& d)
{
    for (int i = 0; i < kTwoStageChecks; ++i)
        CheckDlgButton(d.frame.window, kCheckIds[i], d.panel.check[i] ? BST_CHECKED : BST_UNCHECKED);
}

void OnToolCommand(TwoStageDialog& d, int id)
{
    switch (id) {
    case IDC_FLIP:
        FlipDiagonally(d.panel, d.tools);
        PostRender(d.frame);
        break;
    case IDC_DICE:
        ReadCheckBoxes(d);
        RollDice(d.panel, gTwoStage.params, d.tools, d.random);
        SyncCheckBoxes(d);
        PostRender(d.frame);
        break;
    case IDC_COLOUR_DICE:
        VaryColours(d.panel, gTwoStage.params, d.tools, d.random);
        PostRender(d.frame);
        break;
    case IDC_UNDO:
    case IDC_REDO:
        Step(d, id == IDC_UNDO);
        break;
    case IDC_BYPASS_STAGE1:
    case IDC_BYPASS_STAGE2: {
        const int stage = id == IDC_BYPASS_STAGE1 ? 0 : 1;
        SetBypass(d.panel, d.tools, stage, IsDlgButtonChecked(d.frame.window, id) == BST_CHECKED);
        PostRender(d.frame);
        break;
    }
    default:
        break;
    }
}

bool ApplySpacingStep(TwoStageDialog& d)
{
    bool applied = false;
    for (int b : {ButtonIncrease, ButtonDecrease}) {
        ImageButton* button = d.button[b].get();
        if (button && button->logic.state == 3) {
            button->logic.state = 0;
            StepSpacing(d.panel, d.tools, b == ButtonIncrease);
            applied = true;
        }
    }
    return applied;
}

void ReleaseBypass(TwoStageDialog& d)
{
    for (int s = 0; s < 2; ++s)
        if (d.tools.bypass[s] && BypassReleased(gTwoStage.params, s)) {
            d.tools.bypass[s] = false;
            CheckDlgButton(d.frame.window, kBypassIds[s], BST_UNCHECKED);
        }
}
