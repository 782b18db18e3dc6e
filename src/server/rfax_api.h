// The client library's interface: the 13 functions of the fax server's
// client library (RFWIN32.dll on Windows, rfsim elsewhere and in tests).
//
// Handles are opaque non-zero 32-bit values (0 = none); every result is a
// signed 32-bit code, 0 meaning success. Texts are zero-terminated 8-bit
// strings; records are byte blocks whose layouts are in server/records.h
// and server/user_info_record.h.
//
// The program calls these names. On Linux they are rfsim's own functions,
// linked in; on Windows they are the program's forwarders to the
// RFWIN32.dll it found (server/client_library.h), which take the DLL's
// calling convention and export names as they come. The program's
// comparators are __cdecl; on 32-bit Windows the forwarder of
// RFaxListSort hands the library one in the convention the library's own
// functions have (or the one TARVEK_SORT_CALLBACK names).
//
// rfsim built as a DLL (RFAX_EXPORTS; windows/CMakeLists.txt names the
// exports) has them __stdcall on 32-bit Windows, or __cdecl when
// RFSIM_CDECL is defined as well; it calls the comparator in the same
// convention, or __cdecl when RFSIM_CDECL_CALLBACK is defined (a library
// that hands the comparator on to the C runtime's qsort).
#ifndef TARVEK_SERVER_RFAX_API_H_
#define TARVEK_SERVER_RFAX_API_H_

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64) && defined(RFAX_EXPORTS) && \
    !defined(RFSIM_CDECL)
#define RFAX_CALL __stdcall
#if !defined(RFSIM_CDECL_CALLBACK)
#define RFAX_CALLBACK __stdcall
#endif
#else
#define RFAX_CALL
#endif
#ifndef RFAX_CALLBACK
#define RFAX_CALLBACK
#endif

typedef uint32_t RFaxHandle;
typedef int32_t RFaxResult;

/// Sort comparator handed to RFaxListSort: two pointers to list elements;
/// negative, zero or positive as a text comparison.
typedef int(RFAX_CALLBACK* RFaxCompareFn)(const void* a, const void* b);

#ifdef __cplusplus
extern "C" {
#endif

/// API version, read by callers as a calendar time (seconds since 1970 UTC).
int32_t RFAX_CALL RFaxGetAPIVersion(void);

/// Opens a connection to `server` (mode 4). Returns a handle, or 0 with the
/// error code stored in `*error`.
RFaxHandle RFAX_CALL RFaxCreateServerHandle(const char* server, int32_t mode,
                                            int32_t* error);

/// 0 when the server's release suits `release` (0x520).
RFaxResult RFAX_CALL RFaxVersionCheck(RFaxHandle server, int32_t release,
                                      int32_t reserved);

/// Fills the 904-byte server information record.
RFaxResult RFAX_CALL RFaxGetServerInfo2(RFaxHandle server,
                                        unsigned char* record);

/// Writes the text of `code` into `buffer` (at most `size` bytes, always
/// terminated within them).
RFaxResult RFAX_CALL RFaxStringRFaxErr(RFaxResult code, char* buffer,
                                       int32_t size);

/// Closes the connection and every list still open on it.
RFaxResult RFAX_CALL RFaxCloseServerHandle(RFaxHandle server);

/// Builds a list of the server's users (kind 1) and delivers its handle.
RFaxResult RFAX_CALL RFaxGetUserList(RFaxHandle server, int32_t kind,
                                     RFaxHandle* list);

/// Reorders the list with `compare` (stable); the list is unchanged on
/// failure.
RFaxResult RFAX_CALL RFaxListSort(RFaxHandle list, RFaxCompareFn compare);

/// Delivers a pointer to the first / next element; non-zero at the end.
/// Elements stay valid until the list is closed.
RFaxResult RFAX_CALL RFaxListGetFirstElementPtr(RFaxHandle list,
                                                unsigned char** element);
RFaxResult RFAX_CALL RFaxListGetNextElementPtr(RFaxHandle list,
                                               unsigned char** element);

/// Releases the list.
RFaxResult RFAX_CALL RFaxCloseListHandle(RFaxHandle list);

/// Fills the caller's 1902-byte user record for `userId` (letters compared
/// without case). `area1` and `area2` are never read or written.
RFaxResult RFAX_CALL RFaxLoadUser(RFaxHandle server, int32_t kind,
                                  const char* userId, char* area1, char* area2,
                                  unsigned char* record);

/// The same load through the newer entry point; called with
/// (server, 1, 0, userId, 0, 0, 0, 0, 11, record).
RFaxResult RFAX_CALL RFaxLoadUser3(RFaxHandle server, int32_t kind,
                                   int32_t flags, const char* userId,
                                   int32_t reserved1, int32_t reserved2,
                                   int32_t reserved3, int32_t reserved4,
                                   int32_t level, unsigned char* record);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // TARVEK_SERVER_RFAX_API_H_
