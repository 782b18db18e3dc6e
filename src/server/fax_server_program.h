// FaxServerProgram: the base of a console program that works against one
// fax server. It owns the connection, the server information record and
// copies of the server's names, keeps the last error code and its text, and
// writes the whole connection dialogue to its console stream.
//
// The base serves every program built on a server connection, not only the
// user listing; that is why it has fields and operations the listing never
// uses (objectMark, presetValue, lastCallTime, serverUtcBias, loadUser,
// faxStatusName and the loaded user's texts).
#ifndef TARVEK_SERVER_FAX_SERVER_PROGRAM_H_
#define TARVEK_SERVER_FAX_SERVER_PROGRAM_H_

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "server/rfax_api.h"

namespace tarvek {

/// The pause between failed connection attempts; tests replace it.
using PauseFunction = void (*)(uint32_t milliseconds);

class FaxServerProgram {
 public:
  static constexpr uint32_t kLiveMark = 0xDAB10000u;
  static constexpr uint32_t kDeadMark = 0x254EFFFFu;
  static constexpr int kConnectAttempts = 5;
  static constexpr uint32_t kRetryPauseMs = 10000;
  static constexpr size_t kErrorTextSize = 501;
  /// The console line of a copy or record that can't be allocated.
  static constexpr char kOutOfMemoryLine[] = "*** Out of memory\n";

  /// Reads the library's API version and writes the banner line
  /// "RightFax API version: ..." to `console` (not flushed).
  explicit FaxServerProgram(FILE* console = stdout,
                            PauseFunction pause = nullptr);
  /// Disconnects when connected, releases every owned text and record.
  virtual ~FaxServerProgram();

  FaxServerProgram(const FaxServerProgram&) = delete;
  FaxServerProgram& operator=(const FaxServerProgram&) = delete;

  /// Up to five attempts with a pause after each failure, then the release
  /// check and the server information. True: connected and compatible.
  /// False: not connected, or connected to an incompatible release, in
  /// which case serverHandle stays set and the caller must disconnect.
  bool connect(const char* server);

  /// Closes the connection with its two console lines; nothing when not
  /// connected.
  void disconnect();

  /// Fetches the server information record; true on success, when
  /// serverReportedName and serverUtcBias are updated.
  bool loadServerInfo();

  /// The library's text for lastError, in errorTextBuffer (at most 500
  /// characters, always terminated); valid until the next call.
  const char* errorText();

  /// Loads one user through RFaxLoadUser3 and keeps copies of its user ID,
  /// user name and group ID. False leaves the kept texts unchanged.
  bool loadUser(const char* userId);

  /// Display name of a fax status code; codes outside 0-20 are written as
  /// "%d" into one buffer shared by all calls.
  static const char* faxStatusName(int32_t code);

  // Public, and in this order: the object's layout stays as the programs
  // built on this base expect it.
  uint32_t objectMark;
  int32_t presetValue;
  int32_t apiVersion;
  char* serverReportedName;
  char* serverName;
  RFaxHandle serverHandle;
  unsigned char* serverInfo;
  int32_t lastError;
  int32_t lastCallTime;
  int32_t serverUtcBias;
  char* loadedUserId;
  char* loadedUserName;
  char* loadedGroupId;
  char errorTextBuffer[kErrorTextSize];

  // Seams: where console text goes and how the retry pause waits.
  FILE* console;
  PauseFunction pause;

  /// Seam of the owned texts' allocations (malloc; tests make it fail).
  static void* (*allocateText)(size_t size);

  /// True once a copy or record of the program's own could not be
  /// allocated ("*** Out of memory" was written; the run went on without it).
  bool outOfMemory() const { return outOfMemory_; }

 protected:
  /// Writes `format` to the console and flushes it.
  void say(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  /// Writes "*** Out of memory" (once per program) and remembers it.
  void noteOutOfMemory();

 private:
  /// Replaces the owned text in `slot` by a copy of `length` bytes of
  /// `text`; on lack of memory the slot is left absent and it is noted.
  void replaceText(char** slot, const char* text, size_t length);

  bool outOfMemory_ = false;
};

}  // namespace tarvek

#endif  // TARVEK_SERVER_FAX_SERVER_PROGRAM_H_
