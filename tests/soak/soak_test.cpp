// Long use of the real program under Wine: many queries across all dynasties,
// dynasty and era changes, the menu boxes, and moving, deactivating and
// re-activating the window, with the skin attached and its glow on. Every
// answer must be right, and the program's resource counts must stay flat after
// a warm-up: any growth is a leak.
//
// Counts: TESMARIN_SOAK_QUERIES (default 200) and TESMARIN_SOAK_CHANGES
// (default 50); scripts/soak runs ten times as many.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "catalogue/era_catalogue.h"
#include "catalogue/year_reckoning.h"
#include "driver.h"
#include "ui/control_ids.h"

namespace {

using namespace e2e;

int countFromEnvironment(const wchar_t* name, int fallback) {
    wchar_t value[32] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 32);
    if (length == 0 || length >= 32) return fallback;
    int number = 0;
    for (const wchar_t* c = value; *c; ++c) {
        if (*c < L'0' || *c > L'9') return fallback;
        number = number * 10 + (*c - L'0');
    }
    return number > 0 ? number : fallback;
}

struct Counts {
    int windows = 0;            // top-level and child windows of the process
    DWORD gdiObjects = 0;       // GetGuiResources; Wine answers 0
    DWORD userObjects = 0;
    DWORD handles = 0;          // GetProcessHandleCount; Wine answers 0
    SIZE_T privateBytes = 0;    // committed private memory
};

struct WindowCount {
    DWORD processId;
    int count;
};

BOOL CALLBACK countChild(HWND, LPARAM lParam) {
    ++reinterpret_cast<WindowCount*>(lParam)->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM lParam) {
    auto* counter = reinterpret_cast<WindowCount*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == counter->processId) {
        ++counter->count;
        EnumChildWindows(window, countChild, lParam);
    }
    return TRUE;
}

Counts measure(DWORD processId) {
    Counts counts;
    WindowCount windows{processId, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&windows));
    counts.windows = windows.count;
    win::UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process) {
        counts.gdiObjects = GetGuiResources(process.get(), GR_GDIOBJECTS);
        counts.userObjects = GetGuiResources(process.get(), GR_USEROBJECTS);
        GetProcessHandleCount(process.get(), &counts.handles);
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
            counts.privateBytes = memory.PrivateUsage;
    }
    return counts;
}

class Soak {
public:
    Soak(Program& program, HWND main) : program_(program), main_(main) {
        dynasties_ = GetDlgItem(main, ui::kDynastyComboId);
        eras_ = GetDlgItem(main, ui::kEraComboId);
        count_ = GetDlgItem(main, ui::kCountEditId);
        query_ = GetDlgItem(main, ui::kQueryButtonId);
    }

    bool ready() const { return dynasties_ && eras_ && count_ && query_; }

