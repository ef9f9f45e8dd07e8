#include "lift/record.h"

#include <algorithm>
#include <cstdlib>

#include "lift/paths.h"

namespace {

const char RecordMark[] = "dirlift undo record";
const char RecordVersion[] = "1";
const char UndoneMark[] = "undone";
const char Field = '\t';
const char LineEnd = '\n';
const char RecordExtension[] = ".txt";
const int MostRecordsAStamp = 1000;  // runs started in the same millisecond
const struct {
  StepKind kind;
  const char* word;
  bool paired;  // from -> to, with an identity
} StepWords[] = {
    {StepKind::Move, "move", true},     {StepKind::Make, "make", false},       {StepKind::Remove, "remove", false},
    {StepKind::Shell, "shell", true},   {StepKind::Recycle, "recycle", false}, {StepKind::Keep, "keep", false},
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = line.find(Field, start)) != std::string::npos; start = end + 1)
    fields.push_back(line.substr(start, end - start));
  fields.push_back(line.substr(start));
  return fields;
}

std::string RecordsFolder() {
  const std::string local = LocalAppDataFolder();
  return local.empty() ? "" : JoinPath(JoinPath(local, "dirlift"), "undo");
}

// The records, oldest first.
std::vector<std::string> RecordFiles(const std::string& folder) {
  std::vector<ListedEntry> entries;
  std::string reason;
  std::vector<std::string> files;
  if (!ListFolder(folder, entries, reason)) return files;
  for (const ListedEntry& entry : entries)
    if (!entry.folder) files.push_back(JoinPath(folder, entry.name));
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::string HeaderLine(const std::vector<std::string>& folders, const std::string& started) {
  std::string line = std::string(RecordMark) + Field + RecordVersion + Field + started;
  for (const std::string& folder : folders) line += Field + folder;
  return line + LineEnd;
}

std::string StepLine(const Step& step) {
  for (const auto& known : StepWords) {
    if (known.kind != step.kind) continue;
    std::string line = known.word + (Field + step.from);
    if (known.paired)
      line += Field + step.to + Field + std::to_string(step.identity.volume) + Field +
              std::to_string(step.identity.index);
    return line + LineEnd;
  }
  return "";
}

bool ReadRecord(const std::string& text, Record& record) {
  record.steps.clear();
  record.folders.clear();
  record.undone = false;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = text.find(LineEnd, start)) != std::string::npos; start = end + 1) {
    const std::vector<std::string> fields = Fields(text.substr(start, end - start));
    if (start == 0) {
      if (fields.size() < 4 || fields[0] != RecordMark || fields[1] != RecordVersion) return false;
      record.started = fields[2];
      record.folders.assign(fields.begin() + 3, fields.end());
      continue;
    }
    if (fields[0] == UndoneMark) record.undone = true;
    for (const auto& known : StepWords) {
      if (fields[0] != known.word || fields.size() != (known.paired ? 5u : 2u)) continue;
      Step step = {known.kind, fields[1], "", {0, 0}};
      if (known.paired)
        step = {known.kind, fields[1], fields[2],
                {static_cast<unsigned long>(std::strtoul(fields[3].c_str(), nullptr, 10)),
                 std::strtoull(fields[4].c_str(), nullptr, 10)}};
      record.steps.push_back(step);
    }
  }
  // A line cut short by a killed run is no step.
  return !record.folders.empty();
}

AppendFile* StartRecord(const std::vector<std::string>& folders, std::string& file, std::string& reason) {
  const std::string folder = RecordsFolder();
  if (folder.empty()) {
    reason = "there is no local application data folder";
    return nullptr;
  }
  MakeFolder(ParentOf(folder), reason);
  MakeFolder(folder, reason);
  std::vector<std::string> older = RecordFiles(folder);
  for (std::size_t at = 0; at + (KeptRecords - 1) < older.size(); ++at) DeleteTextFile(older[at], reason);
  const std::string stamp = MillisecondStamp();
  for (int number = 0; number < MostRecordsAStamp; ++number) {
    file = JoinPath(folder, stamp + "-" + std::string(3 - std::to_string(number).size(), '0') +
                                std::to_string(number) + RecordExtension);
    MakeResult made;
    AppendFile* record = CreateAppendFile(file, made, reason);
    if (made == MakeResult::NameTaken) continue;
    unsigned long long before;
    if (record != nullptr && !Append(record, HeaderLine(folders, LocalTimeStamp()), before)) {
      FailWithLastError(reason);
      CloseAppendFile(record);
      return nullptr;
    }
    return record;
  }
  reason = "every name for it is taken";
  return nullptr;
}

bool FindRecordToUndo(const std::string& folder, Record& record) {
  const std::vector<std::string> files = RecordFiles(RecordsFolder());
  for (auto file = files.rbegin(); file != files.rend(); ++file) {
    std::string text, reason;
    if (!ReadTextFile(*file, text, reason) || !ReadRecord(text, record) || record.undone) continue;
    record.file = *file;
    if (folder.empty()) return true;
    for (const std::string& lifted : record.folders)
      if (SameName(lifted, folder)) return true;
  }
  return false;
}

bool MarkUndone(const Record& record, std::string& reason) {
  return AppendToTextFile(record.file, std::string(UndoneMark) + Field + LocalTimeStamp() + LineEnd, reason);
}
