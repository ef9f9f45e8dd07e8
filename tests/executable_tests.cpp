// Checks on the built dirlift.exe and dirliftw.exe: what each is, what it
// imports, and its resources.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "app/arguments.h"
#include "test_tree.h"

namespace {

// Every function dirlift.exe may import: each one is known to exist on Windows XP SP3.
const std::set<std::string> XpImports = {
#include "xp_imports.inc"
};

const WORD MaxSubsystemMajor = 5;  // Windows XP is 5.1
const WORD MaxSubsystemMinor = 1;
const std::size_t IconSide = 48;
const WORD IconBits = 32;
const WORD IconGroupId = 1;

std::string DirliftExe() { return FolderOfThisExecutable() + "\\dirlift.exe"; }

// One shipped executable: dirlift.exe, or dirliftw.exe (`noConsole`), of this
// build, beside the test program, and of the other architecture, where the
// build names it.
struct Image {
  WORD machine;
  std::string path;
  bool noConsole;
};

std::string NameOf(const Image& image) {
  return std::string(image.machine == IMAGE_FILE_MACHINE_I386 ? "Win32" : "Win64") +
         (image.noConsole ? "NoConsole" : "");
}

// dirliftw.exe beside a dirlift.exe.
std::string WithoutConsole(const std::string& dirliftExe) {
  return dirliftExe.substr(0, dirliftExe.size() - std::string(".exe").size()) + "w.exe";
}

void PrintTo(const Image& image, std::ostream* out) { *out << NameOf(image); }

#ifdef _WIN64
const WORD OwnMachine = IMAGE_FILE_MACHINE_AMD64;
const WORD OtherMachine = IMAGE_FILE_MACHINE_I386;
#else
const WORD OwnMachine = IMAGE_FILE_MACHINE_I386;
const WORD OtherMachine = IMAGE_FILE_MACHINE_AMD64;
#endif

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

template <typename T>
T At(const std::string& image, std::size_t offset) {
  T value{};
  if (offset + sizeof(T) <= image.size()) std::memcpy(&value, image.data() + offset, sizeof(T));
  return value;
}

// The fields read from a PE file's headers; the optional header's layout
// differs between 32-bit (PE32) and 64-bit (PE32+) images.
struct PeFacts {
  DWORD signature;
  WORD machine;
  WORD subsystem;
  WORD subsystemMajor;
  WORD subsystemMinor;
  DWORD importTable;
  bool wide;  // PE32+: 8-byte import thunks
  DWORD timeStamp;
};

std::size_t NtOffset(const std::string& image) { return At<IMAGE_DOS_HEADER>(image, 0).e_lfanew; }

template <typename Headers>
PeFacts FactsOf(const Headers& nt, bool wide) {
  return {nt.Signature,
          nt.FileHeader.Machine,
          nt.OptionalHeader.Subsystem,
          nt.OptionalHeader.MajorSubsystemVersion,
          nt.OptionalHeader.MinorSubsystemVersion,
          nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress,
          wide,
          nt.FileHeader.TimeDateStamp};
}

PeFacts Facts(const std::string& image) {
  const std::size_t nt = NtOffset(image);
  if (At<IMAGE_NT_HEADERS32>(image, nt).OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
    return FactsOf(At<IMAGE_NT_HEADERS64>(image, nt), true);
  return FactsOf(At<IMAGE_NT_HEADERS32>(image, nt), false);
}

// File offset of a relative virtual address, through the section table.
std::size_t OffsetOf(const std::string& image, DWORD rva) {
  const std::size_t nt = NtOffset(image);
  const IMAGE_FILE_HEADER file = At<IMAGE_FILE_HEADER>(image, nt + sizeof(DWORD));
  const std::size_t sections = nt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + file.SizeOfOptionalHeader;
  for (WORD i = 0; i < file.NumberOfSections; ++i) {
    const auto section = At<IMAGE_SECTION_HEADER>(image, sections + i * sizeof(IMAGE_SECTION_HEADER));
    if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
      return rva - section.VirtualAddress + section.PointerToRawData;
  }
  return image.size();
}

std::string TextAt(const std::string& image, std::size_t offset) {
  return offset < image.size() ? std::string(image.c_str() + offset) : std::string();
}

// "DLL!function" for every import, the DLL name in upper case.
std::set<std::string> Imports(const std::string& image) {
  std::set<std::string> imports;
  const PeFacts facts = Facts(image);
  const std::size_t thunkSize = facts.wide ? sizeof(ULONGLONG) : sizeof(DWORD);
  const ULONGLONG ordinalFlag = facts.wide ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
  for (std::size_t descriptor = OffsetOf(image, facts.importTable);; descriptor += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto entry = At<IMAGE_IMPORT_DESCRIPTOR>(image, descriptor);
    if (entry.Name == 0) break;
    std::string dll = TextAt(image, OffsetOf(image, entry.Name));
    std::transform(dll.begin(), dll.end(), dll.begin(), ::toupper);
    const DWORD thunks = entry.OriginalFirstThunk != 0 ? entry.OriginalFirstThunk : entry.FirstThunk;
    for (std::size_t thunk = OffsetOf(image, thunks);; thunk += thunkSize) {
      const ULONGLONG value = facts.wide ? At<ULONGLONG>(image, thunk) : At<DWORD>(image, thunk);
      if (value == 0) break;
      if (value & ordinalFlag)
        imports.insert(dll + "!#" + std::to_string(IMAGE_ORDINAL64(value)));
      else
        imports.insert(dll + "!" + TextAt(image, OffsetOf(image, static_cast<DWORD>(value)) + sizeof(WORD)));
    }
  }
  return imports;
}

// A resource of an image, loaded as data (which works across architectures).
std::string Resource(const std::string& exe, LPCSTR type, LPCSTR name) {
  const HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return "";
  std::string bytes;
  if (const HRSRC found = FindResourceA(module, name, type)) {
    const HGLOBAL loaded = LoadResource(module, found);
    bytes.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
  }
  FreeLibrary(module);
  return bytes;
}

BOOL CALLBACK CountOne(HMODULE, LPCSTR, LPSTR, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int ResourceCount(const std::string& exe, LPCSTR type) {
  const HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  int count = 0;
  EnumResourceNamesA(module, type, CountOne, reinterpret_cast<LONG_PTR>(&count));
  FreeLibrary(module);
  return count;
}

std::vector<Image> ShippedImages() {
  std::vector<Image> images = {{OwnMachine, DirliftExe(), false}, {OwnMachine, WithoutConsole(DirliftExe()), true}};
#ifdef DIRLIFT_OTHER_EXE
  images.push_back({OtherMachine, DIRLIFT_OTHER_EXE, false});
  images.push_back({OtherMachine, WithoutConsole(DIRLIFT_OTHER_EXE), true});
#endif
  return images;
}

class Executable : public ::testing::TestWithParam<Image> {
 protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesA(GetParam().path.c_str()), INVALID_FILE_ATTRIBUTES)
        << GetParam().path << " was not built";
  }
  const std::string& Exe() const { return GetParam().path; }
};

TEST_P(Executable, IsProgramForItsMachineWithOrWithoutConsole) {
  const PeFacts facts = Facts(ReadBytes(Exe()));
  EXPECT_EQ(facts.signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
  EXPECT_EQ(facts.machine, GetParam().machine);
  EXPECT_EQ(facts.subsystem, GetParam().noConsole ? IMAGE_SUBSYSTEM_WINDOWS_GUI : IMAGE_SUBSYSTEM_WINDOWS_CUI);
  // A release is the same bytes from the same sources: no build time in it.
  EXPECT_EQ(facts.timeStamp, 0u);
  if (GetParam().machine == IMAGE_FILE_MACHINE_I386) {
    const WORD major = facts.subsystemMajor, minor = facts.subsystemMinor;
    EXPECT_TRUE(major < MaxSubsystemMajor || (major == MaxSubsystemMajor && minor <= MaxSubsystemMinor))
        << major << "." << minor;
  }
}

// The 32-bit build runs on Windows XP, so every function it imports must be one
// XP SP3 has. The 64-bit build imports from the same system DLLs.
TEST_P(Executable, ImportsOnlyWhatTheSystemHas) {
#ifndef __MINGW32__
  GTEST_SKIP() << "the allowlist is for the MinGW build, which links msvcrt.dll";
#endif
  const std::set<std::string> imports = Imports(ReadBytes(Exe()));
  EXPECT_GT(imports.size(), 10u);
  std::set<std::string> systemDlls;
  for (const std::string& import : XpImports) systemDlls.insert(import.substr(0, import.find('!')));
  for (const std::string& import : imports) {
    if (GetParam().machine == IMAGE_FILE_MACHINE_I386) {
      EXPECT_TRUE(XpImports.count(import)) << import << " is not known to exist on Windows XP SP3";
    }
    EXPECT_TRUE(systemDlls.count(import.substr(0, import.find('!')))) << import << " is not from a system DLL";
  }
}

// Names in any script, on every Windows: each file call goes through the wide
// function. (FormatMessageA stays in the list of imports: the C++ runtime's
// std::system_category calls it; dirlift's own messages use FormatMessageW.)
TEST_P(Executable, CallsTheWideFileFunctions) {
  const std::set<std::string> imports = Imports(ReadBytes(Exe()));
  for (const char* wide :
       {"KERNEL32.DLL!CreateFileW", "KERNEL32.DLL!GetFileAttributesW", "KERNEL32.DLL!MoveFileW",
        "KERNEL32.DLL!CreateDirectoryW", "KERNEL32.DLL!RemoveDirectoryW", "KERNEL32.DLL!GetFullPathNameW",
        "KERNEL32.DLL!FormatMessageW", "KERNEL32.DLL!WriteConsoleW", "SHELL32.DLL!SHFileOperationW"})
    EXPECT_TRUE(imports.count(wide)) << wide << " is not imported";
  for (const char* narrow :
       {"KERNEL32.DLL!FindFirstFileA", "KERNEL32.DLL!FindNextFileA", "KERNEL32.DLL!GetFileAttributesA",
        "KERNEL32.DLL!MoveFileA", "KERNEL32.DLL!MoveFileExA", "KERNEL32.DLL!CreateDirectoryA",
        "KERNEL32.DLL!CreateFileA", "KERNEL32.DLL!RemoveDirectoryA", "KERNEL32.DLL!GetFullPathNameA",
        "SHELL32.DLL!SHFileOperationA"})
    EXPECT_FALSE(imports.count(narrow)) << narrow << " is imported";
}

TEST_P(Executable, VersionIsTheProjectsWithoutStringTable) {
  const DWORD most = (DIRLIFT_VERSION_MAJOR << 16) | DIRLIFT_VERSION_MINOR;
  const DWORD least = (DIRLIFT_VERSION_PATCH << 16) | DIRLIFT_VERSION_TWEAK;
  DWORD ignored = 0;
  std::string info(GetFileVersionInfoSizeA(Exe().c_str(), &ignored), '\0');
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(Exe().c_str(), 0, static_cast<DWORD>(info.size()), &info[0]));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(&info[0], "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, most);
  EXPECT_EQ(fixed->dwFileVersionLS, least);
  EXPECT_EQ(fixed->dwProductVersionMS, most);
  EXPECT_EQ(fixed->dwProductVersionLS, least);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  const std::string block = Resource(Exe(), RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO));
  const char stringTable[] = "S\0t\0r\0i\0n\0g\0F\0i\0l\0e\0I\0n\0f\0o";
  EXPECT_FALSE(block.empty());
  EXPECT_EQ(block.find(std::string(stringTable, sizeof stringTable - 1)), std::string::npos);
}

// dirlift.exe asks for administrator rights; dirliftw.exe, started from
// Explorer's menu, runs as the user who clicked.
TEST_P(Executable, ManifestAsksItsLevelAndCommonControlsAndAllowsLongPaths) {
  const std::string manifest = Resource(Exe(), RT_MANIFEST, MAKEINTRESOURCEA(1));
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                           "processorArchitecture=\"*\"", "publicKeyToken=\"6595b64144ccf1df\""})
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  EXPECT_NE(manifest.find(GetParam().noConsole ? "level=\"asInvoker\"" : "level=\"requireAdministrator\""),
            std::string::npos)
      << manifest;
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos) << manifest;
  EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << manifest;
  // The wide calls carry every name; the process code page no longer matters.
  EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos) << manifest;
  EXPECT_EQ(ResourceCount(Exe(), RT_MANIFEST), 1);
}

