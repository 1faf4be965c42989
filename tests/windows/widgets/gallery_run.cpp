#include "tests/windows/widgets/gallery_run.h"

namespace {

DWORD WINAPI UiThread(void* gallery)
{
    RunGallery(*static_cast<Gallery*>(gallery));
    return 0;
}

} // namespace

bool StartGallery(GalleryRun& run, int planes)
{
    run.gallery.planes = planes;
    DWORD id = 0;
    run.thread = CreateThread(nullptr, 0, UiThread, &run.gallery, 0, &id);
    return run.thread && AttachUiDriver(run.driver, id) && FindDialog(run.driver, DialogKind::Main);
}

void StopGallery(GalleryRun& run)
{
    for (HWND w : OpenDialogs(run.driver))
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 4 && !OpenDialogs(run.driver).empty(); ++i) {
        HWND w = OpenDialogs(run.driver).front();
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        WaitForSingleObject(run.thread, 500);
    }
    WaitForSingleObject(run.thread, 5000);
    CloseHandle(run.thread);
    DetachUiDriver(run.driver);
}

bool OpenPopup(GalleryRun& run, UINT request, DialogKind kind)
{
    PostMessageA(run.driver.dialog, request, 0, 0);
    return FindDialog(run.driver, kind);
}

RECT ClientRectOf(const UiDriver& d, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(d.dialog, id), &r);
    MapWindowPoints(nullptr, d.dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
