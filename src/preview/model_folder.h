#pragma once
// One folder of the preview's copy of the folders a lift touches, and what
// its entries are by name: read from the file system below when first
// needed, then changed only by the copy's own moves. Relies on the seam.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "lift/file_system.h"

// One entry of the copy. A folder's entries are read from `diskPath` when
// first needed; a folder moved in the copy keeps the place its entries have
// on the disk, where nothing moved.
struct ModelFolder {
  ListedEntry entry;
  std::string diskPath;
  bool loaded;
  std::string loadError;                               // why its entries could not be read
  std::vector<std::unique_ptr<ModelFolder>> children;  // in listing order; empty where one left
  // Every name, case twins of a case-sensitive folder included: by the name
  // itself, and by name key and short name key for Windows' case-blind look-up.
  std::unordered_map<std::string, std::size_t> byName;
  std::unordered_multimap<std::string, std::size_t> byKey;
  std::unordered_map<std::string, std::size_t> byShortName;
};

using Child = std::unique_ptr<ModelFolder>;

// No entry: what Find returns for a name the folder does not hold.
const std::size_t None = static_cast<std::size_t>(-1);

Child NewEntry(const ListedEntry& entry, const std::string& diskPath, bool loaded);

// The name keys of a path's components, which identify a folder case aside.
std::vector<std::string> KeysOf(const std::string& path);

void Attach(ModelFolder& folder, Child child);
Child Detach(ModelFolder& folder, std::size_t index);

// Reads the folder's entries from `disk` the first time; false where they cannot be.
bool Load(ModelFolder& folder, FileSystem& disk);

// Where `name` is in the folder, as the disk finds it: by that very name first,
// then by its long name case aside (the first listed of case twins), then by
// its short name; None where it is not.
std::size_t Find(ModelFolder& folder, FileSystem& disk, const std::string& name);
