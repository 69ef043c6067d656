// The viewer's command line: "-h", "--help" and "--version" alone are answered, anything else is a
// file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "command_line.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

std::optional<std::string> ReplyTo(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "mlsvexal");
  return CommandLineReply(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, OnlyAHelpOrVersionOptionAloneIsAnswered) {
  const auto help = ReplyTo({"--help"});
  ASSERT_TRUE(help.has_value());
  EXPECT_THAT(*help, StartsWith("Usage: mlsvexal [FILE]\n"));
  EXPECT_THAT(*help, HasSubstr("./--help"));
  EXPECT_EQ(ReplyTo({"-h"}), help);
  const auto version = ReplyTo({"--version"});
  ASSERT_TRUE(version.has_value());
  EXPECT_THAT(*version, StartsWith("mlsvexal "));
  EXPECT_THAT(*version, HasSubstr("License GPL-3.0-or-later"));

  // Everything else is the name of a file to open.
  for (const auto& arguments : std::vector<std::vector<const char*>>{{},
                                                                     {"./--help"},
                                                                     {"--help", "me.mls"},
                                                                     {"--version", "--help"},
                                                                     {"-h", "x"},
                                                                     {"-H"},
                                                                     {"--HELP"}}) {
    EXPECT_FALSE(ReplyTo(arguments).has_value()) << (arguments.empty() ? "" : arguments[0]);
  }
  const char* const spaced[] = {"mlsvexal", "--help", "x"};
  EXPECT_EQ(CommandLineText(3, spaced), "--help x");
}

}  // namespace
