#include "server/library_search.h"

#include <string.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvek {
namespace {

std::vector<std::string> folders(const char* program, const char* system,
                                 const char* path, size_t room = 260) {
  LibrarySearch<char> search(program, system, path);
  std::vector<std::string> found;
  std::vector<char> folder(room);
  while (search.next(folder.data(), folder.size()))
    found.push_back(folder.data());
  return found;
}

using Folders = std::vector<std::string>;

TEST(LibrarySearchTest, ProgramFolderThenSystemFolderThenAbsolutePathEntries) {
  EXPECT_EQ(folders("C:\\tarvek", "C:\\windows\\system32",
                    "C:\\a;;relative;.;..\\up;\"C:\\Program Files\\x\";"
                    "\\\\srv\\share;C:b;\\root;d:/y;;"),
            (Folders{"C:\\tarvek", "C:\\windows\\system32", "C:\\a",
                     "C:\\Program Files\\x", "\\\\srv\\share", "d:\\y"}));
  EXPECT_EQ(folders("C:\\t", "C:\\s", nullptr), (Folders{"C:\\t", "C:\\s"}));
  EXPECT_EQ(folders("", "", "C:\\a"), (Folders{"C:\\a"}))
      << "a folder the system couldn't tell is left out";
}

TEST(LibrarySearchTest, EachFolderComesOnceWhateverItsCaseAndSeparators) {
  EXPECT_EQ(folders("C:\\Tarvek", "C:\\Windows\\System32",
                    "c:\\tarvek\\;C:/WINDOWS/system32;C:\\Windows;C:\\tarvek2;"
                    "z:/x/;Z:\\X;\"c:\\windows\\\";//srv/s;\\\\SRV\\S\\"),
            (Folders{"C:\\Tarvek", "C:\\Windows\\System32", "C:\\Windows",
                     "C:\\tarvek2", "z:\\x\\", "\\\\srv\\s"}));
  EXPECT_EQ(folders("C:\\", "D:\\s", "C:\\;C:"), (Folders{"C:\\", "D:\\s"}));
  EXPECT_EQ(folders("C:\\Windows\\system32", "c:/windows/System32/", ""),
            (Folders{"C:\\Windows\\system32"}))
      << "tarvek.exe in the system folder";
  EXPECT_EQ(folders("C:\\t", "C:\\s", "C:\\\\x;C:\\x"),
            (Folders{"C:\\t", "C:\\s", "C:\\\\x", "C:\\x"}))
      << "separators inside a folder are not folded together";
}

TEST(LibrarySearchTest, WideTextsAsTheSystemGivesThem) {
  LibrarySearch<wchar_t> search(L"Z:\\\x444\x430\x43a\x441", L"C:\\windows",
                                L"z:/\x444\x430\x43a\x441;Z:/\x444\x430\x43a\x441\x430");
  std::vector<std::wstring> found;
  wchar_t folder[64];
  while (search.next(folder, 64)) found.push_back(folder);
  EXPECT_EQ(found, (std::vector<std::wstring>{
                       L"Z:\\\x444\x430\x43a\x441", L"C:\\windows",
                       L"Z:\\\x444\x430\x43a\x441\x430"}));
}

TEST(LibrarySearchTest, NeverTheCurrentFolderNorARelativeOne) {
  for (const char* entry : {".", ".\\", "bin", "C:", "C:bin", "\\bin", "/bin",
                            "\\\\", "\"\"", "\"", " C:\\a", "1:\\a"}) {
    EXPECT_EQ(folders("", "", entry), Folders{}) << entry;
  }
}

TEST(LibrarySearchTest, FoldersThatDontFitAreSkipped) {
  std::string path = "C:\\" + std::string(300, 'x') + ";C:\\short";
  EXPECT_EQ(folders("C:\\p", "", path.c_str(), 64),
            (Folders{"C:\\p", "C:\\short"}));
}

TEST(LibrarySearchTest, OnlyAbsoluteEntriesStayOnThePathTheLoaderSearches) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {".;;bin;C:bin;\\bin", ""},
      {"C:\\a;.;\"C:\\b c\";;\\\\s\\x;rel\\;d:/y/", "C:\\a;\"C:\\b c\";\\\\s\\x;d:/y/"},
  };
  for (const auto& [path, expected] : cases) {
    std::vector<char> out(strlen(path) + 1);
    absolutePathEntries(path, out.data());
    EXPECT_STREQ(out.data(), expected) << path;
  }
}

