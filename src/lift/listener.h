#pragma once
// What a lift tells of each entry as it goes (moved, replaced, kept, renamed,
// merged, handed to the shell, failed, and what becomes of each folder), and
// the one thing it asks. A console run shows the failures and new names and
// counts its progress from it; the preview prints every event as a line.

#include <cstddef>
#include <string>

// An answer to the overwrite question; NoInput once the input has ended.
enum class Answer { Yes, No, All, NoInput };

enum class Happening {
  Begin,     // a folder's entries are about to go: `count` of them, `detail` the progress label
  End,       // that folder's entries are done
  Move,      // goes up under its name
  Replace,   // replaces the file of its name, whose old copy goes to the Recycle Bin
  Keep,      // stays: the file of its name is kept
  Same,      // a copy of the file of its name, byte for byte: it goes to the Recycle Bin
  Recycle,   // a dissolved folder's desktop.ini or Thumbs.db: it goes to the Recycle Bin
  Rename,    // goes up as `detail`
  Merge,     // a folder merged into the folder of its name; its entries follow
  Shell,     // handed to the shell's move
  Fail,      // stays, reported: `failure` and `detail` say what and why
  Lift,      // the entry of the folder's own name is lifted into it
  Remove,    // a lifted, merged or dissolved folder, emptied, is removed
  Stay,      // a lifted, merged or dissolved folder stays, holding what stayed
  Problem,   // a folder could not be listed or removed, or the shell or the Recycle Bin failed
  Notice,    // no failure, but the user must know: the replaced files stay in the parent
  Refuse,    // nothing was done: the folder given cannot be lifted or listed
  HandOver,  // the shell's own dialogs take over now
  // What an undo does:
  MoveBack,  // an entry goes back from `name` to `detail`
  Restore,   // the replaced files' folder comes back from the Recycle Bin
  Make,      // a folder the lift removed is made again
};

// Built by name: {.happening = Happening::Fail, .name = ..., .detail = ..., .failure = ...}.
struct Event {
  Happening happening;
  std::string name = "";     // the entry or folder by its path below the parent, as questions name it
  std::string detail = "";   // the new name, the reason or the progress label
  std::string failure = "";  // what an error line says could not be done: cannot move "C:\...\a" up
  std::size_t count = 0;
};

class Listener {
 public:
  virtual ~Listener() = default;
  virtual void Tell(const Event& event) = 0;
  // May the entry `name` (its path below the parent) replace the file of its
  // name there? `origin` is where it comes from, where the name alone does not
  // tell: in a run of several folders its folder, in a flatten the entry
  // itself. `shown` is the entry as its events name it.
  virtual Answer Ask(const std::string& name, const std::string& origin, const std::string& shown) = 0;
  // True once the user asked the lift to stop.
  virtual bool StopRequested() = 0;
};
