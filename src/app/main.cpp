#include <iostream>

#include "app/run.h"
#include "platform/platform.h"

// The wide entry point: the arguments arrive as the user typed them, whatever
// the system's code page, and go on as UTF-8.
int wmain(int argc, wchar_t* argv[]) {
  const std::vector<std::string> arguments = platform::Utf8Arguments(argc, argv);
  return platform::WithUnicodeConsole([&arguments] { return RunDirlift(arguments, std::cin, std::cout, std::cerr); });
}
