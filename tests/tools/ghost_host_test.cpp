// The demo ghost host as its users see it: the block it publishes, the
// requests its ghosts log and answer, its commands and broadcasts.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <thread>

#include "tests/support/ghost_host_fixture.h"
#include "tests/support/waiting.h"
#include "tools/ghost_host/host_directory_writer.h"
#include "tools/ghost_host/host_protocol.h"

namespace quillbin::win {
namespace {

// "ゴースト" in code page 932 and in UTF-8.
const std::string kGhostCp932 = "\x83\x53\x81\x5B\x83\x58\x83\x67";
const std::string kGhostUtf8 = "\xE3\x82\xB4\xE3\x83\xBC\xE3\x82\xB9\xE3\x83\x88";

struct ListedGhost {
    std::string id;
    std::string name;
    uint64_t hwnd = 0;
};

uint32_t SizeField(const std::string& block) {
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(block[i]);
    return size;
}

// Reads the block the way its format says, checking the framing on the way:
// size field, records of id.key\x01value ended by CR LF, one NUL at `size`.
std::vector<ListedGhost> ReadListedGhosts() {
    std::string block;
    if (!ReadSakuraBlock(block)) {
        ADD_FAILURE() << "no block Sakura";
        return {};
    }
    uint32_t size = SizeField(block);
    if (size < 4 || size >= block.size()) {
        ADD_FAILURE() << "size field " << size;
        return {};
    }
    EXPECT_EQ(block[size], '\0');
    std::string text = block.substr(4, size - 4);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    std::vector<ListedGhost> ghosts;
    bool first = true;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "last record not ended";
        if (end == std::string::npos) break;
        std::string record = text.substr(at, end - at);
        at = end + 2;
        size_t dot = record.find('.');
        size_t sep = record.find('\x01');
        EXPECT_TRUE(dot != std::string::npos && sep != std::string::npos && dot < sep) << record;
        if (dot == std::string::npos || sep == std::string::npos) continue;
        std::string id = record.substr(0, dot);
        std::string key = record.substr(dot + 1, sep - dot - 1);
        std::string value = record.substr(sep + 1);
        if (first) {
            EXPECT_EQ(id.rfind("zed_fmo_header_dummyentry_", 0), 0u) << "first record: " << record;
            first = false;
            continue;
        }
        if (ghosts.empty() || ghosts.back().id != id) ghosts.push_back({id, "", 0});
        if (key == "hwnd") ghosts.back().hwnd = std::stoull(value);
        if (key == "name") ghosts.back().name = value;
    }
    EXPECT_FALSE(first) << "no header record";
    return ghosts;
}

std::vector<std::string> Names(const std::vector<ListedGhost>& ghosts) {
    std::vector<std::string> out;
    for (const auto& g : ghosts) out.push_back(g.name);
    return out;
}

HWND AsWindow(uint64_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }

// A hidden top-level window of the test: it sends requests (its handle is
// the wParam) and sees the host's "sakura" broadcasts.
class TestWindow {
public:
    TestWindow() : m_sakura(::RegisterWindowMessageA("sakura")) {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = Proc;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"QuillbinGhostHostTestWindow";
        ::RegisterClassExW(&cls);  // fails harmlessly when already registered
        m_window =
            ::CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, cls.hInstance, this);
    }
    ~TestWindow() { ::DestroyWindow(m_window); }

    HWND window() const { return m_window; }
    int refreshes() const { return m_refreshes; }
    // Runs inside the handler of each "sakura" refresh message.
    std::function<void()> onRefresh;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == self->m_sakura && wParam == kSakuraRefreshWParam) {
            ++self->m_refreshes;
            if (self->onRefresh) self->onRefresh();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    UINT m_sakura;
    HWND m_window = nullptr;
    int m_refreshes = 0;
};

struct Sent {
    bool delivered = false;
    DWORD_PTR answer = 0;
    DWORD elapsedMs = 0;
};

