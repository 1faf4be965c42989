// velk_artgen ROOT: writes the bitmaps and the cursor both modules carry into
// ROOT/resources/shared, those of velk2000 alone into ROOT/resources/velk2000,
// and the contact sheet into ROOT/docs/art.png. The output depends on nothing
// but this program.
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
    const std::string m2000 = root + "/resources/velk2000/", shared = root + "/resources/shared/";
    for (const std::string& d : {root, root + "/resources", m2000, shared, root + "/docs"})
        if (!MakeDir(d)) {
            std::fprintf(stderr, "velk_artgen: cannot create %s\n", d.c_str());
            return 1;
        }

    std::vector<ArtItem> items = Catalogue();
    bool ok = true;
    for (const ArtItem& item : items) {
        Bytes data = item.bits == 24 ? EncodeBmp24(item.picture)
                                     : EncodeBmpIndexed(item.picture, item.palette, item.bits);
        ok = Write((item.bothModules ? shared : m2000) + item.file, data) && ok;
    }
    std::vector<std::string> hand = PointingHandRows();
    Bytes cursor = EncodeCursor(hand, kHandHotX, kHandHotY);
    ok = Write(shared + kCursorFile, cursor) && ok;
    if (!WriteContactSheet(items, hand, root + "/docs/art.png")) {
        std::fprintf(stderr, "velk_artgen: cannot write the contact sheet\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