TEST(LibrarySearchTest, TheSystemsReasonNamesTheFile) {
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

TEST(LibrarySearchTest, OnlyASoundImageForAnotherMachineIsPassedOver) {
  unsigned char dos[64] = {'M', 'Z'};
  dos[0x3C] = 0x80;
  EXPECT_EQ(peHeaderOffset(dos, sizeof dos), 0x80u);
  EXPECT_EQ(peHeaderOffset(dos, 63), 0u) << "truncated";
  dos[1] = 'X';
  EXPECT_EQ(peHeaderOffset(dos, sizeof dos), 0u) << "no MZ";

  // Signature and Machine (little-endian), the size read, the verdict.
  const std::tuple<const char*, size_t, bool> cases[] = {
      {"PE\0\0\x64\x86", 6, true},  {"PE\0\0\x64\xAA", 6, true},
      {"PE\0\0\x4C\x01", 6, false}, {"PE\0\0\0\0", 6, false},
      {"PE\0\0\x34\x12", 6, false}, {"PE\0\0\x64\x86", 5, false},
      {"PF\0\0\x64\x86", 6, false}};
  for (const auto& [header, size, other] : cases) {
    EXPECT_EQ(isOtherMachineImage(
                  reinterpret_cast<const unsigned char*>(header), size,
                  kMachineI386),
              other)
        << header[4] + 0 << " " << size;
  }
  EXPECT_FALSE(isOtherMachineImage(
      reinterpret_cast<const unsigned char*>("PE\0\0\x64\x86"), 6,
      kMachineAmd64));
}

TEST(ExportNameTest, PlainThenBothStdcallDecorationsThenUnderscore) {
  const LibraryFunction& loadUser3 = kLibraryFunctions[kLoadUser3];
  std::vector<std::string> names;
  char name[64];
  for (int form = 0; form < kExportNameForms; ++form) {
    ASSERT_TRUE(exportName(loadUser3, form, name, sizeof name));
    names.push_back(name);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"RFaxLoadUser3", "_RFaxLoadUser3@40",
                                      "RFaxLoadUser3@40", "_RFaxLoadUser3"}));
  EXPECT_FALSE(exportName(loadUser3, 1, name, 17)) << "no room for the whole";
  EXPECT_FALSE(exportName(loadUser3, kExportNameForms, name, sizeof name));
}

// The table of functions, their argument bytes and which may be missing
// agree with the .def file the lane builds and checks the DLLs by.
TEST(ExportNameTest, FunctionTableMatchesTheDefFile) {
  std::ifstream def(TARVEK_SOURCE_DIR "/windows/rfwin32.def");
  ASSERT_TRUE(def) << "windows/rfwin32.def";
  std::vector<std::string> listed, table;
  for (std::string line; std::getline(def, line);) {
    if (line.rfind("  RFax", 0) == 0) listed.push_back(line.substr(2));
  }
  for (const LibraryFunction& function : kLibraryFunctions) {
    table.push_back(std::string(function.name) + "@" +
                    std::to_string(function.argumentBytes));
    EXPECT_EQ(function.required, std::string(function.name) != "RFaxLoadUser3");
  }
  EXPECT_EQ(listed, table);
}

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

TEST(CallbackConventionTest, TheVariableOverridesTheLibraryWhichOverridesCdecl) {
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
      {nullptr, C::kUnknown}, {"", C::kUnknown},      {"cdecl", C::kCdecl},
      {"CDECL", C::kCdecl},   {"stdcall", C::kStdcall}, {"StdCall", C::kStdcall},
      {"cdecl ", C::kCdecl},  {" \tstdcall ", C::kStdcall}, {"  ", C::kUnknown}};
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
}

}  // namespace
}  // namespace tarvek
