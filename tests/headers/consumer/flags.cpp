// Built only for its compiler command: the header test compiles every installed header
// with the flags CMake gives a program that links vorgrd::vorgrd (compile_commands.json).
#include "host/vorgrdexport.h"
