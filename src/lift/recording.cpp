#include "lift/recording.h"

#include "lift/paths.h"
#include "lift/shell_batch.h"

RecordingFileSystem::RecordingFileSystem(FileSystem& disk, AppendFile* record, Listener& listener)
    : disk_(disk), record_(record), listener_(listener), recorded_(false) {}

RecordingFileSystem::~RecordingFileSystem() {
  if (record_ != nullptr) CloseAppendFile(record_);
}

bool RecordingFileSystem::ListFolder(const std::string& folder, std::vector<ListedEntry>& entries,
                                     std::string& reason) {
  if (!disk_.ListFolder(folder, entries, reason)) return false;
  for (const ListedEntry& entry : entries) identities_[JoinPath(folder, entry.name)] = entry.identity;
  return true;
}

bool RecordingFileSystem::ListEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  if (!disk_.ListEntry(path, entry, reason)) return false;
  identities_[path] = entry.identity;
  return true;
}

bool RecordingFileSystem::Exists(const std::string& path) { return disk_.Exists(path); }

MoveResult RecordingFileSystem::Move(const std::string& from, const std::string& to, std::string& reason) {
  const FileIdentity identity = IdentityOf(from);
  unsigned long long before;
  Write({StepKind::Move, from, to, identity}, before);
  const MoveResult result = disk_.Move(from, to, reason);
  if (result == MoveResult::Moved)
    identities_[to] = identity;
  else
    TakeBack(before);
  return result;
}

MakeResult RecordingFileSystem::MakeFolder(const std::string& folder, std::string& reason) {
  unsigned long long before;
  Write({StepKind::Make, folder, "", {0, 0}}, before);
  const MakeResult result = disk_.MakeFolder(folder, reason);
  if (result != MakeResult::Made) TakeBack(before);
  return result;
}

bool RecordingFileSystem::RemoveFolder(const std::string& folder, std::string& reason) {
  unsigned long long before;
  Write({StepKind::Remove, folder, "", {0, 0}}, before);
  const bool removed = disk_.RemoveFolder(folder, reason);
  if (!removed) TakeBack(before);
  return removed;
}

ShellOutcome RecordingFileSystem::ShellMove(const std::string& fromList, const std::string& toList,
                                            std::string& reason) {
  // Which of them the shell moved, the undo finds out entry by entry.
  const std::vector<std::string> sources = ShellBatchPaths(fromList), destinations = ShellBatchPaths(toList);
  unsigned long long before;
  for (std::size_t at = 0; at < sources.size() && at < destinations.size(); ++at)
    Write({StepKind::Shell, sources[at], destinations[at], IdentityOf(sources[at])}, before);
  return disk_.ShellMove(fromList, toList, reason);
}

RecycleResult RecordingFileSystem::Recycle(const std::string& folder, std::string& reason) {
  unsigned long long before;
  Write({StepKind::Recycle, folder, "", {0, 0}}, before);
  const RecycleResult result = disk_.Recycle(folder, reason);
  if (result == RecycleResult::Recycled) return result;
  TakeBack(before);
  if (result == RecycleResult::KeptInPlace) Write({StepKind::Keep, folder, "", {0, 0}}, before);
  return result;
}

RestoreResult RecordingFileSystem::Restore(const std::string& folder, const std::vector<Step>& holds,
                                           std::string& reason) {
  return disk_.Restore(folder, holds, reason);
}

bool RecordingFileSystem::Recorded() const { return recorded_; }

void RecordingFileSystem::Write(const Step& step, unsigned long long& before) {
  if (record_ == nullptr) return;
  if (Append(record_, StepLine(step), before)) {
    recorded_ = true;
    return;
  }
  std::string reason;
  FailWithLastError(reason);
  listener_.Tell({Happening::Notice, "", reason, "this lift cannot be undone", 0});
  CloseAppendFile(record_);
  record_ = nullptr;
}

void RecordingFileSystem::TakeBack(unsigned long long before) {
  if (record_ != nullptr) CutBackTo(record_, before);
}

FileIdentity RecordingFileSystem::IdentityOf(const std::string& path) const {
  const auto known = identities_.find(path);
  return known != identities_.end() ? known->second : FileIdentity{0, 0};
}
