#include "app/user_list_program.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)main.cc 1.1 2026/12/08")

#if defined(_WIN32)
// The arguments reach the program as typed: the C runtime must not expand
// '*' and '?' in user-ID patterns into file names.
extern "C" {
int _dowildcard = 0;
}
#endif

int main(int argc, char** argv) { return tarvek::processMain(argc, argv); }
