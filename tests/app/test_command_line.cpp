#include "app/command_line.h"
#include "app/version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using app::EarlyAction;

EarlyAction action_of(std::vector<const char*> args) {
    args.insert(args.begin(), "telvane-scpi");
    return app::early_action(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, PicksHelpAndVersionAndLeavesTheRestToQt) {
    struct Case {
        std::vector<const char*> args;
        EarlyAction action;
    };
    const Case cases[] = {
        {{}, EarlyAction::run},
        {{"--help"}, EarlyAction::help},
        {{"-h"}, EarlyAction::help},
        {{"--version"}, EarlyAction::version},
        {{"-v"}, EarlyAction::version},
        // Qt's options and their values are not ours.
        {{"-platform", "offscreen"}, EarlyAction::run},
        {{"-platform", "offscreen", "--version"}, EarlyAction::version},
        {{"--platform", "xcb", "-h"}, EarlyAction::help},
        // A value of a Qt option that reads like ours is still the value.
        {{"-title", "--help"}, EarlyAction::run},
        {{"-style", "--version", "-reverse"}, EarlyAction::run},
        // The first of ours wins; nothing after "--" is looked at.
        {{"--version", "--help"}, EarlyAction::version},
        {{"--", "--help"}, EarlyAction::run},
        // Near misses are not ours either.
        {{"--helpme", "-version", "--vers"}, EarlyAction::run},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const char* a : c.args)
            line += std::string(a) + ' ';
        EXPECT_EQ(action_of(c.args), c.action) << line;
    }
}

TEST(CommandLine, VersionTextNamesTheProgramAndItsVersion) {
    EXPECT_EQ(app::version_text(), std::string("telvane-scpi ") + TELVANE_VERSION + "\n");
    EXPECT_NE(std::string(TELVANE_VERSION), "");
    const std::string help = app::help_text("prog");
    EXPECT_EQ(help.rfind("Usage: prog", 0), 0u);
    EXPECT_NE(help.find("--version"), std::string::npos);
}

} // namespace
