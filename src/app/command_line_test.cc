#include "app/command_line.h"

#include <string.h>

#include <memory>
#include <vector>

#include "tests/support/test_util.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

using testing::Arguments;

struct Scan {
  bool ok;
  CommandLine line;
  std::vector<std::string> patterns;
};

Scan scan(std::initializer_list<const char*> args) {
  Arguments arguments(args);
  Scan result;
  result.ok =
      scanCommandLine(arguments.count(), arguments.vector(), &result.line);
  if (result.ok) {
    for (char** p = result.line.patterns; *p != nullptr; ++p)
      result.patterns.emplace_back(*p);
  }
  // Texts point into `arguments`; copy what the tests look at.
  static std::string host, group, outputName;
  if (result.ok) {
    host = result.line.host;
    result.line.host = host.c_str();
    if (result.line.groupPattern) {
      group = result.line.groupPattern;
      result.line.groupPattern = group.c_str();
    }
    outputName = result.line.outputName;
    result.line.outputName = outputName.c_str();
  }
  return result;
}

TEST(CommandLineTest, UsageConditions) {
  EXPECT_FALSE(scan({"tarvek"}).ok);
  EXPECT_FALSE(scan({"tarvek", "-?"}).ok);
  EXPECT_FALSE(scan({"tarvek", "/?"}).ok);
  EXPECT_FALSE(scan({"tarvek", "-t", "/?", "alpha"}).ok);
  EXPECT_FALSE(scan({"tarvek", "-L", "alpha"}).ok) << "wrong case";
  EXPECT_FALSE(scan({"tarvek", "-", "alpha"}).ok) << "lone hyphen";
  EXPECT_FALSE(scan({"tarvek", "--", "alpha"}).ok) << "double hyphen";
  EXPECT_FALSE(scan({"tarvek", "-lsx", "alpha"}).ok);
  EXPECT_FALSE(scan({"tarvek", "-g"}).ok) << "missing argument";
  EXPECT_FALSE(scan({"tarvek", "-o"}).ok);
  EXPECT_FALSE(scan({"tarvek", "-s"}).ok);
  EXPECT_FALSE(scan({"tarvek", "-t"}).ok) << "no host";
  EXPECT_FALSE(scan({"tarvek", "-g", "grp"}).ok) << "no host";
}

TEST(CommandLineTest, HostAndPatterns) {
  Scan s = scan({"tarvek", "alpha"});
  ASSERT_TRUE(s.ok);
  EXPECT_STREQ(s.line.host, "alpha");
  EXPECT_TRUE(s.patterns.empty());
  EXPECT_STREQ(s.line.outputName, "-");
  EXPECT_EQ(s.line.format, Default);
  EXPECT_FALSE(s.line.sortList);

  s = scan({"tarvek", "-s", "alpha", "beta"});
  ASSERT_TRUE(s.ok);
  EXPECT_STREQ(s.line.host, "alpha");
  EXPECT_EQ(s.patterns, std::vector<std::string>({"beta"}));

  s = scan({"tarvek", "alpha", "-l", "-?", "/?"});
  ASSERT_TRUE(s.ok) << "options after the host are patterns";
  EXPECT_EQ(s.line.format, Default);
  EXPECT_EQ(s.patterns, std::vector<std::string>({"-l", "-?", "/?"}));

  s = scan({"tarvek", "", "x*"});
  ASSERT_TRUE(s.ok) << "an empty host is a host";
  EXPECT_STREQ(s.line.host, "");

  s = scan({"tarvek", "-s", "alpha", "-s", "beta", "u1", "u2"});
  ASSERT_TRUE(s.ok);
  EXPECT_STREQ(s.line.host, "beta") << "later option wins";
  EXPECT_EQ(s.patterns, std::vector<std::string>({"u1", "u2"}));
}

TEST(CommandLineTest, OptionsTakeEffect) {
  Scan s = scan({"tarvek", "-l", "-ls", "alpha"});
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.line.format, Short);
  EXPECT_EQ(scan({"tarvek", "-ls", "-lc", "a"}).line.format, LongCsv);
  EXPECT_EQ(scan({"tarvek", "-lc", "-l", "a"}).line.format, Long);

  s = scan({"tarvek", "-t", "-g", "-x", "-o", "-", "-o", "out.txt", "alpha"});
  ASSERT_TRUE(s.ok) << "an option's argument may begin with '-'";
  EXPECT_TRUE(s.line.sortList);
  EXPECT_STREQ(s.line.groupPattern, "-x");
  EXPECT_STREQ(s.line.outputName, "out.txt");

  s = scan({"tarvek", "-g", "", "alpha"});
  ASSERT_TRUE(s.ok);
  EXPECT_STREQ(s.line.groupPattern, "");
}

// Arguments holding '?' stand for those that didn't convert exactly.
TEST(CommandLineTest, AnInexactArgumentIsRefusedUnlessItNamesTheReport) {
  auto first = [](std::initializer_list<const char*> args) {
    Arguments arguments(args);
    size_t count = static_cast<size_t>(arguments.count());
    std::unique_ptr<bool[]> exact(new bool[count]);
    for (size_t i = 0; i < count; ++i)
      exact[i] = strchr(arguments.vector()[i], '?') == nullptr;
    return firstInexactArgument(arguments.count(), arguments.vector(),
                                exact.get());
  };
  EXPECT_EQ(first({"tarvek", "-o", "?.txt", "demo"}), 0);
  EXPECT_EQ(first({"tarvek", "-ls", "eu", "?*"}), 3);
  EXPECT_EQ(first({"tarvek", "-g", "?", "-o", "?", "demo"}), 2);
  EXPECT_EQ(first({"tarvek", "-s", "?", "-o", "x", "u"}), 2);
  EXPECT_EQ(first({"tarvek", "demo", "-o", "?"}), 3) << "after the host";
  EXPECT_EQ(first({"tarvek", "-o", "?", "-o", "x", "demo"}), 2)
      << "only the name the report takes";
  EXPECT_EQ(first({"tarvek", "-?", "?"}), 0) << "the usage uses none";
}

}  // namespace
}  // namespace tarvek
