#include "monitor/LaptopBacklight.h"

#include "common/CriticalSection.h"
#include "monitor/LaptopBacklightRules.h"
#include "monitor/LaptopPanelBackend.h"

#include <wbemidl.h>

#include <map>
#include <mutex>
#include <new>
#include <utility>

static_assert(kWmiNotFound == static_cast<HRESULT>(WBEM_E_NOT_FOUND));
static_assert(kWmiNotSupported == static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED));
static_assert(kWmiInvalidNamespace == static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE));
static_assert(kWmiInvalidClass == static_cast<HRESULT>(WBEM_E_INVALID_CLASS));
static_assert(kWmiProviderNotFound == static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_FOUND));
static_assert(kWmiProviderLoadFailure == static_cast<HRESULT>(WBEM_E_PROVIDER_LOAD_FAILURE));
static_assert(kWmiInvalidMethod == static_cast<HRESULT>(WBEM_E_INVALID_METHOD));

namespace {

// A driver that reported no levels leaves nothing to choose a level from.
const HRESULT kNoLevelTable = HRESULT_FROM_WIN32(ERROR_INVALID_STATE);

// The per-thread instances. The lock guards the map only: it is never held while an
// instance connects, works or is destroyed. Built before the entry point; whatever is
// left at exit is released with the map, before the lock goes.
struct BacklightRegistry {
    CriticalSection lock;
    std::map<DWORD, ComPtr<LaptopBacklight>> backlights;
};
BacklightRegistry registry;

} // namespace

LaptopBacklight::LaptopBacklight(std::unique_ptr<LaptopPanelBackend> backend)
    : backend_(std::move(backend)) {}

LaptopBacklight::~LaptopBacklight() {
    // The platform's objects go before the level table.
    backend_.reset();
}

HRESULT LaptopBacklight::QueryInterface(REFIID interfaceId, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (::IsEqualIID(interfaceId, IID_IUnknown)) {
        AddRef();
        *object = static_cast<IUnknown*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG LaptopBacklight::AddRef() noexcept {
    return static_cast<ULONG>(++referenceCount_);
}

ULONG LaptopBacklight::Release() noexcept {
    const LONG remaining = --referenceCount_;
    if (remaining == 0) {
        delete this;
    }
    return static_cast<ULONG>(remaining);
}

HRESULT LaptopBacklight::Connect() {
    // The panel that the brightness method belongs to is asked for its levels at once;
    // a failure there is tried again by the next QuerySupportedLevels.
    return backend_->Connect([this] { QuerySupportedLevels(); });
}

bool LaptopBacklight::QuerySupportedLevels() {
    if (!levels_.empty()) {
        return true;
    }
    return backend_->QueryDriverLevels(levels_);
}

HRESULT LaptopBacklight::SetLevelPercent(uint32_t percent, uint32_t* levelSet) {
    const std::optional<size_t> index = LevelIndexForPercent(percent, levels_.size());
    if (!index) {
        return kNoLevelTable;
    }
    // Without a set-brightness method (WMI had no instance) the backend refuses too.
    const HRESULT result = backend_->SetBrightness(levels_[*index]);
    if (SUCCEEDED(result) && levelSet) {
        *levelSet = levels_[*index];
    }
    return result;
}

uint32_t LaptopBacklight::GetLevel(uint64_t index, uint32_t& minimum, uint32_t& maximum) {
    const LevelRange range = SupportedLevelRange(levels_);
    minimum = range.minimum;
    maximum = range.maximum;
    if (levels_.empty()) {
        return kUnreadableLevel;
    }
    return backend_->ReadCurrentBrightness(index).value_or(kUnreadableLevel);
}

HRESULT AttachLaptopBacklight() {
    if (CurrentLaptopBacklight()) {
        return ERROR_ALREADY_EXISTS;
    }
    const DWORD threadId = ::GetCurrentThreadId();
    ComPtr<LaptopBacklight> created;
    try {
        created = ComPtr<LaptopBacklight>::Attach(new LaptopBacklight(CreateLaptopPanelBackend()));
        std::lock_guard guard(registry.lock);
        if (!registry.backlights.try_emplace(threadId, created).second) {
            return ERROR_ALREADY_EXISTS;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return AttachResultForConnect(created->Connect());
}

ComPtr<LaptopBacklight> CurrentLaptopBacklight() {
    std::lock_guard guard(registry.lock);
    const auto entry = registry.backlights.find(::GetCurrentThreadId());
    if (entry == registry.backlights.end()) {
        return {};
    }
    return entry->second;
}

HRESULT DetachLaptopBacklight() {
    ComPtr<LaptopBacklight> removed; // released after the lock, as that may destroy it
    {
        std::lock_guard guard(registry.lock);
        const auto entry = registry.backlights.find(::GetCurrentThreadId());
        if (entry == registry.backlights.end()) {
            return E_FAIL;
        }
        removed = std::move(entry->second);
        registry.backlights.erase(entry);
    }
    return S_OK;
}
