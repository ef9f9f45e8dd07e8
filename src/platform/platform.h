#pragma once
// The folder platform/: the Windows operations, and nothing of dirlift's own
// above them. It includes only the system's headers.
//
// The Windows operations dirlift relies on, as free functions over the Win32 calls.
// Paths and names are UTF-8 strings, paths full ones; this layer converts them at
// its edge to the extended form and calls the wide (W) functions, so every name
// works at any depth on every Windows. A failing call fills `reason` with the
// system's text for its error code. Each concern has a header of its own.

#include "platform/ask_box.h"
#include "platform/collector.h"
#include "platform/console.h"
#include "platform/contents.h"
#include "platform/files.h"
#include "platform/record_file.h"
#include "platform/recycle_bin.h"
#include "platform/session.h"
#include "platform/shell.h"
#include "platform/text.h"
