#include "reports/user_lines.h"

#include "util/ident.h"

TARVEK_IDENT("@(#)user_lines.cc 1.1 2026/12/08")

namespace tarvek {

namespace {

// "GROUP\USER", the heart of the Default line and of the unloaded user's
// fragment.
void appendGroupAndUser(const ElementTexts& texts, TextBuffer* line) {
  line->append(texts.groupId, texts.groupIdLength);
  line->append('\\');
  line->append(texts.userId, texts.userIdLength);
}

}  // namespace

void appendDefaultLine(int number, const ElementTexts& texts,
                       TextBuffer* line) {
  line->appendSigned(number);
  line->append(' ');
  appendGroupAndUser(texts, line);
  line->append(" \"", 2);
  line->append(texts.userName, texts.userNameLength);
  line->append("\"\n", 2);
}

void appendShortLine(const ElementTexts& texts, TextBuffer* line) {
  line->append(texts.userId, texts.userIdLength);
  line->append('\n');
}

void appendUnloadedUser(const ElementTexts& texts, bool endLine,
                        TextBuffer* line) {
  line->append('"');
  appendGroupAndUser(texts, line);
  line->append("\",\"", 3);
  line->append(texts.userName, texts.userNameLength);
  line->append("\",", 2);
  if (endLine) line->append('\n');
}

}  // namespace tarvek
