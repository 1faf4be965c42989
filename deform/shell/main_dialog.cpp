// The main dialog of velk3d. The interactive dialog is not part of this
// build yet: a start that needs it reports that the dialog cannot be created,
// which the start sequence answers with "Can't load dialog box!" and -128.

#include "deform/shell/deform_shell.h"

INT_PTR RunDeformDialog(HWND)
{
    return -1;
}
