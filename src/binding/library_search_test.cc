#include "binding/library_search.h"

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace tarvek {
namespace {

std::vector<std::string> folders(const char* program, const char* system,
                                 const char* path) {
  LibrarySearch<char> search(program, system, path);
  std::vector<std::string> found;
  for (TextSpan<char> folder; search.next(&folder);)
    found.emplace_back(folder.text, folder.length);
  return found;
}

using Folders = std::vector<std::string>;

TEST(LibrarySearchTest, ProgramFolderThenSystemFolderThenAbsolutePathEntries) {
  EXPECT_EQ(folders("C:\\tarvek", "C:\\windows\\system32",
                    "C:\\a;;relative;.;..\\up;\"C:\\Program Files\\x\";"
                    "\\\\srv\\share;C:b;\\root;d:/y;;"),
            (Folders{"C:\\tarvek", "C:\\windows\\system32", "C:\\a",
                     "C:\\Program Files\\x", "\\\\srv\\share", "d:/y"}));
  EXPECT_EQ(folders("C:\\t", "C:\\s", nullptr), (Folders{"C:\\t", "C:\\s"}));
  EXPECT_EQ(folders("", "", "C:\\a"), (Folders{"C:\\a"}))
      << "a folder the system couldn't tell is left out";
}

TEST(LibrarySearchTest, EachFolderComesOnceWhateverItsCaseAndSeparators) {
  EXPECT_EQ(folders("C:\\Tarvek", "C:\\Windows\\System32",
                    "c:\\tarvek\\;C:/WINDOWS/system32;C:\\Windows;C:\\tarvek2;"
                    "z:/x/;Z:\\X;\"c:\\windows\\\";//srv/s;\\\\SRV\\S\\"),
            (Folders{"C:\\Tarvek", "C:\\Windows\\System32", "C:\\Windows",
                     "C:\\tarvek2", "z:/x/", "//srv/s"}));
  EXPECT_EQ(folders("C:\\", "D:\\s", "C:\\;C:"), (Folders{"C:\\", "D:\\s"}));
  EXPECT_EQ(folders("C:\\Windows\\system32", "c:/windows/System32/", ""),
            (Folders{"C:\\Windows\\system32"}))
      << "tarvek.exe in the system folder";
  EXPECT_EQ(folders("C:\\t", "C:\\s", "C:\\\\x;C:\\x;C:\\-x"),
            (Folders{"C:\\t", "C:\\s", "C:\\\\x", "C:\\x", "C:\\-x"}))
      << "separators inside a folder are not folded together";
}

TEST(LibrarySearchTest, WideTextsAsTheSystemGivesThem) {
  LibrarySearch<wchar_t> search(
      L"Z:\\\x444\x430\x43a\x441", L"C:\\windows",
      L"z:/\x444\x430\x43a\x441;Z:/\x444\x430\x43a\x441\x430");
  std::vector<std::wstring> found;
  for (TextSpan<wchar_t> folder; search.next(&folder);)
    found.emplace_back(folder.text, folder.length);
  EXPECT_EQ(found, (std::vector<std::wstring>{
                       L"Z:\\\x444\x430\x43a\x441", L"C:\\windows",
                       L"Z:/\x444\x430\x43a\x441\x430"}));
}

TEST(LibrarySearchTest, NeverTheCurrentFolderNorARelativeOne) {
  for (const char* entry :
       {".", ".\\", "bin", "C:", "C:bin", "\\bin", "/bin", "\\\\", "\"\"", "\"",
        " C:\\a", "1:\\a", "a\\bin"}) {
    EXPECT_EQ(folders("", "", entry), Folders{}) << entry;
  }
}

TEST(LibrarySearchTest, TheLibrarysPathHasBackslashesAndFitsTheLoader) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\", "C:\\RFWIN32.dll"},
      {"d:/y/", "d:\\y\\RFWIN32.dll"},
      {"//srv/s", "\\\\srv\\s\\RFWIN32.dll"},
  };
  char path[kLibraryPathRoom];
  for (const auto& [folder, expected] : cases) {
    ASSERT_TRUE(
        libraryPath(TextSpan<char>{folder, strlen(folder)}, path, sizeof path));
    EXPECT_STREQ(path, expected);
  }
  // 259 characters with "\RFWIN32.dll" load; 260 don't.
  std::string longest = "C:\\" + std::string(259 - 3 - 12, 'x');
  EXPECT_TRUE(libraryPath(TextSpan<char>{longest.data(), longest.size()}, path,
                          sizeof path));
  EXPECT_EQ(strlen(path), 259u);
  longest += 'x';
  EXPECT_FALSE(libraryPath(TextSpan<char>{longest.data(), longest.size()}, path,
                           sizeof path));
}

TEST(LibrarySearchTest, OnlyAbsoluteEntriesStayOnThePathTheLoaderSearches) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {".;;bin;C:bin;\\bin", ""},
      {"a:\\;C:\\a", "a:\\;C:\\a"},
      {"C:\\a;.;\"C:\\b c\";;\\\\s\\x;rel\\;d:/y/",
       "C:\\a;\"C:\\b c\";\\\\s\\x;d:/y/"},
  };
  for (const auto& [path, expected] : cases) {
    std::vector<char> out(strlen(path) + 1);
    absolutePathEntries(path, out.data());
    EXPECT_STREQ(out.data(), expected) << path;
  }
}

}  // namespace
}  // namespace tarvek
