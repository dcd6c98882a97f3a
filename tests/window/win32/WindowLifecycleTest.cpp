// Opening and closing the editor window: many times without leaking, several editors sharing the
// window class, the host's mistakes (no parent, a parent destroyed first, idle and close calls
// without an open editor) answered without a crash, and a host closing the editor or the plug-in
// from inside the loop of a menu or dialog that waits for the user.

#include "WindowTestSupport.h"

#include <psapi.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <winternl.h>

namespace window_test {

namespace {

using EditorWindowLifecycle = EditorWindowTest;

HMODULE PluginModule(const hostkit::PluginHost& host) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(host.Effect()->dispatcher), &module);
    return module;
}

bool ClassRegistered(HMODULE module) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    return GetClassInfoExW(module, L"VornaWndClass", &info) != FALSE;
}

// Windows of this process: every top-level one and all their children.
BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTree(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, &CountChild, count);
    return TRUE;
}

int ProcessWindowCount() {
    int count = 0;
    EnumWindows(&CountTree, reinterpret_cast<LPARAM>(&count));
    return count;
}

// GDI objects of this process: the system's count where it keeps one; else (Wine) the used
// entries of the process's GDI handle table, which the 64-bit environment block points to;
// -1 when neither is available.
long GdiObjectCount() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<long>(count);
#if defined(_WIN64)
    struct Entry {
        std::uint64_t object;
        std::uint32_t owner;
        std::uint16_t unique;
        std::uint8_t type;
        std::uint8_t flags;
        std::uint64_t user;
    };
    static_assert(sizeof(Entry) == 24, "handle table entry");
    const auto* environment =
        reinterpret_cast<const unsigned char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const auto* table = *reinterpret_cast<const Entry* const*>(environment + 0xF8);
    if (!table) return -1;
    long count = 0;
    for (int i = 0; i < 0x10000; ++i) count += table[i].type != 0;
    return count;
#else
    return -1;
#endif
}

// USER objects: the system's count, else the windows of this process (top-level and children).
long UserObjectCount() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
        return static_cast<long>(count);
    return ProcessWindowCount();
}

