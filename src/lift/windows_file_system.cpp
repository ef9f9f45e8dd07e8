#include "lift/windows_file_system.h"

#include "lift/paths.h"
#include "lift/shell_batch.h"

bool WindowsFileSystem::ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) {
  const auto known = volumes_.find(folder);
  if (!(known != volumes_.end() ? ::ListFolderOnVolume(folder, known->second, entries, reason)
                                : ::ListFolder(folder, entries, reason)))
    return false;
  // Every file system's entries are taken in one order: the preview's model
  // takes them so too, whatever order this one lists them in.
  SortAsNtfsLists(entries);
  // A folder that is no link lies on the volume of the folder holding it (a
  // volume mounted in a folder is a link), so listing it reads no volume again.
  if (!entries.empty()) volumes_[folder] = entries.front().identity.volume;
  for (const ListedEntry& entry : entries)
    if (entry.folder && !entry.link) volumes_[JoinPath(folder, entry.name)] = entry.identity.volume;
  return true;
}

bool WindowsFileSystem::ListEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  const std::string folder = ParentOf(path);
  const auto known = volumes_.find(folder);
  if (known != volumes_.end()) return ::ListEntryOnVolume(path, known->second, entry, reason);
  if (!::ListEntry(path, entry, reason)) return false;
  volumes_[folder] = entry.identity.volume;
  return true;
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

ShellOutcome WindowsFileSystem::ShellMove(const std::vector<MovePair>& moves, std::string& reason) {
  // The shell takes its moves as two lists of paths, each ended by a NUL.
  std::string sources, destinations;
  for (const MovePair& move : moves) AddToShellBatch(sources, destinations, move.from, move.to);
  return ::ShellMove(sources, destinations, reason);
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

bool WindowsFileSystem::InRecycleBin(const std::string& path) { return RecycleBinHolds(path); }

bool WindowsFileSystem::SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) {
  return ::SetAttributes(path, attributes, reason);
}

bool WindowsFileSystem::SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite,
                                 std::string& reason) {
  return ::SetTimes(path, creation, lastWrite, reason);
}

Contents WindowsFileSystem::CompareContents(const std::string& a, const std::string& b) {
  return ::CompareContents(a, b);
}

bool WindowsFileSystem::KeepsLocalTime(const std::string& folder) { return ::KeepsLocalTime(folder); }
