#pragma once
// The folder a user typed, resolved to its full path and its own name as its
// parent lists it, or refused before anything moves: a root, wildcards, a drive
// this process cannot see, a folder Windows keeps in place. Relies on the path
// text, the platform's drives and known folders, and the file-system seam.

#include <string>
#include <vector>

#include "lift/file_system.h"
#include "lift/lift.h"
#include "lift/listener.h"

// The full path of what was typed, in its plain form ("C:\data\X" for
// "\\?\C:\data\X", "\\.\C:\data\X" or "C:/data/X/"): the form the Recycle Bin keeps
// original locations in, and the record keeps lifted folders in.
std::string PlainFullPath(const std::string& typed);

// The folder's full path and its own name, whatever form was typed: ".",
// "photos\.", "..\photos", a short name, another case, the extended form.
// False, with the refusal told to `listener`, when it cannot be lifted.
bool ResolveFolder(const std::string& typed, std::string& folder, std::string& ownName, FileSystem& disk,
                   Listener& listener);

// Resolves every folder typed for one run. A folder refused, or one that is or
// lies inside a folder before it (whose lift moves what it names), is told to
// `listener` and left out; false then.
bool ResolveFolders(const std::vector<std::string>& typed, std::vector<ResolvedFolder>& folders, FileSystem& disk,
                    Listener& listener);

// Lifts the folder at `path`, as typed: relative or full, in any case, by its
// short name, or in the extended form ("\\?\C:\data\X"), on `disk`, telling
// `listener` what becomes of each entry. Returns true when everything happened
// as the mode and the answers directed; entries kept on purpose, and those
// left when the user cancelled, count as done.
bool LiftFolder(const std::string& path, RunChoice choice, FileSystem& disk, Listener& listener);
