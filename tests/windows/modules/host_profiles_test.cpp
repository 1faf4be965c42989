// Both modules in the records of real hosts (velkhost --host): each host's
// record and its habits between calls. In every profile the dialog opens,
// the colour picker fails (cancelled where the host has one, "host
// insufficient" where it has none) without harm, OK renders what the command
// line renders, and velk3d's repeat applies "Last Used" as the command line
// does.
#include <gtest/gtest.h>

#include "tests/windows/modules/module_run.h"

namespace {

const char* const kHosts[] = {"photoshop", "pspihost", "gimp", "irfanview", "paintdotnet"};

class HostProfiles : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder();
        DeleteLastUsed();
    }
    void TearDown() override { DeleteLastUsed(); }

    HostRun Run(const std::string& module, const std::string& host, const std::string& script,
                const std::string& extra = "")
    {
        return RunScripted("run " + Quote(module) + " --in " + Quote(coffee) + " --out " +
                               Quote(folder + "host.png") + " --fore 200,30,40 --back 30,60,90 --host " +
                               host + " " + extra,
                           folder, script);
    }

    size_t DiffersFromCli(const std::string& filter, const std::vector<std::string>& options)
    {
        return DifferingBytes(LoadPixels(folder + "host.png"),
                              CliPicture(filter, options, coffee, folder + "cli.png"));
    }

    std::string coffee = SourceFile("samples\\coffee.png");
    std::string folder;
};

// The swatch's colour-source pop-up, its Picker row, the host's answer.
const char kTryPicker[] = "pick cancel\nclick @1021/c:0,0\ndialog back\nclick @1042:5,3\ndialog samples\n";

TEST_F(HostProfiles, Velk3dOpensPicksAppliesAndRepeats)
{
    for (const char* host : kHosts) {
        SCOPED_TRACE(host);
        DeleteLastUsed();
        HostRun run = Run(Velk3dModule(), host, std::string("dialog samples\n") + kTryPicker +
                                                     "click @1004/tr:144,5\n");
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), 0) << run.summary;
        ASSERT_EQ(run.json["colour"].items.size(), 1u) << run.summary;
        EXPECT_NE(run.json["colour"][0]["result"].Int(), 0);
        EXPECT_EQ(DiffersFromCli("velk3d", {}), 0u);

        // Filter again: no dialog, "Last Used" as it was stored.
        const std::vector<uint8_t> last = ReadLastUsed();
        ASSERT_EQ(last.size(), 64u);
        WriteBytes(folder + "last.bin", last);
        run = Run(Velk3dModule(), host, "", "--repeat");
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), 0) << run.summary;
        EXPECT_EQ(DiffersFromCli("velk3d", {"--record", UnixPath(folder + "last.bin")}), 0u);
    }
}

TEST_F(HostProfiles, Velk2000OpensPicksAndApplies)
{
    for (const char* host : kHosts) {
        SCOPED_TRACE(host);
        const HostRun run = Run(Velk2000Module(), host, std::string("dialog samples\n") + kTryPicker +
                                                            "click @1014:90,34\n");
        ASSERT_EQ(run.exitCode, 0u) << run.summary;
        EXPECT_EQ(run.json["result"].Int(), 0) << run.summary;
        ASSERT_EQ(run.json["colour"].items.size(), 1u) << run.summary;
        EXPECT_NE(run.json["colour"][0]["result"].Int(), 0);
        EXPECT_EQ(DiffersFromCli("velk2000", {}), 0u);
    }
}

// A start that fails leaves the image as it was: where the host may ignore
// the result code, the module says so itself; Photoshop shows its own
// message, and Cancel is never told.
TEST_F(HostProfiles, AFailedStartIsToldWhereTheHostMayNotTellIt)
{
    for (const char* host : kHosts) {
        SCOPED_TRACE(host);
        for (const std::string& module : {Velk3dModule(), Velk2000Module()}) {
            HostRun run = RunHost("run " + Quote(module) + " --no-buffers --in " + Quote(coffee) + " --host " + host);
            EXPECT_EQ(run.json["result"].Int(), -108) << run.summary;
            const JsonValue& boxes = run.json["boxes"];
            if (std::string(host) == "photoshop") {
                EXPECT_TRUE(boxes.items.empty()) << run.summary;
            } else {
                ASSERT_EQ(boxes.items.size(), 1u) << run.summary;
                EXPECT_EQ(boxes[0]["text"].text, "Not enough memory, or no image data from the host.\nThe image is unchanged.");
                EXPECT_EQ(boxes[0]["icon"].text, "error");
                EXPECT_EQ(boxes[0]["owner"].text, "host");
            }
        }
        const HostRun cancelled = Run(Velk2000Module(), host, "dialog samples\nkey escape\n");
        EXPECT_EQ(cancelled.json["result"].Int(), -128) << cancelled.summary;
        EXPECT_TRUE(cancelled.json["boxes"].items.empty()) << cancelled.summary;
    }
}

} // namespace
