// The program's release and build identification.
#ifndef TARVEK_APP_VERSION_H_
#define TARVEK_APP_VERSION_H_

namespace tarvek {

extern const char kRelease[];

/// "Built: " and the build date, e.g. "Built: Dec  6 2008".
const char* buildText();

}  // namespace tarvek

#endif  // TARVEK_APP_VERSION_H_
