#include "gui/command_line.h"

#include <gtest/gtest.h>

namespace vantu {
namespace {

TEST(CommandLine, OptionsAndRefusals) {
    ParsedCommandLine plain = ParseCommandLine({"vantu"});
    ASSERT_TRUE(plain.options);
    EXPECT_FALSE(plain.options->headless);
    EXPECT_FALSE(plain.options->simulate);
    EXPECT_EQ(plain.options->port, 10001);

    ParsedCommandLine all = ParseCommandLine({"vantu", "--simulate", "--headless", "--port", "2"});
    ASSERT_TRUE(all.options);
    EXPECT_TRUE(all.options->headless);
    EXPECT_TRUE(all.options->simulate);
    EXPECT_EQ(all.options->port, 2);
    EXPECT_EQ(ParseCommandLine({"vantu", "--port=65535"}).options->port, 65535);

    ParsedCommandLine version = ParseCommandLine({"vantu", "--version"});
    EXPECT_FALSE(version.options);
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "VANTU V1.22\n");
    EXPECT_NE(ParseCommandLine({"vantu", "--help"}).output.find("--simulate"), std::string::npos);

    for (auto bad : {std::vector<std::string>{"vantu", "--port"},
                     {"vantu", "--port", "0"},
                     {"vantu", "--port", "65536"},
                     {"vantu", "--port", "12x"},
                     {"vantu", "-x"}}) {
        ParsedCommandLine parsed = ParseCommandLine(bad);
        EXPECT_FALSE(parsed.options) << bad.back();
        EXPECT_EQ(parsed.exit_code, 2) << bad.back();
        EXPECT_NE(parsed.error.find("Usage"), std::string::npos);
    }
}

}  // namespace
}  // namespace vantu
