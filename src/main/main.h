// The tool's entry point, which the host's main calls with the wide arguments as the host split
// the command line (argv[0] is the program).
#pragma once

// "-v" as argv[1] turns the trace on; every other argument is ignored. Returns the exit status:
// 0 when a VM library was found (the process ends with 1 when none was, without returning).
int LocateJvmMain(int argc, const char16_t* const* argv);
