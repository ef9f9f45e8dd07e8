#include "lift/windows_file_system.h"

#include <windows.h>

#include "lift/paths.h"
#include "lift/shell_batch.h"
#include "platform/platform.h"

// The platform keeps types of its own; this file alone turns them into the
// seam's and back.
namespace {

FileIdentity FromPlatform(const platform::FileIdentity& identity) { return {identity.volume, identity.index}; }

ListedEntry FromPlatform(const platform::ListedEntry& entry) {
  return {entry.name,       entry.folder, entry.link,      entry.shortName, FromPlatform(entry.identity),
          entry.attributes, entry.size,   entry.lastWrite, entry.creation};
}

MoveResult FromPlatform(platform::MoveResult result) {
  switch (result) {
    case platform::MoveResult::Moved:
      return MoveResult::Moved;
    case platform::MoveResult::NameTaken:
      return MoveResult::NameTaken;
    case platform::MoveResult::Blocked:
      return MoveResult::Blocked;
    case platform::MoveResult::Failed:
      break;
  }
  return MoveResult::Failed;
}

MakeResult FromPlatform(platform::MakeResult result) {
  if (result == platform::MakeResult::Made) return MakeResult::Made;
  return result == platform::MakeResult::NameTaken ? MakeResult::NameTaken : MakeResult::Failed;
}

ShellOutcome FromPlatform(platform::ShellOutcome outcome) {
  if (outcome == platform::ShellOutcome::Done) return ShellOutcome::Done;
  return outcome == platform::ShellOutcome::Cancelled ? ShellOutcome::Cancelled : ShellOutcome::Failed;
}

RestoreResult FromPlatform(platform::RestoreResult result) {
  if (result == platform::RestoreResult::Restored) return RestoreResult::Restored;
  return result == platform::RestoreResult::NotInBin ? RestoreResult::NotInBin : RestoreResult::Failed;
}

Contents FromPlatform(platform::Contents contents) {
  if (contents == platform::Contents::Same) return Contents::Same;
  return contents == platform::Contents::Differ ? Contents::Differ : Contents::Unreadable;
}

std::vector<ListedEntry> FromPlatform(const std::vector<platform::ListedEntry>& entries) {
  std::vector<ListedEntry> converted;
  converted.reserve(entries.size());
  for (const platform::ListedEntry& entry : entries) converted.push_back(FromPlatform(entry));
  return converted;
}

}  // namespace

bool operator==(const FileIdentity& a, const FileIdentity& b) { return a.volume == b.volume && a.index == b.index; }

std::string ReasonFor(Failure failure) {
  switch (failure) {
    case Failure::NotFound:
      return platform::SystemErrorText(ERROR_FILE_NOT_FOUND);
    case Failure::PathNotFound:
      return platform::SystemErrorText(ERROR_PATH_NOT_FOUND);
    case Failure::NotAFolder:
      return platform::SystemErrorText(ERROR_DIRECTORY);
    case Failure::NotEmpty:
      return platform::SystemErrorText(ERROR_DIR_NOT_EMPTY);
    case Failure::NameTooLong:
      return platform::SystemErrorText(ERROR_FILENAME_EXCED_RANGE);
    case Failure::InUse:
      return platform::SystemErrorText(ERROR_SHARING_VIOLATION);
    case Failure::AccessDenied:
      break;
  }
  return platform::SystemErrorText(ERROR_ACCESS_DENIED);
}

std::string NameKey(const std::string& name) { return platform::NameKey(name); }

bool SameName(const std::string& a, const std::string& b) { return platform::SameName(a, b); }

void SortAsListed(std::vector<ListedEntry>& entries) {
  // The platform sorts its own entries: each stands in by its name alone,
  // carrying in its index the place of the entry it stands for.
  std::vector<platform::ListedEntry> names(entries.size());
  for (std::size_t at = 0; at < entries.size(); ++at) {
    names[at].name = entries[at].name;
    names[at].identity.index = at;
  }
  platform::SortAsNtfsLists(names);
  std::vector<ListedEntry> sorted;
  sorted.reserve(entries.size());
  for (const platform::ListedEntry& name : names) sorted.push_back(std::move(entries[name.identity.index]));
  entries.swap(sorted);
}

