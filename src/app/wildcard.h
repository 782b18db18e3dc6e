// Wildcard matching of IDs and the two sort orders of the user list.
// Letters A-Z and a-z are equal; every other byte only equals itself.
#ifndef TARVEK_APP_WILDCARD_H_
#define TARVEK_APP_WILDCARD_H_

namespace tarvek {

/// True when the whole `text` matches the whole `pattern`, where '?' takes
/// exactly one byte and '*' any run of bytes. False when either is null.
/// Costs at most O(length of text x length of pattern).
bool wildcardMatch(const char* text, const char* pattern);

/// Compares two texts byte by byte after folding A-Z to a-z, as unsigned
/// bytes; negative, zero or positive.
int compareFolded(const char* a, const char* b);

/// Comparators for the client library's list sort; each takes two pointers
/// to user list elements.
int compareByUserId(const void* a, const void* b);
int compareByGroupThenUserId(const void* a, const void* b);

}  // namespace tarvek

#endif  // TARVEK_APP_WILDCARD_H_
