#pragma once
// The seam through which a lift, an undo and a preview reach the disk: the
// operations they use, as one interface. WindowsFileSystem
// (windows_file_system.h) is the disk itself; the preview's model, the
// recording seam and the tests' in-memory disk are the others. Paths are full ones.

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

// An entry that went into a folder before the folder went to the Recycle Bin:
// where it is in the folder, and what it is.
struct HeldEntry {
  std::string path;
  FileIdentity identity;
};

// An entry handed to the shell's move, and where it goes.
struct MovePair {
  std::string from, to;
};

enum class RecycleResult {
  Recycled,     // the folder is in the Recycle Bin
  KeptInPlace,  // the bin would have deleted it for good, so it stays where it is
  Failed,
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, std::string& reason) = 0;
  virtual bool ListEntry(const std::string& path, ListedEntry& entry, std::string& reason) = 0;
  virtual bool Exists(const std::string& path) = 0;
  virtual MoveResult Move(const std::string& from, const std::string& to, std::string& reason) = 0;
  virtual MakeResult MakeFolder(const std::string& folder, std::string& reason) = 0;
  virtual bool RemoveFolder(const std::string& folder, std::string& reason) = 0;
  // Hands the clashing entries to the shell's move, with its own dialogs.
  virtual ShellOutcome ShellMove(const std::vector<MovePair>& moves, std::string& reason) = 0;
  // Sends a folder with all it holds to the Recycle Bin; where the bin would
  // delete it for good instead, leaves it in place and says why.
  virtual RecycleResult Recycle(const std::string& folder, std::string& reason) = 0;
  // Brings a folder back from the Recycle Bin. `holds` are the moves that put
  // entries into it: what the disk's bin gives back, a model makes from them
  // once it has seen the bin's item.
  virtual RestoreResult Restore(const std::string& folder, const std::vector<HeldEntry>& holds,
                                std::string& reason) = 0;
  // Whether the Recycle Bin holds an item that was at `path` (by its name and
  // original place), which a Restore of that path could bring back instead.
  virtual bool InRecycleBin(const std::string& path) = 0;
  // Gives an entry back the marks a listing reported for it.
  virtual bool SetAttributes(const std::string& path, unsigned long attributes, std::string& reason) = 0;
  // Gives an entry back the times a listing reported for it.
  virtual bool SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite,
                        std::string& reason) = 0;
  // Whether two files hold the same bytes; only reads, changes nothing.
  virtual Contents CompareContents(const std::string& a, const std::string& b) = 0;
  // Whether the volume of `folder` keeps times in local time, as FAT does.
  virtual bool KeepsLocalTime(const std::string& folder) = 0;
};
