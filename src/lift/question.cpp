#include "lift/question.h"

#include <istream>
#include <limits>
#include <ostream>

namespace {

const char QuestionEnd[] = "\" does already exist. Overwrite? (Yes/No/All): ";

// Input from a script or a file may end its lines in CR LF; the CR is no attempt.
const char CarriageReturn = '\r';

bool ReadAnswerCharacter(std::istream& answers, char& answer) {
  do {
    if (!answers.get(answer)) return false;
  } while (answer == CarriageReturn);
  return true;
}

bool ToAnswer(char typed, Answer& answer) {
  switch (typed) {
    case 'y': answer = Answer::Yes; return true;
    case 'n': answer = Answer::No; return true;
    case 'a': answer = Answer::All; return true;
    default: return false;
  }
}

}  // namespace

Answer AskToOverwrite(const std::string& name, std::istream& answers, std::ostream& questions) {
  for (;;) {
    questions << '"' << name << QuestionEnd << std::flush;
    char typed;
    // Once input has ended it stays ended, so every later question is kept too:
    // nothing is overwritten without an answer, and nothing is asked without end.
    if (!ReadAnswerCharacter(answers, typed)) return Answer::NoInput;
    Answer answer;
    if (!ToAnswer(typed, answer)) continue;
    // One line answers one question: the rest of it ("es" of "yes", the line end)
    // is dropped. Not sync(): msvcrt's discards all buffered piped input, later
    // answers included.
    answers.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return answer;
  }
}
