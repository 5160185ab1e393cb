#include "update/QuietUpdateCheck.h"

#include "update/Transfer.h"
#include "update/UpdateCheck.h"

namespace {

// The transfer ends at once when cancelled; only the machine name lookup before it
// cannot be cut short.
constexpr DWORD kStopWaitMs = 2000;

} // namespace

// Shared by the thread and its starter, so that either may go first.
struct QuietUpdateCheck::Run {
    HWND window = nullptr;
    UINT message = 0;
    UpdateParams params;
    TransferCancellation cancellation;
};

bool QuietUpdateCheck::Start(HWND window, UINT message, const UpdateParams& params) noexcept {
    Stop();
    try {
        auto run = std::make_shared<Run>();
        run->window = window;
        run->message = message;
        run->params = params;
        auto* handed = new std::shared_ptr<Run>(run);
        thread_.reset(::CreateThread(nullptr, 0, &Check, handed, 0, nullptr));
        if (!thread_) {
            delete handed;
            return false;
        }
        run_ = std::move(run);
        return true;
    } catch (...) {
        return false;
    }
}

void QuietUpdateCheck::Stop() noexcept {
    if (run_) {
        run_->cancellation.Cancel();
        ::WaitForSingleObject(thread_.get(), kStopWaitMs);
    }
    thread_.reset();
    run_.reset();
}

DWORD WINAPI QuietUpdateCheck::Check(void* parameter) noexcept {
    const std::unique_ptr<std::shared_ptr<Run>> handed(static_cast<std::shared_ptr<Run>*>(parameter));
    Run& run = **handed;
    const int result = RunUpdate(nullptr, run.params, true, &run.cancellation);
    if (!run.cancellation.Cancelled()) {
        ::PostMessageW(run.window, run.message, static_cast<WPARAM>(result), 0);
    }
    return 0;
}
