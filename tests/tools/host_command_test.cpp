#include "tools/ghost_host/host_command.h"

#include <gtest/gtest.h>

namespace quillbin {
namespace {

using A = GhostAnswer;

TEST(GhostSetup, ParsesNameAndAnswer) {
    const struct {
        const char* text;
        std::optional<GhostSetup> expected;
    } cases[] = {
        {"Alpha", GhostSetup{"Alpha", A::Ok, 0}},
        {"Quillbin Demo Ghost", GhostSetup{"Quillbin Demo Ghost", A::Ok, 0}},
        {"Alpha:ok", GhostSetup{"Alpha", A::Ok, 0}},
        {"Alpha:zero", GhostSetup{"Alpha", A::Zero, 0}},
        {"Alpha:gone", GhostSetup{"Alpha", A::Gone, 0}},
        {"Alpha:reentrant", GhostSetup{"Alpha", A::Reentrant, 0}},
        {"Alpha:delay=0", GhostSetup{"Alpha", A::Delay, 0}},
        {"Alpha:delay=6000", GhostSetup{"Alpha", A::Delay, 6000}},
        {"Alpha:delay=600000", GhostSetup{"Alpha", A::Delay, 600000}},
        {"Alpha:broadcast=4000", GhostSetup{"Alpha", A::Broadcast, 4000}},
        {"a:b:zero", GhostSetup{"a:b", A::Zero, 0}},  // the last colon introduces the answer
        {"a:b", std::nullopt},                        // so a colon in a name needs one
        {"Alpha:", std::nullopt},
        {":ok", std::nullopt},
        {"", std::nullopt},
        {"Alpha:OK", std::nullopt},
        {"Alpha:delay=", std::nullopt},
        {"Alpha:delay=-1", std::nullopt},
        {"Alpha:delay=5s", std::nullopt},
        {"Alpha:delay=600001", std::nullopt},
        {"Alpha:delay=99999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseGhostSetup(c.text), c.expected) << c.text;
}

TEST(GhostSetup, DescribesTheAnswerTheWayItIsWritten) {
    for (const char* answer : {"ok", "zero", "gone", "reentrant", "delay=250"}) {
        auto ghost = ParseGhostSetup(std::string("G:") + answer);
        ASSERT_TRUE(ghost) << answer;
        EXPECT_EQ(DescribeGhostAnswer(*ghost), answer);
    }
}

TEST(HostCommand, ParsesTheCommands) {
    using K = HostCommand::Kind;
    const struct {
        std::string text;
        std::optional<HostCommand> expected;
    } cases[] = {
        {"add Beta", HostCommand{K::Add, {"Beta", A::Ok, 0}}},
        {"add Slow One:delay=6000", HostCommand{K::Add, {"Slow One", A::Delay, 6000}}},
        {"remove Slow One", HostCommand{K::Remove, {"Slow One", A::Ok, 0}}},
        {"clear", HostCommand{K::Clear, {}}},
        {"quit", HostCommand{K::Quit, {}}},
        {std::string("quit\0", 5), HostCommand{K::Quit, {}}},  // a NUL counted in by the sender
        {"clear\r\n", HostCommand{K::Clear, {}}},
        {"hold 3000", HostCommand{K::Hold, {}, 3000}},
        {"alternate 0", HostCommand{K::Alternate, {}, 0}},
        {"hold 600001", std::nullopt},
        {"alternate 3s", std::nullopt},
        {"add ", std::nullopt},
        {"add Beta:later", std::nullopt},
        {"remove ", std::nullopt},
        {"remove", std::nullopt},
        {"Quit", std::nullopt},
        {"quit now", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseHostCommand(c.text), c.expected) << c.text;
}

TEST(HostOptions, ReadsTheCommandLine) {
    std::string error;
    auto options = ParseHostOptions({"--ghost", "A:zero", "--hidden", "--ghost", "B", "--log", "C:\\t\\x.log"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->ghosts, (std::vector<GhostSetup>{{"A", A::Zero, 0}, {"B", A::Ok, 0}}));
    EXPECT_TRUE(options->hidden);
    EXPECT_EQ(options->logPath, "C:\\t\\x.log");
    EXPECT_FALSE(options->command);
}

TEST(HostOptions, OneDefaultGhostWhenNoneIsNamed) {
    std::string error;
    auto options = ParseHostOptions({}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->ghosts, (std::vector<GhostSetup>{{"Quillbin Demo Ghost", A::Ok, 0}}));
    EXPECT_FALSE(options->hidden);
    EXPECT_TRUE(options->logPath.empty());

    options = ParseHostOptions({"--command", "add X"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->command, "add X");
}

TEST(HostOptions, RejectsWhatItDoesNotKnow) {
    const std::vector<std::vector<std::string>> cases = {
        {"--ghost"}, {"--log"}, {"--command"}, {"--ghost", "A:never"}, {"--verbose"}, {"Alpha"},
    };
    for (const auto& args : cases) {
        std::string error;
        EXPECT_FALSE(ParseHostOptions(args, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

}  // namespace
}  // namespace quillbin
