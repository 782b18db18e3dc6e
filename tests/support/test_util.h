// Helpers shared by the unit tests: captured console streams, server files
// in a temporary directory, and records built by hand.
#ifndef TARVEK_TESTS_SUPPORT_TEST_UTIL_H_
#define TARVEK_TESTS_SUPPORT_TEST_UTIL_H_

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace tarvek {
namespace testing {

/// A stream that collects what is written to it.
class CapturedStream {
 public:
  CapturedStream();
  ~CapturedStream();
  CapturedStream(const CapturedStream&) = delete;
  CapturedStream& operator=(const CapturedStream&) = delete;

  FILE* stream() const { return file_; }
  /// Everything written so far.
  std::string text();

 private:
  FILE* file_;
};

/// A servers directory named by RFSIM_SERVERS while the object lives, in a
/// temporary root of its own (where files outside the servers directory
/// can go). Removed with everything in it at the end.
class ServerDirectory {
 public:
  ServerDirectory();
  ~ServerDirectory();
  ServerDirectory(const ServerDirectory&) = delete;
  ServerDirectory& operator=(const ServerDirectory&) = delete;

  /// Writes NAME.ini with `content`; returns its path.
  std::string add(const std::string& name, const std::string& content);
  /// The servers directory.
  const std::string& path() const { return path_; }
  /// The directory that holds it.
  const std::string& root() const { return root_; }

 private:
  std::string root_;
  std::string path_;
  std::string previous_;
  bool hadPrevious_;
};

/// Writes `content` to the file `path`.
void writeFile(const std::string& path, const std::string& content);

/// Pause replacement that records each requested pause.
struct PauseLog {
  static std::vector<uint32_t>& pauses();
  static void record(uint32_t milliseconds);
};

/// Runs the program through processMain with `args` (the program's name
/// first), its console text to `console`, each pause recorded by PauseLog;
/// returns the exit code.
int runProgram(FILE* console, std::initializer_list<const char*> args);

/// Reads a whole file; empty when it can't be read.
std::string readFile(const std::string& path);

/// Argument vector with its null entry, from literal texts.
class Arguments {
 public:
  Arguments(std::initializer_list<const char*> args);
  int count() const { return static_cast<int>(storage_.size()); }
  char** vector() { return pointers_.data(); }

 private:
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

}  // namespace testing
}  // namespace tarvek

#endif  // TARVEK_TESTS_SUPPORT_TEST_UTIL_H_
