// End-to-end tests of velkhost: each runs velkhost.exe on the probe module
// and checks the summary line, the probe's own log of what it was handed,
// and the output image against values worked out here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/harness/host_harness.h"

namespace {

using Ints = std::vector<int>;

std::string Probe(const char* name)
{
    return Quote(WinPath(std::string(PROBE_DIR) + "/" + name + ".8bf"));
}

// A test image whose every byte differs from its neighbours'.
Pixels Pattern(int w, int h, int channels)
{
    Pixels p{w, h, channels, std::vector<uint8_t>(size_t(w) * h * channels)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < channels; ++c)
                p.At(x, y)[c] = uint8_t((x * 37 + y * 59 + c * 71 + 13) % 256);
    return p;
}

// The files of one test: input image, output image and probe log.
struct Files {
    std::string folder, in, out, log;
    explicit Files(const Pixels& input) : folder(TestFolder())
    {
        in = folder + "in.png";
        out = folder + "out.png";
        log = folder + "probe.log";
        EXPECT_TRUE(SavePixels(in, input));
    }
    std::string InOut() const { return " --in " + Quote(in) + " --out " + Quote(out); }
};

// The code property key of this build's architecture, which velkhost looks for.
const char* OwnCodeKey()
{
    return sizeof(void*) == 8 ? "8664" : "wx86";
}

HostRun RunProbe(const Files& f, const std::string& action, const std::string& options = "",
                 const char* module = "velkprobe")
{
    SetProbe(action, f.log);
    return RunHost("run " + Probe(module) + f.InOut() + " " + options);
}

void ExpectPixels(const Pixels& got, const Pixels& want)
{
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    ASSERT_EQ(got.channels, want.channels);
    for (size_t i = 0; i < want.bytes.size(); ++i)
        ASSERT_EQ(int(got.bytes[i]), int(want.bytes[i])) << "byte " << i;
}

Pixels Inverted(Pixels p)
{
    for (uint8_t& b : p.bytes)
        b = uint8_t(255 - b);
    return p;
}

bool Contains(const std::string& s, const std::string& part)
{
    return s.find(part) != std::string::npos;
}

TEST(VelkhostRun, RgbImageGetsThreePlanesFlatCaseAndTheWholeImage)
{
    const Pixels input = Pattern(5, 4, 3);
    Files f(input);
    HostRun r = RunProbe(f, "whole invert", "--fore 1,2,3 --back 250,251,252");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    const JsonValue& j = r.json;
    EXPECT_EQ(j["status"].text, "ok");
    EXPECT_EQ(j["selectors"].Ints(), (Ints{1, 2, 3, 5}));
    EXPECT_EQ(j["results"].Ints(), (Ints{0, 0, 0, 0}));
    EXPECT_EQ(j["result"].kind, JsonValue::Number);
    EXPECT_EQ(j["result"].Int(), 0);
    EXPECT_EQ(j["maxSpace"].Int(), 256); // set by the probe's prepare
    EXPECT_EQ(j["record_planes"].Int(), 3);
    EXPECT_EQ(j["filterCase"].Int(), 1);
    EXPECT_EQ(j["advance"].Int(), 1);
    EXPECT_EQ(j["planes"].Ints(), (Ints{0, 2}));
    EXPECT_EQ(j["requests"][0]["in"].Ints(), (Ints{0, 0, 4, 5}));
    EXPECT_EQ(j["requests"][0]["out_row_bytes"].Int(), 15);
    EXPECT_TRUE(j["rects_cleared"].boolean);
    EXPECT_FALSE(j["overrun"].boolean);
    EXPECT_FALSE(j["in_written"].boolean);
    EXPECT_TRUE(j["boxes"].items.empty());
    EXPECT_TRUE(j["windows"].items.empty());

    ProbeLog log = ReadProbeLog(f.log);
    auto rec = log.Find("record");
    EXPECT_EQ(rec["width"], "5");
    EXPECT_EQ(rec["height"], "4");
    EXPECT_EQ(rec["planes"], "3");
    EXPECT_EQ(rec["filterCase"], "1");
    EXPECT_EQ(rec["imageMode"], "3");
    EXPECT_EQ(rec["haveMask"], "0");
    EXPECT_EQ(rec["depth"], "8");
    EXPECT_EQ(rec["fore"], "1,2,3");
    EXPECT_EQ(rec["back"], "250,251,252");
    EXPECT_EQ(rec["fore16"], "257,514,771"); // 8-bit value x 257
    EXPECT_EQ(rec["back16"], "64250,64507,64764");
    EXPECT_EQ(rec["filterRect"], "0,0,4,5");
    EXPECT_EQ(rec["window"], "1");  // a real window in platformData
    EXPECT_EQ(rec["visible"], "0"); // ... that is hidden
    auto fetch = log.Find("fetch");
    EXPECT_EQ(fetch["in"], "1");
    EXPECT_EQ(fetch["out"], "1");
    EXPECT_EQ(fetch["mask"], "0");
    EXPECT_EQ(fetch["inRowBytes"], "15");
    EXPECT_EQ(fetch["outRowBytes"], "15");
    ExpectPixels(LoadPixels(f.out), Inverted(input));
}

TEST(VelkhostRun, RgbaWithMaskGetsFourPlanesCaseFiveAndTheMasksFirstChannel)
{
    const Pixels input = Pattern(6, 3, 4);
    Files f(input);
    // The mask's first channel is non-zero only at x 1..3, y 1..2; the other
    // channels differ from it so that a grey conversion would show.
    Pixels mask{6, 3, 3, std::vector<uint8_t>(6 * 3 * 3)};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint8_t m = (x >= 1 && x <= 3 && y >= 1) ? uint8_t(x * 40 + y * 7) : 0;
            mask.At(x, y)[0] = m, mask.At(x, y)[1] = uint8_t(255 - m), mask.At(x, y)[2] = 0;
        }
    ASSERT_TRUE(SavePixels(f.folder + "mask.png", mask));
    HostRun r = RunProbe(f, "whole maskcopy", "--mask " + Quote(f.folder + "mask.png"));
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(r.json["record_planes"].Int(), 4);
    EXPECT_EQ(r.json["filterCase"].Int(), 5);
    EXPECT_EQ(r.json["haveMask"].Int(), 1);
    EXPECT_EQ(r.json["planes"].Ints(), (Ints{0, 3}));
    EXPECT_EQ(r.json["requests"][0]["mask"].Ints(), (Ints{0, 0, 3, 6}));
    EXPECT_EQ(r.json["requests"][0]["mask_row_bytes"].Int(), 6);
    EXPECT_EQ(r.json["requests"][0]["in_row_bytes"].Int(), 24);
    auto rec = ReadProbeLog(f.log).Find("record");
    EXPECT_EQ(rec["filterRect"], "1,1,3,4"); // the selection's bounds
    Pixels want = input;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            for (int c = 0; c < 3; ++c)
                want.At(x, y)[c] = mask.At(x, y)[0];
    ExpectPixels(LoadPixels(f.out), want);
}