Sent SendCopyData(HWND ghost, HWND sender, uint64_t dwData, const std::string* bytes, UINT timeoutMs = 5000) {
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(dwData);
    if (bytes) {
        data.cbData = static_cast<DWORD>(bytes->size());
        data.lpData = const_cast<char*>(bytes->data());
    }
    Sent sent;
    DWORD started = ::GetTickCount();
    sent.delivered =
        ::SendMessageTimeoutA(ghost, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&data),
                              SMTO_ABORTIFHUNG, timeoutMs, &sent.answer) != 0;
    sent.elapsedMs = ::GetTickCount() - started;
    return sent;
}

// Runs ghost_host.exe with `arguments` to its end; its exit code.
DWORD RunHostProgram(const std::vector<std::wstring>& arguments) {
    std::optional<ChildRun> run = RunToEnd(ProgramDirectory() + L"ghost_host.exe", arguments, 15000);
    return run ? run->exitCode : 0xFFFFFFFF;
}

TEST(GhostHost, PublishesTheGhostsItRunsAndTheBlockEndsWithIt) {
    {
        GhostHostProcess host({"--ghost", "Alpha", "--ghost", kGhostUtf8 + ":zero", "--hidden"});
        ASSERT_TRUE(host.ready()) << host.error();
        std::vector<ListedGhost> ghosts = ReadListedGhosts();
        ASSERT_EQ(Names(ghosts), (std::vector<std::string>{"Alpha", kGhostCp932}));
        EXPECT_NE(ghosts[0].id, ghosts[1].id);
        for (const ListedGhost& ghost : ghosts) {
            EXPECT_EQ(ghost.id, GhostDirectoryId(host.ProcessId(), static_cast<uint32_t>(ghost.hwnd)));
            DWORD pid = 0;
            ::GetWindowThreadProcessId(AsWindow(ghost.hwnd), &pid);
            EXPECT_EQ(pid, host.ProcessId()) << ghost.id;
            wchar_t cls[64] = {};
            ::GetClassNameW(AsWindow(ghost.hwnd), cls, 64);
            EXPECT_STREQ(cls, kDemoGhostWindowClass);
        }
    }
    std::string block;
    EXPECT_FALSE(ReadSakuraBlock(block)) << "the block outlived its host";
}

TEST(GhostHost, DefaultsToOneGhostThatAnswersOk) {
    GhostHostProcess host({"--hidden"});
    ASSERT_TRUE(host.ready()) << host.error();
    std::vector<ListedGhost> ghosts = ReadListedGhosts();
    ASSERT_EQ(Names(ghosts), std::vector<std::string>{"Quillbin Demo Ghost"});
    TestWindow sender;
    std::string request = "NOTIFY SSTP/1.0\r\n\r\n";
    Sent sent = SendCopyData(AsWindow(ghosts[0].hwnd), sender.window(), 9801, &request);
    EXPECT_TRUE(sent.delivered);
    EXPECT_EQ(sent.answer, 1u);
}

