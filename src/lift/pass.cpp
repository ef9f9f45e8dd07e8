#include "lift/pass.h"

#include "lift/paths.h"
#include "lift/shell_batch.h"

void Tell(Run& run, Happening happening, const std::string& name) { run.listener.Tell({happening, name}); }

void Tell(Run& run, const Event& event) { run.listener.Tell(event); }

std::string ShownName(const Pass& pass, const std::string& name) {
  return JoinPath(pass.fromBelow.empty() ? pass.below : pass.fromBelow, name);
}

std::string LandingName(const Pass& pass, const std::string& name) { return JoinPath(pass.below, name); }

Outcome Reported(Run& run, const Pass& pass, const std::string& name, const std::string& reason) {
  Tell(run, {.happening = Happening::Fail,
             .name = ShownName(pass, name),
             .detail = reason,
             .failure = "cannot move " + Quoted(JoinPath(pass.from, name)) + " up"});
  return Outcome::Failed;
}

// Where a file set aside from `pass` waits among the replaced files. A flatten
// keeps them under their own path below the parent, apart from the files they
// meet: two levels may set aside files of one name.
std::string AsideBelow(const Run& run, const Pass& pass) {
  if (run.levels == PlainLift) return pass.below;
  return pass.fromBelow.empty() ? run.replaced.liftedName : JoinPath(run.replaced.liftedName, pass.fromBelow);
}

Pass MakePass(Run& run, const std::string& from, const std::string& into, const std::string& below,
              const std::string& shownAs, const std::string& name, const std::string& originText) {
  run.origins.push_back(originText);
  return {from, into, below, shownAs, name, "", false, NameKey(into), run.origins.size() - 1, "", {}};
}

void Fill(Run& run, const Pass& pass, const std::string& name, bool whole) {
  // A folder merged into keeps the mark of having come up whole.
  run.filled[pass.intoKey].insert({NameKey(name), {pass.origin, whole}});
}

const Filled* FilledBy(const Run& run, const Pass& pass, const std::string& name) {
  const auto folder = run.filled.find(pass.intoKey);
  if (folder == run.filled.end()) return nullptr;
  const auto entry = folder->second.find(NameKey(name));
  return entry == folder->second.end() ? nullptr : &entry->second;
}

void ListHeldNames(Run& run, const Pass& pass) {
  if (run.held.count(pass.intoKey) != 0) return;
  std::set<std::string>& names = run.held[pass.intoKey];
  std::vector<ListedEntry> entries;
  std::string ignored;
  // A folder that cannot be listed is never predicted: each move still finds out.
  if (!run.disk.ListFolder(pass.into, entries, ignored)) return;
  for (const ListedEntry& entry : entries) {
    names.insert(NameKey(entry.name));
    if (!entry.shortName.empty()) names.insert(NameKey(entry.shortName));
  }
}

bool LikelyTaken(const Run& run, const Pass& pass, const std::string& name) {
  if (FilledBy(run, pass, name) != nullptr) return true;
  const auto folder = run.held.find(pass.intoKey);
  return folder != run.held.end() && folder->second.count(NameKey(name)) != 0;
}

bool Stopped(Run& run) { return run.cancelled || run.listener.StopRequested(); }

namespace {

// Whether any entry of the batch is still where it was. One the user declined
// did not come up in this run: its name in the parent is no longer this run's.
bool AnyDeclined(Run& run, const Pass& pass) {
  bool declined = false;
  for (const MovePair& move : pass.batch) {
    if (!run.disk.Exists(move.from)) continue;
    declined = true;
    const auto folder = run.filled.find(pass.intoKey);
    if (folder != run.filled.end()) folder->second.erase(NameKey(NameOf(move.from)));
  }
  return declined;
}

}  // namespace

bool RunShellBatch(Run& run, const Pass& pass, bool& stays) {
  if (pass.batch.empty()) return true;
  Tell(run, Happening::HandOver, pass.name);
  std::string reason;
  bool done = true;
  switch (run.disk.ShellMove(pass.batch, reason)) {
    case ShellOutcome::Done:
      break;
    case ShellOutcome::Cancelled:
      run.cancelled = true;
      break;
    case ShellOutcome::Failed:
      Tell(run, {.happening = Happening::Problem,
                 .name = pass.name,
                 .detail = reason,
                 .failure = "the shell could not move the clashing entries of " + Quoted(pass.from)});
      done = false;
      break;
  }
  // What the user declined or cancelled in the shell's dialogs stays, by their choice.
  if (AnyDeclined(run, pass)) stays = true;
  return done;
}
