// velk_artgen ROOT: writes the bitmaps and the cursor of both modules into
// ROOT/resources/velk2000 and ROOT/resources/velk3d, and the contact sheet
// into ROOT/docs/art.png. The output depends on nothing but this program.
#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "resources/art/art.h"
#include "resources/art/bmp.h"
#include "resources/art/contact_sheet.h"

using namespace art;

static bool MakeDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

static bool Write(const std::string& path, const Bytes& data)
{
    if (data.empty() || !WriteFile(path, data)) {
        std::fprintf(stderr, "velk_artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velk_artgen ROOT\n");
        return 2;
    }
    std::string root = argv[1];
    const std::string m2000 = root + "/resources/velk2000/", m3d = root + "/resources/velk3d/";
    for (const std::string& d : {root, root + "/resources", m2000, m3d, root + "/docs"})
        if (!MakeDir(d)) {
            std::fprintf(stderr, "velk_artgen: cannot create %s\n", d.c_str());
            return 1;
        }

    std::vector<ArtItem> items = Catalogue();
    bool ok = true;
    for (const ArtItem& item : items) {
        Bytes data = item.bits == 24 ? EncodeBmp24(item.picture)
                                     : EncodeBmpIndexed(item.picture, item.palette, item.bits);
        ok = Write(m2000 + item.file, data) && ok;
        if (item.bothModules)
            ok = Write(m3d + item.file, data) && ok;
    }
    std::vector<std::string> hand = PointingHandRows();
    Bytes cursor = EncodeCursor(hand, kHandHotX, kHandHotY);
    ok = Write(m2000 + kCursorFile, cursor) && ok;
    ok = Write(m3d + kCursorFile, cursor) && ok;
    if (!WriteContactSheet(items, hand, root + "/docs/art.png")) {
        std::fprintf(stderr, "velk_artgen: cannot write the contact sheet\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