TEST(VelkhostRun, FilterCaseFollowsTransparencyAndSelectionUnlessOverridden)
{
    struct Row {
        int channels;
        bool mask;
        std::string extra;
        int filterCase;
    };
    for (const Row& row : {Row{3, false, "", 1}, Row{3, true, "", 2}, Row{4, false, "", 4},
                           Row{4, true, "", 5}, Row{3, false, "--filter-case 7", 7}}) {
        SCOPED_TRACE(std::to_string(row.channels) + " channels, mask " + std::to_string(row.mask));
        Files f(Pattern(3, 2, row.channels));
        std::string options = row.extra;
        if (row.mask) {
            ASSERT_TRUE(
                SavePixels(f.folder + "mask.png", Pixels{3, 2, 1, std::vector<uint8_t>(6, 255)}));
            options += " --mask " + Quote(f.folder + "mask.png");
        }
        HostRun r = RunProbe(f, "", options);
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_EQ(r.json["filterCase"].Int(), row.filterCase);
        EXPECT_EQ(r.json["record_planes"].Int(), row.channels);
        auto rec = ReadProbeLog(f.log).Find("record");
        EXPECT_EQ(rec["filterCase"], std::to_string(row.filterCase));
        EXPECT_EQ(rec["haveMask"], row.mask ? "1" : "0");
    }
}

