// The main dialog of velk2000. The interactive dialog is not part of this
// build yet: a start reports that the dialog cannot be created, which the
// start sequence answers with "Can't load dialog box!" and -128.

#include "twostage/shell/twostage_shell.h"

INT_PTR RunTwoStageDialog(HWND)
{
    return -1;
}
