#pragma once
// The file-system seam of a run that keeps a record for undo: every change
// goes to the disk through it, and the line naming it is written first. A
// change that Windows refuses is taken back out of the record at once. Relies
// on the record's form and file, and on the listings for each entry's identity.

#include <map>
#include <string>
#include <vector>

#include "lift/file_system.h"
#include "lift/listener.h"
#include "undo/record.h"

class RecordingFileSystem : public FileSystem {
 public:
  // Takes over `record` (null where none could be started: then nothing is kept).
  RecordingFileSystem(FileSystem& disk, RecordFile* record, Listener& listener);
  ~RecordingFileSystem() override;
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
  // True while a step stands recorded: a change that was taken back leaves none.
  bool Recorded() const;

 private:
  // Writes the step's line before its change; `before` is where the record ended.
  void Write(const Step& step, unsigned long long& before);
  // Takes the last `steps` steps back out of the record, from `before` on.
  void TakeBack(unsigned long long before, std::size_t steps = 1);
  static Step FolderStep(StepKind kind, const std::string& folder);
  // From the listing that showed the entry, or else looked up now.
  FileIdentity IdentityOf(const std::string& path);

  FileSystem& disk_;
  RecordFile* record_;
  Listener& listener_;
  std::size_t steps_;                               // recorded and standing
  std::map<std::string, FileIdentity> identities_;  // of the entries listed and not yet moved, by path
  // Each folder's marks and times as first seen, before the run moved anything
  // out of it (which changes its time), by path: a removed folder comes back so.
  std::map<std::string, ListedEntry> folders_;
};
