#pragma once
// The record of a run that changed the disk, kept so that the run can be
// undone: its form (UTF-8 text, one step a line, fields between tabs), and
// the folder that keeps the newest records, one file a run. Its file is the
// one under undo/ that reaches the platform: its record files and its local
// application data folder.

#include <string>
#include <vector>

#include "lift/file_system.h"

namespace platform {
struct AppendFile;
}
// A record open for appending, as the platform keeps it.
using RecordFile = platform::AppendFile;

enum class StepKind {
  Move,     // an entry moved from -> to (set aside and put back included)
  Make,     // a folder made
  Remove,   // a folder removed
  Shell,    // an entry handed to the shell's move, from -> to
  Recycle,  // the replaced files' folder sent to the Recycle Bin
  Keep,     // the replaced files' folder kept in the parent
};

struct Step {
  StepKind kind;
  std::string from;  // the path, for a folder's steps
  std::string to;
  FileIdentity identity;
  unsigned long attributes;  // a removed folder's marks (read-only, hidden, system)
  bool undone;               // an undo has put it back
  // A removed folder's times, in 100 ns ticks; 0 in records that kept none.
  unsigned long long creation = 0, lastWrite = 0;
};

struct Record {
  std::string file;                  // where it is kept
  std::string started;               // local time, for display: "2026-12-08 10.15.02"
  std::vector<std::string> folders;  // the lifted folders, full paths in their plain form
  std::vector<Step> steps;
};

// How many records are kept, the newest; a run that recorded something
// removes the older ones as it ends.
const std::size_t KeptRecords = 20;

// `utc` orders the records ("20261208-091502-123"); `started` is shown.
std::string HeaderLine(const std::vector<std::string>& folders, const std::string& utc, const std::string& started);
std::string StepLine(const Step& step);
// The line saying that step number `index` (from 0) was undone.
std::string UndoneLine(std::size_t index);

// True while some step of the record is not yet undone.
bool HasStepLeft(const Record& record);

// Reads a record's text; false where it is not one.
bool ReadRecord(const std::string& text, Record& record);

// Starts the record of a run lifting `folders`: a new file holding the first
// line, its name unique and sorting by the start in UTC. Null, with `reason`,
// where it cannot.
RecordFile* StartRecord(const std::vector<std::string>& folders, std::string& file, std::string& reason);

// Appends a step's line to an open record; `before` is its length before, to
// cut back to. False, with `reason`, where it could not be written.
bool AppendStep(RecordFile* record, const Step& step, unsigned long long& before, std::string& reason);
// Cuts an open record back to its length `before` a step was written.
void CutBack(RecordFile* record, unsigned long long before);
void CloseRecord(RecordFile* record);

// Removes the oldest records beyond the newest KeptRecords.
void TrimRecords();

// The newest record with a step left to undo; with a `folder`, the newest
// such that lifted it.
bool FindRecordToUndo(const std::string& folder, Record& record);

// Marks the steps at `indices` undone, so that a later undo tries only what is left.
bool MarkUndone(const Record& record, const std::vector<std::size_t>& indices, std::string& reason);
