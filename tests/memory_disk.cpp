#include "memory_disk.h"

#include <algorithm>

#include "lift/paths.h"

namespace {

const char Volume[] = "M:";
const unsigned long VolumeSerial = 0x4D454D;
const std::string ShortNameMarks = "!#$%&'()-@^_`{}~";
const std::size_t ShortBase = 8, ShortExtension = 3;

bool Fail(Failure failure, std::string& reason) {
  reason = ReasonFor(failure);
  return false;
}

bool IsShortNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || ShortNameMarks.find(c) != std::string::npos;
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// A name that is an 8.3 name itself, case aside, has no other.
bool IsEightDotThree(const std::string& name) {
  const std::string upper = Upper(name);
  const std::string::size_type dot = upper.find('.');
  const std::string base = upper.substr(0, dot), extension = dot == std::string::npos ? "" : upper.substr(dot + 1);
  if (base.empty() || base.size() > ShortBase || extension.size() > ShortExtension) return false;
  if (dot != std::string::npos && (extension.empty() || extension.find('.') != std::string::npos)) return false;
  return std::all_of(base.begin(), base.end(), IsShortNameCharacter) &&
         std::all_of(extension.begin(), extension.end(), IsShortNameCharacter);
}

std::string ShortPart(const std::string& text, std::size_t most) {
  std::string part;
  for (const char c : Upper(text))
    if (IsShortNameCharacter(c) && c != '~' && part.size() < most) part += c;
  return part;
}

void Draw(const MemoryEntry& entry, const std::string& below, bool folderTimes, std::vector<std::string>& lines) {
  for (const auto& held : entry.children) {
    const MemoryEntry* child = held.second.get();
    const ListedEntry& listed = child->listed;
    const std::string path = JoinPath(below, listed.name);
    std::string line = path + (listed.folder ? "/" : "=" + child->bytes) + " a" + std::to_string(listed.attributes);
    if (!listed.folder) line += " #" + std::to_string(listed.identity.index);
    if (!listed.folder || folderTimes)
      line += " t" + std::to_string(listed.lastWrite) + " c" + std::to_string(listed.creation);
    lines.push_back(line);
    Draw(*child, path, folderTimes, lines);
  }
}

void CollectFiles(const MemoryEntry& entry, std::map<unsigned long long, std::string>& files) {
  if (!entry.listed.folder) files[entry.listed.identity.index] = entry.bytes;
  for (const auto& child : entry.children) CollectFiles(*child.second, files);
}

}  // namespace

MemoryDisk::MemoryDisk()
    : root_{{Volume, true, false, "", {VolumeSerial, 1}, FolderMark, 0, 0, 0}, "", false, nullptr, {}, {}},
      nextIndex_(2),
      clock_(134116416000000000ULL) {}

void MemoryDisk::Make(const std::string& path, bool folder, const std::string& bytes, unsigned long long lastWrite,
                      unsigned long attributes) {
  MemoryEntry* parent = Find(ParentOf(path));
  if (parent == nullptr || !parent->listed.folder || Named(*parent, NameOf(path)) != nullptr) return;
  auto entry = std::unique_ptr<MemoryEntry>(new MemoryEntry{{NameOf(path),
                                                             folder,
                                                             false,
                                                             "",
                                                             {VolumeSerial, nextIndex_++},
                                                             (folder ? FolderMark : 0UL) | attributes,
                                                             bytes.size(),
                                                             lastWrite ? lastWrite : ++clock_,
                                                             ++clock_},
                                                            bytes,
                                                            false,
                                                            nullptr,
                                                            {},
                                                            {}});
  Attach(*parent, std::move(entry));
}

void MemoryDisk::MakeCaseSensitive(const std::string& folder) {
  if (MemoryEntry* entry = Find(folder)) entry->caseSensitive = true;
}

void MemoryDisk::Plant(const std::string& path, MoveResult failure) { planted_[NameKey(path)] = failure; }

