#include "binding/library_functions.h"

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tarvek {
namespace {

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
