#include "platform/console.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>

#include "platform/text.h"

namespace platform {

namespace {

const std::size_t FallbackConsoleWidth = 80;
// Windows before 8 refuses a single console write of more than 64 KB, which a
// long list of failures would need.
const std::size_t ConsolePieceLength = 4096;

// The standard library attaches a device to a stream only through a stream
// buffer, so this is the one class here: it collects what the stream writes and,
// at each flush, hands it to the console as UTF-16. Every write of the program
// ends in a flush (std::endl, std::flush, or std::cerr's unit buffering).
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
  }

  int sync() override {
    const std::wstring text = Wide(pending_);
    pending_.clear();
    for (std::size_t start = 0; start < text.size();) {
      std::size_t count = std::min(text.size() - start, ConsolePieceLength);
      // A character outside the basic plane is two units, never to be split.
      if (start + count < text.size() && IS_HIGH_SURROGATE(text[start + count - 1])) --count;
      DWORD written = 0;
      if (!WriteConsoleW(console_, text.data() + start, static_cast<DWORD>(count), &written, nullptr)) return -1;
      start += count;
    }
    return 0;
  }

 private:
  HANDLE console_;
  std::string pending_;
};

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

bool OwnsItsConsole() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

void HideOwnConsoleWindow() {
  const HWND console = GetConsoleWindow();
  if (console != nullptr && OwnsItsConsole()) ShowWindow(console, SW_HIDE);
}

bool StandardInputIsConsole() { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }

bool StandardErrorIsConsole() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

std::size_t StandardErrorWidth() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return FallbackConsoleWidth;
  return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

int WithUnicodeConsole(const std::function<int()>& work) {
  ConsoleBuffer out(GetStdHandle(STD_OUTPUT_HANDLE)), errors(GetStdHandle(STD_ERROR_HANDLE));
  std::streambuf* const originalOut = std::cout.rdbuf();
  std::streambuf* const originalErrors = std::cerr.rdbuf();
  if (IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))) std::cout.rdbuf(&out);
  if (IsConsole(GetStdHandle(STD_ERROR_HANDLE))) std::cerr.rdbuf(&errors);
  const int status = work();
  // The buffers end here, so the streams get their own back, flushed.
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(originalOut);
  std::cerr.rdbuf(originalErrors);
  return status;
}

}  // namespace platform
