#include "preview/model.h"

#include <algorithm>

#include "lift/paths.h"
#include "preview/model_folder.h"

namespace {

bool Fail(Failure failure, std::string& reason) {
  reason = ReasonFor(failure);
  return false;
}

// NTFS holds no longer name, and Windows refuses to make one.
bool NameTooLong(const std::string& path, std::string& reason) {
  if (NameLength(NameOf(path)) <= LongestName) return false;
  Fail(Failure::NameTooLong, reason);
  return true;
}

}  // namespace

ModelFileSystem::ModelFileSystem(FileSystem& disk) : disk_(disk) {}
ModelFileSystem::~ModelFileSystem() = default;

ModelFolder* ModelFileSystem::FolderAt(const std::string& path, std::string& reason) {
  const std::vector<std::string> keys = KeysOf(path);
  for (std::size_t top = 0; top < tops_.size(); ++top) {
    const std::vector<std::string>& topKeys = topKeys_[top];
    if (keys.size() < topKeys.size() || !std::equal(topKeys.begin(), topKeys.end(), keys.begin())) continue;
    ModelFolder* folder = tops_[top].get();
    const std::vector<std::string> components = ComponentsOf(path);
    for (std::size_t at = topKeys.size(); at < components.size(); ++at) {
      const std::size_t index = Find(*folder, disk_, components[at]);
      if (index == None || !folder->children[index]->entry.folder) {
        // As Windows says it: a file where the folder itself should be is no
        // directory, one on the way to it leaves no path.
        const bool file = index != None && at + 1 == components.size();
        Fail(file ? Failure::NotAFolder : Failure::PathNotFound, reason);
        return nullptr;
      }
      folder = folder->children[index].get();
    }
    return folder;
  }
  // A folder the lift reaches first: its copy starts from the disk.
  return NewTop(path);
}

ModelFolder* ModelFileSystem::NewTop(const std::string& path) {
  const std::vector<std::string> keys = KeysOf(path);
  Child top = NewEntry({NameOf(path), true, false, "", {}, FolderMark, 0, 0, 0}, path, false);
  // A copy made earlier of a folder below this one is the one the lift has
  // been changing: it takes the place of that folder in this copy.
  for (std::size_t at = 0; at < tops_.size();) {
    const std::vector<std::string>& lower = topKeys_[at];
    if (lower.size() <= keys.size() || !std::equal(keys.begin(), keys.end(), lower.begin())) {
      ++at;
      continue;
    }
    const std::vector<std::string> components = ComponentsOf(tops_[at]->diskPath);
    ModelFolder* folder = top.get();
    std::size_t index = None;
    for (std::size_t level = keys.size(); folder != nullptr && level < lower.size(); ++level) {
      index = Find(*folder, disk_, components[level]);
      if (index == None || !folder->children[index]->entry.folder) folder = nullptr;
      if (folder != nullptr && level + 1 < lower.size()) folder = folder->children[index].get();
    }
    if (folder == nullptr) {
      ++at;
      continue;
    }
    tops_[at]->entry = folder->children[index]->entry;
    folder->children[index] = std::move(tops_[at]);
    tops_.erase(tops_.begin() + static_cast<std::ptrdiff_t>(at));
    topKeys_.erase(topKeys_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  tops_.push_back(std::move(top));
  topKeys_.push_back(keys);
  return tops_.back().get();
}

ModelFolder* ModelFileSystem::Holder(const std::string& path, std::size_t& index, std::string& reason) {
  ModelFolder* folder = FolderAt(ParentOf(path), reason);
  index = None;
  if (folder == nullptr) return nullptr;
  if (!Load(*folder, disk_)) {
    reason = folder->loadError;
    return nullptr;
  }
  index = Find(*folder, disk_, NameOf(path));
  if (index == None) Fail(Failure::NotFound, reason);
  return folder;
}

bool ModelFileSystem::ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) {
  ModelFolder* node = FolderAt(folder, reason);
  if (node == nullptr) return false;
  if (!Load(*node, disk_)) {
    reason = node->loadError;
    return false;
  }
  for (const Child& child : node->children)
    if (child) entries.push_back(child->entry);
  // What the lift moved in takes its place among the rest, as on the disk.
  SortAsListed(entries);
  return true;
}

bool ModelFileSystem::LookUpEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  std::size_t index;
  ModelFolder* folder = Holder(path, index, reason);
  if (folder == nullptr || index == None) return false;
  entry = folder->children[index]->entry;
  return true;
}

bool ModelFileSystem::Exists(const std::string& path) {
  std::size_t index;
  std::string reason;
  return Holder(path, index, reason) != nullptr && index != None;
}

