#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/platform.h"

// The wide entry point: the arguments arrive as the user typed them, whatever
// the system's code page, and go on as UTF-8.
int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
  return WithUnicodeConsole(
      [&arguments] { return RunDirlift(arguments, std::cin, std::cout, std::cerr); });
}
