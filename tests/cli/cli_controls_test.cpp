// The dialogs' controls as options of the command line: each sets exactly
// its record fields and renders as the record does, out-of-range values are
// refused with the range, records print back as options that remake them,
// and velk2000's tools act on the starting record.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

#include "common/control_table.h"
#include "deform/engine/deform_controls.h"
#include "deform/engine/factory_presets.h"
#include "tests/cli/cli_run.h"
#include "twostage/engine/twostage_controls.h"
#include "twostage/engine/twostage_presets.h"

namespace {

struct Filter {
    const char* name;
    const ControlTable& table;
    std::set<int> sealed; // bytes a record's seal rewrites: checksum, save flags
};

const Filter kFilters[] = {
    {"velk3d", DeformControls(), {36, 37, 38, 39, 44}},
    {"velk2000", TwoStageControls(), {60, 61, 62, 63}},
};

std::string Number(const ControlSpec& c, int32_t v)
{
    if (c.kind == ControlKind::Toggle && c.names)
        return c.names[v];
    if (c.kind == ControlKind::Check)
        return v ? "on" : "off";
    return std::to_string(v);
}

// A value of the control that the record does not hold, and the numbers it
// stands for.
std::string OtherValue(const ControlSpec& c, const std::string& record, int32_t numbers[2])
{
    if (c.kind == ControlKind::Colour) {
        numbers[0] = 2;
        return "12,34,56";
    }
    std::string text;
    for (int k = 0; k < c.count; ++k) {
        const int32_t v = ReadControlValue(record.data(), c.value[k]);
        numbers[k] = c.kind == ControlKind::Value ? (v == c.max ? c.min : c.max) : (v + 1) % (c.max + 1);
        text += (k ? "," : "") + Number(c, numbers[k]);
    }
    return text;
}

// A random value the control accepts.
std::string RandomValue(const ControlSpec& c, std::mt19937& random)
{
    const auto in = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };
    if (c.kind == ControlKind::Colour) {
        const char* sources[] = {"foreground:", "background:", "", "transparent:"};
        return sources[in(0, 3)] + std::to_string(in(0, 255)) + "," + std::to_string(in(0, 255)) +
               "," + std::to_string(in(0, 255));
    }
    std::string text;
    for (int k = 0; k < c.count; ++k)
        text += (k ? "," : "") + Number(c, in(c.min, c.max));
    return text;
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

class CliControls : public testing::Test {
protected:
    void SetUp() override
    {
        folder = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        rgb = folder + "/rgb.png";
        WritePixels(rgb, TestPicture(48, 40, 3));
    }

    // velk record FILTER OPTIONS... OUT; the record's bytes.
    std::string Record(const std::string& filter, std::vector<std::string> options)
    {
        const std::string out = folder + "/made.rec";
        options.insert(options.begin(), {"record", filter});
        options.push_back(out);
        const RunResult r = RunVelk(options);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadFile(out);
    }

    Pixels Apply(const std::string& filter, std::vector<std::string> options)
    {
        const std::string out = folder + "/out.png";
        options.insert(options.begin(), {"apply", filter});
        options.push_back(rgb);
        options.push_back(out);
        const RunResult r = RunVelk(options, "", VELK_PLAIN_BINARY);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadPixels(out);
    }

