#include "app/unexpanded_arguments.h"
#include "app/user_list_program.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)main.cc 1.1 2026/12/08")

int main(int argc, char** argv) { return tarvek::processMain(argc, argv); }
