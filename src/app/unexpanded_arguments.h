// Included once by each program's entry file. On Windows the arguments
// reach the program as typed: the C runtime must not expand '*' and '?' in
// user-ID patterns into file names.
#ifndef TARVEK_APP_UNEXPANDED_ARGUMENTS_H_
#define TARVEK_APP_UNEXPANDED_ARGUMENTS_H_

#if defined(_WIN32)
extern "C" {
int _dowildcard = 0;
}
#endif

#endif  // TARVEK_APP_UNEXPANDED_ARGUMENTS_H_
