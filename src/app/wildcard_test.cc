#include "app/wildcard.h"

#include <random>
#include <string>
#include <vector>

#include "tests/support/wildcard_reference.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

using testing::recursiveMatch;

TEST(WildcardMatchTest, EdgeCases) {
  EXPECT_FALSE(wildcardMatch(nullptr, "*"));
  EXPECT_FALSE(wildcardMatch("a", nullptr));
  EXPECT_TRUE(wildcardMatch("", ""));
  EXPECT_FALSE(wildcardMatch("a", ""));
  EXPECT_TRUE(wildcardMatch("", "*"));
  EXPECT_TRUE(wildcardMatch("anything", "*"));
  EXPECT_FALSE(wildcardMatch("USER", "USER?"));
  EXPECT_TRUE(wildcardMatch("USER1", "USER?"));
  EXPECT_TRUE(wildcardMatch("Alice", "a*"));
  EXPECT_TRUE(wildcardMatch("alice", "A*"));
  EXPECT_FALSE(wildcardMatch("\xc4x", "\xe4x")) << "only A-Z fold";
  EXPECT_FALSE(wildcardMatch("[", "{")) << "no folding outside letters";
  EXPECT_TRUE(wildcardMatch("a*b", "a*b")) << "'*' in the text is a byte";
}

TEST(WildcardMatchTest, PathologicalPatternIsFast) {
  std::string text(5000, 'a');
  EXPECT_FALSE(wildcardMatch(text.c_str(), "*a*a*a*a*a*a*a*a*a*b"));
  std::string bs = "a" + std::string(3000, 'b') + "x";
  EXPECT_FALSE(wildcardMatch(bs.c_str(), "a*b*c"));
}

TEST(WildcardMatchTest, AgreesWithRecursiveReference) {
  const char alphabet[] = {'a', 'A', 'b', 'B', '?', '*', '\x80', '\xe4', 'z'};
  std::mt19937 random(20261208);
  auto make = [&](size_t maxLength, size_t symbols) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = alphabet[random() % symbols];
    return s;
  };
  for (int i = 0; i < 40000; ++i) {
    std::string text = make(9, 9);
    std::string pattern = make(7, 9);
    ASSERT_EQ(wildcardMatch(text.c_str(), pattern.c_str()),
              recursiveMatch(text.c_str(), pattern.c_str()))
        << "text '" << text << "' pattern '" << pattern << "'";
  }
}

}  // namespace
}  // namespace tarvek