TEST(VelkhostRun, ThreePlanesReportedForRgbaStillHandOutAlphaAsFourthByte)
{
    const Pixels input = Pattern(4, 3, 4);
    Files f(input);
    HostRun r = RunProbe(f, "whole invert", "--planes 3");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(r.json["record_planes"].Int(), 3);
    EXPECT_EQ(r.json["filterCase"].Int(), 4);
    EXPECT_EQ(r.json["planes"].Ints(), (Ints{0, 3}));
    EXPECT_EQ(ReadProbeLog(f.log).Find("fetch")["inRowBytes"], "16");
    ExpectPixels(LoadPixels(f.out), Inverted(input));
}

TEST(VelkhostRun, PartialRequestGetsExactlyItsRectangleAndPlanesWithPaddedRows)
{
    const Pixels input = Pattern(6, 4, 3);
    Files f(input);
    HostRun r = RunProbe(f, "region=1,2,3,5,1,2 invert", "--row-pad 3");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    const JsonValue& rq = r.json["requests"][0];
    EXPECT_EQ(rq["in"].Ints(), (Ints{1, 2, 3, 5}));
    EXPECT_EQ(rq["in_planes"].Ints(), (Ints{1, 2}));
    EXPECT_EQ(rq["in_row_bytes"].Int(), 3 * 2 + 3);
    EXPECT_EQ(rq["result"].Int(), 0);
    EXPECT_FALSE(r.json["overrun"].boolean);
    Pixels want = input;
    for (int y = 1; y < 3; ++y)
        for (int x = 2; x < 5; ++x)
            for (int c = 1; c <= 2; ++c)
                want.At(x, y)[c] = uint8_t(255 - input.At(x, y)[c]);
    ExpectPixels(LoadPixels(f.out), want);
}

TEST(VelkhostRun, RequestOutsideTheImageIsRefusedWithoutBuffers)
{
    Files f(Pattern(4, 4, 3));
    HostRun r = RunProbe(f, "region=0,0,5,4,0,2 invert");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(r.json["requests"][0]["result"].Int(), -30100);
    EXPECT_EQ(r.json["result"].Int(), -108); // the probe found no buffers
    auto fetch = ReadProbeLog(f.log).Find("fetch");
    EXPECT_EQ(fetch["in"], "0");
    EXPECT_EQ(fetch["out"], "0");
}

TEST(VelkhostRun, RepeatedFilterSkipsParameters)
{
    Files f(Pattern(3, 3, 3));
    HostRun r = RunProbe(f, "", "--repeat");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(r.json["selectors"].Ints(), (Ints{2, 3, 5}));
    ProbeLog log = ReadProbeLog(f.log);
    EXPECT_EQ(log.Count("selector 1"), 0);
    EXPECT_EQ(log.Count("selector 3"), 1);
}

TEST(VelkhostRun, AboutCallsSelectorZeroWithTheHostWindow)
{
    Files f(Pattern(1, 1, 3));
    SetProbe("", f.log);
    HostRun r = RunHost("about " + Probe("velkprobe"));
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(r.json["command"].text, "about");
    EXPECT_EQ(r.json["selectors"].Ints(), (Ints{0}));
    EXPECT_EQ(r.json["results"].Ints(), (Ints{0}));
    ASSERT_EQ(r.json["boxes"].items.size(), 1u);
    const JsonValue& box = r.json["boxes"][0];
    EXPECT_EQ(box["caption"].text, "About Probe");
    EXPECT_EQ(box["text"].text, "Probe about\nline two");
    EXPECT_EQ(box["icon"].text, "information");
    EXPECT_EQ(box["owner"].text, "host");
    ProbeLog log = ReadProbeLog(f.log);
    EXPECT_EQ(log.Find("about")["window"], "1");
    EXPECT_EQ(log.Count("record"), 0);
}

