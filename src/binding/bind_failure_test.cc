#include "binding/bind_failure.h"

#include <string.h>

#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace tarvek {
namespace {

// A line as text; the system's texts in brackets, to show which they are.
class TextLine : public LineOutput<char> {
 public:
  void text(const char* text, size_t size) override { line.append(text, size); }
  void systemText(const char* text, size_t size) override {
    line += '[';
    line.append(text, size);
    line += ']';
  }
  std::string line;
};

TextSpan<char> span(const char* text) { return {text, strlen(text)}; }

std::string lineOf(const BindFailure<char>& failure) {
  TextLine out;
  writeFailureLine(failure, &out);
  return out.line;
}

TEST(BindFailureTest, EachKindHasItsLine) {
  using K = BindFailureKind;
  const TextSpan<char> passed[] = {span("C:\\tarvek"), span("d:/x/")};
  std::string tooLong = "C:\\" + std::string(245, 'y');
  std::string path = "C:\\a;" + tooLong + ";d:/x/";

  BindFailure<char> notFound;
  notFound.kind = K::kNotFound;
  notFound.search =
      LibrarySearch<char>("C:\\tarvek", "C:\\Windows", path.c_str());

  BindFailure<char> cantLoad;
  cantLoad.kind = K::kCantLoad;
  cantLoad.folder = span("C:\\FaxClient");
  cantLoad.systemError = 126;
  cantLoad.systemText = "The specified module could not be found.\r\n";
  cantLoad.passedOver = passed;
  cantLoad.passedOverCount = 2;

  BindFailure<char> notUsable = cantLoad;
  notUsable.kind = K::kNotUsable;
  notUsable.systemError = 193;
  notUsable.systemText = "%1 is not a valid Win32 application.\r\n";
  notUsable.passedOverCount = 0;

  BindFailure<char> dependency = notUsable;
  dependency.kind = K::kDependency;
  dependency.passedOverCount = 1;
  dependency.passedOverUnrecorded = 3;

  BindFailure<char> noFunction;
  noFunction.kind = K::kNoFunction;
  noFunction.folder = span("C:\\");
  noFunction.function = "RFaxGetUserList";

  BindFailure<char> variable;
  variable.kind = K::kVariableRefused;
  variable.value = span(" pascal");
  BindFailure<char> slashed = variable;
  slashed.value = span("c/d");

  const std::pair<const BindFailure<char>*, std::string> cases[] = {
      {&notFound,
       "*** RFWIN32.dll not found; looked in: [C:\\tarvek]; [C:\\Windows]; "
       "[C:\\a]; [d:\\x\\]; too long for Windows to load from (260 characters "
       "or more with \\RFWIN32.dll): [" +
           tooLong + "]\n"},
      {&cantLoad,
       "*** Can't load [C:\\FaxClient]\\RFWIN32.dll: The specified module "
       "could not be found.; passed over: [C:\\tarvek]\\RFWIN32.dll (not a "
       "32-bit DLL), [d:\\x\\]RFWIN32.dll (not a 32-bit DLL)\n"},
      {&notUsable,
       "*** Can't load [C:\\FaxClient]\\RFWIN32.dll: RFWIN32.dll is not a "
       "valid Win32 application.; not a usable DLL (damaged, or not a DLL)\n"},
      {&dependency,
       "*** Can't load [C:\\FaxClient]\\RFWIN32.dll: RFWIN32.dll is not a "
       "valid Win32 application.; RFWIN32.dll or a DLL it needs is damaged or "
       "built for another machine; passed over: [C:\\tarvek]\\RFWIN32.dll "
       "(not a 32-bit DLL), 3 more (not a 32-bit DLL)\n"},
      {&noFunction, "*** No function RFaxGetUserList in [C:\\]RFWIN32.dll\n"},
      {&variable,
       "*** TARVEK_SORT_CALLBACK must be cdecl or stdcall, "
       "not \"[ pascal]\"\n"},
      {&slashed,
       "*** TARVEK_SORT_CALLBACK must be cdecl or stdcall, not \"[c/d]\"\n"},
  };
  for (const auto& [failure, expected] : cases) {
    EXPECT_EQ(lineOf(*failure), expected);
  }
  notFound.search = LibrarySearch<char>("C:\\tarvek", "", "");
  EXPECT_EQ(lineOf(notFound),
            "*** RFWIN32.dll not found; looked in: [C:\\tarvek]\n");
}

// Pieces of the system's texts never split a surrogate pair (Windows'
// UTF-16), so that each converts on its own.
TEST(BindFailureTest, ASurrogatePairStaysInOnePiece) {
  class Pieces : public LineOutput<wchar_t> {
   public:
    void text(const char*, size_t) override {}
    void systemText(const wchar_t* text, size_t size) override {
      EXPECT_LE(size, kSystemTextPiece);
      EXPECT_FALSE(text[size - 1] >= 0xD800 && text[size - 1] < 0xDC00);
      whole.append(text, size);
    }
    std::wstring whole;
  } out;
  for (const wchar_t* pair : {L"\xD83D\xDCE0", L"\xD800\xDC00"}) {
    std::wstring value(kSystemTextPiece - 1, L'v');
    value += pair;
    BindFailure<wchar_t> failure;
    failure.kind = BindFailureKind::kVariableRefused;
    failure.value = {value.data(), value.size()};
    out.whole.clear();
    writeFailureLine(failure, &out);
    EXPECT_EQ(out.whole, value);
  }
}

TEST(BindFailureTest, TheSystemsReasonNamesTheFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"%1 is not a valid Win32 application.\r\n",
       "RFWIN32.dll is not a valid Win32 application."},
      {"Bad image %1 (%1).  \r\n", "Bad image RFWIN32.dll (RFWIN32.dll)."},
      {"The specified module could not be found.\r\n",
       "The specified module could not be found."},
      {"100%", "100%"},
      {"\r\n", "system error 193"},
      {"", "system error 193"},
  };
  for (const auto& [raw, expected] : cases) {
    char text[64];
    systemReasonText(raw, 193, text, sizeof text);
    EXPECT_STREQ(text, expected) << raw;
  }
  char small[8];
  systemReasonText("%1 is long", 193, small, sizeof small);
  EXPECT_STREQ(small, "RFWIN32");
}

}  // namespace
}  // namespace tarvek
