// The program with the connection pause replaced by a no-op, so end-to-end
// cases of failing connections run without waiting 10 s per attempt.
#include <stdint.h>
#include <stdio.h>

#include "app/unexpanded_arguments.h"
#include "app/user_list_program.h"

namespace {
void noPause(uint32_t) {}
}  // namespace

int main(int argc, char** argv) {
  return tarvek::processMain(argc, argv, stdout, noPause);
}
