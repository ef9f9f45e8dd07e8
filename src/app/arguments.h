#pragma once
// The command line as text: a quoted path that ends in a backslash, and
// arguments quoted so that the C runtime reads them back as they were. Relies
// on nothing but the standard strings.

#include <string>
#include <vector>

// A quoted path that ends in a backslash ("C:\My Photos\" /o) reaches the
// program as one argument holding a quote (C:\My Photos" /o): the runtime reads
// \" as a literal quote, which no Windows path can hold. The path ends at the
// quote, and the words after it are the arguments that follow it, for every
// argument (program name first).
std::vector<std::string> RepairQuotedPath(std::vector<std::string> arguments);

// One argument quoted so that the C runtime reads it back unchanged.
std::string QuoteArgument(const std::string& argument);

// The arguments after the program name, quoted, as one command line.
std::string QuotedArguments(const std::vector<std::string>& arguments);
