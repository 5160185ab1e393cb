#include "app/RemoteCommand.h"

#include "app/CommandExecution.h"
#include "app/PanelMessages.h"
#include "common/ComInitialization.h"
#include "monitor/CommandDispatcher.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/WorkerThread.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>
#include <string>

namespace {

constexpr wchar_t kAnswerWindowClass[] = L"OrvaluxCommandAnswer";
// Commands waiting to run; more arriving at once are ignored rather than piled up.
constexpr size_t kMaxWaitingCommands = 8;
constexpr UINT kAnswerTimeoutMs = 2000;

struct WaitingCommand {
    HWND panel = nullptr;
    HWND answerWindow = nullptr;
    CommandRequest request;
};
std::deque<WaitingCommand> waitingCommands; // main thread only
constexpr UINT kRetryMs = 100;
UINT_PTR retryTimer = 0;

void CALLBACK RetryRemoteCommands(HWND, UINT, UINT_PTR, DWORD) noexcept {
    ::KillTimer(nullptr, retryTimer);
    retryTimer = 0;
    try {
        RunRemoteCommands();
    } catch (...) {
        waitingCommands.clear(); // their callers time out
    }
}

std::wstring_view ClassNameOf(HWND window, wchar_t (&buffer)[64]) {
    const int length = ::GetClassNameW(window, buffer, 64);
    return std::wstring_view(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void Answer(HWND panel, HWND answerWindow, const CommandAnswerMessage& answer) {
    std::string bytes = EncodeAnswer(answer);
    COPYDATASTRUCT data{kCommandAnswerTag, static_cast<DWORD>(bytes.size()), bytes.data()};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(answerWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(panel),
                          reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &ignored);
}

// One command carried out away from the main thread: a set waits on the monitors (a
// DDC/CI write takes tens of milliseconds, and a worker's re-apply may hold a display for
// seconds), which would freeze the panel, the tray icon and the hotkeys. It answers the
// caller itself, and posts only what the panel shows.
class CommandThread final : public WorkerThread {
public:
    explicit CommandThread(WaitingCommand command) : command_(std::move(command)) {}
    ~CommandThread() override { Finish(); }

    // Asks the command to stop before its next value, and waits until it has ended. The
    // monitor list outlives this call.
    void Finish() {
        cancelled_.store(true);
        Wait();
    }

protected:
    void Run() override {
        Execute();
        // Last, once COM and the backlight are gone.
        ::PostMessageW(command_.panel, kRunRemoteCommandsMessage, 0, 0);
    }

private:
    void Execute() {
        ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        // A laptop panel's brightness goes through the calling thread's own backlight.
        std::optional<ScopedLaptopBacklight> backlight;
        if (command_.request.verb == CommandVerb::Set &&
            std::any_of(displayMonitors.begin(), displayMonitors.end(),
                        [](const DisplayMonitor* display) { return display->isLaptopPanel; })) {
            backlight.emplace();
        }
        const HWND panel = command_.panel;
        const CommandAnswerMessage answer = ExecuteCommand(
            command_.request,
            [panel](MonitorParameter parameter, uint32_t value) {
                ::PostMessageW(panel, kCommandValueShownMessage, static_cast<WPARAM>(parameter), value);
            },
            &cancelled_);
        Answer(command_.panel, command_.answerWindow, answer);
    }

    WaitingCommand command_;
    std::atomic<bool> cancelled_{false};
};
std::unique_ptr<CommandThread> runningCommand; // main thread only

// The caller's side: the answer window and what came to it.
struct PendingAnswer {
    HWND panel = nullptr; // the only window an answer is taken from
    std::optional<CommandAnswerMessage> answer;
};

LRESULT CALLBACK AnswerWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != WM_COPYDATA) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    auto* pending = reinterpret_cast<PendingAnswer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!pending || !data || reinterpret_cast<HWND>(wParam) != pending->panel || pending->answer ||
        data->dwData != kCommandAnswerTag || (data->cbData && !data->lpData)) {
        return FALSE;
    }
    try {
        pending->answer =
            DecodeAnswer(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
    } catch (...) {
        return FALSE;
    }
    return pending->answer ? TRUE : FALSE;
}

// The windows that may be a running instance's panel: dialogs of another process bound
// to the window framework's objects.
std::vector<HWND> CandidatePanels() {
    std::vector<HWND> found;
    ::EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            wchar_t buffer[64];
            if (process != ::GetCurrentProcessId() && ClassNameOf(window, buffer) == L"#32770" &&
                ::GetPropA(window, "CWnd")) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

UINT MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<UINT>(left.count()) : 0;
}

// Serves this thread's messages (the answer comes as one) for at most `milliseconds`.
void ServeMessages(UINT milliseconds) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
}

} // namespace

