// Cases of the whole search on a Wine prefix: its registry, files on drive C, and what the tool
// must answer. The same cases drive the Linux build and, under Wine, the Windows build.
#pragma once

#include <string>
#include <vector>

namespace test {

struct SearchCase {
  const char* name;
  std::string keys;                // system.reg below its header
  std::vector<std::string> files;  // created under drive_c
  std::string trace;               // standard error with -v, after "JAVA_HOME not set\n"
  int status;
};

std::vector<SearchCase> JdkStepCases();
std::vector<SearchCase> JreStepCases();
std::vector<SearchCase> JdkFoundCases();
std::vector<SearchCase> ValueTypeCases();
std::vector<SearchCase> CaseCases();
std::vector<SearchCase> SuffixCases();
std::vector<SearchCase> KeyPathCases();

}  // namespace test
