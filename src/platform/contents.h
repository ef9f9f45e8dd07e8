#pragma once
// What files hold: two files compared byte for byte, files whose content lies
// elsewhere (cloud placeholders), files that describe their folder, and
// volumes that keep local time. Relies on
// the text module for the extended form.

#include <string>

namespace platform {

enum class Contents { Same, Differ, Unreadable };

// Compares two files byte for byte, in large pieces, up to the first difference.
Contents CompareContents(const std::string& a, const std::string& b);

// True where the volume that holds `path` keeps times in local time (FAT, exFAT).
bool KeepsLocalTime(const std::string& path);

}  // namespace platform
