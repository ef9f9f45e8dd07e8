#pragma once
// The preview's file system: a model of the folders a lift touches, over the
// file system it is handed. It reads a folder's listing from that once, when
// the lift first lists it or looks into it, short names included, and from
// then on applies the lift's moves,
// new folders and removals to its own copy. A name is taken in it exactly when
// Windows would say so: case aside, and by short name. Nothing on the disk
// changes; the shell's dialogs are taken as declining every replacement.

#include <memory>
#include <string>
#include <vector>

#include "lift/file_system.h"

struct ModelFolder;  // one folder of the copy, with what it holds

class ModelFileSystem : public FileSystem {
 public:
  // Reads from `disk`, and changes nothing there.
  explicit ModelFileSystem(FileSystem& disk);
  ~ModelFileSystem() override;
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
  // Makes `path` the root of a copy, taking in the copies already made of
  // folders below it, so that each folder has one copy.
  ModelFolder* NewTop(const std::string& path);
  ModelFolder* FolderAt(const std::string& path, std::string& reason);
  // The folder holding `path`'s entry, and where in it that entry is (or none).
  ModelFolder* Holder(const std::string& path, std::size_t& index, std::string& reason);

  FileSystem& disk_;
  // The folders the lift reached first, each the root of a copy, and their paths.
  std::vector<std::unique_ptr<ModelFolder>> tops_;
  std::vector<std::vector<std::string>> topKeys_;
};
