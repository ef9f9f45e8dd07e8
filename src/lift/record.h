#pragma once
// The record of a run that changed the disk, kept so that the run can be
// undone: its form (UTF-8 text, one step a line, fields between tabs), and
// the folder that keeps the newest records, one file a run. Relies on the
// platform's record files and its local application data folder.

#include <string>
#include <vector>

#include "platform/platform.h"

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
};

struct Record {
  std::string file;     // where it is kept
  std::string started;  // "2026-12-08 10.15.02"
  std::vector<std::string> folders;  // the lifted folders, full paths
  std::vector<Step> steps;
  bool undone;
};

// How many records are kept, the newest; a run removes the older ones as it starts.
const std::size_t KeptRecords = 20;

std::string HeaderLine(const std::vector<std::string>& folders, const std::string& started);
std::string StepLine(const Step& step);

// Reads a record's text; false where it is not one.
bool ReadRecord(const std::string& text, Record& record);

// Starts the record of a run lifting `folders`: removes the oldest records
// beyond the newest KeptRecords - 1, and makes a new file holding the first
// line, its name unique and sorting by start time. Null, with `reason`, where
// it cannot.
AppendFile* StartRecord(const std::vector<std::string>& folders, std::string& file, std::string& reason);

// The newest record not yet undone; with a `folder`, the newest that lifted it.
bool FindRecordToUndo(const std::string& folder, Record& record);

// Marks the record undone, so that the next undo takes the run before it.
bool MarkUndone(const Record& record, std::string& reason);
