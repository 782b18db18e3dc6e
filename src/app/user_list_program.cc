#include "app/user_list_program.h"

#include <errno.h>
#include <string.h>

#include <new>

#include "app/arguments.h"
#include "app/load_helpers.h"
#include "app/load_pool.h"
#include "app/standard_streams.h"
#include "app/version.h"
#include "reports/long_report.h"
#include "server/client_library.h"
#include "util/console.h"
#include "util/ident.h"
#include "util/utc_time.h"

TARVEK_IDENT("@(#)user_list_program.cc 1.13 2026/12/09")

namespace tarvek {

namespace {

const char kTitle[] = "Tarvek - List users on a RightFax server";

}  // namespace

const char kUsageText[] =
    "List the users on a RightFax server.\n"
    "\n"
    "usage:  tarvek [-option...] host [userID...]\n"
    "\n"
    "Options:\n"
    "    -g name     Show users within a specific group.\n"
    "    -l          Long (verbose) format.\n"
    "    -lc         Long CSV format.\n"
    "    -ls         Short format (user names only).\n"
    "    -o file     Output file (default is standard output).\n"
    "    -s host     RightFax server name or IP address (required).\n"
    "    -t          Sort the user list.\n"
    "\n"
    "If no user-IDs or groups are specified, a list of all users is printed.\n"
    "Group and user names may contain '?' and '*' wildcard characters.\n";

UserListProgram::UserListProgram(FILE* consoleStream, PauseFunction pauseFn)
    : FaxServerProgram(consoleStream, pauseFn),
      output(consoleStream),
      groupPattern(nullptr),
      format(Default),
      sortList(false) {}

UserListProgram::~UserListProgram() {
  // A run that fails after opening its report file still closes it.
  if (output != nullptr && output != console) fclose(output);
}

void UserListProgram::printUsage() {
  printText(console, "%s\n", kTitle);
  printText(console, "Version %s [%s]\n", kRelease, buildText());
  writeText(console, "\n");
  fflush(console);
  writeText(console, kUsageText);
  fflush(console);
}

int UserListProgram::run(int argc, char** argv) {
  CommandLine line;
  if (!scanCommandLine(argc, argv, &line)) {
    printUsage();
    return kExitUsage;
  }

  output = console;
  outputName_ = line.outputName;
  if (strcmp(line.outputName, "-") != 0) {
    FILE* file = openReportFile(line.outputName);
    if (file == nullptr) {
      reportOutputFailure(errno);
      return kExitOutputFailed;
    }
    // Short lines go out in large writes; the long reports still flush
    // after every user.
    setvbuf(file, nullptr, _IOFBF, 1 << 16);
    output = file;
  }
  groupPattern = line.groupPattern;
  format = line.format;
  sortList = line.sortList;

  say("Server: %s\n", line.host);
  if (!connect(line.host)) return kExitNoConnection;
  say("\n");

  bool listed = listUsers(line.patterns);

  fflush(output);
  checkOutput();
  say("\n");
  bool written = true;
  if (output != console) written = closeOutput();
  disconnect();

  fflush(console);
  if (!written || ferror(console)) return kExitOutputFailed;
  if (scratch_.lost()) noteOutOfMemory();
  if (outOfMemory()) return kExitOutOfMemory;
  return listed ? kExitDone : kExitNoUserList;
}

void UserListProgram::reportOutputFailure(int error) {
  writeText(console, "*** Can't open/write: ");
  writeArgument(console, outputName_);
  say(": %s\n", strerror(error));
}

void UserListProgram::noteOutputError() {
  if (outputError_ == 0) outputError_ = errno != 0 ? errno : EIO;
}

void UserListProgram::checkOutput() {
  if (output != nullptr && ferror(output)) noteOutputError();
}

bool UserListProgram::closeOutput() {
  if (fclose(output) != 0) noteOutputError();
  output = console;
  if (outputError_ == 0) return true;
  reportOutputFailure(outputError_);
  return false;
}

void UserListProgram::writeLong(const unsigned char* record) {
  if (record == nullptr) {
    writeLongHead(output, reportedServer(), currentTime(), &scratch_);
  } else {
    writeLongSection(output, record, &scratch_);
  }
}

void UserListProgram::writeLongCsv(const unsigned char* record) {
  if (record == nullptr) {
    writeCsvHead(output, reportedServer(), currentTime(), &scratch_);
  } else {
    writeCsvRow(output, record, &scratch_);
  }
}

const char* UserListProgram::reportedServer() const {
  return serverName != nullptr ? serverName : "";
}

int processMain(int argc, char** argv, FILE* console, PauseFunction pause) {
  prepareStandardStreams();
  // Started as a load helper by a run with more than one connection.
  if (ParentLink* parent =
          takeParentLink(LoadPool::kGreeting, sizeof LoadPool::kGreeting)) {
    int code = bindClientLibrary(console) ? serveLoads(parent) : 0;
    delete parent;
    return code;
  }
  catchInterruptions();
  switch (takeArguments(&argc, &argv, console)) {
    case ArgumentsTaken::kYes: break;
    case ArgumentsTaken::kInexact: return kExitUsage;
    case ArgumentsTaken::kOutOfMemory: return kExitOutOfMemory;
  }
  int connections = 1;
  if (!readConnections(console, &connections)) return kExitNoConnection;
  if (!bindClientLibrary(console)) return kExitNoConnection;
  UserListProgram* program = new (std::nothrow) UserListProgram(console, pause);
  if (program == nullptr) {
    writeText(console, FaxServerProgram::kOutOfMemoryLine);
    fflush(console);
    return kExitOutOfMemory;
  }
  program->setConnections(connections);
  int code = program->run(argc, argv);
  if (program->serverHandle != 0) program->disconnect();
  delete program;
  return code;
}

}  // namespace tarvek
