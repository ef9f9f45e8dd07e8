#pragma once
// /p: a run's preview, made on the model exactly as /l makes it, shown, and
// one question before anything moves; on the console, or in one box where
// there is none. Relies on the preview, the console's question and the
// platform's box.

#include <iosfwd>
#include <string>
#include <vector>

#include "lift/lift.h"
#include "preview/preview.h"

enum class LookOutcome {
  GoAhead,       // the user said yes: the run goes on, with `folders`
  Stop,          // the user said no, or closed the box: nothing changes
  NothingMoves,  // no entry would move: nothing was asked, nothing changes
  CannotAsk,     // no window can be shown, and no console is there to ask on
};

struct Look {
  LookOutcome outcome;
  std::vector<std::string> folders;  // the folders the preview could lift, by their full paths
  bool refused;                      // some folder was refused, and said so once
};

// Shows what a run of `typed` with `choice` will do and asks once: on `out`
// and `in`, or (`boxed`) in a box.
Look LookFirst(const std::vector<std::string>& typed, const RunChoice& choice, std::istream& in, std::ostream& out,
               std::ostream& errors, bool boxed);

// What the box says a run will do, in counts, from its preview and the
// preview's lines: the files that move up, the folders removed, the clashes
// and how they are settled, what stays and why, the copies dropped.
std::string WhatTheRunWillDo(const PreviewListener& preview, const std::string& lines, const RunChoice& choice);
