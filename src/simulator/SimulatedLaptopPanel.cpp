#include "simulator/SimulatedLaptopPanel.h"

#include "common/CriticalSection.h"

#include <wbemidl.h>

#include <mutex>
#include <utility>

namespace {

struct SimulatedPanel {
    SimulatedLaptopPanelDescription panelDescription;
    SimulatedLaptopPanelState state;
};

// One lock for the installed panel and every panel's state: the calls are rare and short.
CriticalSection panelLock;
// Backends keep their panel alive, so a backlight attached before a removal still works.
std::shared_ptr<SimulatedPanel> installedPanel;
std::function<void()> changeListener;

// COM serves the messages sent to a single-threaded apartment while it waits for the
// answer of an outgoing call: a window procedure of the caller may run inside the call.
void DispatchSentMessages() {
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

class SimulatedLaptopPanelBackend final : public LaptopPanelBackend {
public:
    explicit SimulatedLaptopPanelBackend(std::shared_ptr<SimulatedPanel> panel) : panel_(std::move(panel)) {
        std::lock_guard guard(panelLock);
        ++panel_->state.liveBackends;
    }
    ~SimulatedLaptopPanelBackend() override {
        std::lock_guard guard(panelLock);
        --panel_->state.liveBackends;
    }
    SimulatedLaptopPanelBackend(const SimulatedLaptopPanelBackend&) = delete;
    SimulatedLaptopPanelBackend& operator=(const SimulatedLaptopPanelBackend&) = delete;

    HRESULT Connect(const std::function<void()>& onInstanceFound) override {
        {
            std::lock_guard guard(panelLock);
            if (!panel_->panelDescription.present || panel_->panelDescription.wmiMissing) {
                // What a machine without the brightness classes answers.
                return static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);
            }
        }
        hasSetBrightnessMethod_ = true;
        onInstanceFound();
        return WBEM_S_FALSE;
    }

    bool QueryDriverLevels(std::vector<uint8_t>& levels) override {
        std::lock_guard guard(panelLock);
        if (!panel_->panelDescription.present) {
            return false;
        }
        ++panel_->state.deviceOpenCount;
        if (panel_->panelDescription.driverRequestFails) {
            return false;
        }
        levels = panel_->panelDescription.levels;
        return true;
    }

    HRESULT SetBrightness(uint8_t level) override {
        if (!hasSetBrightnessMethod_) {
            return kNoSetBrightnessMethod;
        }
        DispatchSentMessages();
        std::function<void()> listener;
        {
            std::lock_guard guard(panelLock);
            if (panel_->panelDescription.setFails) {
                return static_cast<HRESULT>(WBEM_E_FAILED);
            }
            panel_->state.currentLevel = level;
            panel_->state.levelsSet.push_back(level);
            listener = changeListener;
        }
        if (listener) {
            listener(); // outside the lock: it reads the panel's state
        }
        return S_OK;
    }

    std::optional<uint8_t> ReadCurrentBrightness(uint64_t index) override {
        DispatchSentMessages();
        std::lock_guard guard(panelLock);
        const SimulatedLaptopPanelDescription& panelDescription = panel_->panelDescription;
        // The platform lists one panel, and only when it has the brightness classes.
        if (!panelDescription.present || panelDescription.wmiMissing || panelDescription.getFails ||
            index != 0) {
            return std::nullopt;
        }
        return panel_->state.currentLevel;
    }

private:
    std::shared_ptr<SimulatedPanel> panel_;
    bool hasSetBrightnessMethod_ = false;
};

} // namespace

void InstallSimulatedLaptopPanel(const SimulatedLaptopPanelDescription& panelDescription) {
    auto panel = std::make_shared<SimulatedPanel>();
    panel->panelDescription = panelDescription;
    panel->state.currentLevel = panelDescription.currentLevel;
    std::lock_guard guard(panelLock);
    installedPanel = std::move(panel);
}

void SetSimulatedLaptopPanelListener(std::function<void()> listener) {
    std::lock_guard guard(panelLock);
    changeListener = std::move(listener);
}

void RemoveSimulatedLaptopPanel() {
    std::lock_guard guard(panelLock);
    installedPanel.reset();
}

std::optional<SimulatedLaptopPanelState> ReadSimulatedLaptopPanel() {
    std::lock_guard guard(panelLock);
    if (!installedPanel) {
        return std::nullopt;
    }
    return installedPanel->state;
}

std::unique_ptr<LaptopPanelBackend> CreateSimulatedLaptopPanelBackend() {
    std::shared_ptr<SimulatedPanel> panel;
    {
        std::lock_guard guard(panelLock);
        panel = installedPanel;
    }
    if (!panel) {
        return nullptr;
    }
    return std::make_unique<SimulatedLaptopPanelBackend>(std::move(panel));
}
