// Measures a program under Wine from the outside, as a user would see it:
//   bench_driver <program.exe> <main window title> <runs> <queries>
// Prints, as medians over the runs: process start -> welcome box shown,
// welcome box closed -> main window painted, the peak working set, and for
// <queries> > 0 the query latency (click on 查询 -> answer box shown).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double nowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerMs;
}

struct FindRequest {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM lParam) {
    auto* request = reinterpret_cast<FindRequest*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != request->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    if (wcscmp(title, request->title) != 0) return TRUE;
    request->found = window;
    return FALSE;
}

// Polls for a visible top-level window of the process with that title.
HWND waitForWindow(DWORD processId, const wchar_t* title, double timeoutMs = 20000) {
    const double start = nowMs();
    while (nowMs() - start < timeoutMs) {
        FindRequest request{processId, title, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&request));
        if (request.found) return request.found;
        Sleep(1);
    }
    return nullptr;
}

bool waitUntilGone(HWND window, double timeoutMs = 20000) {
    const double start = nowMs();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (nowMs() - start > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

// Painted: visible and no update region left, so its first WM_PAINT has been handled.
bool waitUntilPainted(HWND window, double timeoutMs = 20000) {
    const double start = nowMs();
    while (!IsWindowVisible(window) || GetUpdateRect(window, nullptr, FALSE)) {
        if (nowMs() - start > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

void closeBox(HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); }

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

struct Children {
    HWND dynasties = nullptr, eras = nullptr, count = nullptr, query = nullptr;
};

BOOL CALLBACK collectChild(HWND child, LPARAM lParam) {
    auto* children = reinterpret_cast<Children*>(lParam);
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    RECT rect;
    GetWindowRect(child, &rect);
    if (_wcsicmp(className, L"ComboBox") == 0) {
        // The dynasty list is the left one.
        if (!children->dynasties) {
            children->dynasties = child;
        } else {
            RECT other;
            GetWindowRect(children->dynasties, &other);
            if (rect.left < other.left) {
                children->eras = children->dynasties;
                children->dynasties = child;
            } else {
                children->eras = child;
            }
        }
    } else if (_wcsicmp(className, L"Edit") == 0 && GetParent(child) != nullptr) {
        wchar_t parentClass[64] = {};
        GetClassNameW(GetParent(child), parentClass, 64);
        if (_wcsicmp(parentClass, L"ComboBox") != 0) children->count = child;
    } else if (_wcsicmp(className, L"Button") == 0) {
        children->query = child;
    }
    return TRUE;
}

struct RunFigures {
    double toWelcome = 0, toPaint = 0, peakWorkingSetKiB = 0;
    std::vector<double> queries;
    bool ok = false;
};

RunFigures measureRun(const std::wstring& program, const wchar_t* title, int queries) {
    RunFigures figures;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    const double start = nowMs();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return figures;
    HWND welcome = waitForWindow(process.dwProcessId, L"欢迎");
    figures.toWelcome = nowMs() - start;
    HWND main = nullptr;
    if (welcome) {
        const double closed = nowMs();
        closeBox(welcome);
        main = waitForWindow(process.dwProcessId, title);
        if (getenv("BENCH_TRACE")) std::fprintf(stderr, "visible after %.1f ms\n", nowMs() - closed);
        if (main && waitUntilPainted(main)) figures.toPaint = nowMs() - closed;
    }
    if (main && queries > 0) {
        Children children;
        EnumChildWindows(main, collectChild, reinterpret_cast<LPARAM>(&children));
        const int dynastyCount = 11;
        for (int i = 0; i < queries && children.query; ++i) {
            // Programmatic set-up of each query; only the click itself is timed.
            const int dynasty = 1 + i % dynastyCount;
            SendMessageW(children.dynasties, CB_SETCURSEL, dynasty, 0);
            SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(children.dynasties), CBN_SELENDOK),
                         reinterpret_cast<LPARAM>(children.dynasties));
            const std::wstring count = std::to_wstring(1 + i % 9);
            SendMessageW(children.count, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(count.c_str()));
            const double clicked = nowMs();
            PostMessageW(children.query, BM_CLICK, 0, 0);
            HWND answer = waitForWindow(process.dwProcessId, L"信息：");
            if (!answer) break;
            figures.queries.push_back(nowMs() - clicked);
            closeBox(answer);
            waitUntilGone(answer);
        }
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
        figures.peakWorkingSetKiB = static_cast<double>(memory.PeakWorkingSetSize) / 1024.0;
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    figures.ok = welcome && main && figures.toPaint > 0;
    return figures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fputs("usage: bench_driver <program.exe> <main window title> <runs> <queries>\n", stderr);
        return 2;
    }
    const std::wstring program = argv[1];
    const wchar_t* title = argv[2];
    const int runs = _wtoi(argv[3]);
    const int queries = _wtoi(argv[4]);

    std::vector<double> toWelcome, toPaint, peak, allQueries;
    for (int run = 0; run < runs; ++run) {
        RunFigures figures = measureRun(program, title, run == 0 ? queries : 0);
        if (!figures.ok) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        toWelcome.push_back(figures.toWelcome);
        toPaint.push_back(figures.toPaint);
        peak.push_back(figures.peakWorkingSetKiB);
        allQueries.insert(allQueries.end(), figures.queries.begin(), figures.queries.end());
    }
    std::printf("start_to_welcome_ms %.1f\n", median(toWelcome));
    std::printf("welcome_to_paint_ms %.1f\n", median(toPaint));
    std::printf("peak_working_set_kib %.0f\n", median(peak));
    if (queries > 0) {
        std::printf("query_count %zu\n", allQueries.size());
        std::printf("query_median_ms %.2f\n", median(allQueries));
        std::printf("query_worst_ms %.2f\n",
                    allQueries.empty() ? 0.0 : *std::max_element(allQueries.begin(), allQueries.end()));
    }
    return 0;
}