TEST(VelkhostRun, MessageBoxesAreRecordedExactlyAndAnsweredAtOnce)
{
    Files f(Pattern(2, 2, 3));
    HostRun r = RunProbe(f, "box");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    const JsonValue& boxes = r.json["boxes"];
    ASSERT_EQ(boxes.items.size(), 5u) << r.summary;
    struct Want {
        const char* caption; // nullptr: no caption
        const char* text;
        const char* icon;
        const char* buttons;
        int answer;
        const char* owner;
    };
    const Want want[5] = {
        {"Probe \"caption\"", "First line\nsecond line  ", "warning", "ok", 1, "host"},
        {nullptr,
         "Gr\xc3\xbc\xc3\x9f"
         "e",
         "question", "yesno", 7, "none"},
        {"Ex", "ex", "error", "okcancel", 1, "host"},
        {"Info", "indirect", "information", "retrycancel", 2, "host"},
        {"", "", "none", "yesnocancel", 2, "host"},
    };
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const JsonValue& b = boxes[size_t(i)];
        if (want[i].caption)
            EXPECT_EQ(b["caption"].text, want[i].caption);
        else
            EXPECT_EQ(b["caption"].kind, JsonValue::Null);
        EXPECT_EQ(b["text"].text, want[i].text);
        EXPECT_EQ(b["icon"].text, want[i].icon);
        EXPECT_EQ(b["buttons"].text, want[i].buttons);
        EXPECT_EQ(b["answer"].Int(), want[i].answer);
        EXPECT_EQ(b["owner"].text, want[i].owner);
    }
    // The module received the answers, and no real box window appeared.
    EXPECT_EQ(ReadProbeLog(f.log).Find("box")["answers"], "1,7,1,2,2");
    EXPECT_TRUE(r.json["windows"].items.empty());
}

TEST(VelkhostRun, AbortAnswersTrueOnceProgressRanNTimes)
{
    struct Row {
        std::string options;
        int result, progress, abortCalls;
        bool aborted;
    };
    for (const Row& row : {Row{"", 0, 20, 20, false}, Row{"--abort-after 5", -128, 5, 6, true},
                           Row{"--abort-after 0", -128, 0, 1, true}}) {
        SCOPED_TRACE(row.options);
        Files f(Pattern(2, 2, 3));
        HostRun r = RunProbe(f, "progress=20", row.options);
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_EQ(r.json["result"].Int(), row.result);
        EXPECT_EQ(r.json["progress"].Int(), row.progress);
        EXPECT_EQ(r.json["abort"].Int(), row.abortCalls);
        EXPECT_EQ(r.json["aborted"].boolean, row.aborted);
        if (row.progress) {
            EXPECT_EQ(r.json["progress_last"].Ints(), (Ints{row.progress, 20}));
        }
        EXPECT_EQ(ReadProbeLog(f.log).Find("progress")["calls"], std::to_string(row.progress));
        // Finish follows only a successful start.
        EXPECT_EQ(r.json["selectors"].Ints(), row.result ? (Ints{1, 2, 3}) : (Ints{1, 2, 3, 5}));
    }
}

TEST(VelkhostRun, NoBuffersLeavesTheDataPointersNullAndTheImageAlone)
{
    const Pixels input = Pattern(4, 2, 3);
    Files f(input);
    HostRun r = RunProbe(f, "whole invert", "--no-buffers");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(r.json["result"].Int(), -108);
    EXPECT_EQ(r.json["advance"].Int(), 1);
    EXPECT_EQ(r.json["requests"][0]["result"].Int(), 0);
    auto fetch = ReadProbeLog(f.log).Find("fetch");
    EXPECT_EQ(fetch["in"], "0");
    EXPECT_EQ(fetch["out"], "0");
    ExpectPixels(LoadPixels(f.out), input);
}

