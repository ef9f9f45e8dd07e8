#pragma once
// The console: whose it is, whether it is one at all, its width, and UTF-8
// text written to it as UTF-16. Relies on the text module for conversion.

#include <cstddef>
#include <functional>

namespace platform {

// True when this process alone uses its console: the window was opened for it
// (by Explorer, Run, a shortcut or elevation) and closes when it ends. A console
// the user typed the command in has their shell too.
bool OwnsItsConsole();

// Hides the console window when this process owns it; one the user typed the
// command in stays theirs.
void HideOwnConsoleWindow();

bool StandardInputIsConsole();

// Runs `work` with std::cout and std::cerr writing UTF-8 text through
// WriteConsoleW where they are a console, so that names in any script show on
// every Windows whatever the console's code page. A pipe or a file gets the UTF-8
// bytes as they are.
int WithUnicodeConsole(const std::function<int()>& work);

// True when standard error is an interactive console, and how many columns wide.
bool StandardErrorIsConsole();
std::size_t StandardErrorWidth();

}  // namespace platform
