// The module frame shared by both filter modules: the instance handle that
// every resource load uses, and the owner window the host passes in.
#pragma once

#include <windows.h>

#include <cstdint>

struct FilterRecord;

// The module's instance handle, stored by the DLL entry on process attach.
HINSTANCE ModuleInstance();

// The host window from a platform data pointer (first field), or null.
HWND HostWindow(const void* platformData);

// The engines' progress callback on the apply path (user = the FilterRecord):
// asks the host's abortProc first and answers -128 when it reports an abort,
// otherwise reports (row, total) to progressProc and answers 0.
int32_t ApplyProgress(int32_t row, int32_t total, void* filterRecord);

// A start that failed, told to the user where the host may say nothing: a
// host other than Photoshop ('8BIM') may ignore a filter's result (IrfanView,
// XnView and Affinity do), and the image would just stay as it was. Cancel
// is the user's own doing and is not told.
void ReportFailedStart(const FilterRecord* record, int16_t result);
