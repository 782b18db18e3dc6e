// Where tarvek.exe looks for the client library, in order, and the PATH the
// loader keeps: plain logic over the system's texts, the same on every
// platform.
#ifndef TARVEK_BINDING_LIBRARY_SEARCH_H_
#define TARVEK_BINDING_LIBRARY_SEARCH_H_

#include <stddef.h>

namespace tarvek {

/// Room for the path RFWIN32.dll is loaded by, its terminating zero
/// included: Windows loads a DLL by a path of fewer than 260 characters
/// (MAX_PATH).
constexpr size_t kLibraryPathRoom = 260;

/// A text of the system's as it stands: `length` characters at `text`, not
/// terminated. A folder of the search has its double quotes removed, and
/// '/' may stand for '\' in it.
template <typename Char>
struct TextSpan {
  const Char* text = nullptr;
  size_t length = 0;
};

/// True for an absolute Windows folder: a drive letter, a colon and a
/// separator ("C:\x", "c:/"), or a UNC path ("\\server\share").
template <typename Char>
bool isAbsoluteFolder(const Char* text, size_t length);

/// `pathText` without its empty and relative entries: the absolute ones
/// (isAbsoluteFolder, double quotes aside) as they stand, in their order,
/// joined by ';', into `out`, which has room for the whole of `pathText`.
template <typename Char>
void absolutePathEntries(const Char* pathText, Char* out);

/// The folders searched for the client library, in order: the program's
/// folder, the system folder, then each absolute folder of the PATH text
/// (double quotes removed; empty and relative entries skipped). Each folder
/// comes once: folders are compared without regard to the case of A-Z, to
/// trailing separators and to '/' against '\'. `Char` is char, or wchar_t
/// for the system's UTF-16 texts.
template <typename Char>
class LibrarySearch {
 public:
  LibrarySearch(const Char* programFolder, const Char* systemFolder,
                const Char* pathText);

  /// The next folder into `*folder`; false when there is none left.
  bool next(TextSpan<Char>* folder);

 private:
  bool seenBefore(const Char* text, size_t length, const Char* entry) const;

  const Char* programFolder_;
  const Char* systemFolder_;
  const Char* pathStart_;
  const Char* path_;
  int fixedDone_ = 0;
};

/// The length of FOLDER\RFWIN32.dll, '\' added only where `folder` doesn't
/// end in a separator.
template <typename Char>
size_t libraryPathLength(const TextSpan<Char>& folder);

/// FOLDER\RFWIN32.dll with '\' throughout into `path` (`room` characters,
/// terminated); false when it doesn't fit.
template <typename Char>
bool libraryPath(const TextSpan<Char>& folder, Char* path, size_t room);

}  // namespace tarvek

#endif  // TARVEK_BINDING_LIBRARY_SEARCH_H_