// Committed private memory of this process, summed over its address space.
std::size_t PrivateBytes() {
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION region = {};
    const char* address = nullptr;
    while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

struct Usage {
    long gdi;
    long user;
    int windows;
    std::size_t privateBytes;
};

Usage MeasureUsage() {
    return {GdiObjectCount(), UserObjectCount(), ProcessWindowCount(), PrivateBytes()};
}

// The host closing the editor, the plug-in or both from its own timer, which the loop of a menu or
// dialog dispatches like any other message (a DAW closing its project does this), as soon as a
// window of the class given shows.
struct HostClose {
    WindowHost* host = nullptr;
    const wchar_t* waitClass = nullptr;
    bool editor = false;
    bool plugin = false;
    std::atomic<bool> done{false};
};
HostClose* armedClose = nullptr;
constexpr UINT_PTR kCloseTimer = 77;

void CALLBACK CloseFromTimer(HWND frame, UINT, UINT_PTR id, DWORD) {
    HostClose* close = armedClose;
    if (!close || close->done || !FindProcessWindow(close->waitClass, nullptr)) return;
    KillTimer(frame, id);
    close->done = true;
    if (close->editor) close->host->CloseEditor();
    if (close->plugin) close->host->host.CloseInstance();
}

// Arms the close, clicks the editor point and, once the menu shows, chooses its item at the
// position given (-1: none). True when the wait ended within two seconds of the close; what
// still waits after that is dismissed, so that the test fails instead of waiting for ever.
bool CloseWhileWaiting(WindowHost& host, HostClose& close, Point click, int menuItem = -1) {
    close.host = &host;
    armedClose = &close;
    SetTimer(host.Frame(), kCloseTimer, 30, &CloseFromTimer);
    std::atomic<bool> stuck{false};
    Responder watch([&] {
        if (menuItem >= 0) {
            if (HWND menu = WaitForProcessWindow(L"#32768", nullptr, 5000)) {
                std::vector<WPARAM> keys(static_cast<std::size_t>(menuItem) + 1, VK_DOWN);
                keys.push_back(VK_RETURN);
                PostMenuKeys(menu, keys);
            }
        }
        for (int i = 0; i < 250 && !close.done; ++i) Sleep(20);
        if (!close.done) return;
        for (int i = 0; i < 100; ++i) {
            if (!FindProcessWindow(close.waitClass, nullptr)) return;
            Sleep(20);
        }
        stuck = true;
        while (HWND left = FindProcessWindow(close.waitClass, nullptr)) {
            PostMessageW(left, WM_KEYDOWN, VK_ESCAPE, 1);
            PostMessageW(left, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
            PostMessageW(left, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            Sleep(100);
        }
    });
    host.Click(click.x, click.y);
    watch.Wait();
    host.Pump(100);
    KillTimer(host.Frame(), kCloseTimer);
    armedClose = nullptr;
    return close.done && !stuck;
}

} // namespace

TEST_F(EditorWindowLifecycle, ClosingTheEditorWhileAMenuOrBoxWaitsEndsItAndItsCommand) {
    const HMODULE module = PluginModule(host.host);
    const std::string before = host.ProgramName();
    // The LOAD menu, then the question "INIT" asks.
    for (Point click : {kLoadMenu, kInitButton}) {
        ASSERT_EQ(host.OpenEditor(), 1);
        host.Pump(100);
        HostClose close;
        close.waitClass = click.x == kLoadMenu.x ? L"#32768" : L"#32770";
        close.editor = true;
        EXPECT_TRUE(CloseWhileWaiting(host, close, click)) << DescribeWindows();
        EXPECT_EQ(host.Editor(), nullptr);
        EXPECT_FALSE(ClassRegistered(module));
    }
    EXPECT_EQ(host.ProgramName(), before) << "the unanswered question initialised the program";
    ASSERT_EQ(host.OpenEditor(), 1);
    host.Pump(100);
    EXPECT_NE(host.Editor(), nullptr);
}

TEST_F(EditorWindowLifecycle, DestroyingThePluginWhileAMenuOrDialogWaitsEndsItAndTheHostGoesOn) {
    const HMODULE module = PluginModule(host.host);
    {
        // The LOAD menu; the host closes the editor, then the plug-in.
        ASSERT_EQ(host.OpenEditor(), 1);
        host.Pump(100);
        HostClose close;
        close.waitClass = L"#32768";
        close.editor = close.plugin = true;
        EXPECT_TRUE(CloseWhileWaiting(host, close, kLoadMenu)) << DescribeWindows();
        EXPECT_EQ(host.host.Effect(), nullptr);
        EXPECT_EQ(host.Editor(), nullptr);
        EXPECT_FALSE(ClassRegistered(module));
    }
    {
        // "SAVE", "Save Program (FXP)": the save dialog; the host closes only the plug-in.
        ASSERT_NE(host.host.CreateInstance(), nullptr);
        host.host.Open(44100.0, 512);
        ASSERT_EQ(host.OpenEditor(), 1);
        host.Pump(100);
        HostClose close;
        close.waitClass = L"#32770";
        close.plugin = true;
        EXPECT_TRUE(CloseWhileWaiting(host, close, kSaveMenu, 0)) << DescribeWindows();
        EXPECT_EQ(host.Editor(), nullptr);
        EXPECT_FALSE(ClassRegistered(module));
    }
    ASSERT_NE(host.host.CreateInstance(), nullptr);
    host.host.Open(44100.0, 512);
    ASSERT_EQ(host.OpenEditor(), 1);
    host.Pump(100);
    EXPECT_NE(host.Editor(), nullptr);
}

TEST_F(EditorWindowLifecycle, AHundredOpenAndCloseCyclesLeakNothing) {
    auto cycle = [&](bool withTooltip) {
        ASSERT_EQ(host.OpenEditor(), 1);
        host.Pump(45); // a redraw tick paints
        if (withTooltip) {
            host.PointAt(kSendButton.x, kSendButton.y);
            ASSERT_TRUE(host.PumpUntil(
                [] { return FindProcessWindow(L"tooltips_class32", nullptr) != nullptr; }, 3000));
            host.PointAway();
        }
        // The name entry brings its box, font and brush, and closes with the window.
        host.Click(kProgramName.x, kProgramName.y);
        ASSERT_NE(FindWindowExW(host.Editor(), nullptr, L"Edit", nullptr), nullptr);
        ASSERT_EQ(host.CloseEditor(), 1);
        host.Pump(5);
    };
    for (int i = 0; i < 3; ++i) cycle(i == 0);
    const Usage before = MeasureUsage();
    ASSERT_GT(before.windows, 0);
    ASSERT_GT(before.privateBytes, 0u);
    for (int i = 0; i < 100; ++i) {
        // Every 20th cycle shows the tooltip too (it waits for the pointer to rest).
        cycle(i % 20 == 0);
        if (HasFatalFailure()) return;
    }
    const Usage after = MeasureUsage();
    EXPECT_EQ(after.windows, before.windows);
    if (before.gdi >= 0)
        EXPECT_LE(after.gdi, before.gdi);
    else
        std::printf("GDI objects cannot be counted here (the 64-bit build checks them)\n");
    EXPECT_LE(after.user, before.user);
    // The heap may settle by some pages; a leak per cycle of even a small bitmap would not fit.
    EXPECT_LT(after.privateBytes, before.privateBytes + 128 * 1024)
        << before.privateBytes << " -> " << after.privateBytes;
    EXPECT_FALSE(ClassRegistered(PluginModule(host.host)));
}

TEST_F(EditorWindowLifecycle, SeveralEditorsShareTheWindowClassUntilTheLastCloses) {
    WindowHost second;
    ASSERT_TRUE(second.Loaded());
    const HMODULE module = PluginModule(host.host);
    EXPECT_FALSE(ClassRegistered(module));
    ASSERT_EQ(host.OpenEditor(), 1);
    ASSERT_EQ(second.OpenEditor(), 1);
    EXPECT_TRUE(ClassRegistered(module));
    host.Pump(100);
    ASSERT_EQ(host.CloseEditor(), 1);
    EXPECT_TRUE(ClassRegistered(module));
    // The second editor goes on: its drag still reaches its host.
    second.host.calls.clear();
    second.Press(kVolumeKnob.x, kVolumeKnob.y);
    second.Move(kVolumeKnob.x, kVolumeKnob.y + 10, MK_LBUTTON);
    second.Release(kVolumeKnob.x, kVolumeKnob.y + 10);
    EXPECT_EQ(second.host.CountCalls(vst2::audioMasterEndEdit), 1);
    ASSERT_EQ(second.CloseEditor(), 1);
    EXPECT_FALSE(ClassRegistered(module));
    ASSERT_EQ(host.OpenEditor(), 1);
    EXPECT_TRUE(ClassRegistered(module));
}

TEST_F(EditorWindowLifecycle, ANullOrInvalidParentIsRefused) {
    const int windows = ProcessWindowCount();
    EXPECT_EQ(host.OpenEditorOn(nullptr), 0);
    EXPECT_EQ(host.OpenEditorOn(reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x7ff1234))),
              0);
    HWND gone = CreateFrame(100, 100);
    DestroyWindow(gone);
    EXPECT_EQ(host.OpenEditorOn(gone), 0);
    EXPECT_EQ(ProcessWindowCount(), windows);
    EXPECT_FALSE(ClassRegistered(PluginModule(host.host)));
    EXPECT_EQ(host.OpenEditor(), 1);
}

