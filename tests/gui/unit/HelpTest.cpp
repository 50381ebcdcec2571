// Which help file opens, and the address of a topic in the HTML help.
#include <gtest/gtest.h>

#include <set>

#include "ui/Help.h"

namespace {

TEST(Help, PrefersTheHlpFileThenTheFirstHtmlFile) {
    const std::string hlp = "C:\\RUN\\wHarvex.hlp";
    const auto candidates = htmlHelpCandidates(hlp, "C:\\Program Files\\Harvex\\HarvexUtility.exe");
    ASSERT_EQ(candidates, (std::vector<std::string>{"C:\\RUN\\wHarvex.htm", "C:\\Program Files\\Harvex\\wHarvex.htm"}));
    const struct { std::set<std::string> present; HelpChoice::Kind kind; std::string path; } cases[] = {
        {{hlp, candidates[0], candidates[1]}, HelpChoice::WinHelp, hlp},
        {{candidates[0], candidates[1]}, HelpChoice::Html, candidates[0]},
        {{candidates[1]}, HelpChoice::Html, candidates[1]},
        {{}, HelpChoice::Missing, hlp + "\n" + candidates[0] + "\n" + candidates[1]},
    };
    for (const auto& c : cases) {
        const HelpChoice got = chooseHelp(hlp, candidates, [&](const std::string& p) { return c.present.count(p) > 0; });
        EXPECT_EQ(got.kind, c.kind);
        EXPECT_EQ(got.path, c.path);
    }
}

TEST(Help, OneCandidateWhenTheProgramSitsInTheSettingsDirectory) {
    EXPECT_EQ(htmlHelpCandidates("C:\\RUN\\wHarvex.hlp", "C:\\RUN\\HarvexUtility.exe"),
              (std::vector<std::string>{"C:\\RUN\\wHarvex.htm"}));
    EXPECT_EQ(htmlHelpCandidates("", "C:\\RUN\\HarvexUtility.exe"), (std::vector<std::string>{"C:\\RUN\\wHarvex.htm"}));
}

TEST(Help, TopicAddressEscapesWhatAUrlCannotHold) {
    EXPECT_EQ(htmlHelpUrl("Z:\\tmp\\run\\wHarvex.htm", 2), "file:///Z:/tmp/run/wHarvex.htm#topic2");
    EXPECT_EQ(htmlHelpUrl("C:\\My Files\\#1 100%\\wHarvex.htm", 15),
              "file:///C:/My%20Files/%231%20100%25/wHarvex.htm#topic15");
}

}  // namespace
