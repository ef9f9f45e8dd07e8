// Flattening a folder: level by level, each subfolder above the level asked
// for is dissolved (its entries go up into the parent as entries of the next
// level, and it goes once empty), while the entries at that level move up as
// a lift moves them. Relies on the pass for every move and clash.

#include <utility>

#include "lift/pass.h"
#include "lift/paths.h"
#include "lift/shell_batch.h"

namespace {

const std::size_t NoHolder = static_cast<std::size_t>(-1);

// A folder being dissolved: where it lies below the folder flattened ("" for
// that folder itself), which of the walk's folders holds it, whether anything
// stays in it, and its desktop.ini and Thumbs.db, which go only with it.
struct Dissolved {
  std::string below;
  std::size_t holder;
  bool stays;
  std::vector<ListedEntry> folderFiles;
};

// What one flatten walks through: its folders, level after level, each
// level's clashes for the shell, and which folder each of them comes from.
struct Walk {
  const ResolvedFolder& folder;
  std::vector<Dissolved> folders;
  Pass shellBatch;
  std::vector<std::size_t> batchedFrom;
  bool failed;
};

std::string PathOf(const Walk& walk, std::size_t at) {
  return at == 0 ? walk.folder.path : JoinPath(walk.folder.path, walk.folders[at].below);
}

// A folder as its events name it: by its path below the folder flattened,
// and the folder itself by its name.
std::string EventName(const Walk& walk, std::size_t at) {
  return at == 0 ? walk.folder.ownName : walk.folders[at].below;
}

// Below the level asked for, a folder is dissolved; a folder of the flattened
// folder's own name is dissolved at any level, since it could not go up
// beside it. A link is never dissolved: it may lead anywhere, even back up.
bool IsDissolved(const Run& run, const Walk& walk, const ListedEntry& entry, int level) {
  return entry.folder && !entry.link && (level < run.levels || SameName(entry.name, walk.folder.ownName));
}

// Where the entries of the folder at `at` come from, as reasons name it.
std::string OriginText(const Run& run, const Walk& walk, std::size_t at) {
  const std::string& below = walk.folders[at].below;
  if (below.empty()) return run.origin.empty() ? walk.folder.ownName : run.origin;
  return run.origin.empty() ? below : JoinPath(run.origin, below);
}

// The pass of the entries of the walk's folder at `at` into the parent.
Pass FolderPass(Run& run, const Walk& walk, std::size_t at) {
  Pass pass = MakePass(run, PathOf(walk, at), ParentOf(walk.folder.path), "", walk.folder.ownName, EventName(walk, at),
                       OriginText(run, walk, at));
  pass.fromBelow = walk.folders[at].below;
  return pass;
}

// A dissolved folder's desktop.ini or Thumbs.db describes that folder, which
// goes: it waits with the replaced files, and goes to the Recycle Bin with them.
Outcome RecycleFolderFile(Run& run, const Pass& pass, const ListedEntry& entry) {
  std::string aside, reason;
  if (!SetAside(run.replaced, run.disk, JoinPath(pass.from, entry.name), AsideBelow(run, pass), entry.name, aside,
                reason))
    return Reported(run, pass, entry.name, reason);
  Tell(run, Happening::Recycle, ShownName(pass, entry.name));
  return Outcome::Moved;
}

// A dissolved folder's own desktop.ini or Thumbs.db, which Explorer writes
// hidden or system; the folder given lifts its own up.
bool IsFolderFile(std::size_t at, const ListedEntry& entry) {
  const bool marked = (entry.attributes & (HiddenMark | SystemMark)) != 0;
  return at != 0 && !entry.folder && marked &&
         (SameName(entry.name, "desktop.ini") || SameName(entry.name, "Thumbs.db"));
}

Outcome FlattenEntry(Run& run, Walk& walk, Pass& pass, std::size_t at, const ListedEntry& entry, int level) {
  if (IsDissolved(run, walk, entry, level)) {
    walk.folders.push_back({JoinPath(walk.folders[at].below, entry.name), at, false, {}});
    return Outcome::Moved;
  }
  // It would go up beside the folder of its name, which stays for it.
  if (SameName(entry.name, walk.folder.ownName))
    return Reported(run, pass, entry.name,
                    std::string(entry.link ? "it is a junction or symbolic link" : "it is a file") +
                        " named like the folder flattened, so both stay");
  // It waits in its folder until the folder is known to go.
  if (IsFolderFile(at, entry)) {
    walk.folders[at].folderFiles.push_back(entry);
    return Outcome::Moved;
  }
  return MoveUp(run, pass, entry);
}

// One folder of a level, as it was listed.
struct LevelFolder {
  std::size_t at;
  std::vector<ListedEntry> entries;
};

// Lists each of the walk's folders from `first` to `last`, the folders of one
// level; one that cannot be listed stays, reported. `count` is how many of
// their entries go up (the folders to dissolve do not).
std::vector<LevelFolder> ListLevel(Run& run, Walk& walk, std::size_t first, std::size_t last, int level,
                                   std::size_t& count) {
  std::vector<LevelFolder> listings;
  count = 0;
  for (std::size_t at = first; at < last; ++at) {
    LevelFolder listed = {at, {}};
    std::string reason;
    if (!run.disk.ListFolder(PathOf(walk, at), listed.entries, reason)) {
      Tell(run, {.happening = at == 0 ? Happening::Refuse : Happening::Problem,
                 .name = EventName(walk, at),
                 .detail = reason,
                 .failure = "cannot list " + Quoted(PathOf(walk, at))});
      walk.folders[at].stays = true;
      walk.failed = true;
      continue;
    }
    for (const ListedEntry& entry : listed.entries)
      if (!IsDissolved(run, walk, entry, level) && !IsFolderFile(at, entry)) ++count;
    listings.push_back(std::move(listed));
  }
  return listings;
}

// The entries of one listed folder go up, or are dissolved in turn.
void FlattenListed(Run& run, Walk& walk, const LevelFolder& listed, int level) {
  const std::size_t at = listed.at;
  Pass pass = FolderPass(run, walk, at);
  for (const ListedEntry& entry : listed.entries) {
    if (Stopped(run)) break;
    const Outcome outcome = FlattenEntry(run, walk, pass, at, entry, level);
    if (outcome == Outcome::Failed) walk.failed = true;
    if (outcome == Outcome::Failed || outcome == Outcome::Kept) walk.folders[at].stays = true;
  }
  walk.batchedFrom.insert(walk.batchedFrom.end(), pass.batch.size(), at);
  walk.shellBatch.batch.insert(walk.shellBatch.batch.end(), pass.batch.begin(), pass.batch.end());
}

// A level's clashes go to the shell in one batch; what it leaves in place
// keeps its folder.
void RunLevelBatch(Run& run, Walk& walk) {
  bool stays = false;
  if (!RunShellBatch(run, walk.shellBatch, stays)) walk.failed = true;
  const std::vector<MovePair>& batch = walk.shellBatch.batch;
  for (std::size_t at = 0; stays && at < batch.size() && at < walk.batchedFrom.size(); ++at)
    if (run.disk.Exists(batch[at].from)) walk.folders[walk.batchedFrom[at]].stays = true;
  walk.shellBatch.batch.clear();
  walk.batchedFrom.clear();
}

// One level: its folders are listed, then their entries go, counted as one
// run of the progress. False where the folder given cannot be listed.
bool FlattenLevel(Run& run, Walk& walk, std::size_t first, std::size_t last, int level) {
  std::size_t count;
  std::vector<LevelFolder> listings = ListLevel(run, walk, first, last, level, count);
  if (first == 0 && listings.empty()) return false;
  const std::string label =
      level == 1 ? walk.folder.ownName : walk.folder.ownName + " (level " + std::to_string(level) + ")";
  Tell(run, {.happening = Happening::Begin, .name = walk.folder.ownName, .detail = label, .count = count});
  for (LevelFolder& listed : listings) {
    if (Stopped(run)) break;
    FlattenListed(run, walk, listed, level);
    // A level of a large tree holds many listings: each goes once done.
    std::vector<ListedEntry>().swap(listed.entries);
  }
  Tell(run, Happening::End, walk.folder.ownName);
  RunLevelBatch(run, walk);
  return true;
}

// Deepest first, each emptied folder goes; one that holds what stayed stays,
// and so does every folder above it.
void RemoveEmptied(Run& run, Walk& walk) {
  for (std::size_t at = walk.folders.size(); at-- > 0;) {
    Dissolved& folder = walk.folders[at];
    std::string reason;
    if (!folder.stays && !folder.folderFiles.empty()) {
      const Pass pass = FolderPass(run, walk, at);
      for (const ListedEntry& file : folder.folderFiles)
        if (RecycleFolderFile(run, pass, file) == Outcome::Failed) folder.stays = walk.failed = true;
    }
    if (folder.stays) {
      Tell(run, Happening::Stay, EventName(walk, at));
    } else if (run.disk.RemoveFolder(PathOf(walk, at), reason)) {
      Tell(run, Happening::Remove, EventName(walk, at));
    } else {
      Tell(run, {.happening = Happening::Problem,
                 .name = EventName(walk, at),
                 .detail = reason,
                 .failure = "cannot remove " + Quoted(PathOf(walk, at))});
      walk.failed = true;
      folder.stays = true;
    }
    if (folder.stays && folder.holder != NoHolder) walk.folders[folder.holder].stays = true;
  }
}

}  // namespace

bool FlattenFolder(Run& run, const ResolvedFolder& folder) {
  Walk walk = {folder,
               {{"", NoHolder, false, {}}},
               MakePass(run, folder.path, ParentOf(folder.path), "", folder.ownName, folder.ownName, folder.ownName),
               {},
               false};
  // The folder given cannot be flattened at all where it cannot be listed.
  if (!FlattenLevel(run, walk, 0, 1, 1)) return false;
  for (std::size_t first = 1, level = 2; first < walk.folders.size() && !Stopped(run); ++level) {
    const std::size_t last = walk.folders.size();
    FlattenLevel(run, walk, first, last, static_cast<int>(level));
    first = last;
  }
  // A cancel leaves every folder in place, with what is still in it.
  if (!Stopped(run)) RemoveEmptied(run, walk);
  return !walk.failed;
}
