// velk3d.8bf in a host: a repeated filter applies "Last Used" without any
// window, exactly as `velk apply velk3d --record` renders it; failures give
// the host the result code it expects (-108 without buffers, -128 after an
// abort) and show the user the message of the situation.

#include <gtest/gtest.h>

#include "tests/windows/modules/module_run.h"

namespace {

// A "Herring-Bone"-like record: doubled stretch, bevels and strong shading,
// so that tiles, bevels, the fill and the saturation all show.
RecordValues Weave()
{
    RecordValues v = {};
    v.valueX[1] = 12; // tile width
    v.valueY[0] = 30; // tile height
    v.valueX[2] = 10; // bevel
    v.valueX[3] = 99; // side shading
    v.valueX[4] = 0;  // stretch pad
    v.valueY[4] = 50;
    v.valueX[5] = 40; // gradient pad
    v.valueY[5] = 10;
    v.valueX[6] = 60; // light boost
    v.valueX[7] = 25; // brightness floor
    v.styleBits = 6;  // face scheme 2, doubled stretch
    v.antialias = 1;
    v.colourSource = 2; // Picker
    v.colour[0] = 10, v.colour[1] = 120, v.colour[2] = 200;
    v.saveFlags = 10;
    v.saturation = 70;
    return v;
}

class Velk3dInHost : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder();
        DeleteLastUsed();
    }
    void TearDown() override { DeleteLastUsed(); }

    // coffee.png with an alpha ramp, as a layer with transparency.
    std::string RgbaInput()
    {
        Pixels rgb = LoadPixels(SourceFile("samples\\coffee.png"));
        Pixels rgba{rgb.width, rgb.height, 4, {}};
        for (int y = 0; y < rgb.height; ++y)
            for (int x = 0; x < rgb.width; ++x) {
                const uint8_t* s = rgb.At(x, y);
                rgba.bytes.insert(rgba.bytes.end(), {s[0], s[1], s[2], uint8_t(x * 255 / (rgb.width - 1))});
            }
        const std::string path = folder + "rgba.png";
        EXPECT_TRUE(SavePixels(path, rgba));
        return path;
    }

    // An elliptic selection with a soft edge.
    std::string Mask(int width, int height)
    {
        Pixels m{width, height, 1, std::vector<uint8_t>(size_t(width) * height)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double dx = (x - width / 2.0) / (width * 0.4), dy = (y - height / 2.0) / (height * 0.4);
                const double d = dx * dx + dy * dy;
                m.bytes[size_t(y) * width + x] = uint8_t(d < 0.8 ? 255 : d > 1.0 ? 0 : (1.0 - d) * 1275);
            }
        const std::string path = folder + "mask.png";
        EXPECT_TRUE(SavePixels(path, m));
        return path;
    }

    // Runs the repeated filter on `input` with the stored record, and the
    // command line tool with the same record, colours and mask; both outputs
    // must be identical.
    void ExpectSameAsCli(const std::vector<uint8_t>& record, const std::string& input,
                         const std::string& mask, int planes)
    {
        SetLastUsed(record);
        WriteBytes(folder + "record.bin", record);
        std::string hostArgs = "run " + Quote(Velk3dModule()) + " --repeat --in " + Quote(input) +
                               " --out " + Quote(folder + "host.png") + " --fore 200,30,40 --back 30,60,90";
        std::vector<std::string> cliArgs = {"apply", "velk3d", "--record", UnixPath(folder + "record.bin"),
                                            "--foreground", "200,30,40", "--background", "30,60,90"};
        if (!mask.empty()) {
            hostArgs += " --mask " + Quote(mask);
            cliArgs.insert(cliArgs.end(), {"--mask", UnixPath(mask)});
        }
        cliArgs.insert(cliArgs.end(), {UnixPath(input), UnixPath(folder + "cli.png")});

        const HostRun run = RunHost(hostArgs);
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        const JsonValue& s = run.json;
        EXPECT_EQ(s["result"].Int(), 0) << run.summary;
        EXPECT_TRUE(s["boxes"].items.empty()) << run.summary;
        EXPECT_TRUE(s["windows"].items.empty()) << run.summary;
        EXPECT_EQ(s["advance"].Int(), 1);
        EXPECT_EQ(s["planes"].Ints(), (std::vector<int>{0, planes - 1}));
        EXPECT_TRUE(s["rects_cleared"].boolean);
        EXPECT_FALSE(s["in_written"].boolean);
        EXPECT_EQ(s["progress"].Int(), s["height"].Int() / 8); // rows 7, 15, ...
        EXPECT_EQ(s["progress_runs"].Int(), 1);                // in rising order
        EXPECT_EQ(s["off_thread"].Int(), 0) << run.summary;    // all on the host's thread

        std::string cliOutput;
        ASSERT_EQ(RunNativeVelk(cliArgs, cliOutput), 0u) << cliOutput;
        const Pixels host = LoadPixels(folder + "host.png");
        const Pixels cli = LoadPixels(folder + "cli.png");
        ASSERT_EQ(host.channels, planes);
        ASSERT_EQ(cli.channels, planes);
        ASSERT_EQ(host.bytes.size(), cli.bytes.size());
        size_t differing = 0;
        for (size_t i = 0; i < host.bytes.size(); ++i)
            differing += host.bytes[i] != cli.bytes[i];
        EXPECT_EQ(differing, 0u) << "bytes that differ between the module and the command line";
        // The filter did something: the output is not the input.
        EXPECT_NE(host.bytes, LoadPixels(input).bytes);
    }

    std::string folder;
};

