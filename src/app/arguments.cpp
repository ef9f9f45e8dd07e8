#include "app/arguments.h"

namespace {
const std::size_t PathArgument = 1;
const char Quote = '"';
const char Blanks[] = " \t";
}  // namespace

std::vector<std::string> RepairQuotedPath(std::vector<std::string> arguments) {
  // Every path may be so quoted, and the words split off may hold another.
  for (std::size_t at = PathArgument; at < arguments.size(); ++at) {
    std::string& path = arguments[at];
    const std::string::size_type quote = path.find(Quote);
    if (quote == std::string::npos) continue;
    const std::string rest = path.substr(quote + 1);
    path.erase(quote);
    std::vector<std::string> words;
    for (std::string::size_type start = rest.find_first_not_of(Blanks); start != std::string::npos;) {
      const std::string::size_type end = rest.find_first_of(Blanks, start);
      words.push_back(rest.substr(start, end - start));
      start = end == std::string::npos ? end : rest.find_first_not_of(Blanks, end);
    }
    arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(at) + 1, words.begin(), words.end());
  }
  return arguments;
}

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only before a quote.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string QuotedArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t at = PathArgument; at < arguments.size(); ++at)
    line += (line.empty() ? "" : " ") + QuoteArgument(arguments[at]);
  return line;
}
