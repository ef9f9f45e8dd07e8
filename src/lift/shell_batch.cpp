#include "lift/shell_batch.h"

namespace {
const char PathEnd = '\0';
}

void AddToShellBatch(std::string& sources, std::string& destinations, const std::string& source,
                     const std::string& destination) {
  sources += source;
  sources += PathEnd;
  destinations += destination;
  destinations += PathEnd;
}

std::vector<std::string> ShellBatchPaths(const std::string& list) {
  std::vector<std::string> paths;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = list.find(PathEnd, start)) != std::string::npos;
       start = end + 1)
    paths.push_back(list.substr(start, end - start));
  return paths;
}
