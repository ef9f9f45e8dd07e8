#pragma once
// The seam through which a lift, an undo and a preview reach the disk: the
// operations they use, as one interface. WindowsFileSystem
// (windows_file_system.h) is the disk itself; the preview's model, the
// recording seam and the tests' in-memory disk are the others. Paths are full ones.
// The seam's own types are here too; it includes no platform header.

#include <map>
#include <string>
#include <vector>

// What a file or folder is, whatever path reaches it: its volume's serial
// number and its index there (0 where the file system keeps none, as FAT).
struct FileIdentity {
  unsigned long volume;
  unsigned long long index;
};
bool operator==(const FileIdentity& a, const FileIdentity& b);

// One entry as its folder lists it, by its own long name. A link is a junction
// or symbolic link, whatever it points to; a link to a folder is a folder too.
struct ListedEntry {
  std::string name;
  bool folder;
  bool link;
  std::string shortName;         // its 8.3 name, where it has one besides the long name
  FileIdentity identity;         // the entry's own, a link's and not its target's
  unsigned long attributes;      // its marks, as Windows numbers them (below)
  unsigned long long size;       // a file's bytes
  unsigned long long lastWrite;  // when it was last written, in 100 ns ticks (UTC, or local time on FAT)
  unsigned long long creation;   // when it was made, likewise
};

// The marks of an entry the lift reads, by the numbers Windows gives them.
const unsigned long ReadOnlyMark = 0x1, HiddenMark = 0x2, SystemMark = 0x4, FolderMark = 0x10;
// The marks of a file whose bytes are elsewhere (offline, or to be recalled
// from the cloud): reading them would fetch them.
const unsigned long ContentElsewhereMarks = 0x1000 | 0x40000 | 0x400000;

// Blocked: another program holds the entry open, or access to it is denied,
// which may pass; Failed: any other failure. NameTaken: nothing was replaced.
enum class MoveResult { Moved, NameTaken, Blocked, Failed };
enum class MakeResult { Made, NameTaken, Failed };
enum class ShellOutcome { Done, Cancelled, Failed };
enum class RestoreResult { Restored, NotInBin, Failed };
enum class Contents { Same, Differ, Unreadable };

// The failures a disk other than Windows' own reports, each with the reason
// Windows gives for it, so that the user reads the same words from a preview.
enum class Failure { NotFound, PathNotFound, NotAFolder, NotEmpty, NameTooLong, InUse, AccessDenied };
std::string ReasonFor(Failure failure);

// Names as Windows compares them: two names are one when their keys are equal
// (they differ only in case); entries in the order NTFS lists them, case twins
// by their own names.
std::string NameKey(const std::string& name);
bool SameName(const std::string& a, const std::string& b);
void SortAsListed(std::vector<ListedEntry>& entries);

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
  virtual bool LookUpEntry(const std::string& path, ListedEntry& entry, std::string& reason) = 0;
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
