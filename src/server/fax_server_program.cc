#include "server/fax_server_program.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include <new>

#include "server/records.h"
#include "server/user_info_record.h"
#include "util/bytes.h"
#include "util/console.h"
#include "util/ident.h"
#include "util/system_sleep.h"
#include "util/utc_time.h"

TARVEK_IDENT("@(#)fax_server_program.cc 1.6 2026/12/09")

namespace tarvek {

namespace {

int32_t now32() { return static_cast<int32_t>(currentTime()); }

void releaseText(char** slot) {
  free(*slot);
  *slot = nullptr;
}

}  // namespace

void* (*FaxServerProgram::allocateText)(size_t size) = malloc;

void FaxServerProgram::replaceText(char** slot, const char* text,
                                   size_t length) {
  free(*slot);
  *slot = static_cast<char*>(allocateText(length + 1));
  if (*slot == nullptr) {
    noteOutOfMemory();
    return;
  }
  memcpy(*slot, text, length);
  (*slot)[length] = '\0';
}

void FaxServerProgram::noteOutOfMemory() {
  if (!outOfMemory_) say("%s", kOutOfMemoryLine);
  outOfMemory_ = true;
}

FaxServerProgram::FaxServerProgram(FILE* consoleStream, PauseFunction pauseFn)
    : objectMark(kLiveMark),
      presetValue(100),
      apiVersion(0),
      serverReportedName(nullptr),
      serverName(nullptr),
      serverHandle(0),
      serverInfo(nullptr),
      lastError(0),
      lastCallTime(0),
      serverUtcBias(0),
      loadedUserId(nullptr),
      loadedUserName(nullptr),
      loadedGroupId(nullptr),
      errorTextBuffer(),
      console(consoleStream),
      pause(pauseFn != nullptr ? pauseFn : sleepMilliseconds) {
  apiVersion = RFaxGetAPIVersion();
  char version[kTimeTextSize];
  formatUtc(apiVersion, "%m/%d/%Y %H:%M:%SZ", version, sizeof version);
  printText(console, "RightFax API version: %s\n", version);
  serverInfo = new (std::nothrow) unsigned char[kServerInfoSize]();
}

FaxServerProgram::~FaxServerProgram() {
  if (serverHandle != 0) disconnect();
  releaseText(&serverReportedName);
  releaseText(&serverName);
  releaseText(&loadedUserId);
  releaseText(&loadedUserName);
  releaseText(&loadedGroupId);
  delete[] serverInfo;
  serverInfo = nullptr;
  serverHandle = 0;
  errorTextBuffer[0] = '\0';
  objectMark = kDeadMark;
}

void FaxServerProgram::say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  printTextV(console, format, args);
  va_end(args);
  fflush(console);
}

bool FaxServerProgram::connect(const char* server) {
  say("Connecting to RightFax server: %s\n", server);
  RFaxHandle handle = 0;
  for (int attempt = 1; attempt <= kConnectAttempts; ++attempt) {
    say("Connect(%d) to RightFax server: %s\n", attempt, server);
    int32_t error = 0;
    handle = RFaxCreateServerHandle(server, 4, &error);
    lastCallTime = now32();
    if (handle != 0) break;
    lastError = error;
    say("Connect failed to RightFax server: %s, error %d: %s\n", server,
        lastError, errorText());
    pause(kRetryPauseMs);
  }
  if (handle == 0) {
    say("Can't connect to RightFax server after %d tries: %s\n",
        kConnectAttempts, server);
    return false;
  }
  say("Connected to RightFax server:  %s\n", server);
  lastError = 0;
  serverHandle = handle;
  replaceText(&serverName, server, strlen(server));
  releaseText(&serverReportedName);

  if (RFaxVersionCheck(serverHandle, 0x520, 0) != 0) {
    say("Incompatible RightFax server release, need %X.%02X\n", 5, 0x20);
    return false;
  }
  loadServerInfo();
  return true;
}

void FaxServerProgram::disconnect() {
  if (serverHandle == 0) return;
  say("Disconnect from RightFax server: %s, %s\n",
      serverName != nullptr ? serverName : "",
      serverReportedName != nullptr ? serverReportedName : "-");
  RFaxCloseServerHandle(serverHandle);
  serverHandle = 0;
  lastCallTime = now32();
  say("Disconnected\n");
}

bool FaxServerProgram::loadServerInfo() {
  if (serverInfo == nullptr) {
    noteOutOfMemory();
    return false;
  }
  RFaxResult result = RFaxGetServerInfo2(serverHandle, serverInfo);
  lastCallTime = now32();
  if (result != 0) {
    lastError = result;
    return false;
  }
  lastError = 0;
  const char* name =
      reinterpret_cast<const char*>(serverInfo) + kServerNameOffset;
  replaceText(&serverReportedName, name, boundedLength(name, kServerNameRoom));
  // In 64 bits: biases the server delivers may be anything, and the sum
  // wraps to 32 bits instead of overflowing.
  int64_t bias = readI32(serverInfo + kBiasOffset);
  int64_t seconds = 0;
  switch (readI16(serverInfo + kZoneStateOffset)) {
    case 2:
      seconds = (bias + readI32(serverInfo + kStandardBiasOffset)) * 60;
      break;
    case 3:
      seconds = (bias + readI32(serverInfo + kDaylightBiasOffset)) * 60;
      break;
    default: break;
  }
  serverUtcBias = static_cast<int32_t>(static_cast<uint32_t>(seconds));
  return true;
}

const char* FaxServerProgram::errorText() {
  RFaxStringRFaxErr(lastError, errorTextBuffer,
                    static_cast<int32_t>(kErrorTextSize));
  errorTextBuffer[kErrorTextSize - 1] = '\0';
  return errorTextBuffer;
}

bool FaxServerProgram::loadUser(const char* userId) {
  unsigned char record[kUserInfoSize] = {};
  lastError = RFaxLoadUser3(serverHandle, 1, 0, userId, 0, 0, 0, 0, 11, record);
  lastCallTime = now32();
  if (lastError != 0) return false;
  auto keep = [this, &record](char** slot, size_t row) {
    const FieldRow& field = kUserInfoFields[row];
    const char* text = reinterpret_cast<const char*>(record) + field.offset;
    replaceText(slot, text, boundedLength(text, field.room));
  };
  keep(&loadedUserId, kUserIdRow);
  keep(&loadedUserName, kUserNameRow);
  keep(&loadedGroupId, kGroupIdRow);
  return true;
}

const char* FaxServerProgram::faxStatusName(int32_t code) {
  // clang-format off
  static const char* const kNames[] = {
      "Unborn",           "Needs FCS",        "Needs conversion",
      "Needs to be sent", "In conversion",    "In send",
      "Okay",             "Manual FCS",       "In schedule",
      "Done error",       "Duplicate",        "Error",
      "Attention",        "Needs attachment", "Held",
      "In OCR",           "In print",         "Queued for print",
      "Queued for OCR",   "In validate",      "In approval",
  };
  // clang-format on
  static char other[16];
  if (code >= 0 &&
      code < static_cast<int32_t>(sizeof kNames / sizeof kNames[0]))
    return kNames[code];
  snprintf(other, sizeof other, "%d", code);
  return other;
}

}  // namespace tarvek
