#pragma once

#include "common/ComPtr.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class LaptopPanelBackend;

// Reads and sets the backlight of a built-in laptop panel. Each thread that may touch
// a laptop panel owns one instance, registered under its thread id; the monitor
// operations always use the calling thread's instance, which is never shared with
// another thread. Reference-counted, because the registry and the callers' temporary
// references may release it from different threads.
class LaptopBacklight final : public IUnknown {
public:
    // Starts with one reference, owned by the caller.
    explicit LaptopBacklight(std::unique_ptr<LaptopPanelBackend> backend);
    LaptopBacklight(const LaptopBacklight&) = delete;
    LaptopBacklight& operator=(const LaptopBacklight&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // Whether the panel driver reports supported levels; true makes a display a laptop
    // panel. After a success the table is kept and the device is not asked again.
    virtual bool QuerySupportedLevels();
    // Sets the backlight to the supported level that `percent` selects. Fails, and sets
    // nothing, without a level table or without the platform's set-brightness method.
    // `levelSet`, when given, receives the level the panel was set to.
    virtual HRESULT SetLevelPercent(uint32_t percent, uint32_t* levelSet = nullptr);
    // The current level of the panel at `index`, with the table's first and last level;
    // 100 when the panel cannot be read.
    virtual uint32_t GetLevel(uint64_t index, uint32_t& minimum, uint32_t& maximum);

    // Prepares the platform's brightness method and asks for the supported levels of
    // the panel it belongs to.
    HRESULT Connect();

private:
    // Only Release destroys an instance.
    ~LaptopBacklight();

    std::atomic<LONG> referenceCount_{1};
    std::vector<uint8_t> levels_; // as the driver reports them: first the minimum, last the maximum
    std::unique_ptr<LaptopPanelBackend> backend_;
};

// Creates, registers and connects the calling thread's instance: 0 (also on a machine
// without brightness WMI), ERROR_ALREADY_EXISTS when the thread has one, or a negative
// COM result when the platform is unusable.
HRESULT AttachLaptopBacklight();
// The calling thread's instance with a reference added, or none.
ComPtr<LaptopBacklight> CurrentLaptopBacklight();
// Removes the calling thread's instance: 0, or E_FAIL when the thread has none.
HRESULT DetachLaptopBacklight();

// The calling thread's backlight for one scope: attached on entry and detached on exit,
// also when the scope is left by an exception, so no entry outlives its thread. A thread
// that had one already keeps it.
class ScopedLaptopBacklight {
public:
    ScopedLaptopBacklight() : result_(AttachLaptopBacklight()) {}
    ~ScopedLaptopBacklight() {
        if (result_ != ERROR_ALREADY_EXISTS) {
            DetachLaptopBacklight();
        }
    }
    ScopedLaptopBacklight(const ScopedLaptopBacklight&) = delete;
    ScopedLaptopBacklight& operator=(const ScopedLaptopBacklight&) = delete;

    // What AttachLaptopBacklight answered.
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};
