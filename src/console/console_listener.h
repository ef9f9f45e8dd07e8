#pragma once
// The folder console/: what a person sees of a run: the listener that shows
// failures and asks the overwrite question, and the progress of a long lift.
// It includes lift/ and platform/.
//
// A lift as a console run shows it: each failure as an error line, each new
// name as a line on standard output, each clash of ask mode as the overwrite
// question, and the progress counted from the entries as they go. Relies on
// the progress view and the question.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "console/progress.h"
#include "lift/listener.h"

class ConsoleListener : public Listener {
 public:
  ConsoleListener(std::istream& answers, std::ostream& out, std::ostream& errors, Progress& progress);
  void Tell(const Event& event) override;
  Answer Ask(const std::string& name, const std::string& origin, const std::string& shown) override;
  bool StopRequested() override;
  // Whether it wrote anything to standard output but questions: new names.
  bool Wrote() const;

 private:
  // How far the folder now being lifted or merged is: merges nest.
  struct FolderCount {
    std::string label;
    std::size_t done, total;
  };

  std::istream& answers_;
  std::ostream& out_;
  std::ostream& errors_;
  Progress& progress_;
  std::vector<FolderCount> counts_;
  bool wrote_ = false;
};