    // Opens a combo box's list from the keyboard and picks item `position`.
    void pick(HWND combo, int position) {
        focusControl(combo);
        pressKey(VK_F4);
        waitUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; });
        pressKey(VK_HOME);
        for (int i = 0; i < position; ++i) pressKey(VK_DOWN);
        pressKey(VK_RETURN);
        waitUntil([&] { return comboSelection(combo) == position && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; });
    }

    void chooseDynasty(int dynasty) {
        pick(dynasties_, dynasty);
        // The era list is reloaded by the queued selection handler.
        const std::string first(catalogue::eraNames(dynasty)[0]);
        waitUntil([&] { return comboShownText(eras_) == first && IsWindowEnabled(eras_); });
    }

    void chooseEra(int era) { pick(eras_, era); }

    // Types the count, clicks 查询 and checks the answer against the catalogue.
    ::testing::AssertionResult query(int dynasty, int era, const std::string& count) {
        clickCentre(count_);
        waitUntil([&] { return focusOf(main_) == count_; });
        pressKey(VK_END);
        pressKey(VK_HOME, {VK_SHIFT});
        pressKey(VK_DELETE);
        typeText(count);
        if (!waitUntil([&] { return windowText(count_) == count; }))
            return ::testing::AssertionFailure() << "count box shows " << windowText(count_);
        clickCentre(query_);
        const auto answer = program_.waitForMessageBox();
        if (!answer) return ::testing::AssertionFailure() << "no answer box";
        const int start = *catalogue::startYear(dynasty, era);
        const std::string expected = catalogue::composeResultText(
            catalogue::eraNames(dynasty)[era], count,
            catalogue::formatYearNumber(catalogue::reckonYear(start, catalogue::parseYearCount(count))));
        const bool right = answer->caption == "信息：" && answer->text == expected;
        const bool dismissed = program_.dismiss(*answer);
        if (!right)
            return ::testing::AssertionFailure()
                   << "answer " << answer->caption << " " << answer->text << ", expected " << expected;
        if (!dismissed) return ::testing::AssertionFailure() << "answer box did not close";
        if (!bringToFront(main_)) return ::testing::AssertionFailure() << "main window not active again";
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult menuBox(int commandId, const char* caption) {
        PostMessageW(main_, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
        const auto box = program_.waitForMessageBox();
        if (!box || box->caption != caption) return ::testing::AssertionFailure() << "no " << caption << " box";
        if (!program_.dismiss(*box)) return ::testing::AssertionFailure() << caption << " box did not close";
        bringToFront(main_);
        return ::testing::AssertionSuccess();
    }

    // Moves the window a little, hands the activation to another window and back.
    void moveAndReactivate(HWND other, int step) {
        RECT rect = windowRect(main_);
        const int dx = (step % 2) ? 12 : -12;
        SetWindowPos(main_, nullptr, rect.left + dx, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        bringToFront(other);
        bringToFront(main_);
    }

private:
    void focusControl(HWND control) {
        // Clicking a closed drop-down list would open it; focus it by Tab instead.
        for (int i = 0; i < 5 && focusOf(main_) != control; ++i) pressKey(VK_TAB);
    }

    Program& program_;
    HWND main_;
    HWND dynasties_ = nullptr, eras_ = nullptr, count_ = nullptr, query_ = nullptr;
};

// A plain window of the test's own, to take the activation away from the program.
HWND makeOtherWindow() {
    return CreateWindowExW(0, L"STATIC", L"soak", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void pumpOwnMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST(Soak, AnswersStayRightAndResourceCountsStayFlat) {
    const int queries = countFromEnvironment(L"TESMARIN_SOAK_QUERIES", 200);
    const int changes = countFromEnvironment(L"TESMARIN_SOAK_CHANGES", 50);
    const int warmUp = 30;

    Program program;
    ASSERT_TRUE(program.started()) << program.startError();
    HWND main = program.startWorking();
    ASSERT_TRUE(main);
    Soak soak(program, main);
    ASSERT_TRUE(soak.ready());
    win::UniqueWindow other(makeOtherWindow());
    ASSERT_TRUE(other);

    int failures = 0;
    int dynasty = 1, era = 0;
    auto step = [&](int i) {
        // A dynasty change every few queries (one in four also picks an era),
        // so that `changes` of each happen over the run.
        const int every = queries / changes > 0 ? queries / changes : 1;
        if (i % every == 0) {
            dynasty = 1 + (i / every) % catalogue::dynastyCount();
            soak.chooseDynasty(dynasty);
            era = 0;
            if ((i / every) % 4 == 1) {
                era = static_cast<int>(catalogue::eraNames(dynasty).size()) - 1;
                soak.chooseEra(era);
            }
            pumpOwnMessages();
        }
        const int counts[] = {1, 3, 7, 12, 99, 100, 9999, -5, -999};
        const std::string count = std::to_string(counts[i % 9]);
        const auto result = soak.query(dynasty, era, count);
        if (!result && ++failures <= 5) ADD_FAILURE() << "query " << i << ": " << result.message();
        if (i % 100 == 50) {
            EXPECT_TRUE(soak.menuBox(ui::kSoftwareNotesMenuId, "软件说明"));
            EXPECT_TRUE(soak.menuBox(ui::kAboutProgramMenuId, "关于"));
        }
        if (i % 50 == 25) {
            soak.moveAndReactivate(other.get(), i);
            pumpOwnMessages();
        }
    };

    for (int i = 0; i < warmUp; ++i) step(i);
    const Counts before = measure(program.processId());
    for (int i = warmUp; i < warmUp + queries; ++i) step(i);
    const Counts after = measure(program.processId());

    EXPECT_EQ(failures, 0);
    std::printf("windows %d -> %d, GDI %lu -> %lu, USER %lu -> %lu, handles %lu -> %lu, private KiB %lu -> %lu\n",
                before.windows, after.windows, before.gdiObjects, after.gdiObjects, before.userObjects,
                after.userObjects, before.handles, after.handles,
                static_cast<unsigned long>(before.privateBytes / 1024),
                static_cast<unsigned long>(after.privateBytes / 1024));
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.userObjects, before.userObjects);
    EXPECT_EQ(after.handles, before.handles);
    // Wine counts no GDI or USER objects for another process, so committed
    // memory stands in for them: every leaked object costs heap. Allow one
    // heap growth step for allocator slack, not a trend.
    EXPECT_LE(after.privateBytes, before.privateBytes + 256 * 1024);
}

}  // namespace
