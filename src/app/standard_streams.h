// The process's standard streams as the platform hands them over.
#ifndef TARVEK_APP_STANDARD_STREAMS_H_
#define TARVEK_APP_STANDARD_STREAMS_H_

namespace tarvek {

/// A standard stream the process was started without (its descriptor
/// closed) would be taken by the report file, and console text would land in
/// the report. Each closed one is held by the null device opened for
/// reading, so writes to it fail and are reported like any other failed
/// write. Call once, before any file is opened.
void holdClosedStandardStreams();

}  // namespace tarvek

#endif  // TARVEK_APP_STANDARD_STREAMS_H_
