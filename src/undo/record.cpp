#include "undo/record.h"

#include <algorithm>
#include <cstdlib>

#include "lift/paths.h"
#include "platform/platform.h"

namespace {

const char RecordMark[] = "dirlift undo record";
// Version 1 named its files and kept its start in local time; version 2 in UTC,
// with the local time beside it for display; version 3 keeps a removed
// folder's times, a line that version 2 would not read.
const char FirstVersion[] = "1";
const char SecondVersion[] = "2";
const char RecordVersion[] = "3";
const char UndoneMark[] = "undone";
const char Field = '\t';
const char LineEnd = '\n';
const char RecordExtension[] = ".txt";
const int MostRecordsAStamp = 1000;  // runs started in the same millisecond
const std::size_t PairedFields = 5, FolderFields = 2, RemovedFolderFields = 3, TimedFolderFields = 5;
const struct {
  StepKind kind;
  const char* word;
  bool paired;  // from -> to, with an identity
} StepWords[] = {
    {StepKind::Move, "move", true},   {StepKind::Make, "make", false},       {StepKind::Remove, "remove", false},
    {StepKind::Shell, "shell", true}, {StepKind::Recycle, "recycle", false}, {StepKind::Keep, "keep", false},
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = line.find(Field, start)) != std::string::npos; start = end + 1)
    fields.push_back(line.substr(start, end - start));
  fields.push_back(line.substr(start));
  return fields;
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

unsigned long long Number(const std::string& text) { return std::strtoull(text.c_str(), nullptr, 10); }

std::string RecordsFolder() {
  const std::string local = platform::LocalAppDataFolder();
  return local.empty() ? "" : JoinPath(JoinPath(local, "dirlift"), "undo");
}

// The records, oldest first: their names start with the start in UTC, then a
// counter for runs started in the same millisecond.
std::vector<std::string> RecordFiles(const std::string& folder) {
  std::vector<platform::ListedEntry> entries;
  platform::Failure failure;
  std::vector<std::string> files;
  if (!platform::ListFolder(folder, entries, failure)) return files;
  for (const platform::ListedEntry& entry : entries)
    if (!entry.folder) files.push_back(JoinPath(folder, entry.name));
  std::sort(files.begin(), files.end());
  return files;
}

bool ReadStep(const std::vector<std::string>& fields, Step& step) {
  for (const auto& known : StepWords) {
    if (fields[0] != known.word) continue;
    if (known.paired && fields.size() == PairedFields) {
      step = {known.kind, fields[1], fields[2], {static_cast<unsigned long>(Number(fields[3])), Number(fields[4])},
              0,          false};
      return true;
    }
    const bool removed =
        known.kind == StepKind::Remove && (fields.size() == RemovedFolderFields || fields.size() == TimedFolderFields);
    if (!known.paired && (fields.size() == FolderFields || removed)) {
      step = {known.kind, fields[1], "", {0, 0}, removed ? static_cast<unsigned long>(Number(fields[2])) : 0, false};
      if (fields.size() == TimedFolderFields) {
        step.creation = Number(fields[3]);
        step.lastWrite = Number(fields[4]);
      }
      return true;
    }
  }
  return false;
}

}  // namespace

std::string HeaderLine(const std::vector<std::string>& folders, const std::string& utc, const std::string& started) {
  std::string line = std::string(RecordMark) + Field + RecordVersion + Field + utc + Field + started;
  for (const std::string& folder : folders) line += Field + folder;
  return line + LineEnd;
}

std::string StepLine(const Step& step) {
  for (const auto& known : StepWords) {
    if (known.kind != step.kind) continue;
    std::string line = known.word + (Field + step.from);
    if (known.paired)
      line +=
          Field + step.to + Field + std::to_string(step.identity.volume) + Field + std::to_string(step.identity.index);
    if (step.kind == StepKind::Remove)
      line += Field + std::to_string(step.attributes) + Field + std::to_string(step.creation) + Field +
              std::to_string(step.lastWrite);
    return line + LineEnd;
  }
  return "";
}

std::string UndoneLine(std::size_t index) { return UndoneMark + (Field + std::to_string(index)) + LineEnd; }

bool HasStepLeft(const Record& record) {
  return std::any_of(record.steps.begin(), record.steps.end(), [](const Step& step) { return !step.undone; });
}