MoveResult ModelFileSystem::Move(const std::string& from, const std::string& to, std::string& reason) {
  std::size_t index, taken;
  ModelFolder* source = Holder(from, index, reason);
  if (source == nullptr || index == None) return MoveResult::Failed;
  ModelFolder* destination = Holder(to, taken, reason);
  if (destination == nullptr) return MoveResult::Failed;
  if (NameTooLong(to, reason)) return MoveResult::Failed;
  reason.clear();
  if (taken != None) return MoveResult::NameTaken;
  Child child = Detach(*source, index);
  // Under a new name Windows gives it a new short name, which a model cannot know.
  if (NameKey(child->entry.name) != NameKey(NameOf(to))) child->entry.shortName.clear();
  child->entry.name = NameOf(to);
  Attach(*destination, std::move(child));
  return MoveResult::Moved;
}

MakeResult ModelFileSystem::MakeFolder(const std::string& folder, std::string& reason) {
  std::size_t taken;
  ModelFolder* parent = Holder(folder, taken, reason);
  if (parent == nullptr) return MakeResult::Failed;
  if (NameTooLong(folder, reason)) return MakeResult::Failed;
  reason.clear();
  if (taken != None) return MakeResult::NameTaken;
  Attach(*parent, NewEntry({NameOf(folder), true, false, "", {}, FolderMark, 0, 0, 0}, "", true));
  return MakeResult::Made;
}

bool ModelFileSystem::RemoveFolder(const std::string& folder, std::string& reason) {
  std::size_t index;
  ModelFolder* parent = Holder(folder, index, reason);
  if (parent == nullptr || index == None) return false;
  ModelFolder& node = *parent->children[index];
  if (!Load(node, disk_)) {
    reason = node.loadError;
    return false;
  }
  for (const Child& child : node.children)
    if (child) return Fail(Failure::NotEmpty, reason);
  Detach(*parent, index);
  return true;
}

ShellOutcome ModelFileSystem::ShellMove(const std::vector<MovePair>&, std::string&) {
  // The shell would ask about each replacement; the preview takes its answers as no.
  return ShellOutcome::Done;
}

RecycleResult ModelFileSystem::Recycle(const std::string& folder, std::string& reason) {
  std::size_t index;
  ModelFolder* parent = Holder(folder, index, reason);
  if (parent == nullptr || index == None) return RecycleResult::Failed;
  Detach(*parent, index);
  return RecycleResult::Recycled;
}

RestoreResult ModelFileSystem::Restore(const std::string& folder, const std::vector<HeldEntry>& holds,
                                       std::string& reason) {
  // The bin is looked at, not touched: what it holds comes back as the record
  // says it went in.
  if (!disk_.InRecycleBin(folder)) {
    reason = "the Recycle Bin no longer holds it";
    return RestoreResult::NotInBin;
  }
  if (MakeFolder(folder, reason) != MakeResult::Made) return RestoreResult::Failed;
  for (const HeldEntry& held : holds) {
    std::string ignored;
    bool below;
    for (const std::string& inner : FoldersAlong(folder, PathBelow(ParentOf(held.path), folder, below)))
      MakeFolder(inner, ignored);
    std::size_t taken;
    ModelFolder* parent = Holder(held.path, taken, ignored);
    if (parent != nullptr && taken == None)
      Attach(*parent, NewEntry({NameOf(held.path), false, false, "", held.identity, 0, 0, 0, 0}, "", true));
  }
  return RestoreResult::Restored;
}

bool ModelFileSystem::InRecycleBin(const std::string& path) { return disk_.InRecycleBin(path); }

bool ModelFileSystem::SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) {
  std::size_t index;
  ModelFolder* folder = Holder(path, index, reason);
  if (folder == nullptr || index == None) return false;
  folder->children[index]->entry.attributes = attributes;
  return true;
}

bool ModelFileSystem::SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite,
                               std::string& reason) {
  std::size_t index;
  ModelFolder* folder = Holder(path, index, reason);
  if (folder == nullptr || index == None) return false;
  folder->children[index]->entry.creation = creation;
  folder->children[index]->entry.lastWrite = lastWrite;
  return true;
}

Contents ModelFileSystem::CompareContents(const std::string& a, const std::string& b) {
  // The files are where the disk has them, wherever the copy has moved them.
  std::size_t one, other;
  std::string reason;
  ModelFolder* first = Holder(a, one, reason);
  ModelFolder* second = Holder(b, other, reason);
  if (first == nullptr || second == nullptr || one == None || other == None) return Contents::Unreadable;
  return disk_.CompareContents(first->children[one]->diskPath, second->children[other]->diskPath);
}

bool ModelFileSystem::KeepsLocalTime(const std::string& folder) { return disk_.KeepsLocalTime(folder); }
