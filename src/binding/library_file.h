// The client library's file name, the one name tarvek.exe looks for.
#ifndef TARVEK_BINDING_LIBRARY_FILE_H_
#define TARVEK_BINDING_LIBRARY_FILE_H_

namespace tarvek {

/// The client library's file name.
constexpr char kClientLibraryFile[] = "RFWIN32.dll";

}  // namespace tarvek

#endif  // TARVEK_BINDING_LIBRARY_FILE_H_
