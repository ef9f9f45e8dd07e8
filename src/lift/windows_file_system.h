#pragma once
// The disk itself behind the file-system seam: each operation is the
// platform's. Its file is the one under lift/ that includes the platform, and
// turns the platform's types into the seam's.

#include <map>
#include <string>
#include <vector>

#include "lift/file_system.h"

namespace platform {
struct Failure;
}

class WindowsFileSystem : public FileSystem {
 public:
  // Each folder's volume is read once: the look-ups of single entries, one per
  // clash, and the listings of its subfolders then skip it.
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

  // Whether Windows denied access to anything this run asked of it, which
  // administrator rights may grant.
  bool AccessWasDenied() const { return accessDenied_; }

 private:
  // Passes a failure's reason on and notes, by its code, what it was.
  bool Failed(const platform::Failure& failure, std::string& reason);

  bool accessDenied_ = false;
  std::map<std::string, unsigned long> volumes_;  // each folder's volume serial number, by its path
};