bool WindowsFileSystem::Failed(const platform::Failure& failure, std::string& reason) {
  reason = failure.reason;
  if (failure.code == ERROR_ACCESS_DENIED) accessDenied_ = true;
  return false;
}

bool WindowsFileSystem::ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) {
  std::vector<platform::ListedEntry> listed;
  platform::Failure failure;
  const auto known = volumes_.find(folder);
  if (!(known != volumes_.end() ? platform::ListFolderOnVolume(folder, known->second, listed, failure)
                                : platform::ListFolder(folder, listed, failure)))
    return Failed(failure, reason);
  // Every file system's entries are taken in one order: the preview's model
  // takes them so too, whatever order this one lists them in.
  platform::SortAsNtfsLists(listed);
  entries = FromPlatform(listed);
  // A folder that is no link lies on the volume of the folder holding it (a
  // volume mounted in a folder is a link), so listing it reads no volume again.
  if (!entries.empty()) volumes_[folder] = entries.front().identity.volume;
  for (const ListedEntry& entry : entries)
    if (entry.folder && !entry.link) volumes_[JoinPath(folder, entry.name)] = entry.identity.volume;
  return true;
}

bool WindowsFileSystem::LookUpEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  const std::string folder = ParentOf(path);
  const auto known = volumes_.find(folder);
  platform::ListedEntry found;
  platform::Failure failure;
  if (!(known != volumes_.end() ? platform::ListEntryOnVolume(path, known->second, found, failure)
                                : platform::ListEntry(path, found, failure)))
    return Failed(failure, reason);
  entry = FromPlatform(found);
  volumes_[folder] = entry.identity.volume;
  return true;
}

bool WindowsFileSystem::Exists(const std::string& path) { return platform::PathExists(path); }

MoveResult WindowsFileSystem::Move(const std::string& from, const std::string& to, std::string& reason) {
  platform::Failure failure;
  const platform::MoveResult result = platform::MoveEntry(from, to, failure);
  if (result == platform::MoveResult::Blocked || result == platform::MoveResult::Failed) Failed(failure, reason);
  return FromPlatform(result);
}

MakeResult WindowsFileSystem::MakeFolder(const std::string& folder, std::string& reason) {
  platform::Failure failure;
  const platform::MakeResult result = platform::MakeFolder(folder, failure);
  if (result == platform::MakeResult::Failed) Failed(failure, reason);
  return FromPlatform(result);
}

bool WindowsFileSystem::RemoveFolder(const std::string& folder, std::string& reason) {
  platform::Failure failure;
  return platform::RemoveFolder(folder, failure) || Failed(failure, reason);
}

ShellOutcome WindowsFileSystem::ShellMove(const std::vector<MovePair>& moves, std::string& reason) {
  // The shell takes its moves as two lists of paths, each ended by a NUL.
  std::string sources, destinations;
  for (const MovePair& move : moves) AddToShellBatch(sources, destinations, move.from, move.to);
  return FromPlatform(platform::ShellMove(sources, destinations, reason));
}

RecycleResult WindowsFileSystem::Recycle(const std::string& folder, std::string& reason) {
  // The shell deletes what the bin cannot take, and says nothing.
  reason = platform::WhyTheRecycleBinWouldDelete(folder);
  if (!reason.empty()) return RecycleResult::KeptInPlace;
  return platform::RecycleFolder(folder, reason) ? RecycleResult::Recycled : RecycleResult::Failed;
}

RestoreResult WindowsFileSystem::Restore(const std::string& folder, const std::vector<HeldEntry>&,
                                         std::string& reason) {
  return FromPlatform(platform::RestoreFromRecycleBin(folder, reason));
}

bool WindowsFileSystem::InRecycleBin(const std::string& path) { return platform::RecycleBinHolds(path); }

bool WindowsFileSystem::SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) {
  platform::Failure failure;
  return platform::SetAttributes(path, attributes, failure) || Failed(failure, reason);
}

bool WindowsFileSystem::SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite,
                                 std::string& reason) {
  platform::Failure failure;
  return platform::SetTimes(path, creation, lastWrite, failure) || Failed(failure, reason);
}

Contents WindowsFileSystem::CompareContents(const std::string& a, const std::string& b) {
  return FromPlatform(platform::CompareContents(a, b));
}

bool WindowsFileSystem::KeepsLocalTime(const std::string& folder) { return platform::KeepsLocalTime(folder); }