TEST(GhostHost, LogsEveryRequestByteForByteAndAnswersAsTold) {
    GhostHostProcess host({"--ghost", "Ok One", "--ghost", "Zero:zero", "--ghost", "Slow:delay=700", "--hidden"});
    ASSERT_TRUE(host.ready()) << host.error();
    std::vector<ListedGhost> ghosts = ReadListedGhosts();
    ASSERT_EQ(ghosts.size(), 3u);
    TestWindow sender;

    const std::string sstp = "NOTIFY SSTP/1.0\r\nCharset: Shift_JIS\r\nEvent: X\r\nReference0: " + kGhostCp932 +
                             std::string("\x01\0\n@request ghost=fake\n\r\n\r\n", 27);
    const std::string huge(1 << 20, '\x83');
    const struct {
        size_t ghost;
        uint64_t dwData;
        const std::string* bytes;  // null: no data at all
        DWORD_PTR answer;
        DWORD atLeastMs;
    } cases[] = {
        {0, 9801, &sstp, 1, 0},       {1, 9801, &sstp, 0, 0},
        {2, 9801, &sstp, 1, 650},     {0, 42, &sstp, 1, 0},  // not an SSTP request: logged all the same
        {0, 9801, nullptr, 1, 0},                            // no data
        {0, 0x51424748, &huge, 1, 0},                        // the command id sent to a ghost is just a request
    };
    std::vector<DWORD> sentAt;
    for (const auto& c : cases) {
        sentAt.push_back(::GetTickCount());
        Sent sent = SendCopyData(AsWindow(ghosts[c.ghost].hwnd), sender.window(), c.dwData, c.bytes);
        EXPECT_TRUE(sent.delivered) << "ghost " << c.ghost;
        EXPECT_EQ(sent.answer, c.answer) << "ghost " << c.ghost;
        EXPECT_GE(sent.elapsedMs, c.atLeastMs) << "ghost " << c.ghost;
    }
    ASSERT_TRUE(host.WaitForRequests(std::size(cases), 5000));
    std::vector<LoggedRequest> logged = host.Requests();
    ASSERT_EQ(logged.size(), std::size(cases));
    const char* names[] = {"Ok One", "Zero", "Slow"};
    for (size_t i = 0; i < logged.size(); ++i) {
        const auto& c = cases[i];
        const LoggedRequest& r = logged[i];
        SCOPED_TRACE("request " + std::to_string(i));
        EXPECT_EQ(r.ghost, names[c.ghost]);
        EXPECT_EQ(r.index, c.ghost);
        EXPECT_EQ(r.hwnd, ghosts[c.ghost].hwnd);
        EXPECT_EQ(r.dwData, c.dwData);
        EXPECT_EQ(r.sender, reinterpret_cast<uintptr_t>(sender.window()));
        EXPECT_EQ(r.bytes, c.bytes ? *c.bytes : std::string());
        EXPECT_EQ(r.cbData, r.bytes.size());
        EXPECT_LE(r.tick - sentAt[i], 2000u);
    }
    EXPECT_TRUE(host.Running());
}

TEST(GhostHost, ASlowGhostDelaysNoOtherGhostNorTheControlWindow) {
    GhostHostProcess host({"--ghost", "Slow:delay=3000", "--ghost", "Quick", "--hidden"});
    ASSERT_TRUE(host.ready()) << host.error();
    std::vector<ListedGhost> ghosts = ReadListedGhosts();
    ASSERT_EQ(ghosts.size(), 2u);
    const std::string request = "NOTIFY SSTP/1.0\r\n\r\n";
    Sent slow;
    std::thread waiting([&] { slow = SendCopyData(AsWindow(ghosts[0].hwnd), nullptr, 9801, &request); });
    ASSERT_TRUE(host.WaitForRequests(1, 2000));  // the slow ghost is now waiting

    TestWindow sender;
    Sent quick = SendCopyData(AsWindow(ghosts[1].hwnd), sender.window(), 9801, &request);
    DWORD started = ::GetTickCount();
    bool added = host.Command("add Later");
    DWORD commandMs = ::GetTickCount() - started;
    waiting.join();

    EXPECT_TRUE(quick.delivered);
    EXPECT_EQ(quick.answer, 1u);
    EXPECT_LT(quick.elapsedMs, 2000u);
    EXPECT_TRUE(added);
    EXPECT_LT(commandMs, 2000u);
    EXPECT_EQ(slow.answer, 1u);
    EXPECT_GE(slow.elapsedMs, 2900u);
}

TEST(GhostHost, CommandsChangeTheBlockAndBroadcastARefresh) {
    GhostHostProcess host({"--ghost", "A", "--hidden"});
    ASSERT_TRUE(host.ready()) << host.error();
    TestWindow watcher;
    HWND first = AsWindow(ReadListedGhosts().at(0).hwnd);

    const struct {
        const char* command;
        bool accepted;
        std::vector<std::string> listed;
    } steps[] = {
        {"add B:zero", true, {"A", "B"}},
        {"add A", true, {"A", "B", "A"}},
        {"remove A", true, {"B"}},
        {"remove Nobody", false, {"B"}},
        {"dance", false, {"B"}},
        {"add C:delay=10", true, {"B", "C"}},
        {"clear", true, {}},
        {"add D", true, {"D"}},
    };
    int broadcasts = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command);
        EXPECT_EQ(host.Command(step.command), step.accepted);
        EXPECT_EQ(Names(ReadListedGhosts()), step.listed);
        if (step.accepted) {
            ++broadcasts;
            EXPECT_TRUE(PumpUntil([&] { return watcher.refreshes() >= broadcasts; }, 5000));
        }
    }
    // The host posts its broadcast before it answers a command: all it sent
    // is queued by now.
    DispatchQueued();
    EXPECT_EQ(watcher.refreshes(), broadcasts) << "a rejected command broadcast";
    // A removed ghost's window goes with it.
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(first); }, 5000));
}

