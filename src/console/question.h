#pragma once
// The overwrite question asked for a clash in Ask mode, and the one question
// /p asks before a run: their texts, and one answer read per line of input. Works on any pair of streams; the program
// hands it the console's. Relies on the listener for the answers' names.

#include <iosfwd>
#include <string>

#include "lift/listener.h"

// Asks whether the entry `name` may overwrite what exists in the parent, one
// line of input per asking, until a line holds exactly "y", "yes", "n", "no",
// "a" or "all" (blanks and a CR around it aside). Returns NoInput, without
// asking again, once the input has ended or failed. A non-empty `origin`, the
// folder the entry comes from, is named after it.
Answer AskToOverwrite(const std::string& name, const std::string& origin, std::istream& answers,
                      std::ostream& questions);

// Asks "Go ahead? (Yes/No): " until a line holds exactly "y", "yes", "n" or
// "no"; true for yes. The end of input is no.
bool AskToGoAhead(std::istream& answers, std::ostream& questions);
