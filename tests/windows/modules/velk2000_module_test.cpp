// velk2000.8bf in a host: about box, prepare, and the start checks that come
// before its dialog.

#include <gtest/gtest.h>

#include "tests/windows/modules/module_run.h"

namespace {

TEST(Velk2000InHost, AboutBox)
{
    const HostRun about = RunHost("about " + Quote(Velk2000Module()));
    ASSERT_EQ(about.json["boxes"].items.size(), 1u) << about.summary;
    const JsonValue& box = about.json["boxes"][0];
    EXPECT_EQ(box["caption"].text, std::string(16, ' ') + "Velk 2000");
    EXPECT_EQ(box["text"].text.rfind("Filter for Adobe Photoshop\n", 0), 0u) << box["text"].text;
    EXPECT_EQ(box["icon"].text, "information");
    EXPECT_EQ(box["buttons"].text, "ok");
    EXPECT_EQ(box["owner"].text, "host");
    EXPECT_EQ(about.json["result"].Int(), 0);
}

TEST(Velk2000InHost, TooFewPlanesAreRefusedBeforeTheDialog)
{
    const HostRun run = RunHost("run " + Quote(Velk2000Module()) + " --planes 1 --in " +
                                Quote(SourceFile("samples\\coffee.png")));
    EXPECT_EQ(run.json["result"].Int(), -128) << run.summary;
    ASSERT_EQ(run.json["boxes"].items.size(), 1u);
    EXPECT_EQ(run.json["boxes"][0]["text"].text, "Channels are not Supported");
    EXPECT_EQ(run.json["boxes"][0]["caption"].kind, JsonValue::Null);
    EXPECT_EQ(run.json["advance"].Int(), 0);
}

TEST(Velk2000InHost, EveryStartShowsTheDialog)
{
    const std::string folder = TestFolder();
    const HostRun run = RunScripted("run " + Quote(Velk2000Module()) + " --repeat --in " +
                                        Quote(SourceFile("samples\\coffee.png")),
                                    folder, "dialog samples\nkey escape\n");
    EXPECT_EQ(run.json["selectors"].Ints(), (std::vector<int>{2, 3}));
    EXPECT_EQ(run.json["maxSpace"].Int(), 256);
    EXPECT_EQ(run.json["result"].Int(), -128) << run.summary;
    EXPECT_TRUE(run.json["boxes"].items.empty());
    EXPECT_EQ(run.json["windows"][0]["title"].text, std::string(35, ' ') + "VELK 2000   v1.41");
    EXPECT_EQ(run.json["advance"].Int(), 1);
}

} // namespace
