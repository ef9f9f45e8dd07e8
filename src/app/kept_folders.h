#pragma once
// The folders Windows and programs expect in their place, which no lift may
// take away: whether a folder is one or holds one. Relies on the platform's
// list of them and on the path text of lift/.

#include <string>
#include <vector>

#include "platform/platform.h"

// Why `folder` must not be lifted, or "" when it may: it is, or holds, one of
// the folders that Windows keeps in place. Compared by their text, case aside,
// as full paths in their plain form; where their identities cannot be read.
std::string WhyWindowsKeepsInPlace(const std::string& folder, const std::vector<platform::KeptFolder>& kept);

// Why `folder`, listed as `ownName`, must not be lifted: it is, or holds, a
// folder Windows keeps in place. Compared by identity, so that no spelling of
// the path (another drive letter, a share, a junction, "\\.\") gets past.
std::string WhyKeptInPlace(const std::string& folder, const std::string& ownName);
