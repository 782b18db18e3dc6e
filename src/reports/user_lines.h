// The one-line renderings of a user list element: the Default line, the
// Short line, and the fragment the long reports get for a user whose record
// can't be loaded. Each appends to `line`; the caller writes it.
#ifndef TARVEK_REPORTS_USER_LINES_H_
#define TARVEK_REPORTS_USER_LINES_H_

#include "server/user_list_element.h"
#include "util/text_buffer.h"

namespace tarvek {

/// `N GROUP\USER "NAME"` and a line end; `number` counts the listed users
/// from 1.
void appendDefaultLine(int number, const ElementTexts& texts, TextBuffer* line);

/// The user ID and a line end.
void appendShortLine(const ElementTexts& texts, TextBuffer* line);

/// `"GROUP\USER","NAME",` and, with `endLine`, a line end. In a report
/// file the next section or row must start on a line of its own; on the
/// console the message that follows completes the line.
void appendUnloadedUser(const ElementTexts& texts, bool endLine,
                        TextBuffer* line);

}  // namespace tarvek

#endif  // TARVEK_REPORTS_USER_LINES_H_
