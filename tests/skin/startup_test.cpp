// The skin start-up as the program runs it: the probe (built beside this
// test with the stand-in library embedded and fixture skins) is copied into
// run directories of different kinds and run; the test answers its fatal
// box, and checks the exit code, the run directory and the stand-in's log.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "skin/skin_startup.h"
#include "tests/skin/test_log.h"
#include "ui/win/handle.h"
#include "ui/win/text.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD kFatalExitCode = 0xFFFFFFFF;  // ExitProcess(-1) as GetExitCodeProcess reports it

fs::path builtBesideMe(std::wstring_view name) {
    wchar_t path[4 * MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return fs::path(std::wstring(path, length)).parent_path() / name;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> readLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::wstring environment(const wchar_t* name) {
    wchar_t value[4 * MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
    return length < std::size(value) ? std::wstring(value, length) : std::wstring();
}

// A Linux path handed over by CTest, as Wine's drive Z: shows it.
fs::path fromLinux(const std::wstring& path) {
    std::wstring windows = L"Z:" + path;
    for (wchar_t& c : windows)
        if (c == L'/') c = L'\\';
    return windows;
}

// Clears read-only and hidden bits so that the tree can be deleted.
void removeTree(const fs::path& root) {
    std::error_code error;
    if (!fs::exists(root, error)) return;
    SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (fs::is_directory(root, error))
        for (fs::recursive_directory_iterator entry(root, error), end; !error && entry != end; entry.increment(error))
            SetFileAttributesW(entry->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(root, error);
}

std::string hex(std::uint32_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value % 16]);
        value /= 16;
    } while (value != 0);
    return digits;
}

std::string decimal(long long value) {
    if (value < 0) return "-" + decimal(-value);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

struct Box {
    std::wstring caption;
    std::wstring text;
    int buttons = 0;
    bool hasOk = false;
    bool hasOwner = false;
};

struct ProbeRun {
    DWORD exitCode = 0;
    std::vector<Box> boxes;
    std::vector<std::string> log;
};

struct BoxSearch {
    DWORD processId;
    std::set<HWND>* seen;
    std::vector<Box>* boxes;
};

BOOL CALLBACK countButton(HWND child, LPARAM count) {
    wchar_t name[32];
    if (GetClassNameW(child, name, 32) && std::wstring_view(name) == L"Button") ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Records each visible message box of the process once and presses its OK.
BOOL CALLBACK answerBox(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<BoxSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[32];
    if (owner != search.processId || !IsWindowVisible(window) || search.seen->count(window) ||
        !GetClassNameW(window, name, 32) || std::wstring_view(name) != L"#32770")
        return TRUE;
    Box box;
    wchar_t text[1024];
    box.caption.assign(text, static_cast<size_t>(GetWindowTextW(window, text, 1024)));
    box.text.assign(text, GetDlgItemTextW(window, 0xFFFF, text, 1024));  // a message box's text control
    EnumChildWindows(window, countButton, reinterpret_cast<LPARAM>(&box.buttons));
    box.hasOk = GetDlgItem(window, IDOK) != nullptr;
    box.hasOwner = GetWindow(window, GW_OWNER) != nullptr;
    search.boxes->push_back(box);
    search.seen->insert(window);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Runs the probe with the skin number (empty: the start-up's) from a current
// directory that is not its own; extraSearchPath goes in front of PATH.
ProbeRun runProbe(const fs::path& probe, const fs::path& scratch, const std::wstring& skinNumber = {},
             const std::wstring& extraSearchPath = {}) {
    static int runs = 0;
    const fs::path log = scratch / (L"log-" + std::to_wstring(++runs) + L".txt");
    fs::remove(log);
    SetEnvironmentVariableW(L"SKIN_STUB_LOG", log.c_str());
    const std::wstring oldPath = environment(L"PATH");
    if (!extraSearchPath.empty()) SetEnvironmentVariableW(L"PATH", (extraSearchPath + L";" + oldPath).c_str());

    std::wstring commandLine = L"\"" + probe.wstring() + L"\"";
    if (!skinNumber.empty()) commandLine += L" " + skinNumber;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        scratch.c_str(), &startup, &info);
    SetEnvironmentVariableW(L"PATH", oldPath.c_str());
    SetEnvironmentVariableW(L"SKIN_STUB_LOG", nullptr);
    ProbeRun run;
    if (!started) {
        ADD_FAILURE() << "cannot start " << probe.string() << ", error " << GetLastError();
        return run;
    }
    const win::UniqueHandle process(info.hProcess);
    const win::UniqueHandle thread(info.hThread);

    // A guard against a probe that hangs, not a measure of anything.
    const ULONGLONG giveUp = GetTickCount64() + 60'000;
    std::set<HWND> seen;
    BoxSearch search{info.dwProcessId, &seen, &run.boxes};
    while (WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT) {
        EnumWindows(answerBox, reinterpret_cast<LPARAM>(&search));
        if (GetTickCount64() > giveUp) {
            ADD_FAILURE() << "the probe did not end";
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), INFINITE);
        }
    }
    GetExitCodeProcess(process.get(), &run.exitCode);
    run.log = readLines(log);
    return run;
}

std::wstring missingExportText(std::wstring_view exportName) {
    return L"在“SkinH_EL.dll”中找不到函数“" + std::wstring(exportName) + L"”。";
}

// The start-up ended in the fatal box, naming the export, with exit code -1.
void expectFatalBox(const ProbeRun& run, std::wstring_view exportName) {
    EXPECT_EQ(run.exitCode, kFatalExitCode);
    ASSERT_EQ(run.boxes.size(), 1u);
    const Box& box = run.boxes.front();
    EXPECT_EQ(box.caption, L"错误");
    EXPECT_EQ(box.text, missingExportText(exportName));
    EXPECT_EQ(box.buttons, 1);
    EXPECT_TRUE(box.hasOk);
    EXPECT_FALSE(box.hasOwner);
}

// Index of the first line at or after `from` that begins with `prefix`.
size_t find(const std::vector<std::string>& log, std::string_view prefix, size_t from = 0) {
    for (size_t i = from; i < log.size(); ++i)
        if (log[i].starts_with(prefix)) return i;
    return log.size();
}

std::string joined(const std::vector<std::string>& log) {
    std::string all;
    for (const std::string& line : log) all += "\n  " + line;
    return all;
}

class Startup : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        scratch_ = fs::path(std::wstring(temp, length)) / (L"skin-startup-" + std::to_wstring(GetCurrentProcessId()));
        removeTree(scratch_);
        fs::create_directories(scratch_);
    }
    static void TearDownTestSuite() { removeTree(scratch_); }

    // A run directory holding a copy of the probe.
    static fs::path runDirectory(const fs::path& relative) {
        const fs::path directory = scratch_ / relative;
        fs::create_directories(directory);
        fs::copy_file(probe(), directory / L"skin_probe.exe", fs::copy_options::overwrite_existing);
        return directory;
    }
    static fs::path probe() { return builtBesideMe(L"skin_probe.exe"); }
    static fs::path stub() { return builtBesideMe(L"skin_stub_full.dll"); }

    // The probe's run of skin `number` against the stand-in: the skin copied
    // into a fresh block, passed, freed right after the call, then the aero
    // effect, and the library unloaded by the release before the probe ends.
    static void expectSkinApplied(const ProbeRun& run, int number) {
        const std::string skin = readBytes(builtBesideMe(L"fixture-skins") /
                                           ((number < 10 ? L"0" : L"") + std::to_wstring(number) + L".she"));
        ASSERT_FALSE(skin.empty());
        const auto& log = run.log;
        const size_t alloc = find(log, "alloc ");
        ASSERT_LT(alloc, log.size()) << joined(log);
        const std::string block = log[alloc].substr(6, log[alloc].find(' ', 6) - 6);
        EXPECT_EQ(log[alloc], "alloc " + block + " " + decimal(static_cast<long long>(skin.size())));
        const std::string attach =
            "attach variant=full data=" + block + " size=" + decimal(static_cast<long long>(skin.size())) +
            " hash=" + hex(skintest::fingerprint(reinterpret_cast<const unsigned char*>(skin.data()), skin.size())) +
            " text=\"\" args=0,0,0";
        const size_t call = find(log, attach, alloc);
        const size_t freed = find(log, "free " + block, call);
        const size_t aero = find(log, "aero on=1", freed);
        const size_t unloaded = find(log, "detach unloaded", aero);
        const size_t end = find(log, "end", unloaded);
        EXPECT_LT(end, log.size()) << "expected, in order: " << attach << ", free, aero, unload, end:" << joined(log);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_TRUE(run.boxes.empty());
    }

    // The library file that the start-up wrote: the embedded image, which is
    // the stand-in as built, hidden and nothing else. Wine adds the archive
    // bit to every regular file it reports, so that one bit is let through.
    static void expectLibraryWritten(const fs::path& directory) {
        const fs::path library = directory / L"SkinH_EL.dll";
        const std::string written = readBytes(library);
        ASSERT_FALSE(written.empty()) << library.string();
        EXPECT_TRUE(written == readBytes(stub())) << "not the stand-in as built";
        EXPECT_EQ(GetFileAttributesW(library.c_str()) & ~DWORD{FILE_ATTRIBUTE_ARCHIVE}, DWORD{FILE_ATTRIBUTE_HIDDEN});
    }

    static inline fs::path scratch_;
};