std::vector<std::string> MemoryDisk::Picture(const std::string& folder, bool folderTimes) const {
  std::vector<std::string> lines;
  if (const MemoryEntry* entry = const_cast<MemoryDisk*>(this)->Find(folder)) Draw(*entry, "", folderTimes, lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> MemoryDisk::BinPicture() const {
  std::vector<std::string> lines;
  for (const BinItem& item : bin_) {
    lines.push_back(JoinPath(item.place, item.entry->listed.name) + "/");
    Draw(*item.entry, lines.back(), false, lines);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::map<unsigned long long, std::string> MemoryDisk::Files(const std::string& folder) const {
  std::map<unsigned long long, std::string> files;
  if (const MemoryEntry* entry = const_cast<MemoryDisk*>(this)->Find(folder)) CollectFiles(*entry, files);
  for (const BinItem& item : bin_) CollectFiles(*item.entry, files);
  return files;
}

// As Windows makes them: the first six letters of the name, "~" and a number,
// and the first three of its extension ("REPORT~1.DOC").
std::string MemoryDisk::ShortNameFor(const std::string& folder, const std::string& name) {
  MemoryEntry* holder = Find(folder);
  return holder == nullptr ? "" : ShortNameIn(*holder, name);
}

std::string MemoryDisk::ShortNameIn(MemoryEntry& holder, const std::string& name) {
  if (IsEightDotThree(name)) return "";
  const std::string::size_type dot = name.find_last_of('.');
  const std::string base = ShortPart(dot == std::string::npos || dot == 0 ? name : name.substr(0, dot), ShortBase);
  const std::string extension = dot == std::string::npos || dot == 0 ? "" : ShortPart(name.substr(dot + 1), 3);
  for (int number = 1; number < 1000000; ++number) {
    const std::string tail = "~" + std::to_string(number);
    const std::string candidate = base.substr(0, std::min(base.size(), ShortBase - tail.size())) + tail +
                                  (extension.empty() ? "" : "." + extension);
    if (Named(holder, candidate) == nullptr) return candidate;
  }
  return "";
}

// The exact name first, then (where the folder ignores case) the name in
// another case, then a short name.
MemoryEntry* MemoryDisk::Named(MemoryEntry& folder, const std::string& name) {
  const std::string key = NameKey(name);
  MemoryEntry *otherCase = nullptr, *shortNamed = nullptr;
  const auto found = folder.byKey.equal_range(key);
  for (auto at = found.first; at != found.second; ++at) {
    MemoryEntry* child = at->second;
    if (child->listed.name == name) return child;
    if (NameKey(child->listed.name) != key)
      shortNamed = shortNamed != nullptr ? shortNamed : child;
    else if (!folder.caseSensitive)
      otherCase = otherCase != nullptr ? otherCase : child;
  }
  return otherCase != nullptr ? otherCase : shortNamed;
}

void MemoryDisk::Unindex(MemoryEntry& folder, const std::string& name, const MemoryEntry* entry) {
  const auto found = folder.byKey.equal_range(NameKey(name));
  for (auto at = found.first; at != found.second; ++at)
    if (at->second == entry) {
      folder.byKey.erase(at);
      return;
    }
}

MemoryEntry* MemoryDisk::Find(const std::string& path) {
  const std::vector<std::string> components = ComponentsOf(path);
  if (components.empty() || !SameName(components.front(), Volume)) return nullptr;
  MemoryEntry* entry = &root_;
  for (std::size_t at = 1; at < components.size() && entry != nullptr; ++at)
    entry = entry->listed.folder ? Named(*entry, components[at]) : nullptr;
  return entry;
}

std::unique_ptr<MemoryEntry> MemoryDisk::Detach(MemoryEntry& entry) {
  MemoryEntry& parent = *entry.parent;
  const auto at = parent.children.find(entry.listed.identity.index);
  std::unique_ptr<MemoryEntry> detached = std::move(at->second);
  parent.children.erase(at);
  Unindex(parent, detached->listed.name, detached.get());
  if (!detached->listed.shortName.empty()) Unindex(parent, detached->listed.shortName, detached.get());
  Touch(parent);
  detached->parent = nullptr;
  return detached;
}

void MemoryDisk::Attach(MemoryEntry& folder, std::unique_ptr<MemoryEntry> entry) {
  entry->parent = &folder;
  entry->listed.shortName = ShortNameIn(folder, entry->listed.name);
  folder.byKey.emplace(NameKey(entry->listed.name), entry.get());
  if (!entry->listed.shortName.empty()) folder.byKey.emplace(NameKey(entry->listed.shortName), entry.get());
  const unsigned long long index = entry->listed.identity.index;
  folder.children[index] = std::move(entry);
  Touch(folder);
}

void MemoryDisk::Touch(MemoryEntry& folder) { folder.listed.lastWrite = ++clock_; }

bool MemoryDisk::ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) {
  MemoryEntry* entry = Find(folder);
  if (entry == nullptr) return Fail(Failure::PathNotFound, reason);
  if (!entry->listed.folder) return Fail(Failure::NotAFolder, reason);
  entries.reserve(entry->children.size());
  for (const auto& child : entry->children) entries.push_back(child.second->listed);
  SortAsListed(entries);
  return true;
}

bool MemoryDisk::LookUpEntry(const std::string& path, ListedEntry& entry, std::string& reason) {
  const MemoryEntry* found = Find(path);
  if (found == nullptr) return Fail(Failure::NotFound, reason);
  entry = found->listed;
  return true;
}

bool MemoryDisk::Exists(const std::string& path) { return Find(path) != nullptr; }

MoveResult MemoryDisk::Move(const std::string& from, const std::string& to, std::string& reason) {
  MemoryEntry* entry = Find(from);
  MemoryEntry* into = Find(ParentOf(to));
  if (entry == nullptr || into == nullptr || !into->listed.folder) {
    Fail(Failure::NotFound, reason);
    return MoveResult::Failed;
  }
  const auto planted = planted_.find(NameKey(from));
  if (planted != planted_.end()) {
    Fail(planted->second == MoveResult::Blocked ? Failure::InUse : Failure::AccessDenied, reason);
    return planted->second;
  }
  for (const MemoryEntry* above = into; above != nullptr; above = above->parent)
    if (above == entry) {
      Fail(Failure::InUse, reason);
      return MoveResult::Failed;
    }
  const MemoryEntry* taken = Named(*into, NameOf(to));
  if (taken != nullptr && taken != entry) return MoveResult::NameTaken;
  std::unique_ptr<MemoryEntry> moved = Detach(*entry);
  moved->listed.name = NameOf(to);
  Attach(*into, std::move(moved));
  return MoveResult::Moved;
}

MakeResult MemoryDisk::MakeFolder(const std::string& folder, std::string& reason) {
  MemoryEntry* parent = Find(ParentOf(folder));
  if (parent == nullptr) {
    Fail(Failure::PathNotFound, reason);
    return MakeResult::Failed;
  }
  if (Named(*parent, NameOf(folder)) != nullptr) return MakeResult::NameTaken;
  Make(folder, true);
  return MakeResult::Made;
}

bool MemoryDisk::RemoveFolder(const std::string& folder, std::string& reason) {
  MemoryEntry* entry = Find(folder);
  if (entry == nullptr || !entry->listed.folder) return Fail(Failure::PathNotFound, reason);
  if (!entry->children.empty()) return Fail(Failure::NotEmpty, reason);
  Detach(*entry);
  return true;
}

// The shell replaces a file by a file, once the user says yes; it keeps no copy.
ShellOutcome MemoryDisk::ShellMove(const std::vector<MovePair>& moves, std::string& reason) {
  for (const MovePair& move : moves) {
    MemoryEntry* entry = Find(move.from);
    MemoryEntry* existing = Find(move.to);
    if (!shellReplaces || entry == nullptr ||
        (existing != nullptr && (existing->listed.folder || entry->listed.folder)))
      continue;
    if (existing != nullptr) Detach(*existing);
    Move(move.from, move.to, reason);
  }
  return ShellOutcome::Done;
}

RecycleResult MemoryDisk::Recycle(const std::string& folder, std::string& reason) {
  MemoryEntry* entry = Find(folder);
  if (entry == nullptr) {
    Fail(Failure::NotFound, reason);
    return RecycleResult::Failed;
  }
  bin_.push_back({ParentOf(folder), ++clock_, Detach(*entry)});
  return RecycleResult::Recycled;
}

RestoreResult MemoryDisk::Restore(const std::string& folder, const std::vector<HeldEntry>&, std::string& reason) {
  for (auto item = bin_.rbegin(); item != bin_.rend(); ++item) {
    if (!SameName(item->place, ParentOf(folder)) || !SameName(item->entry->listed.name, NameOf(folder))) continue;
    MemoryEntry* parent = Find(item->place);
    if (parent == nullptr || Named(*parent, NameOf(folder)) != nullptr) {
      reason = "the Recycle Bin did not give it back";
      return RestoreResult::Failed;
    }
    Attach(*parent, std::move(item->entry));
    bin_.erase(std::next(item).base());
    return RestoreResult::Restored;
  }
  reason = "the Recycle Bin no longer holds it";
  return RestoreResult::NotInBin;
}

bool MemoryDisk::InRecycleBin(const std::string& path) {
  return std::any_of(bin_.begin(), bin_.end(), [&](const BinItem& item) {
    return SameName(item.place, ParentOf(path)) && SameName(item.entry->listed.name, NameOf(path));
  });
}

bool MemoryDisk::SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) {
  MemoryEntry* entry = Find(path);
  if (entry == nullptr) return Fail(Failure::NotFound, reason);
  entry->listed.attributes = attributes | (entry->listed.folder ? FolderMark : 0UL);
  return true;
}

bool MemoryDisk::SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite,
                          std::string& reason) {
  MemoryEntry* entry = Find(path);
  if (entry == nullptr) return Fail(Failure::NotFound, reason);
  entry->listed.creation = creation;
  entry->listed.lastWrite = lastWrite;
  return true;
}

Contents MemoryDisk::CompareContents(const std::string& a, const std::string& b) {
  const MemoryEntry* one = Find(a);
  const MemoryEntry* other = Find(b);
  if (one == nullptr || other == nullptr || one->listed.folder || other->listed.folder) return Contents::Unreadable;
  return one->bytes == other->bytes ? Contents::Same : Contents::Differ;
}

bool MemoryDisk::KeepsLocalTime(const std::string&) { return localTime; }
