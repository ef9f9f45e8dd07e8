#include "undo/recording.h"

#include "lift/paths.h"

RecordingFileSystem::RecordingFileSystem(FileSystem& disk, RecordFile* record, Listener& listener)
    : disk_(disk), record_(record), listener_(listener), steps_(0) {}

RecordingFileSystem::~RecordingFileSystem() {
  if (record_ != nullptr) CloseRecord(record_);
}

bool RecordingFileSystem::ListFolder(const std::string& folder, std::vector<ListedEntry>& entries,
                                     std::string& reason) {
  // The folder given is seen first here, before anything leaves it; a
  // subfolder, in the listing of the folder holding it.
  ListedEntry self;
  std::string ignored;
  if (folders_.count(folder) == 0 && disk_.LookUpEntry(folder, self, ignored)) folders_[folder] = self;
  if (!disk_.ListFolder(folder, entries, reason)) return false;
  for (const ListedEntry& entry : entries) {
    const std::string path = JoinPath(folder, entry.name);
    identities_[path] = entry.identity;
    if (entry.folder) folders_.insert({path, entry});
  }
  return true;
}

bool RecordingFileSystem::LookUpEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  if (!disk_.LookUpEntry(path, entry, reason)) return false;
  identities_[path] = entry.identity;
  return true;
}

bool RecordingFileSystem::Exists(const std::string& path) { return disk_.Exists(path); }

MoveResult RecordingFileSystem::Move(const std::string& from, const std::string& to, std::string& reason) {
  const FileIdentity identity = IdentityOf(from);
  unsigned long long before;
  Write({StepKind::Move, from, to, identity, 0, false}, before);
  const MoveResult result = disk_.Move(from, to, reason);
  if (result == MoveResult::Moved) {
    // What moves again in this run (a file set aside, put back) is looked up
    // then: keeping every entry moved would hold a flatten's whole tree.
    identities_.erase(from);
  } else {
    TakeBack(before);
  }
  return result;
}

MakeResult RecordingFileSystem::MakeFolder(const std::string& folder, std::string& reason) {
  unsigned long long before;
  Write(FolderStep(StepKind::Make, folder), before);
  const MakeResult result = disk_.MakeFolder(folder, reason);
  if (result != MakeResult::Made) TakeBack(before);
  return result;
}

bool RecordingFileSystem::RemoveFolder(const std::string& folder, std::string& reason) {
  // The folder comes back as it was: a customised one keeps its marks.
  Step step = FolderStep(StepKind::Remove, folder);
  ListedEntry entry;
  std::string ignored;
  const auto seen = folders_.find(folder);
  if (seen != folders_.end() || disk_.LookUpEntry(folder, entry, ignored)) {
    if (seen != folders_.end()) entry = seen->second;
    step.attributes = entry.attributes;
    step.creation = entry.creation;
    step.lastWrite = entry.lastWrite;
  }
  unsigned long long before;
  Write(step, before);
  const bool removed = disk_.RemoveFolder(folder, reason);
  if (!removed) TakeBack(before);
  return removed;
}

ShellOutcome RecordingFileSystem::ShellMove(const std::vector<MovePair>& moves, std::string& reason) {
  // Which of them the shell moved, the undo finds out entry by entry.
  std::vector<Step> steps;
  for (const MovePair& move : moves)
    steps.push_back({StepKind::Shell, move.from, move.to, IdentityOf(move.from), 0, false});
  unsigned long long first = 0, before;
  for (const Step& step : steps) Write(step, &step == &steps.front() ? first : before);
  const ShellOutcome outcome = disk_.ShellMove(moves, reason);
  // What the user declined stayed where it was: only the moves that happened stay recorded.
  std::vector<Step> moved;
  for (const Step& step : steps)
    if (!disk_.Exists(step.from)) moved.push_back(step);
  if (moved.size() != steps.size()) {
    TakeBack(first, steps.size());
    for (const Step& step : moved) Write(step, before);
  }
  return outcome;
}

RecycleResult RecordingFileSystem::Recycle(const std::string& folder, std::string& reason) {
  unsigned long long before;
  Write(FolderStep(StepKind::Recycle, folder), before);
  const RecycleResult result = disk_.Recycle(folder, reason);
  if (result == RecycleResult::Recycled) return result;
  TakeBack(before);
  if (result == RecycleResult::KeptInPlace) Write(FolderStep(StepKind::Keep, folder), before);
  return result;
}

RestoreResult RecordingFileSystem::Restore(const std::string& folder, const std::vector<HeldEntry>& holds,
                                           std::string& reason) {
  return disk_.Restore(folder, holds, reason);
}

bool RecordingFileSystem::InRecycleBin(const std::string& path) { return disk_.InRecycleBin(path); }

bool RecordingFileSystem::SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) {
  return disk_.SetAttributes(path, attributes, reason);
}

bool RecordingFileSystem::SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite,
                                   std::string& reason) {
  return disk_.SetTimes(path, creation, lastWrite, reason);
}

Contents RecordingFileSystem::CompareContents(const std::string& a, const std::string& b) {
  return disk_.CompareContents(a, b);
}

bool RecordingFileSystem::KeepsLocalTime(const std::string& folder) { return disk_.KeepsLocalTime(folder); }

bool RecordingFileSystem::Recorded() const { return steps_ > 0; }

Step RecordingFileSystem::FolderStep(StepKind kind, const std::string& folder) {
  return {kind, folder, "", {0, 0}, 0, false};
}

void RecordingFileSystem::Write(const Step& step, unsigned long long& before) {
  if (record_ == nullptr) return;
  std::string reason;
  if (AppendStep(record_, step, before, reason)) {
    ++steps_;
    return;
  }
  listener_.Tell({.happening = Happening::Notice, .detail = reason, .failure = "this lift cannot be undone"});
  CloseRecord(record_);
  record_ = nullptr;
}

void RecordingFileSystem::TakeBack(unsigned long long before, std::size_t steps) {
  if (record_ == nullptr) return;
  CutBack(record_, before);
  steps_ -= steps;
}

FileIdentity RecordingFileSystem::IdentityOf(const std::string& path) {
  const auto known = identities_.find(path);
  if (known != identities_.end()) return known->second;
  ListedEntry entry;
  std::string ignored;
  return disk_.LookUpEntry(path, entry, ignored) ? entry.identity : FileIdentity{0, 0};
}
