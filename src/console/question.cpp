#include "console/question.h"

#include <istream>
#include <ostream>

namespace {

// The tail stays as it is whatever comes before it: scripts answer on it.
const char QuestionEnd[] = " does already exist. Overwrite? (Yes/No/All): ";
const char GoAheadQuestion[] = "Go ahead? (Yes/No): ";

// Dropped around an answer: the blanks a user may type, and the CR that ends a
// line from a script or a file written on Windows.
const char Padding[] = " \t\r";

std::string Trimmed(const std::string& line) {
  const std::string::size_type first = line.find_first_not_of(Padding);
  if (first == std::string::npos) return std::string();
  return line.substr(first, line.find_last_not_of(Padding) - first + 1);
}

// Only whole words answer: read letter by letter, "ja" or "cancel" would hold
// an "a" and turn the rest of the run into overwriting.
bool ToAnswer(const std::string& word, Answer& answer) {
  if (word == "y" || word == "yes") {
    answer = Answer::Yes;
  } else if (word == "n" || word == "no") {
    answer = Answer::No;
  } else if (word == "a" || word == "all") {
    answer = Answer::All;
  } else {
    return false;
  }
  return true;
}

}  // namespace

Answer AskToOverwrite(const std::string& name, const std::string& origin, std::istream& answers,
                      std::ostream& questions) {
  for (;;) {
    questions << '"' << name << '"';
    if (!origin.empty()) questions << " (from \"" << origin << "\")";
    questions << QuestionEnd << std::flush;
    std::string line;
    // Once input has ended it stays ended, so every later question is kept too:
    // nothing is overwritten without an answer, and nothing is asked without end.
    if (!std::getline(answers, line)) return Answer::NoInput;
    Answer answer;
    if (ToAnswer(Trimmed(line), answer)) return answer;
  }
}

bool AskToGoAhead(std::istream& answers, std::ostream& questions) {
  for (;;) {
    questions << GoAheadQuestion << std::flush;
    std::string line;
    if (!std::getline(answers, line)) return false;
    Answer answer;
    // "all" answers a clash, not this question.
    if (ToAnswer(Trimmed(line), answer) && answer != Answer::All) return answer == Answer::Yes;
  }
}
