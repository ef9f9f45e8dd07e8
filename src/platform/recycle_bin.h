#pragma once
// Whether the shell would put a folder in the Recycle Bin or delete it for
// good: the drive's type, the user's and the policies' settings for its bin,
// and the bin's size. Relies on the text module and the registry.

#include <string>

namespace platform {

// Why sending `folder` (a full plain path) to the Recycle Bin would delete it
// for good, as the shell silently does where the bin cannot take it, or ""
// where the bin would keep it. Settings not made are Windows' defaults: a bin
// on every fixed drive, 10% of the first 40 GB of the volume and 5% of the
// rest (the smaller of the defaults of Windows XP and of later Windows). What
// cannot be found out counts as deleting.
std::string WhyTheRecycleBinWouldDelete(const std::string& folder);

enum class RestoreResult { Restored, NotInBin, Failed };

// Brings the folder last at `folder` (a full plain path) back from the
// Recycle Bin, found there by its name and its original location, through its
// own menu's Restore.
RestoreResult RestoreFromRecycleBin(const std::string& folder, std::string& reason);

// Whether the Recycle Bin holds the folder last at `folder`, as
// RestoreFromRecycleBin would find it; nothing is restored.
bool RecycleBinHolds(const std::string& folder);

}  // namespace platform