TEST_F(Velk3dInHost, RepeatedFilterMatchesTheCommandLineOnRgb)
{
    ExpectSameAsCli(MakeRecord(Weave()), SourceFile("samples\\coffee.png"), "", 3);
}

TEST_F(Velk3dInHost, RepeatedFilterMatchesTheCommandLineOnRgbaWithTransparentFill)
{
    RecordValues v = Weave();
    v.colourSource = 3; // Transparent
    ExpectSameAsCli(MakeRecord(v), RgbaInput(), "", 4);
}

TEST_F(Velk3dInHost, RepeatedFilterMatchesTheCommandLineWithASelection)
{
    RecordValues v = Weave();
    v.colourSource = 1; // Background
    const std::string input = SourceFile("samples\\coffee.png");
    ExpectSameAsCli(MakeRecord(v), input, Mask(600, 400), 3);
}

TEST_F(Velk3dInHost, WrongMagicRendersWithSaturationTen)
{
    std::vector<uint8_t> wrongMagic = MakeRecord(Weave());
    wrongMagic[62] = wrongMagic[63] = 0;
    RecordValues tame = Weave();
    tame.saturation = 10;
    // The tool applies the sound record; the module must reset the wrong one to it.
    SetLastUsed(wrongMagic);
    WriteBytes(folder + "tame.bin", MakeRecord(tame));
    const std::string input = SourceFile("samples\\coffee.png");
    const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --repeat --in " + Quote(input) +
                                " --out " + Quote(folder + "host.png"));
    EXPECT_EQ(run.json["result"].Int(), 0) << run.summary;
    std::string output;
    ASSERT_EQ(RunNativeVelk({"apply", "velk3d", "--record", UnixPath(folder + "tame.bin"),
                             UnixPath(input), UnixPath(folder + "cli.png")},
                            output),
              0u)
        << output;
    EXPECT_EQ(LoadPixels(folder + "host.png").bytes, LoadPixels(folder + "cli.png").bytes);
}

TEST_F(Velk3dInHost, TransparentLastUsedOnRgbFillsWithThePickedColour)
{
    RecordValues v = Weave();
    v.colourSource = 3;
    SetLastUsed(MakeRecord(v));
    const std::string input = SourceFile("samples\\coffee.png");
    const std::string mask = Mask(600, 400);
    const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --repeat --in " + Quote(input) +
                                " --mask " + Quote(mask) + " --out " + Quote(folder + "host.png"));
    EXPECT_EQ(run.json["result"].Int(), 0) << run.summary;
    // The corner lies outside the selection: the picked colour, opaque, no checkerboard.
    const Pixels out = LoadPixels(folder + "host.png");
    ASSERT_EQ(out.channels, 3);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(std::vector<uint8_t>(out.At(x, 0), out.At(x, 0) + 3), (std::vector<uint8_t>{10, 120, 200}));
}

TEST_F(Velk3dInHost, HostWithoutBuffersGetsOutOfMemoryAndNoMessage)
{
    SetLastUsed(MakeRecord(Weave()));
    const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --repeat --no-buffers --in " +
                                Quote(SourceFile("samples\\coffee.png")));
    EXPECT_EQ(run.json["result"].Int(), -108) << run.summary;
    EXPECT_EQ(run.json["advance"].Int(), 1);
    EXPECT_TRUE(run.json["boxes"].items.empty());
    EXPECT_EQ(run.json["progress"].Int(), 0);
}

TEST_F(Velk3dInHost, AbortStopsTheRenderAndClearsTheRectangles)
{
    SetLastUsed(MakeRecord(Weave()));
    const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --repeat --abort-after 3 --in " +
                                Quote(SourceFile("samples\\coffee.png")));
    EXPECT_EQ(run.json["result"].Int(), -128) << run.summary;
    EXPECT_TRUE(run.json["aborted"].boolean);
    EXPECT_EQ(run.json["progress"].Int(), 3); // no progress report once the host aborts
    EXPECT_EQ(run.json["abort"].Int(), 4);
    EXPECT_EQ(run.json["off_thread"].Int(), 0);
    EXPECT_TRUE(run.json["rects_cleared"].boolean);
    EXPECT_TRUE(run.json["boxes"].items.empty());
}

