#include "platform/collector.h"

#include <windows.h>

#include "platform/text.h"

namespace platform {

namespace {

const wchar_t PipePrefix[] = L"\\\\.\\pipe\\";
const wchar_t MutexPrefix[] = L"Local\\";
const DWORD MessageSize = 64 * 1024;
const DWORD BusyWaitMs = 100;
const DWORD ReadWaitMs = 2000;
// Not known to Windows XP, which refuses it: there it is left out.
const DWORD RejectRemoteClients = 0x00000008;
const char Taken = '+';

// Waits for an overlapped call on `handle` at most `ms`; false on a time-out or a failure.
bool Finish(HANDLE handle, OVERLAPPED& overlapped, DWORD ms, DWORD& transferred) {
  if (WaitForSingleObject(overlapped.hEvent, ms) != WAIT_OBJECT_0) {
    CancelIo(handle);
    GetOverlappedResult(handle, &overlapped, &transferred, TRUE);
    return false;
  }
  return GetOverlappedResult(handle, &overlapped, &transferred, FALSE) != 0;
}

// Reads one path from the client just connected, and says it was taken.
bool Receive(HANDLE pipe, HANDLE event, std::string& path) {
  std::string message(MessageSize, '\0');
  OVERLAPPED overlapped = {};
  overlapped.hEvent = event;
  DWORD read = 0;
  if (!ReadFile(pipe, &message[0], MessageSize, &read, &overlapped) && GetLastError() != ERROR_IO_PENDING) return false;
  if (!Finish(pipe, overlapped, ReadWaitMs, read) || read == 0) return false;
  path = message.substr(0, read);
  OVERLAPPED reply = {};
  reply.hEvent = event;
  DWORD written = 0;
  if (!WriteFile(pipe, &Taken, 1, &written, &reply) && GetLastError() != ERROR_IO_PENDING) return false;
  if (!Finish(pipe, reply, ReadWaitMs, written) || written != 1) return false;
  // Disconnecting throws away what the client has not read yet: the answer
  // must reach it first, or it would hand its path over once more.
  FlushFileBuffers(pipe);
  return true;
}

}  // namespace

struct Collector {
  HANDLE mutex;
  HANDLE pipe;
  HANDLE event;
};

std::string CollectorName(const std::string& switches) {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  wchar_t user[256] = L"";
  DWORD size = 256;
  GetUserNameW(user, &size);
  std::string name = "dirlift-" + std::to_string(session) + "-" + Utf8(user) + "-" + switches;
  // A pipe's and a mutex's name take no backslash; blanks and slashes are
  // made plain too.
  for (char& c : name)
    if (c == '\\' || c == '/' || c == ' ') c = '_';
  return name;
}

bool HandOver(const std::string& name, const std::string& path) {
  const std::wstring pipeName = PipePrefix + Wide(name);
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (;;) {
    pipe = CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) break;
    // The collector is talking to another process: wait for its turn.
    if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeW(pipeName.c_str(), BusyWaitMs)) return false;
  }
  DWORD mode = PIPE_READMODE_MESSAGE, done = 0;
  char answer = 0;
  const bool taken = SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr) &&
                     WriteFile(pipe, path.data(), static_cast<DWORD>(path.size()), &done, nullptr) &&
                     done == path.size() && ReadFile(pipe, &answer, 1, &done, nullptr) && done == 1 && answer == Taken;
  CloseHandle(pipe);
  return taken;
}

Collector* BecomeCollector(const std::string& name) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, (MutexPrefix + Wide(name)).c_str());
  if (mutex == nullptr) return nullptr;
  const DWORD owned = WaitForSingleObject(mutex, 0);
  if (owned != WAIT_OBJECT_0 && owned != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return nullptr;
  }
  const std::wstring pipeName = PipePrefix + Wide(name);
  const DWORD access = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
  const DWORD type = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT;
  HANDLE pipe =
      CreateNamedPipeW(pipeName.c_str(), access, type | RejectRemoteClients, 1, MessageSize, MessageSize, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE)
    pipe = CreateNamedPipeW(pipeName.c_str(), access, type, 1, MessageSize, MessageSize, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return nullptr;
  }
  return new Collector{mutex, pipe, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
}

std::vector<std::string> CollectPaths(Collector* collector, unsigned long quietMs, unsigned long mostMs) {
  std::vector<std::string> paths;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= mostMs) break;
    OVERLAPPED overlapped = {};
    overlapped.hEvent = collector->event;
    ResetEvent(collector->event);
    bool connected = ConnectNamedPipe(collector->pipe, &overlapped) != 0;
    if (!connected) {
      const DWORD error = GetLastError();
      DWORD ignored = 0;
      connected = error == ERROR_PIPE_CONNECTED ||
                  (error == ERROR_IO_PENDING &&
                   Finish(collector->pipe, overlapped, std::min<DWORD>(quietMs, mostMs - spent), ignored));
      if (!connected && error != ERROR_PIPE_CONNECTED && error != ERROR_NO_DATA) break;
    }
    std::string path;
    if (connected && Receive(collector->pipe, collector->event, path)) paths.push_back(path);
    DisconnectNamedPipe(collector->pipe);
  }
  return paths;
}

void StopCollecting(Collector* collector) {
  CloseHandle(collector->pipe);
  CloseHandle(collector->event);
  ReleaseMutex(collector->mutex);
  CloseHandle(collector->mutex);
  delete collector;
}

}  // namespace platform
