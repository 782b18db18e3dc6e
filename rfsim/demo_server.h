// The built-in server `demo`: a fictitious company's fax directory, kept as
// server-file text and read by the same parser as every server file.
#ifndef TARVEK_RFSIM_DEMO_SERVER_H_
#define TARVEK_RFSIM_DEMO_SERVER_H_

#include <stddef.h>

namespace rfsim {

/// The server file of `demo` (`*length` bytes, also zero-terminated).
const char* demoServerText(size_t* length);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_DEMO_SERVER_H_