TEST_F(Velk3dInHost, PlanesFollowTheFilterCase)
{
    SetLastUsed(MakeRecord(Weave()));
    const std::string rgba = RgbaInput();
    const std::string mask = Mask(600, 400);
    struct Case {
        std::string options;
        std::vector<int> planes;
    } cases[] = {
        {"--planes 3 --filter-case 5 --mask " + Quote(mask), {0, 3}}, // editable transparency
        {"--planes 3 --filter-case 4", {0, 3}},
        {"--planes 3 --filter-case 2 --mask " + Quote(mask), {0, 2}},
        {"--planes 5 --filter-case 4", {0, 3}}, // more planes than RGBA are capped
    };
    for (const Case& c : cases) {
        const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --repeat --in " + Quote(rgba) + " " +
                                    c.options + " --out " + Quote(folder + "out.png"));
        EXPECT_EQ(run.json["result"].Int(), 0) << c.options << "\n" << run.summary;
        EXPECT_EQ(run.json["planes"].Ints(), c.planes) << c.options;
        EXPECT_FALSE(run.json["overrun"].boolean) << c.options;
    }
}

// Without a valid "Last Used" the start shows the dialog (cancelled here by
// the UI script): -128, the image requested once for the preview, nothing
// rendered into the image.
void ExpectDialogPath(const HostRun& run)
{
    EXPECT_EQ(run.json["result"].Int(), -128) << run.summary;
    EXPECT_TRUE(run.json["boxes"].items.empty()) << run.summary;
    ASSERT_GE(run.json["windows"].items.size(), 1u) << run.summary;
    EXPECT_EQ(run.json["windows"][0]["title"].text, std::string(61, ' ') + "Velk 3D v1.09a");
    EXPECT_EQ(run.json["advance"].Int(), 1);
    EXPECT_EQ(run.json["ui"]["failed_line"].Int(), 0) << run.summary;
}

TEST_F(Velk3dInHost, MissingOrUnusableLastUsedShowsTheDialog)
{
    const auto run = [&] {
        return RunScripted("run " + Quote(Velk3dModule()) + " --repeat --in " +
                               Quote(SourceFile("samples\\coffee.png")),
                           folder, "dialog samples\nkey escape\n");
    };
    ExpectDialogPath(run()); // missing

    std::vector<uint8_t> corrupt = MakeRecord(Weave());
    corrupt[0] ^= 1; // the checksum no longer matches
    SetLastUsed(corrupt);
    ExpectDialogPath(run());

    std::vector<uint8_t> longer = MakeRecord(Weave());
    longer.resize(100, 0xEE); // a valid record followed by more bytes
    SetLastUsed(longer);
    ExpectDialogPath(run());

    std::vector<uint8_t> shorter = MakeRecord(Weave());
    shorter.resize(40);
    SetLastUsed(shorter);
    ExpectDialogPath(run());
}

TEST_F(Velk3dInHost, ParametersSelectorAsksForTheDialog)
{
    SetLastUsed(MakeRecord(Weave()));
    const HostRun run = RunScripted("run " + Quote(Velk3dModule()) + " --in " +
                                        Quote(SourceFile("samples\\coffee.png")),
                                    folder, "dialog samples\nkey escape\n");
    EXPECT_EQ(run.json["selectors"].Ints(), (std::vector<int>{1, 2, 3}));
    ExpectDialogPath(run);
}

TEST_F(Velk3dInHost, AboutBoxAndPrepare)
{
    const HostRun about = RunHost("about " + Quote(Velk3dModule()));
    ASSERT_EQ(about.json["boxes"].items.size(), 1u) << about.summary;
    const JsonValue& box = about.json["boxes"][0];
    EXPECT_EQ(box["caption"].text, std::string(16, ' ') + "Velk 3D v1.09a");
    const std::string text = box["text"].text;
    EXPECT_EQ(text.substr(0, text.find('\n')), std::string(26, ' ') + "Velk 3D");
    EXPECT_NE(text.find("\n3D-deformation filter for Adobe Photoshop\n"), std::string::npos);
    EXPECT_EQ(box["owner"].text, "host");
    EXPECT_EQ(about.json["result"].Int(), 0);

    SetLastUsed(MakeRecord(Weave()));
    const HostRun run = RunHost("run " + Quote(Velk3dModule()) + " --repeat --no-buffers --in " +
                                Quote(SourceFile("samples\\coffee.png")));
    EXPECT_EQ(run.json["maxSpace"].Int(), 256);
}

} // namespace