TEST_F(EditorWindowLifecycle, AParentDestroyedBeforeTheCloseIsNoCrash) {
    const HMODULE module = PluginModule(host.host);
    ASSERT_EQ(host.OpenEditor(), 1);
    host.Pump(60);
    host.DestroyFrame();
    host.Pump(100);
    EXPECT_EQ(host.host.Dispatch(vst2::effEditIdle), 0);
    EXPECT_EQ(host.CloseEditor(), 1);
    EXPECT_FALSE(ClassRegistered(module));

    // Only the editor window destroyed, with the name entry open.
    host.NewFrame();
    ASSERT_EQ(host.OpenEditor(), 1);
    host.Click(kProgramName.x, kProgramName.y);
    DestroyWindow(host.Editor());
    host.Pump(100);
    EXPECT_EQ(host.CloseEditor(), 1);
    EXPECT_FALSE(ClassRegistered(module));
    ASSERT_EQ(host.OpenEditor(), 1);
    host.Pump(100);
    EXPECT_NE(host.Editor(), nullptr);
}

TEST_F(EditorWindowLifecycle, IdleAndCloseWithoutAnOpenEditorDoNothing) {
    EXPECT_EQ(host.host.Dispatch(vst2::effEditIdle), 0);
    host.CloseEditor();
    ASSERT_EQ(host.OpenEditor(), 1);
    EXPECT_EQ(host.CloseEditor(), 1);
    host.CloseEditor();
    EXPECT_EQ(host.Editor(), nullptr);
    EXPECT_EQ(host.host.Dispatch(vst2::effEditIdle), 0);
    // Opening twice without a close: one window.
    ASSERT_EQ(host.OpenEditor(), 1);
    ASSERT_EQ(host.OpenEditor(), 1);
    int editors = 0;
    for (HWND w = FindWindowExW(host.Frame(), nullptr, L"VornaWndClass", nullptr); w;
         w = FindWindowExW(host.Frame(), w, L"VornaWndClass", nullptr))
        ++editors;
    EXPECT_EQ(editors, 1);
}

} // namespace window_test
