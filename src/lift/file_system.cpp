#include "lift/file_system.h"

bool WindowsFileSystem::ListFolder(const std::string& folder, std::vector<ListedEntry>& entries,
                                   std::string& reason) {
  return ::ListFolder(folder, entries, reason);
}

bool WindowsFileSystem::ListEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  return ::ListEntry(path, entry, reason);
}

bool WindowsFileSystem::Exists(const std::string& path) { return PathExists(path); }

MoveResult WindowsFileSystem::Move(const std::string& from, const std::string& to, std::string& reason) {
  return MoveEntry(from, to, reason);
}

MakeResult WindowsFileSystem::MakeFolder(const std::string& folder, std::string& reason) {
  return ::MakeFolder(folder, reason);
}

bool WindowsFileSystem::RemoveFolder(const std::string& folder, std::string& reason) {
  return ::RemoveFolder(folder, reason);
}

ShellOutcome WindowsFileSystem::ShellMove(const std::string& fromList, const std::string& toList,
                                          std::string& reason) {
  return ::ShellMove(fromList, toList, reason);
}

RecycleResult WindowsFileSystem::Recycle(const std::string& folder, std::string& reason) {
  // The shell deletes what the bin cannot take, and says nothing.
  reason = WhyTheRecycleBinWouldDelete(folder);
  if (!reason.empty()) return RecycleResult::KeptInPlace;
  return RecycleFolder(folder, reason) ? RecycleResult::Recycled : RecycleResult::Failed;
}

RestoreResult WindowsFileSystem::Restore(const std::string& folder, const std::vector<HeldEntry>&,
                                         std::string& reason) {
  return RestoreFromRecycleBin(folder, reason);
}

bool WindowsFileSystem::SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) {
  return ::SetAttributes(path, attributes, reason);
}