TEST(VelkhostRun, ColourPickerAnswersTheGivenColourOrCancels)
{
    {
        const Pixels input = Pattern(3, 2, 3);
        Files f(input);
        HostRun r = RunProbe(f, "pick whole", "--pick 12,34,56");
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_EQ(r.json["result"].Int(), 0);
        ASSERT_EQ(r.json["colour"].items.size(), 1u);
        EXPECT_EQ(r.json["colour"][0]["given"].Ints(), (Ints{10, 20, 30}));
        EXPECT_EQ(r.json["colour"][0]["result"].Int(), 0);
        EXPECT_EQ(ReadProbeLog(f.log).Find("pick")["rgb"], "12,34,56");
        Pixels want = input;
        for (size_t i = 0; i < want.bytes.size(); i += 3)
            want.bytes[i] = 12, want.bytes[i + 1] = 34, want.bytes[i + 2] = 56;
        ExpectPixels(LoadPixels(f.out), want);
    }
    for (const char* options : {"--pick cancel", ""}) {
        SCOPED_TRACE(options);
        const Pixels input = Pattern(3, 2, 3);
        Files f(input);
        HostRun r = RunProbe(f, "pick whole", options);
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_EQ(r.json["result"].Int(), -128);
        EXPECT_EQ(r.json["colour"][0]["result"].Int(), -128);
        EXPECT_EQ(r.json["advance"].Int(), 0);
        ExpectPixels(LoadPixels(f.out), input);
    }
}

TEST(VelkhostRun, ColourServicesRefuseShortRecordsAndReservedPointers)
{
    for (const char* action : {"pick-small", "pick-reserved"}) {
        SCOPED_TRACE(action);
        Files f(Pattern(2, 2, 3));
        HostRun r = RunProbe(f, action, "--pick 1,2,3");
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_EQ(r.json["colour"][0]["result"].Int(), -50);
        EXPECT_FALSE(r.json["colour"][0]["error"].text.empty());
        EXPECT_EQ(ReadProbeLog(f.log).Find("pick")["result"], "-50");
    }
}

TEST(VelkhostRun, WatchdogEndsAHungModule)
{
    Files f(Pattern(2, 2, 3));
    HostRun r = RunProbe(f, "hang", "--timeout 2");
    EXPECT_EQ(r.exitCode, 3u) << r.output;
    EXPECT_EQ(r.json["status"].text, "timeout");
    EXPECT_TRUE(r.json["timeout"].boolean);
    EXPECT_EQ(r.json["selectors"].Ints(), (Ints{1, 2, 3}));
    EXPECT_EQ(r.json["results"].Ints(), (Ints{0, 0})); // start never returned
    EXPECT_GE(r.seconds, 1.5);
    EXPECT_LT(r.seconds, 30.0);
}

TEST(VelkhostRun, CrashingModuleIsReported)
{
    Files f(Pattern(2, 2, 3));
    HostRun r = RunProbe(f, "crash");
    EXPECT_EQ(r.exitCode, 4u) << r.output;
    EXPECT_EQ(r.json["status"].text, "crash");
    EXPECT_EQ(unsigned(r.json["exception"].number), 0xC0000005u);
}

TEST(VelkhostRun, ModuleFaultsShowInTheSummary)
{
    Files f(Pattern(3, 2, 3));
    EXPECT_TRUE(RunProbe(f, "whole overrun").json["overrun"].boolean);
    EXPECT_TRUE(RunProbe(f, "whole overrun", "--row-pad 2").json["overrun"].boolean);
    EXPECT_TRUE(RunProbe(f, "whole write-in").json["in_written"].boolean);
    EXPECT_FALSE(RunProbe(f, "whole keep-rects").json["rects_cleared"].boolean);
    HostRun r = RunProbe(f, "noresult", "--repeat");
    EXPECT_EQ(r.json["results"].Ints(), (Ints{0, 0x5A5A}));
    EXPECT_EQ(r.json["result"].Int(), 0x5A5A);
}

