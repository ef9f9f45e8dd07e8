#pragma once
// The folder of a run's own in the parent where every file it replaces waits,
// under its path below the parent, until the run ends and the folder goes to
// the Recycle Bin in one piece. Relies on the file-system seam for every change
// and tells the listener what could not be done.

#include <cstddef>
#include <string>
#include <vector>

#include "lift/file_system.h"
#include "lift/listener.h"

struct ReplacedFiles {
  std::string parent;             // where the folder is made
  std::string liftedName;         // the lifted folder's own name, which the folder's name starts with
  std::string stamp;              // when the run started, which the folder's name holds
  std::string folder;             // made when first needed
  std::vector<std::string> made;  // it and the folders made in it, in order
  std::size_t count;              // files set aside in it
  bool stranded;                  // a file set aside could not be put back: the folder stays
};

// The folder's name: the lifted folder's, its time, and from `number` 2 on a
// number, "X (replaced 2026-12-08 10.15.02) (2)". The lifted folder's part is
// shortened so that the name is one NTFS holds and, where the parent leaves
// room, the folder's full path one the shell takes to the Recycle Bin.
std::string ReplacedFolderName(const std::string& parent, const std::string& liftedName, const std::string& stamp,
                               int number);

ReplacedFiles NoReplacedFiles(const std::string& parent, const std::string& liftedName, const std::string& stamp);

// Moves the file at `path`, named `name` in the folder `below` the parent,
// aside into the folder; `aside` is where it went. False, with `reason`, when
// it could not.
bool SetAside(ReplacedFiles& replaced, FileSystem& disk, const std::string& path, const std::string& below,
              const std::string& name, std::string& aside, std::string& reason);

// Moves a file set aside back to `path`: its replacement did not come. Where
// it cannot, the folder stays in the parent at the end, in view.
bool PutBack(ReplacedFiles& replaced, FileSystem& disk, const std::string& aside, const std::string& path);

// At the end of a run: the folder goes to the Recycle Bin, or, where nothing
// was set aside, the folders made for it are removed. Where the bin would
// delete it for good, it stays in the parent, which the listener is told. False,
// told as the lifted folder's problem, when it stays for a failure.
bool RecycleReplaced(ReplacedFiles& replaced, FileSystem& disk, Listener& listener);
