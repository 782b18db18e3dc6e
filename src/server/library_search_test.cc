#include "server/library_search.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace tarvek {
namespace {

std::vector<std::string> folders(const char* program, const char* system,
                                 const char* path, size_t room = 260) {
  LibrarySearch search(program, system, path);
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
                     "C:\\Program Files\\x", "\\\\srv\\share", "d:/y"}));
  EXPECT_EQ(folders("C:\\t", "C:\\s", nullptr), (Folders{"C:\\t", "C:\\s"}));
  EXPECT_EQ(folders("", "", "C:\\a"), (Folders{"C:\\a"}))
      << "a folder the system couldn't tell is left out";
}

TEST(LibrarySearchTest, PathEntriesNamingTheFirstTwoFoldersAgainAreSkipped) {
  EXPECT_EQ(folders("C:\\Tarvek", "C:\\Windows\\System32",
                    "c:\\tarvek\\;C:/WINDOWS/system32;C:\\Windows;C:\\tarvek2"),
            (Folders{"C:\\Tarvek", "C:\\Windows\\System32", "C:\\Windows",
                     "C:\\tarvek2"}));
  EXPECT_EQ(folders("C:\\", "D:\\s", "C:\\;C:"), (Folders{"C:\\", "D:\\s"}));
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

}  // namespace
}  // namespace tarvek