bool AcceptRemoteCommand(HWND panel, const COPYDATASTRUCT* data) {
    if (!data || data->dwData != kCommandRequestTag || !data->lpData ||
        waitingCommands.size() >= kMaxWaitingCommands) {
        return false;
    }
    const std::optional<CommandRequestMessage> message =
        DecodeRequest(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
    if (!message) {
        return false;
    }
    // Only a command-line start's own answer window gets an answer.
    const auto answerWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(message->answerWindow));
    wchar_t buffer[64];
    if (!::IsWindow(answerWindow) || ClassNameOf(answerWindow, buffer) != kAnswerWindowClass) {
        return false;
    }
    const std::wstring arguments(message->arguments.begin(), message->arguments.end());
    ParsedCommand parsed = ParseCommandLine(arguments);
    if (!parsed.request || parsed.request->verb == CommandVerb::Help) {
        return false;
    }
    waitingCommands.push_back({panel, answerWindow, std::move(*parsed.request)});
    ::PostMessageW(panel, kRunRemoteCommandsMessage, 0, 0);
    return true;
}

void RunRemoteCommands() {
    // The monitor list is whole exactly while the dispatcher runs: the start-up loop
    // starts it once the list is built and stops it before the list is torn down, in waits
    // that dispatch messages (this one among them). Meanwhile the commands wait.
    if (!commandDispatcher.IsRunning()) {
        if (!waitingCommands.empty() && retryTimer == 0) {
            retryTimer = ::SetTimer(nullptr, 0, kRetryMs, &RetryRemoteCommands);
        }
        return;
    }
    // One command at a time, in arrival order: the thread posts this message again when
    // it is done.
    if (runningCommand) {
        if (runningCommand->IsRunning()) {
            return;
        }
        runningCommand.reset();
    }
    if (waitingCommands.empty()) {
        return;
    }
    auto command = std::make_unique<CommandThread>(std::move(waitingCommands.front()));
    waitingCommands.pop_front();
    if (command->Start()) {
        runningCommand = std::move(command);
    }
}

void EndRemoteCommands() {
    // Taken out first: the wait below is short, but nothing may start or free it meanwhile.
    const std::unique_ptr<CommandThread> command = std::move(runningCommand);
    if (command) {
        command->Finish();
    }
}

std::optional<CommandAnswerMessage> AskRunningInstance(std::wstring_view arguments,
                                                       std::chrono::steady_clock::time_point deadline) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &AnswerWindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kAnswerWindowClass;
    ::RegisterClassW(&windowClass);
    const UniqueHwnd answerWindow(::CreateWindowExW(0, kAnswerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                    nullptr, windowClass.hInstance, nullptr));
    if (!answerWindow) {
        return std::nullopt;
    }
    PendingAnswer pending;
    ::SetWindowLongPtrW(answerWindow.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&pending));

    CommandRequestMessage request;
    request.answerWindow = reinterpret_cast<uintptr_t>(answerWindow.get());
    request.arguments.assign(arguments.begin(), arguments.end());
    std::string bytes = EncodeRequest(request);
    COPYDATASTRUCT data{kCommandRequestTag, static_cast<DWORD>(bytes.size()), bytes.data()};

    // The instance may still be starting: its panel comes a moment after its event.
    while (!pending.panel && MillisecondsUntil(deadline) > 0) {
        for (const HWND candidate : CandidatePanels()) {
            pending.panel = candidate; // an answer may come while the call below waits
            DWORD_PTR accepted = FALSE;
            if (::SendMessageTimeoutW(candidate, WM_COPYDATA, reinterpret_cast<WPARAM>(answerWindow.get()),
                                      reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                      std::max<UINT>(MillisecondsUntil(deadline), 1), &accepted) &&
                accepted == TRUE) {
                break;
            }
            pending.panel = nullptr;
        }
        if (!pending.panel) {
            ServeMessages(std::min<UINT>(50, MillisecondsUntil(deadline)));
        }
    }
    while (pending.panel && !pending.answer && MillisecondsUntil(deadline) > 0) {
        ServeMessages(MillisecondsUntil(deadline));
    }
    ::SetWindowLongPtrW(answerWindow.get(), GWLP_USERDATA, 0);
    return pending.answer;
}
