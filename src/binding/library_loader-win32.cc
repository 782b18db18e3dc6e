#include "binding/library_loader.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "binding/pe_image.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)library_loader-win32.cc 1.1 2026/12/09")

namespace tarvek {
namespace {

// Room for a folder, in UTF-16 units: the longest path Windows takes.
constexpr size_t kPathRoom = 32768;
#if defined(__i386__)
constexpr uint16_t kOwnMachine = kMachineI386;
#else
constexpr uint16_t kOwnMachine = kMachineAmd64;
#endif

// What a failure points to: the folders searched (PATH of any length; null
// when there is no memory for it), the folders passed over, and the
// system's text.
wchar_t programFolder[kPathRoom];
wchar_t systemFolder[kPathRoom];
wchar_t* pathText;
TextSpan<wchar_t>* passedOver;
size_t passedOverRoom;
char systemText[512];

void readFolders() {
  DWORD length = GetModuleFileNameW(nullptr, programFolder, kPathRoom);
  if (length == 0 || length >= kPathRoom) length = 0;
  while (length > 0 && programFolder[length - 1] != L'\\' &&
         programFolder[length - 1] != L'/')
    --length;
  if (length > 1 && programFolder[length - 2] != L':') --length;
  programFolder[length] = L'\0';
  length = GetSystemDirectoryW(systemFolder, kPathRoom);
  if (length >= kPathRoom) length = 0;
  systemFolder[length] = L'\0';
  // The size asked for, then the text; again if it grew in between.
  for (DWORD room = GetEnvironmentVariableW(L"PATH", nullptr, 0); room > 0;) {
    free(pathText);
    pathText = static_cast<wchar_t*>(malloc(room * sizeof(wchar_t)));
    if (pathText == nullptr) break;
    length = GetEnvironmentVariableW(L"PATH", pathText, room);
    if (length < room) return;
    room = length;
  }
  free(pathText);
  pathText = nullptr;
}

// The loader searches PATH for the library's dependencies: its relative
// and empty entries (the current folder among them) are taken out of the
// process's PATH for good, its absolute ones stay.
void keepAbsolutePath() {
  if (pathText == nullptr) return;
  wchar_t* absolute =
      static_cast<wchar_t*>(malloc((wcslen(pathText) + 1) * sizeof(wchar_t)));
  if (absolute == nullptr) return;
  absolutePathEntries(pathText, absolute);
  size_t length = wcslen(absolute);
  // The system takes a variable of at most kPathRoom - 1 characters: then
  // the leading entries that fit, never the relative ones.
  while (wcscmp(absolute, pathText) != 0 &&
         !SetEnvironmentVariableW(L"PATH", absolute) && length > 0) {
    if (length > kPathRoom - 1) length = kPathRoom - 1;
    do --length;
    while (length > 0 && absolute[length] != L';');
    absolute[length] = L'\0';
  }
  free(absolute);
}

bool isFile(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// What the headers of `file` say (pe_image.h).
ImageKind imageKind(const wchar_t* file) {
  HANDLE handle =
      CreateFileW(file, GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ImageKind::kNoImage;
  unsigned char head[kDosHeaderSize];
  unsigned char header[kImageHeaderRoom];
  DWORD got = 0;
  LARGE_INTEGER size, offset;
  ImageKind kind = ImageKind::kNoImage;
  if (GetFileSizeEx(handle, &size) &&
      ReadFile(handle, head, sizeof head, &got, nullptr)) {
    offset.QuadPart = peHeaderOffset(head, got);
    if (offset.QuadPart != 0 &&
        SetFilePointerEx(handle, offset, nullptr, FILE_BEGIN) &&
        ReadFile(handle, header, sizeof header, &got, nullptr))
      kind = classifyImage(header, got, static_cast<uint64_t>(size.QuadPart),
                           kOwnMachine);
  }
  CloseHandle(handle);
  return kind;
}

// Adds `folder` to the folders passed over; once there is no memory for
// one, it and those after it are only counted.
void passOver(const TextSpan<wchar_t>& folder, BindFailure<wchar_t>* failure) {
  if (failure->passedOverUnrecorded == 0 &&
      failure->passedOverCount == passedOverRoom) {
    size_t room = passedOverRoom > 0 ? 2 * passedOverRoom : 8;
    void* grown = realloc(passedOver, room * sizeof *passedOver);
    if (grown != nullptr) {
      passedOver = static_cast<TextSpan<wchar_t>*>(grown);
      passedOverRoom = room;
    }
  }
  if (failure->passedOverUnrecorded > 0 ||
      failure->passedOverCount == passedOverRoom) {
    ++failure->passedOverUnrecorded;
    return;
  }
  passedOver[failure->passedOverCount++] = folder;
  failure->passedOver = passedOver;
}

}  // namespace

void* loadClientLibrary(BindFailure<wchar_t>* failure) {
  readFolders();
  keepAbsolutePath();
  LibrarySearch<wchar_t> search(programFolder, systemFolder, pathText);
  failure->kind = BindFailureKind::kNotFound;
  failure->search = search;
  failure->programBits = static_cast<int>(8 * sizeof(void*));
  wchar_t file[kLibraryPathRoom];
  for (TextSpan<wchar_t> folder; search.next(&folder);) {
    if (!libraryPath(folder, file, kLibraryPathRoom) || !isFile(file)) continue;
    // The DLL's own dependencies come from its folder, never from the
    // current one (which the DLL directory takes out of the search).
    wchar_t cut = file[folder.length];
    file[folder.length] = L'\0';
    SetDllDirectoryW(file);
    file[folder.length] = cut;
    HMODULE library =
        LoadLibraryExW(file, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    DWORD error = GetLastError();
    if (library) {
      failure->kind = BindFailureKind::kNone;
      failure->folder = folder;
      return library;
    }
    // Only an image for another machine fails before this one.
    if (failure->kind != BindFailureKind::kNotFound)
      passOver(failure->folder, failure);
    failure->folder = folder;
    failure->kind = BindFailureKind::kCantLoad;
    failure->systemError = error;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, systemText, static_cast<DWORD>(sizeof systemText), nullptr);
    systemText[length < sizeof systemText ? length : 0] = '\0';
    failure->systemText = systemText;
    if (error != ERROR_BAD_EXE_FORMAT) break;
    ImageKind kind = imageKind(file);
    if (kind == ImageKind::kOtherMachine) continue;
    failure->kind = kind == ImageKind::kOwnMachineDll
                        ? BindFailureKind::kDependency
                        : BindFailureKind::kNotUsable;
    break;
  }
  return nullptr;
}

}  // namespace tarvek