TEST_P(Executable, IconIsOne48By48Image32Bit) {
  EXPECT_EQ(ResourceCount(Exe(), RT_GROUP_ICON), 1);
  EXPECT_EQ(ResourceCount(Exe(), RT_ICON), 1);
  const std::string group = Resource(Exe(), RT_GROUP_ICON, MAKEINTRESOURCEA(IconGroupId));

  // The group: three WORDs (reserved, type, count), then 14-byte entries.
  ASSERT_GE(group.size(), 6u + 14u);
  EXPECT_EQ(At<WORD>(group, 4), 1);
  EXPECT_EQ(At<BYTE>(group, 6), IconSide);
  EXPECT_EQ(At<BYTE>(group, 7), IconSide);
  EXPECT_EQ(At<WORD>(group, 12), IconBits);
  const WORD iconId = At<WORD>(group, 18);
  const std::string image = Resource(Exe(), RT_ICON, MAKEINTRESOURCEA(iconId));
  const auto header = At<BITMAPINFOHEADER>(image, 0);
  EXPECT_EQ(header.biWidth, static_cast<LONG>(IconSide));
  EXPECT_EQ(header.biHeight, static_cast<LONG>(IconSide * 2));  // colour and mask
  EXPECT_EQ(header.biBitCount, IconBits);
}

