// The process's standard streams as the platform hands them over.
#ifndef TARVEK_APP_STANDARD_STREAMS_H_
#define TARVEK_APP_STANDARD_STREAMS_H_

namespace tarvek {

/// Call once, first, before anything is written or opened.
///
/// POSIX: a standard stream the process was started without (its
/// descriptor closed) would be taken by the report file, and console text
/// would land in the report. Each closed one is held by the null device
/// opened for reading, so writes to it fail and are reported like any other
/// failed write.
///
/// Windows: standard output that is a file or a pipe is fully buffered, as
/// Windows' C runtime buffers it (Wine's flushes more often), so that
/// every flush the run relies on is one it makes.
void prepareStandardStreams();

}  // namespace tarvek

#endif  // TARVEK_APP_STANDARD_STREAMS_H_
