// velk_gallery FOLDER: renders the widget gallery and both pop-ups (on 4 and
// on 3 planes) into PNG files, for the documentation.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/windows/widgets/gallery_run.h"
#include "tools/uidriver/box_capture.h"

namespace {

bool Save(UiDriver& d, const std::string& path)
{
    Capture c;
    if (!CaptureClient(d, c) || !SavePng(path, c)) {
        std::fprintf(stderr, "velk_gallery: cannot write %s: %s\n", path.c_str(), d.error.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velk_gallery FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "\\";
    CaptureMessageBoxes(GetModuleHandleA(nullptr));
    bool ok = true;
    for (int planes : {4, 3}) {
        GalleryRun run;
        if (!StartGallery(run, planes)) {
            std::fprintf(stderr, "velk_gallery: %s\n", run.driver.error.c_str());
            return 1;
        }
        UiDriver& d = run.driver;
        // Some values away from their start, so the read-outs show.
        Slider& s = run.gallery.centred;
        Drag(d, {{s.left + s.valueX, s.top}, {s.left + s.valueX - 20, s.top}}, 4);
        Slider& b = run.gallery.boost;
        Drag(d, {{b.left, b.top}, {b.left + 63, b.top}}, 4);
        const std::string suffix = planes == 4 ? "" : "-3planes";
        if (planes == 4)
            ok = Save(d, folder + "widget-gallery.png") && ok;
        ok = OpenPopup(run, kGalleryColourSource, DialogKind::ColourSource) &&
             Save(d, folder + "colour-source-popup" + suffix + ".png") && ok;
        RightClick(d, 5, 5);
        FindDialog(d, DialogKind::Main);
        if (planes == 4) {
            run.gallery.saveSetup.currentName = "My preset";
            run.gallery.saveSetup.option1 = true;
            ok = OpenPopup(run, kGallerySavePreset, DialogKind::SavePreset) &&
                 Save(d, folder + "save-preset-popup.png") && ok;
            Key(d, "escape");
            FindDialog(d, DialogKind::Main);
        }
        StopGallery(run);
    }
    return ok ? 0 : 1;
}