INSTANTIATE_TEST_SUITE_P(Builds, Executable, ::testing::ValuesIn(ShippedImages()),
                         [](const ::testing::TestParamInfo<Image>& info) { return NameOf(info.param); });

const char MenuKey[] = "Software\\Classes\\Directory\\shell\\dirlift";
const char VersionKey[] = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

bool MenuKeyExists(const std::string& name = MenuKey) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

RunResult RunScript(const std::string& script) {
  return RunProgram("cmd /c " + QuoteArgument(FolderOfThisExecutable() + "\\" + script), "", FolderOfThisExecutable());
}

RunResult Reg(const std::string& arguments) { return RunProgram("reg " + arguments, "", FolderOfThisExecutable()); }

// On Windows 7 and later the entries cascade from one; on XP and Vista they
// stand side by side. The version the script reads is set for each layout.
TEST(ExplorerMenu, AddsGuiCommandsForFoldersAndRemovesThem) {
  if (MenuKeyExists()) GTEST_SKIP() << "this user has the menu entry already; it is left alone";
  const RunResult version = Reg(std::string("query \"") + VersionKey + "\" /v CurrentVersion");
  const std::string::size_type at = version.out.find("REG_SZ");
  ASSERT_NE(at, std::string::npos) << version.out;
  const std::string shipped = version.out.substr(at + 6, version.out.find('\r', at) - at - 6);
  const std::string folder = "\"" + WithoutConsole(DirliftExe()) + "\" \"%1\" ";
  const std::string shell = std::string(MenuKey).substr(0, std::string(MenuKey).rfind('\\') + 1);
  const struct {
    const char* version;
    std::vector<std::pair<std::string, std::string>> commands;  // key below HKCU, command
  } layouts[] = {
      {"6.1",
       {{shell + "dirlift\\shell\\1lift", folder + "gui"},
        {shell + "dirlift\\shell\\2down", folder + "gui /s"},
        {shell + "dirlift\\shell\\3flatten", folder + "gui /f /p"}}},
      {"5.1",
       {{shell + "dirlift", folder + "gui"},
        {shell + "dirliftdown", folder + "gui /s"},
        {shell + "dirliftflat", folder + "gui /f /p"}}},
  };
  const std::string undoKey = "Software\\Classes\\Directory\\Background\\shell\\dirliftundo";
  for (const auto& layout : layouts) {
    Reg(std::string("add \"") + VersionKey + "\" /v CurrentVersion /d " + layout.version + " /f");
    const RunResult added = RunScript("dirlift-menu-add.cmd");
    Reg(std::string("add \"") + VersionKey + "\" /v CurrentVersion /d " + shipped + " /f");
    EXPECT_EQ(added.status, 0) << added.out << added.err;
    auto commands = layout.commands;
    commands.push_back({undoKey, "\"" + WithoutConsole(DirliftExe()) + "\" /u"});
    for (const auto& entry : commands) {
      const RunResult shown = Reg("query \"HKCU\\" + entry.first + "\\command\" /ve");
      EXPECT_EQ(shown.status, 0) << shown.err;
      EXPECT_NE(shown.out.find("REG_SZ    " + entry.second + "\r\n"), std::string::npos)
          << layout.version << shown.out << "\nexpected: " << entry.second;
    }
    // The flatten asks first, and its three dots say so.
    const RunResult flatten = Reg("query \"HKCU\\" + layout.commands.back().first + "\" /ve");
    EXPECT_NE(flatten.out.find("REG_SZ    Flatten here: every level...\r\n"), std::string::npos) << flatten.out;
    const RunResult removed = RunScript("dirlift-menu-remove.cmd");
    EXPECT_EQ(removed.status, 0) << removed.out << removed.err;
    for (const auto& entry : commands) EXPECT_FALSE(MenuKeyExists(entry.first)) << entry.first;
    EXPECT_FALSE(MenuKeyExists()) << layout.version;
  }
}

}  // namespace
