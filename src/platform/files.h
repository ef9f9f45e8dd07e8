#pragma once
// Files and folders: listing, moving, making and removing them, names as
// Windows compares them, and full and long paths. Relies on the text module
// for the extended form and for a failure's reason.

#include <string>
#include <vector>

#include "platform/text.h"

namespace platform {

// What a file or folder is, whatever path reaches it: the volume's serial
// number and the file's index on it. Two paths that reach one entry (through
// another spelling, a short name, a substituted drive, a junction) give one
// identity.
struct FileIdentity {
  unsigned long volume;
  unsigned long long index;  // 0 where the file system keeps none (FAT)
};
bool operator==(const FileIdentity& a, const FileIdentity& b);

// One entry as its folder lists it: its own long name, and what it is. A link
// is a junction or symbolic link, whatever it points to; a link to a folder
// counts as a folder too. Other reparse points (cloud placeholders, deduplicated
// files) are the files and folders they stand for.
struct ListedEntry {
  std::string name;
  bool folder;
  bool link;
  std::string shortName;         // its 8.3 name, where it has one besides the long name
  FileIdentity identity;         // the entry's own, a link's and not its target's
  unsigned long attributes;      // read-only, hidden, system and the rest, as the listing gives them
  unsigned long long size;       // a file's bytes
  unsigned long long lastWrite;  // when it was last written, in 100 ns ticks (UTC, or local time on FAT)
  unsigned long long creation;   // when it was made, likewise
};

// True for the reparse tag of a junction or symbolic link: a name surrogate,
// which leads to another name.
bool IsLinkTag(unsigned long reparseTag);

// Every entry of `folder` (a path without a trailing separator) but "." and
// "..", in the order the system lists them, each with its identity: one pass
// over the folder, no entry opened.
bool ListFolder(const std::string& folder, std::vector<ListedEntry>& entries, Failure& failure);

// The same, where the serial number of the folder's volume is known already.
bool ListFolderOnVolume(const std::string& folder, unsigned long volume, std::vector<ListedEntry>& entries,
                        Failure& failure);

// The entry that `path` reaches, under the name its folder lists it by, even
// when the path reached it by its 8.3 short name or in another case.
bool ListEntry(const std::string& path, ListedEntry& entry, Failure& failure);

// The same, where the serial number of the volume that holds the entry's
// folder is known already: asking for it costs as much as the rest of a
// look-up, on some systems several times as much.
bool ListEntryOnVolume(const std::string& path, unsigned long volume, ListedEntry& entry, Failure& failure);

// Puts entries in the order NTFS lists them, whatever file system listed them:
// by name as Windows compares names (upper-cased, UTF-16 unit by unit), case
// twins by their own names.
void SortAsNtfsLists(std::vector<ListedEntry>& entries);

// True when a file or folder exists at `path`, under any name that reaches it.
bool PathExists(const std::string& path);

// A name as Windows compares it: two names are one to Windows when their keys
// are equal (they differ only in case).
std::string NameKey(const std::string& name);
bool SameName(const std::string& a, const std::string& b);

// Blocked: another program holds the entry open, or access to it is denied,
// which may pass; Failed: any other failure.
enum class MoveResult { Moved, NameTaken, Blocked, Failed };

// Moves a file or a whole folder. NameTaken when something already bears the
// name `to` reaches (in any case, or as a short name): nothing is replaced.
MoveResult MoveEntry(const std::string& from, const std::string& to, Failure& failure);

enum class MakeResult { Made, NameTaken, Failed };

// Makes a folder. NameTaken when something already bears that name.
MakeResult MakeFolder(const std::string& folder, Failure& failure);

// A full path with every component under its long name, or `path` itself
// when it cannot be had.
std::string LongPath(const std::string& path);

// Gives an entry the marks `attributes` (read-only, hidden, system...), as a
// listing reported them.
bool SetAttributes(const std::string& path, unsigned long attributes, Failure& failure);

// Gives an entry back the times a listing reported for it: when it was made
// and last written, in 100 ns ticks.
bool SetTimes(const std::string& path, unsigned long long creation, unsigned long long lastWrite, Failure& failure);

// Removes a folder, which must be empty, even one marked read-only.
bool RemoveFolder(const std::string& folder, Failure& failure);

// Makes `folder` this process's current folder; a failure changes nothing.
void SetCurrentFolder(const std::string& folder);

// The absolute form of `path`, or `path` itself when it cannot be resolved.
std::string FullPath(const std::string& path);

// The folder this process is in.
std::string CurrentFolder();

// The identity of what `path` reaches, links followed. False where it cannot be read.
bool IdentityOf(const std::string& path, FileIdentity& identity);

// True when `path` reaches the entry of `identity`. Its file index is read
// first, and the volume's serial number (a dearer call) only where they match.
bool IsEntry(const std::string& path, const FileIdentity& identity);

}  // namespace platform