    std::string folder, rgb;
};

TEST_F(CliControls, EachOptionSetsItsFieldsAndRendersAsItsRecord)
{
    for (const Filter& f : kFilters) {
        const std::string defaults = Record(f.name, {});
        ASSERT_EQ(defaults.size(), 64u);
        for (int i = 0; i < f.table.count; ++i) {
            const ControlSpec& c = f.table.controls[i];
            const std::string option = "--" + std::string(c.option);
            SCOPED_TRACE(std::string(f.name) + " " + option);
            int32_t numbers[2] = {0, 0};
            const std::string value = OtherValue(c, defaults, numbers);
            const std::string made = Record(f.name, {option, value});
            ASSERT_EQ(made.size(), 64u);

            // The control's own bytes hold the value; no other byte moves
            // except those the seal rewrites.
            std::set<int> own;
            for (int k = 0; k < (c.kind == ControlKind::Colour ? 1 : c.count); ++k) {
                EXPECT_EQ(ReadControlValue(made.data(), c.value[k]), numbers[k]);
                for (int b = 0; b < c.value[k].bytes; ++b)
                    own.insert(c.value[k].offset + b);
            }
            if (c.kind == ControlKind::Colour)
                for (int k = 0; k < 3; ++k)
                    own.insert(c.value[1].offset + k);
            for (int b = 0; b < 64; ++b) {
                if (!own.count(b) && !f.sealed.count(b)) {
                    EXPECT_EQ(made[b], defaults[b]) << "byte " << b;
                }
            }

            // The option renders as the record it makes. Loading a velk2000
            // record switches anti-aliasing on, as the plug-in's preset box
            // does, so that one is set again after the load.
            const std::string path = folder + "/" + c.option + ".rec";
            WriteFile(path, made);
            std::vector<std::string> fromRecord = {"--record", path};
            if (std::string(f.name) == "velk2000" && std::string(c.option) == "antialiasing")
                fromRecord.insert(fromRecord.end(), {option, value});
            EXPECT_EQ(Apply(f.name, {option, value}).data, Apply(f.name, fromRecord).data);

            // A value beyond the range is refused, and the message names it.
            if (c.kind == ControlKind::Value) {
                const std::string beyond = std::to_string(c.max + 1);
                ExpectFailure({"record", f.name, option, c.count == 2 ? beyond + "," + beyond : beyond,
                               folder + "/no.rec"},
                              std::to_string(c.min) + ".." + std::to_string(c.max));
            } else {
                ExpectFailure({"record", f.name, option, "9", folder + "/no.rec"}, option);
            }
        }
        EXPECT_FALSE(FileExists(folder + "/no.rec"));
    }
}

TEST_F(CliControls, ShowPrintsOptionsThatRemakeTheRecord)
{
    std::mt19937 random(20261209);
    for (const Filter& f : kFilters) {
        // Every factory preset, then random settings of every control.
        std::vector<std::vector<std::string>> cases;
        if (std::string(f.name) == "velk3d")
            for (int n = 0; n < kFactoryPresetCount; ++n) {
                char name[64];
                FactoryPresetName(n, name, sizeof name);
                cases.push_back({"--preset", name});
            }
        else
            for (int n = 0; n < kTwoStageFactoryCount; ++n)
                cases.push_back({"--preset", TwoStageFactoryName(n)});
        for (int k = 0; k < 12; ++k) {
            std::vector<std::string> options;
            for (int i = 0; i < f.table.count; ++i) {
                const ControlSpec& c = f.table.controls[i];
                options.push_back("--" + std::string(c.option));
                options.push_back(RandomValue(c, random));
            }
            if (std::string(f.name) == "velk2000" && k % 3 == 1)
                options.insert(options.end(), {"--save-colors", "off", "--save-light-correction", "off"});
            cases.push_back(options);
        }
        for (const auto& options : cases) {
            SCOPED_TRACE(std::string(f.name) + " " + options[1]);
            const std::string made = Record(f.name, options);
            const std::string path = folder + "/shown.rec";
            WriteFile(path, made);
            const RunResult shown = RunVelk({"show", path});
            ASSERT_EQ(shown.exitCode, 0) << shown.err;
            EXPECT_EQ(shown.err, "");
            std::vector<std::string> words = Words(shown.out);
            ASSERT_FALSE(words.empty());
            EXPECT_EQ(words[0], f.name);
            words.erase(words.begin());
            EXPECT_EQ(Record(f.name, words), made) << shown.out;
        }
    }

    // A damaged record is still shown, with a warning.
    std::string damaged = Record("velk2000", {});
    damaged[30] = static_cast<char>(damaged[30] + 1);
    WriteFile(folder + "/damaged.rec", damaged);
    const RunResult r = RunVelk({"show", folder + "/damaged.rec"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("fails its checksum"), std::string::npos) << r.err;
    EXPECT_EQ(Words(r.out).at(0), "velk2000");
}

TEST_F(CliControls, Velk2000ToolsActBeforeTheControls)
{
    const std::string plain = Record("velk2000", {});
    // The Dice is repeatable by its seed.
    const std::string dice = Record("velk2000", {"--dice", "7"});
    EXPECT_EQ(Record("velk2000", {"--dice", "7"}), dice);
    EXPECT_NE(Record("velk2000", {"--dice", "8"}), dice);
    EXPECT_NE(dice, plain);

    // Bypass sets a stage's G-Shading, S-Shading and Stretch neutral; a
    // control given with it still counts, as a slider moved after the click.
    const std::string bypass = Record("velk2000", {"--bypass", "2", "--stage2-s-shading", "70"});
    EXPECT_EQ(bypass.substr(28, 2), std::string(2, 25));
    EXPECT_EQ(bypass[31], 70);
    EXPECT_EQ(bypass.substr(34, 2), std::string(2, 25));
    EXPECT_EQ(bypass.substr(26, 2), plain.substr(26, 2)); // stage 1 untouched

    // The flip exchanges rows and columns; twice, it changes nothing.
    const std::string flip = Record("velk2000", {"--flip"});
    EXPECT_EQ(flip[20], plain[21]);
    EXPECT_EQ(flip[21], plain[20]);
    EXPECT_EQ(flip[50], plain[51]);
    const std::string path = folder + "/flipped.rec";
    WriteFile(path, flip);
    EXPECT_EQ(Record("velk2000", {"--record", path, "--flip"}), plain);

    // Spacing steps grow every spacing by about 1.414 a step.
    const std::string wider = Record("velk2000", {"--spacing-steps", "2"});
    for (int b = 20; b < 24; ++b)
        EXPECT_NEAR(static_cast<uint8_t>(wider[b]), std::min(250, 2 * static_cast<uint8_t>(plain[b])), 1);
}

} // namespace
