#pragma once
// The folder preview/: the model of the folders a preview lifts on, and the
// listener that lists what a lift would do. It includes lift/ alone:
// the model reads the disk only through the file system it is handed.
//
// The preview's report: one line for each entry, in the order a lift would
// act ("move", "replace", "keep", "rename", "merge", "ask", "shell", "fail",
// then "lift", "remove" or "stay" for the folders), and a closing line that
// counts them. An undo's lines are "move" (from where the entry is to where it
// goes back), "restore", "make", "remove" and "fail". Ask mode is answered
// no. Refusals are error lines, as in a run.

#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>

#include "lift/listener.h"

class PreviewListener : public Listener {
 public:
  // With `countsCopies` (/d), the closing line counts the copies too; with
  // `countsFolderFiles` (a flatten), the desktop.ini and Thumbs.db that go.
  PreviewListener(std::ostream& out, std::ostream& errors, bool countsCopies = false, bool countsFolderFiles = false);
  void Tell(const Event& event) override;
  Answer Ask(const std::string& name, const std::string& origin, const std::string& shown) override;
  bool StopRequested() override;
  // Ends the listing with how many entries of each kind it holds: of a lift,
  // or of an undo.
  void Summarize(bool undo = false);
  // How many folders were refused.
  std::size_t Refusals() const;
  // How many lines of a kind ("move", "remove"...) it listed.
  std::size_t Count(const std::string& kind) const;

 private:
  std::ostream& out_;
  std::ostream& errors_;
  std::string asked_;                          // the entry just asked about, whose "no" the ask line stands for
  std::map<std::string, std::size_t> counts_;  // lines of each kind
  std::size_t refusals_;
  bool countsCopies_;
  bool countsFolderFiles_;
};
