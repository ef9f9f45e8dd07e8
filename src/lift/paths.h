#pragma once
// Path text: separators, roots, parents, joined and numbered names, quoting, on
// plain Windows paths ("C:\data\X", "\\server\share\X") as the user sees them.
// Relies on the seam's comparison of names alone.

#include <string>
#include <vector>

bool IsSeparator(char c);

std::string WithoutTrailingSeparators(std::string path);

// True for a plain path with no parent to lift into: empty, a bare drive
// ("C:"), a drive root or a share root.
bool IsRootPath(const std::string& path);

// True for a path holding "*", "?", "<" or ">", which name no single entry.
bool HasWildcards(const std::string& path);

// The folder that holds the last component of a full path: "C:\data" for
// "C:\data\X", "C:\" for "C:\X", "\\server\share" for "\\server\share\X".
std::string ParentOf(const std::string& fullPath);

// The last component of a full path: "X" for "C:\data\X".
std::string NameOf(const std::string& fullPath);

// The components of a path, without its separators: "C:", "data", "X".
std::vector<std::string> ComponentsOf(const std::string& path);

// True for a name that ends in a dot or a blank ("a.", "b ", "..."), which
// Windows drops from a plain path: "." and ".." are no such names.
bool EndsInDotOrBlank(const std::string& name);

// A name or path as messages and listings show it: in double quotes.
std::string Quoted(const std::string& text);

// `name` inside `folder`, with exactly one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// The longest name NTFS holds, in UTF-16 units.
const std::size_t LongestName = 255;

// How many UTF-16 units a UTF-8 name takes.
std::size_t NameLength(const std::string& name);

// The start of `text` that fits in `units` UTF-16 units, whole characters only.
std::string ShortenedTo(const std::string& text, std::size_t units);

// The name under which "keep both" moves an entry up, for `number` from 2 on:
// "report (2).doc", and "name (2)" for a folder, a name without an extension,
// or one whose only dots lead it (".gitignore (2)"). A stem too long for the
// mark is shortened, so that the name stays within LongestName.
std::string NumberedName(const std::string& name, bool folder, int number);

// A taken name is tried again as "name (2)" up to "name (1000)" before giving up.
const int FirstCopyNumber = 2;
const int LastCopyNumber = 1000;

// The drive letter of a full path ("N:\photos"), in upper case, or 0 for a
// network path.
char DriveLetterOf(const std::string& fullPath);

// A path on a mapped drive, under the network path that the drive stands for:
// "N:\photos" through "\\server\share" is "\\server\share\photos".
std::string ThroughMapping(const std::string& fullPath, const std::string& remotePath);

// Where `path` lies below `folder`: "src\a.js" for "C:\P\src\a.js" below "C:\P",
// "" for the folder itself; `below` false where it lies elsewhere. Case aside.
std::string PathBelow(const std::string& path, const std::string& folder, bool& below);

// The folders from `root` down to `root` joined with `below` ("src\lib"): each
// one deeper, "root\src" then "root\src\lib".
std::vector<std::string> FoldersAlong(const std::string& root, const std::string& below);
