// Gives libFuzzer the input budget as its -timeout, in front of the command line's own
// arguments so that a -timeout given there still wins.
#include "fuzz/input_budget.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static std::string timeout = "-timeout=" + std::to_string(kFuzzInputBudgetSeconds);
  static std::vector<char*> arguments;
  arguments.assign(*argv, *argv + *argc);
  arguments.insert(arguments.begin() + 1, timeout.data());
  arguments.push_back(nullptr);
  *argc = static_cast<int>(arguments.size()) - 1;
  *argv = arguments.data();
  return 0;
}