bool ReadRecord(const std::string& text, Record& record) {
  record.steps.clear();
  record.folders.clear();
  std::vector<std::size_t> undone;
  bool allUndone = false;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = text.find(LineEnd, start)) != std::string::npos; start = end + 1) {
    const std::vector<std::string> fields = Fields(text.substr(start, end - start));
    if (start == 0) {
      const bool first = fields.size() >= 4 && fields[1] == FirstVersion;
      const std::size_t folders = first ? 3 : 4;
      if (fields.size() <= folders || fields[0] != RecordMark) return false;
      if (!first && fields[1] != SecondVersion && fields[1] != RecordVersion) return false;
      record.started = fields[folders - 1];
      record.folders.assign(fields.begin() + static_cast<std::ptrdiff_t>(folders), fields.end());
      continue;
    }
    Step step;
    if (fields[0] == UndoneMark && fields.size() == FolderFields) {
      // Version 1 marked the whole run undone, with the time.
      if (IsNumber(fields[1]))
        undone.push_back(static_cast<std::size_t>(Number(fields[1])));
      else
        allUndone = true;
    } else if (ReadStep(fields, step)) {
      record.steps.push_back(step);
    }
  }
  for (Step& step : record.steps) step.undone = allUndone;
  for (const std::size_t index : undone)
    if (index < record.steps.size()) record.steps[index].undone = true;
  // A line cut short by a killed run is no step.
  return !record.folders.empty();
}

RecordFile* StartRecord(const std::vector<std::string>& folders, std::string& file, std::string& reason) {
  const std::string folder = RecordsFolder();
  if (folder.empty()) {
    reason = "there is no local application data folder";
    return nullptr;
  }
  // Where the folders cannot be made, making the record's file says why.
  platform::Failure ignored;
  platform::MakeFolder(ParentOf(folder), ignored);
  platform::MakeFolder(folder, ignored);
  const std::string stamp = platform::MillisecondStamp();
  for (int number = 0; number < MostRecordsAStamp; ++number) {
    file = JoinPath(folder, stamp + "-" + std::string(3 - std::to_string(number).size(), '0') + std::to_string(number) +
                                RecordExtension);
    platform::MakeResult made;
    RecordFile* record = platform::CreateAppendFile(file, made, reason);
    if (made == platform::MakeResult::NameTaken) continue;
    unsigned long long before;
    if (record != nullptr &&
        !platform::Append(record, HeaderLine(folders, stamp, platform::LocalTimeStamp()), before)) {
      platform::FailWithLastError(reason);
      platform::CloseAppendFile(record);
      return nullptr;
    }
    return record;
  }
  reason = "every name for it is taken";
  return nullptr;
}

bool AppendStep(RecordFile* record, const Step& step, unsigned long long& before, std::string& reason) {
  return platform::Append(record, StepLine(step), before) || platform::FailWithLastError(reason);
}

void CutBack(RecordFile* record, unsigned long long before) { platform::CutBackTo(record, before); }

void CloseRecord(RecordFile* record) { platform::CloseAppendFile(record); }

void TrimRecords() {
  const std::vector<std::string> files = RecordFiles(RecordsFolder());
  std::string reason;
  for (std::size_t at = 0; at + KeptRecords < files.size(); ++at) platform::DeleteTextFile(files[at], reason);
}

bool FindRecordToUndo(const std::string& folder, Record& record) {
  const std::vector<std::string> files = RecordFiles(RecordsFolder());
  for (auto file = files.rbegin(); file != files.rend(); ++file) {
    std::string text, reason;
    if (!platform::ReadTextFile(*file, text, reason) || !ReadRecord(text, record) || !HasStepLeft(record)) continue;
    record.file = *file;
    if (folder.empty()) return true;
    // Records of version 1 kept the folder as typed: "\\.\C:\P\X" is "C:\P\X".
    for (const std::string& lifted : record.folders)
      if (SameName(platform::PlainForm(lifted), folder)) return true;
  }
  return false;
}

bool MarkUndone(const Record& record, const std::vector<std::size_t>& indices, std::string& reason) {
  if (indices.empty()) return true;
  // A run killed midway may have left its last line without its end.
  std::string lines(1, LineEnd);
  for (const std::size_t index : indices) lines += UndoneLine(index);
  return platform::AppendToTextFile(record.file, lines, reason);
}