TEST(RunDirectory, IsThePathCutAtItsLastBackslash) {
    const struct {
        std::wstring_view path, directory;
    } cases[] = {
        {L"C:\\Programs\\Tesmarin\\Tesmarin.exe", L"C:\\Programs\\Tesmarin"},
        {L"C:\\Tesmarin.exe", L"C:"},
        {L"\\\\server\\share\\Tesmarin.exe", L"\\\\server\\share"},
        {L"Tesmarin.exe", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(skin::directoryOf(c.path), c.directory);
        if (!c.directory.empty()) {
            EXPECT_EQ(skin::libraryPathIn(c.directory), std::wstring(c.directory) + L"\\SkinH_EL.dll");
        }
    }
}

TEST_F(Startup, WritesTheLibraryAndAttachesSkin13InAnyRunDirectory) {
    const fs::path cases[] = {runDirectory(L"plain"), runDirectory(L"运行目录 含 空格")};
    for (const fs::path& directory : cases) {
        SCOPED_TRACE(directory.string());
        const ProbeRun run = runProbe(directory / L"skin_probe.exe", scratch_);
        expectLibraryWritten(directory);
        expectSkinApplied(run, skin::kStartupSkinNumber);
        ASSERT_FALSE(run.log.empty());
        EXPECT_EQ(run.log.front(), "cwd " + win::narrow(directory.wstring()));
    }
}

// C:\SkinH_EL.dll for a program in the root of drive C. The current
// directory becomes the root itself, not drive C's current directory.
TEST_F(Startup, WritesTheLibraryIntoTheRootOfADrive) {
    const fs::path root = L"C:\\";
    const fs::path probeInRoot = root / (L"skin_probe_" + std::to_wstring(GetCurrentProcessId()) + L".exe");
    removeTree(root / L"SkinH_EL.dll");
    fs::copy_file(probe(), probeInRoot, fs::copy_options::overwrite_existing);
    const ProbeRun run = runProbe(probeInRoot, scratch_);
    expectLibraryWritten(root);
    expectSkinApplied(run, skin::kStartupSkinNumber);
    ASSERT_FALSE(run.log.empty());
    EXPECT_EQ(run.log.front(), "cwd C:\\");
    removeTree(root / L"SkinH_EL.dll");
    removeTree(probeInRoot);
}

TEST_F(Startup, PassesTheNumberedSkinOrNullAndZeroOutsideOneTo33) {
    const fs::path directory = runDirectory(L"numbers");
    for (int number : {1, 33}) {
        SCOPED_TRACE(number);
        expectSkinApplied(runProbe(directory / L"skin_probe.exe", scratch_, std::to_wstring(number)), number);
    }
    for (int number : {0, 34, -1, INT_MIN}) {
        SCOPED_TRACE(number);
        const ProbeRun run = runProbe(directory / L"skin_probe.exe", scratch_, std::to_wstring(number));
        const size_t call = find(run.log, "attach variant=full data=null size=0 hash=- text=\"\" args=0,0,0");
        EXPECT_LT(find(run.log, "aero on=1", call), run.log.size()) << joined(run.log);
        EXPECT_EQ(find(run.log, "alloc "), run.log.size()) << "no block to copy";
        EXPECT_EQ(run.exitCode, 0u);
    }
}

// Whatever is there under the library's name is left as it is and loaded as
// it is; when that fails, the fatal box names the export and the file.
TEST_F(Startup, LeavesWhateverIsThereAloneAndEndsInTheFatalBoxWhenItDoesNotBind) {
    const struct {
        const wchar_t* name;
        void (*place)(const fs::path& library);
        const wchar_t* missingExport;
    } cases[] = {
        {L"junk file, hidden and read-only",
         [](const fs::path& library) {
             std::ofstream(library, std::ios::binary) << "not a library";
             SetFileAttributesW(library.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
         },
         L"SkinH_AttachRes"},
        {L"directory", [](const fs::path& library) { fs::create_directory(library); }, L"SkinH_AttachRes"},
        {L"library without SkinH_SetAero",
         [](const fs::path& library) { fs::copy_file(builtBesideMe(L"skin_stub_no_aero.dll"), library); },
         L"SkinH_SetAero"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(win::narrow(c.name));
        const fs::path directory = runDirectory(fs::path(L"present") / c.name);
        const fs::path library = directory / L"SkinH_EL.dll";
        c.place(library);
        const DWORD attributes = GetFileAttributesW(library.c_str());
        const std::string content = fs::is_directory(library) ? "" : readBytes(library);

        const ProbeRun run = runProbe(directory / L"skin_probe.exe", scratch_);
        expectFatalBox(run, c.missingExport);
        EXPECT_EQ(GetFileAttributesW(library.c_str()), attributes);
        if (fs::is_directory(library))
            EXPECT_TRUE(fs::is_empty(library));
        else
            EXPECT_EQ(readBytes(library), content);
        EXPECT_EQ(find(run.log, "end"), run.log.size());
        if (std::wstring_view(c.missingExport) == L"SkinH_SetAero") {
            // The library found in place was used, and released before the exit.
            EXPECT_LT(find(run.log, "loaded " + win::narrow(library.wstring())), run.log.size()) << joined(run.log);
            const size_t call = find(run.log, "attach variant=no_aero");
            EXPECT_LT(find(run.log, "detach unloaded", call), run.log.size()) << joined(run.log);
        }
    }
}

// Run by readonly_as_user.sh as a user that cannot write to the directory the
// script prepared (with the probe in it, and no library on the search path).
TEST(StartupAsUser, EndsInTheFatalBoxInAReadOnlyRunDirectory) {
    const std::wstring given = environment(L"SKIN_READONLY_RUN_DIR");
    ASSERT_FALSE(given.empty()) << "SKIN_READONLY_RUN_DIR names the prepared run directory";
    const fs::path directory = fromLinux(given);
    wchar_t temp[MAX_PATH + 1];
    const fs::path scratch = fs::path(std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)));

    const ProbeRun run = runProbe(directory / L"skin_probe.exe", scratch);
    expectFatalBox(run, L"SkinH_AttachRes");
    EXPECT_FALSE(fs::exists(directory / L"SkinH_EL.dll"));
}

// The program as built carries the library as built and the shipped skins.
TEST(EmbeddedInProgram, CarriesTheBuiltLibraryAndTheShippedSkins) {
    const fs::path program = fromLinux(environment(L"TESMARIN_EXE"));
    const win::UniqueModule image(LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(image) << program.string();
    const auto resource = [&](int id) {
        const HRSRC info = FindResourceW(image.get(), MAKEINTRESOURCEW(id), RT_RCDATA);
        if (!info) return std::string();
        const HGLOBAL loaded = LoadResource(image.get(), info);
        return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(image.get(), info));
    };
    EXPECT_TRUE(resource(100) == readBytes(fromLinux(environment(L"SKIN_LIBRARY_DLL")))) << "library image";
    const fs::path skins = fromLinux(environment(L"SKINS_DIR"));
    for (int n = 1; n <= skin::kBuiltInSkinCount; ++n) {
        const std::string shipped = readBytes(skins / ((n < 10 ? L"0" : L"") + std::to_wstring(n) + L".she"));
        EXPECT_FALSE(shipped.empty()) << n;
        EXPECT_TRUE(resource(200 + n) == shipped) << "skin " << n;
    }
    EXPECT_TRUE(resource(200).empty());
    EXPECT_TRUE(resource(234).empty());
}

}  // namespace