TEST(GhostHost, AGoneGhostStaysListedWithoutAWindow) {
    GhostHostProcess host({"--ghost", "Here", "--ghost", "Gone:gone", "--hidden"});
    ASSERT_TRUE(host.ready()) << host.error();
    std::vector<ListedGhost> ghosts = ReadListedGhosts();
    ASSERT_EQ(Names(ghosts), (std::vector<std::string>{"Here", "Gone"}));
    EXPECT_TRUE(::IsWindow(AsWindow(ghosts[0].hwnd)));
    EXPECT_NE(ghosts[1].hwnd, 0u);
    EXPECT_FALSE(::IsWindow(AsWindow(ghosts[1].hwnd)));
    const std::string request = "NOTIFY SSTP/1.0\r\n\r\n";
    EXPECT_FALSE(SendCopyData(AsWindow(ghosts[1].hwnd), nullptr, 9801, &request, 1000).delivered);
    // Still listed, still gone, after the block is written again.
    ASSERT_TRUE(host.Command("add Next:gone"));
    ghosts = ReadListedGhosts();
    ASSERT_EQ(Names(ghosts), (std::vector<std::string>{"Here", "Gone", "Next"}));
    EXPECT_FALSE(::IsWindow(AsWindow(ghosts[1].hwnd)));
    EXPECT_FALSE(::IsWindow(AsWindow(ghosts[2].hwnd)));
}

TEST(GhostHost, AReentrantGhostEmptiesTheBlockAndMakesTheSenderRefreshInsideItsSend) {
    GhostHostProcess host({"--ghost", "Calm", "--ghost", "Tricky:reentrant", "--hidden"});
    ASSERT_TRUE(host.ready()) << host.error();
    std::vector<ListedGhost> ghosts = ReadListedGhosts();
    ASSERT_EQ(ghosts.size(), 2u);
    TestWindow sender;
    bool insideSend = false;
    std::vector<std::vector<ListedGhost>> seen;
    sender.onRefresh = [&] {
        EXPECT_TRUE(insideSend);
        seen.push_back(ReadListedGhosts());
    };
    const std::string request = "NOTIFY SSTP/1.0\r\n\r\n";
    insideSend = true;
    Sent sent = SendCopyData(AsWindow(ghosts[1].hwnd), sender.window(), 9801, &request);
    insideSend = false;
    EXPECT_TRUE(sent.delivered);
    EXPECT_EQ(sent.answer, 1u);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].empty());
}

TEST(GhostHost, TheCommandOptionReachesTheRunningHost) {
    GhostHostProcess host({"--hidden"});
    ASSERT_TRUE(host.ready()) << host.error();
    EXPECT_EQ(RunHostProgram({L"--command", L"add Via " + std::wstring(L"\u30B4\u30FC\u30B9\u30C8")}), 0u);
    EXPECT_EQ(Names(ReadListedGhosts()), (std::vector<std::string>{"Quillbin Demo Ghost", "Via " + kGhostCp932}));
    EXPECT_EQ(RunHostProgram({L"--command", L"add Bad:never"}), 1u);
    EXPECT_EQ(RunHostProgram({L"--bogus"}), 2u);
    EXPECT_EQ(RunHostProgram({L"--command", L"quit"}), 0u);
    EXPECT_TRUE(host.WaitForExit(5000));
    EXPECT_EQ(host.ExitCode(), 0u);
    EXPECT_EQ(RunHostProgram({L"--command", L"quit"}), 4u);
}

}  // namespace
}  // namespace quillbin::win
