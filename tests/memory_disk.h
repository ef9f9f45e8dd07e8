#pragma once
// An in-memory disk that behaves as Windows promises, behind the lift's
// file-system seam: names kept as typed and compared case aside (a folder may
// be case-sensitive, as WSL makes them), 8.3 short names made and resolved as
// Windows does, a file index for each entry, marks, times and bytes, listings
// in the order NTFS gives, a Recycle Bin whose items keep their name, original
// place and time of deletion, and failures a test plants on any path.

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "lift/file_system.h"

struct MemoryEntry {
  ListedEntry listed;  // name, short name, kind, index, marks, size and times
  std::string bytes;   // a file's
  bool caseSensitive;  // a folder that tells names apart by case
  MemoryEntry* parent;
  std::map<unsigned long long, std::unique_ptr<MemoryEntry>> children;  // by file index
  // The children by their names and short names as Windows compares them: a
  // look-up costs the same in a folder of a million.
  std::unordered_multimap<std::string, MemoryEntry*> byKey;
};

class MemoryDisk : public FileSystem {
 public:
  MemoryDisk();
  // Makes a file (or, with `folder`, a folder) at the full path `path` ("M:\P\a").
  void Make(const std::string& path, bool folder, const std::string& bytes = "", unsigned long long lastWrite = 0,
            unsigned long attributes = 0);
  void MakeCaseSensitive(const std::string& folder);
  // Every move from `path` fails so from now on (a file held open: Blocked).
  void Plant(const std::string& path, MoveResult failure);
  // Every entry below `folder`, one line each, sorted: its path below, kind,
  // index, bytes, marks, and times (a folder's where `folderTimes`).
  std::vector<std::string> Picture(const std::string& folder, bool folderTimes) const;
  // The Recycle Bin's items, each with what it holds.
  std::vector<std::string> BinPicture() const;
  // Every file's index and bytes, in the tree below `folder` and in the bin.
  std::map<unsigned long long, std::string> Files(const std::string& folder) const;
  // The short name Windows would give `name` in `folder` now, or "".
  std::string ShortNameFor(const std::string& folder, const std::string& name);

  bool shellReplaces = true;  // the user answers yes in the shell's every dialog
  bool localTime = false;     // the volume keeps local time, as FAT does

  bool ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) override;
  bool LookUpEntry(const std::string& path, ListedEntry& entry, std::string& reason) override;
  bool Exists(const std::string& path) override;
  MoveResult Move(const std::string& from, const std::string& to, std::string& reason) override;
  MakeResult MakeFolder(const std::string& folder, std::string& reason) override;
  bool RemoveFolder(const std::string& folder, std::string& reason) override;
  ShellOutcome ShellMove(const std::vector<MovePair>& moves, std::string& reason) override;
  RecycleResult Recycle(const std::string& folder, std::string& reason) override;
  RestoreResult Restore(const std::string& folder, const std::vector<HeldEntry>& holds, std::string& reason) override;
  bool InRecycleBin(const std::string& path) override;
  bool SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) override;
  bool SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite,
                std::string& reason) override;
  Contents CompareContents(const std::string& a, const std::string& b) override;
  bool KeepsLocalTime(const std::string& folder) override;

 private:
  struct BinItem {
    std::string place;  // the folder it was deleted from
    unsigned long long deleted;
    std::unique_ptr<MemoryEntry> entry;
  };
  MemoryEntry* Find(const std::string& path);
  MemoryEntry* Named(MemoryEntry& folder, const std::string& name);
  std::string ShortNameIn(MemoryEntry& folder, const std::string& name);
  void Unindex(MemoryEntry& folder, const std::string& name, const MemoryEntry* entry);
  std::unique_ptr<MemoryEntry> Detach(MemoryEntry& entry);
  void Attach(MemoryEntry& folder, std::unique_ptr<MemoryEntry> entry);
  void Touch(MemoryEntry& folder);

  MemoryEntry root_;
  std::vector<BinItem> bin_;
  std::map<std::string, MoveResult> planted_;  // by path as Windows compares it
  unsigned long long nextIndex_;
  unsigned long long clock_;  // 100 ns ticks: each change is a tick later
};
