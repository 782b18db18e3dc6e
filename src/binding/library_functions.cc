#include "binding/library_functions.h"

#include <stdio.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)library_functions.cc 1.1 2026/12/09")

namespace tarvek {

const LibraryFunction kLibraryFunctions[kLibraryFunctionCount] = {
    {"RFaxGetAPIVersion", 0, true},
    {"RFaxCreateServerHandle", 12, true},
    {"RFaxVersionCheck", 12, true},
    {"RFaxGetServerInfo2", 8, true},
    {"RFaxStringRFaxErr", 12, true},
    {"RFaxCloseServerHandle", 4, true},
    {"RFaxGetUserList", 12, true},
    {"RFaxListSort", 8, true},
    {"RFaxListGetFirstElementPtr", 8, true},
    {"RFaxListGetNextElementPtr", 8, true},
    {"RFaxCloseListHandle", 4, true},
    {"RFaxLoadUser", 24, true},
    {"RFaxLoadUser3", 40, false},
};

bool exportName(const LibraryFunction& function, int form, char* name,
                size_t room) {
  int length = -1;
  switch (form) {
    case 0: length = snprintf(name, room, "%s", function.name); break;
    case 1:
      length =
          snprintf(name, room, "_%s@%d", function.name, function.argumentBytes);
      break;
    case 2:
      length =
          snprintf(name, room, "%s@%d", function.name, function.argumentBytes);
      break;
    case 3: length = snprintf(name, room, "_%s", function.name); break;
    default: break;
  }
  return length >= 0 && static_cast<size_t>(length) < room;
}

}  // namespace tarvek
