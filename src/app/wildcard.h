// Wildcard matching of group and user IDs. Letters A-Z and a-z are equal;
// every other byte only equals itself.
#ifndef TARVEK_APP_WILDCARD_H_
#define TARVEK_APP_WILDCARD_H_

namespace tarvek {

/// True when the whole `text` matches the whole `pattern`, where '?' takes
/// exactly one byte and '*' any run of bytes. False when either is null.
/// Costs at most O(length of text x length of pattern).
bool wildcardMatch(const char* text, const char* pattern);

}  // namespace tarvek

#endif  // TARVEK_APP_WILDCARD_H_