TEST(VelkhostRun, WindowsTheModuleCreatesAreListed)
{
    Files f(Pattern(2, 2, 3));
    HostRun r = RunProbe(f, "window");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    ASSERT_EQ(r.json["windows"].items.size(), 1u) << r.summary;
    EXPECT_EQ(r.json["windows"][0]["title"].text, "probe window");
    EXPECT_EQ(_stricmp(r.json["windows"][0]["class"].text.c_str(), "static"), 0);
}

TEST(VelkhostRefusal, ModulesAHostWouldNotRunAreNeverCalled)
{
    struct Row {
        const char* module;
        const char* options;
        const char* why;
    };
    for (const Row& row :
         {Row{"velkprobe_grey", "", "rgb"}, Row{"velkprobe", "--mode grey", "grey"},
          Row{"velkprobe_notfilter", "", "8BIF"}, Row{"velkprobe_otherarch", "", OwnCodeKey()},
          Row{"velkprobe_unpadded", "", "runs past the end"}}) {
        SCOPED_TRACE(row.module + std::string(" ") + row.options);
        Files f(Pattern(2, 2, row.options[0] ? 1 : 3));
        HostRun r = RunProbe(f, "whole invert", row.options, row.module);
        EXPECT_EQ(r.exitCode, 2u) << r.output;
        EXPECT_EQ(r.json["status"].text, "refused");
        EXPECT_TRUE(Contains(r.json["error"].text, row.why)) << r.json["error"].text;
        EXPECT_TRUE(r.json["selectors"].items.empty());
        EXPECT_TRUE(ReadProbeLog(f.log).lines.empty()); // not even loaded as code
    }
}

TEST(VelkhostRefusal, GreyModeRunsAFilterThatEnablesIt)
{
    const Pixels input = Pattern(3, 3, 1);
    Files f(input);
    HostRun r = RunProbe(f, "whole invert", "--mode grey", "velkprobe_grey");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(r.json["imageMode"].Int(), 1);
    EXPECT_EQ(r.json["record_planes"].Int(), 1);
    EXPECT_EQ(r.json["planes"].Ints(), (Ints{0, 0}));
    ExpectPixels(LoadPixels(f.out), Inverted(input));
}

TEST(VelkhostMenu, FolderIsListedAsAFilterMenu)
{
    const std::string folder = Quote(WinPath(PROBE_DIR));
    HostRun rgb = RunHost("list " + folder);
    ASSERT_EQ(rgb.exitCode, 0u) << rgb.output;
    EXPECT_TRUE(rgb.summary.empty());
    std::vector<std::string> lines;
    for (size_t a = 0, b; (b = rgb.output.find('\n', a)) != std::string::npos; a = b + 1)
        lines.push_back(rgb.output.substr(a, b - a));
    ASSERT_EQ(lines.size(), 6u) << rgb.output;
    EXPECT_EQ(lines[0], "Velk Tests > Probe\tvelkprobe.8bf");
    EXPECT_EQ(lines[1], "Velk Tests > Probe Grey (disabled)\tvelkprobe_grey.8bf");
    EXPECT_EQ(lines[2].rfind("skipped notamodule.8bf: ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "skipped velkprobe_notfilter.8bf: kind 8BIF is not a filter");
    EXPECT_EQ(lines[4], std::string("skipped velkprobe_otherarch.8bf: no ") + OwnCodeKey() + " code property");
    EXPECT_EQ(lines[5].rfind("skipped velkprobe_unpadded.8bf: property 2 ", 0), 0u) << lines[5];

    HostRun grey = RunHost("list " + folder + " --mode grey");
    EXPECT_TRUE(Contains(grey.output, "Velk Tests > Probe (disabled)\tvelkprobe.8bf\n"))
        << grey.output;
    EXPECT_TRUE(Contains(grey.output, "Velk Tests > Probe Grey\tvelkprobe_grey.8bf\n"))
        << grey.output;
}

// The probe's PiPL, built here from the published layout.
std::string ExpectedProbePipl()
{
    std::vector<uint8_t> b;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    };
    auto code = [&](const char* c) {
        b.insert(b.end(), {uint8_t(c[3]), uint8_t(c[2]), uint8_t(c[1]), uint8_t(c[0])});
    };
    auto property = [&](const char* key, std::vector<uint8_t> data) {
        while (data.size() % 4)
            data.push_back(0);
        code("8BIM");
        code(key);
        u32(0);
        u32(uint32_t(data.size()));
        b.insert(b.end(), data.begin(), data.end());
    };
    auto text = [](const std::string& s, bool pascal) {
        std::vector<uint8_t> d;
        if (pascal)
            d.push_back(uint8_t(s.size()));
        d.insert(d.end(), s.begin(), s.end());
        if (!pascal)
            d.push_back(0);
        return d;
    };
    b = {1, 0};
    u32(0);
    u32(7);
    property("kind", {'M', 'F', 'B', '8'});
    property("name", text("Probe", true));
    property("catg", text("Velk Tests", true));
    // The code property of the probe's own architecture.
    property(sizeof(void*) == 8 ? "8664" : "wx86", text("ENTRYPOINT", false));
    property("mode", {0x10, 0x00});
    property("enbl", text("in (PSHOP_ImageMode, RGBMode)", false));
    property("vers", {0x00, 0x00, 0x01, 0x00});
    std::string hex;
    for (uint8_t v : b) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", v);
        hex += two;
    }
    return hex;
}

