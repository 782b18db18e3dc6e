#include "binding/calling_convention.h"

#include <wchar.h>

#include <utility>

#include <gtest/gtest.h>

namespace tarvek {
namespace {

TEST(CallbackConventionTest, TheFirstCallWithArgumentsTellsTheLibrarys) {
  EXPECT_EQ(conventionFromStack(12, 0), CallbackConvention::kStdcall);
  EXPECT_EQ(conventionFromStack(12, 12), CallbackConvention::kCdecl);
  EXPECT_EQ(conventionFromStack(12, 4), CallbackConvention::kUnknown)
      << "a partial pop is neither";
  EXPECT_EQ(conventionFromStack(12, 0xfffffff8u), CallbackConvention::kUnknown)
      << "popped more than it was given";
  EXPECT_EQ(conventionFromStack(0, 0), CallbackConvention::kUnknown)
      << "no arguments tell nothing";
}

TEST(CallbackConventionTest,
     TheVariableOverridesTheLibraryWhichOverridesCdecl) {
  using C = CallbackConvention;
  for (C library : {C::kUnknown, C::kCdecl, C::kStdcall}) {
    EXPECT_EQ(comparatorConvention(C::kCdecl, library), C::kCdecl);
    EXPECT_EQ(comparatorConvention(C::kStdcall, library), C::kStdcall);
  }
  EXPECT_EQ(comparatorConvention(C::kUnknown, C::kStdcall), C::kStdcall);
  EXPECT_EQ(comparatorConvention(C::kUnknown, C::kUnknown), C::kCdecl);
  EXPECT_EQ(otherConvention(C::kCdecl), C::kStdcall);
  EXPECT_EQ(otherConvention(C::kStdcall), C::kCdecl);
}

TEST(CallbackConventionTest, TheVariableTakesItsTwoValuesOrNothing) {
  using C = CallbackConvention;
  const std::pair<const char*, C> good[] = {
      {nullptr, C::kUnknown},   {"", C::kUnknown},
      {"cdecl", C::kCdecl},     {"CDECL", C::kCdecl},
      {"stdcall", C::kStdcall}, {"StdCall", C::kStdcall},
      {"cdecl ", C::kCdecl},    {" \tstdcall ", C::kStdcall},
      {"  ", C::kUnknown}};
  for (const auto& [text, expected] : good) {
    C convention = C::kStdcall;
    EXPECT_TRUE(parseCallbackConvention(text, &convention)) << text;
    EXPECT_EQ(convention, expected) << text;
  }
  for (const char* text : {"cdec", "cd ecl", "stdcalls", "__cdecl", "pascal",
                           "0", "cdecl\xff", "cdecl\n"}) {
    C convention = C::kStdcall;
    EXPECT_FALSE(parseCallbackConvention(text, &convention)) << text;
  }
  // As the system gives it: only plain ASCII can name a convention.
  C convention = C::kUnknown;
  EXPECT_TRUE(parseWideCallbackConvention(L" StdCall", 8, &convention));
  EXPECT_EQ(convention, C::kStdcall);
  for (const wchar_t* text : {L"cdecl\u00e9", L"stdcall\u0100", L" \u00e9",
                              L"cdecl-then-27-more-plain-letters"}) {
    EXPECT_FALSE(parseWideCallbackConvention(text, wcslen(text), &convention));
    EXPECT_EQ(convention, C::kUnknown);
  }
}

}  // namespace
}  // namespace tarvek
