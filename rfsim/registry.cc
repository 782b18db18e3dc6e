#include "rfsim/registry.h"

#include <stdio.h>
#include <string.h>

#include <utility>

#include "util/bytes.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)registry.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

const char* const kBuiltInTexts[] = {
    nullptr,
    "RightFax server not found",
    "Connection refused by RightFax server",
    "Invalid server file",
    "Invalid handle",
    "User not found",
    "End of list",
    "Server release is not supported",
};

}  // namespace

Registry& Registry::instance() {
  static Registry registry;
  return registry;
}

RFaxHandle Registry::newHandle() {
  do {
    ++lastHandle_;
  } while (lastHandle_ == 0 || servers_.count(lastHandle_) != 0 ||
           lists_.count(lastHandle_) != 0);
  return lastHandle_;
}

RFaxHandle Registry::addServer(std::unique_ptr<ServerModel> model) {
  RFaxHandle handle = newHandle();
  servers_[handle] = std::move(model);
  return handle;
}

RFaxHandle Registry::addList(std::unique_ptr<OpenList> list) {
  RFaxHandle handle = newHandle();
  lists_[handle] = std::move(list);
  return handle;
}

const ServerModel* Registry::server(RFaxHandle handle) const {
  auto found = servers_.find(handle);
  return found == servers_.end() ? nullptr : found->second.get();
}

OpenList* Registry::list(RFaxHandle handle) const {
  if (handle != 0 && handle == cachedListHandle_) return cachedList_;
  auto found = lists_.find(handle);
  if (found == lists_.end()) return nullptr;
  cachedListHandle_ = handle;
  cachedList_ = found->second.get();
  return cachedList_;
}

bool Registry::closeServer(RFaxHandle handle) {
  if (servers_.erase(handle) == 0) return false;
  forgetCachedList();
  for (auto it = lists_.begin(); it != lists_.end();) {
    if (it->second->server == handle)
      it = lists_.erase(it);
    else
      ++it;
  }
  return true;
}

bool Registry::closeList(RFaxHandle handle) {
  forgetCachedList();
  return lists_.erase(handle) != 0;
}

void Registry::forgetCachedList() {
  cachedListHandle_ = 0;
  cachedList_ = nullptr;
}

uint32_t Registry::countAttempt(const std::string& key) {
  return ++attempts_[key];
}

void Registry::setErrorTexts(TextIndex texts) {
  errorTexts_ = static_cast<TextIndex&&>(texts);
}

void Registry::setFileError(std::string text) { fileError_ = std::move(text); }

void Registry::copyErrorText(int32_t code, char* buffer, size_t size) const {
  const char* text = nullptr;
  size_t length = 0;
  char number[32];
  unsigned char key[4];
  tarvek::writeU32(key, static_cast<uint32_t>(code));
  const TextIndex::Entry* found =
      errorTexts_.find(reinterpret_cast<const char*>(key), sizeof key);
  const int32_t count =
      static_cast<int32_t>(sizeof(kBuiltInTexts) / sizeof(kBuiltInTexts[0]));
  if (found != nullptr) {
    text = reinterpret_cast<const char*>(errorTexts_.payloadOf(*found));
    length = found->payloadLength;
  } else if (code == 3 && !fileError_.empty()) {
    text = fileError_.data();
    length = fileError_.size();
  } else if (code > 0 && code < count) {
    text = kBuiltInTexts[code];
    length = strlen(text);
  } else {
    int n = snprintf(number, sizeof number, "Unknown error %d", code);
    text = number;
    length = n > 0 ? static_cast<size_t>(n) : 0;
  }
  if (length > size - 1) length = size - 1;
  memcpy(buffer, text, length);
  buffer[length] = 0;
}

void Registry::reset() {
  forgetCachedList();
  servers_.clear();
  lists_.clear();
  attempts_.clear();
  errorTexts_ = TextIndex();
  fileError_.clear();
}

}  // namespace rfsim