TEST(VelkhostMenu, PiplIsReportedByteForByteWithTheVerdict)
{
    HostRun r = RunHost("pipl " + Probe("velkprobe"));
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_TRUE(Contains(r.output, "\nbytes " + ExpectedProbePipl() + "\n")) << r.output;
    EXPECT_TRUE(Contains(r.output, "\nfilter Velk Tests > Probe entry ENTRYPOINT mode 1000\n"))
        << r.output;
    HostRun bad = RunHost("pipl " + Probe("velkprobe_unpadded"));
    EXPECT_EQ(bad.exitCode, 2u);
    EXPECT_TRUE(Contains(bad.output, "\nrefused property 2 ")) << bad.output;
}

TEST(VelkhostUsage, BadArgumentsAndUnreadableFilesAreReported)
{
    Files f(Pattern(2, 2, 3));
    EXPECT_EQ(RunHost("run " + Probe("velkprobe")).exitCode, 2u); // no --in
    EXPECT_EQ(RunHost("frobnicate " + Probe("velkprobe")).exitCode, 2u);
    EXPECT_EQ(RunHost("run " + Probe("velkprobe") + f.InOut() + " --fore 1,2").exitCode, 2u);
    EXPECT_EQ(RunHost("run " + Probe("velkprobe") + f.InOut() + " --bogus").exitCode, 2u);

    SetProbe("", f.log);
    HostRun missing =
        RunHost("run " + Probe("velkprobe") + " --in " + Quote(f.folder + "missing.png"));
    EXPECT_EQ(missing.exitCode, 1u);
    EXPECT_EQ(missing.json["status"].text, "error");
    ASSERT_TRUE(SavePixels(f.folder + "mask.png", Pixels{1, 1, 1, {255}}));
    HostRun mismatch = RunHost("run " + Probe("velkprobe") + f.InOut() + " --mask " +
                               Quote(f.folder + "mask.png"));
    EXPECT_EQ(mismatch.exitCode, 1u);
    EXPECT_TRUE(Contains(mismatch.json["error"].text, "mask")) << mismatch.summary;
    EXPECT_TRUE(mismatch.json["selectors"].items.empty());
    EXPECT_TRUE(ReadProbeLog(f.log).lines.empty());

    HostRun help = RunHost("--help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_TRUE(Contains(help.output, "rects_cleared"));
}

} // namespace
