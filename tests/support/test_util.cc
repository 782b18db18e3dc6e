#include "tests/support/test_util.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "app/user_list_program.h"

namespace tarvek {
namespace testing {

CapturedStream::CapturedStream() : file_(tmpfile()) {}

CapturedStream::~CapturedStream() {
  if (file_ != nullptr) fclose(file_);
}

std::string CapturedStream::text() {
  fflush(file_);
  long end = ftell(file_);
  std::string result(static_cast<size_t>(end), '\0');
  rewind(file_);
  size_t got = fread(&result[0], 1, result.size(), file_);
  result.resize(got);
  fseek(file_, 0, SEEK_END);
  return result;
}

ServerDirectory::ServerDirectory() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "tarvek-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) abort();
  root_ = pattern;
  path_ = root_ + "/servers";
  std::filesystem::create_directory(path_);
  const char* previous = getenv("RFSIM_SERVERS");
  hadPrevious_ = previous != nullptr;
  if (hadPrevious_) previous_ = previous;
  setenv("RFSIM_SERVERS", path_.c_str(), 1);
}

ServerDirectory::~ServerDirectory() {
  if (hadPrevious_) {
    setenv("RFSIM_SERVERS", previous_.c_str(), 1);
  } else {
    unsetenv("RFSIM_SERVERS");
  }
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string ServerDirectory::add(const std::string& name,
                                 const std::string& content) {
  std::string file = path_ + "/" + name + ".ini";
  writeFile(file, content);
  return file;
}

void writeFile(const std::string& path, const std::string& content) {
  FILE* f = fopen(path.c_str(), "wb");
  if (f != nullptr) {
    fwrite(content.data(), 1, content.size(), f);
    fclose(f);
  }
}

std::vector<uint32_t>& PauseLog::pauses() {
  static std::vector<uint32_t> log;
  return log;
}

void PauseLog::record(uint32_t milliseconds) {
  pauses().push_back(milliseconds);
}

int runProgram(FILE* console, std::initializer_list<const char*> args) {
  Arguments arguments(args);
  return processMain(arguments.count(), arguments.vector(), console,
                     PauseLog::record);
}

std::string readFile(const std::string& path) {
  std::string result;
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return result;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0)
    result.append(chunk, got);
  fclose(f);
  return result;
}

Arguments::Arguments(std::initializer_list<const char*> args) {
  for (const char* arg : args) storage_.emplace_back(arg);
  for (std::string& arg : storage_) pointers_.push_back(&arg[0]);
  pointers_.push_back(nullptr);
}

}  // namespace testing
}  // namespace tarvek
