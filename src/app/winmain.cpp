#include "app/run.h"
#include "platform/platform.h"

// dirliftw.exe: the same program without a console, for Explorer's menu. The
// runtime splits its command line as it does wmain's, so the arguments are
// the same.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return RunWindowless(platform::Utf8Arguments(__argc, __wargv));
}
