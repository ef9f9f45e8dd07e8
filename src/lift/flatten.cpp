// Flattening a folder: level by level, each subfolder above the level asked
// for is dissolved (its entries go up into the parent as entries of the next
// level, and it goes once empty), while the entries at that level move up as
// a lift moves them. Relies on the pass for every move and clash.

#include "lift/pass.h"

#include "lift/paths.h"
#include "lift/shell_batch.h"
#include "platform/platform.h"

namespace {

const std::size_t NoHolder = static_cast<std::size_t>(-1);

// A folder being dissolved: where it lies below the folder flattened ("" for
// that folder itself), which of the walk's folders holds it, and whether
// anything stays in it.
struct Dissolved {
  std::string below;
  std::size_t holder;
  bool stays;
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

std::string PathOf(const Walk& walk, std::size_t at) { return JoinPath(walk.folder.path, walk.folders[at].below); }

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
  if (!run.origin.empty()) return JoinPath(run.origin, below);
  return below.empty() ? walk.folder.ownName : below;
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

Outcome FlattenEntry(Run& run, Walk& walk, Pass& pass, std::size_t at, const ListedEntry& entry, int level) {
  if (IsDissolved(run, walk, entry, level)) {
    walk.folders.push_back({JoinPath(walk.folders[at].below, entry.name), at, false});
    return Outcome::Moved;
  }
  // It would go up beside the folder of its name, which stays for it.
  if (SameName(entry.name, walk.folder.ownName))
    return Reported(run, pass, entry.name,
                    std::string(entry.link ? "it is a junction or symbolic link" : "it is a file") +
                        " named like the folder flattened, so both stay");
  if (at != 0 && !entry.folder && DescribesItsFolder(entry.name, entry.attributes))
    return RecycleFolderFile(run, pass, entry);
  return MoveUp(run, pass, entry);
}

// The entries of the walk's folder at `at` go up, or are dissolved in turn.
// False where it cannot be listed.
bool FlattenFolderAt(Run& run, Walk& walk, std::size_t at, int level) {
  const std::string path = PathOf(walk, at);
  std::vector<ListedEntry> entries;
  std::string reason;
  if (!run.disk.ListFolder(path, entries, reason)) {
    Tell(run, at == 0 ? Happening::Refuse : Happening::Problem, EventName(walk, at), reason,
         "cannot list " + Quoted(path));
    walk.folders[at].stays = true;
    walk.failed = true;
    return false;
  }
  Pass pass = MakePass(run, path, ParentOf(walk.folder.path), "", JoinPath(walk.folder.ownName, walk.folders[at].below),
                       EventName(walk, at), OriginText(run, walk, at));
  pass.fromBelow = walk.folders[at].below;
  Tell(run, Happening::Begin, pass.name, pass.shownAs, "", entries.size());
  for (const ListedEntry& entry : entries) {
    if (Stopped(run)) break;
    const Outcome outcome = FlattenEntry(run, walk, pass, at, entry, level);
    if (outcome == Outcome::Failed) walk.failed = true;
    if (outcome == Outcome::Failed || outcome == Outcome::Kept) walk.folders[at].stays = true;
  }
  walk.batchedFrom.insert(walk.batchedFrom.end(), ShellBatchPaths(pass.batchSources).size(), at);
  walk.shellBatch.batchSources += pass.batchSources;
  walk.shellBatch.batchDestinations += pass.batchDestinations;
  Tell(run, Happening::End, pass.name);
  return true;
}

// A level's clashes go to the shell in one batch; what it leaves in place
// keeps its folder.
void RunLevelBatch(Run& run, Walk& walk) {
  bool stays = false;
  if (!RunShellBatch(run, walk.shellBatch, stays)) walk.failed = true;
  if (stays) {
    const std::vector<std::string> sources = ShellBatchPaths(walk.shellBatch.batchSources);
    for (std::size_t at = 0; at < sources.size() && at < walk.batchedFrom.size(); ++at)
      if (run.disk.Exists(sources[at])) walk.folders[walk.batchedFrom[at]].stays = true;
  }
  walk.shellBatch.batchSources.clear();
  walk.shellBatch.batchDestinations.clear();
  walk.batchedFrom.clear();
}

// Deepest first, each emptied folder goes; one that holds what stayed stays,
// and so does every folder above it.
void RemoveEmptied(Run& run, Walk& walk) {
  for (std::size_t at = walk.folders.size(); at-- > 0;) {
    Dissolved& folder = walk.folders[at];
    std::string reason;
    if (folder.stays) {
      Tell(run, Happening::Stay, EventName(walk, at));
    } else if (run.disk.RemoveFolder(PathOf(walk, at), reason)) {
      Tell(run, Happening::Remove, EventName(walk, at));
    } else {
      Tell(run, Happening::Problem, EventName(walk, at), reason, "cannot remove " + Quoted(PathOf(walk, at)));
      walk.failed = true;
      folder.stays = true;
    }
    if (folder.stays && folder.holder != NoHolder) walk.folders[folder.holder].stays = true;
  }
}

}  // namespace

bool FlattenFolder(Run& run, const ResolvedFolder& folder) {
  Walk walk = {folder, {{"", NoHolder, false}}, MakePass(run, folder.path, ParentOf(folder.path), "", folder.ownName,
                                                          folder.ownName, folder.ownName),
               {}, false};
  // The folder given cannot be flattened at all where it cannot be listed.
  if (!FlattenFolderAt(run, walk, 0, 1)) return false;
  RunLevelBatch(run, walk);
  std::size_t levelStart = 1;
  for (int level = 2; levelStart < walk.folders.size() && !Stopped(run); ++level) {
    const std::size_t levelEnd = walk.folders.size();
    for (std::size_t at = levelStart; at < levelEnd && !Stopped(run); ++at) FlattenFolderAt(run, walk, at, level);
    RunLevelBatch(run, walk);
    levelStart = levelEnd;
  }
  // A cancel leaves every folder in place, with what is still in it.
  if (!Stopped(run)) RemoveEmptied(run, walk);
  return !walk.failed;
}
