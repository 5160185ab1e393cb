#include "monitor/WmiLaptopPanel.h"

#include "common/UniqueResource.h"

#include <winioctl.h>
#include <ntddvdeo.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr DWORD kQuerySupportedBrightness = 0x230494;
static_assert(kQuerySupportedBrightness == IOCTL_VIDEO_QUERY_SUPPORTED_BRIGHTNESS);
// A level is one byte and no panel supports more than 256 of them.
constexpr DWORD kLevelBufferSize = 256;
constexpr long kForwardOnlyQuery = WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY;

// A locator, a connection to `namespacePath` and the proxy security the brightness
// classes need.
HRESULT OpenNamespace(const wchar_t* namespacePath, ComPtr<IWbemLocator>& locator,
                      ComPtr<IWbemServices>& services) {
    HRESULT result = ::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                        locator.put_void());
    if (FAILED(result)) {
        return result;
    }
    const UniqueBstr path(namespacePath);
    if (!path) {
        return E_OUTOFMEMORY;
    }
    result =
        locator->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.put());
    if (FAILED(result)) {
        return result;
    }
    return ::CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                               RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

HRESULT RunQuery(IWbemServices* services, const wchar_t* query, ComPtr<IEnumWbemClassObject>& results) {
    const UniqueBstr language(L"WQL");
    const UniqueBstr text(query);
    if (!language || !text) {
        return E_OUTOFMEMORY;
    }
    return services->ExecQuery(language.get(), text.get(), kForwardOnlyQuery, nullptr, results.put());
}

// The next object of a forward-only enumeration: S_OK with an object, or the code that
// ended the enumeration (1 when no object is left).
HRESULT NextObject(IEnumWbemClassObject* results, ComPtr<IWbemClassObject>& object) {
    ULONG returned = 0;
    const HRESULT result = results->Next(WBEM_INFINITE, 1, object.put(), &returned);
    if (result == WBEM_S_NO_ERROR && (returned == 0 || !object)) {
        return WBEM_S_FALSE;
    }
    return result;
}

HRESULT ReadObjectPath(IWbemClassObject* object, UniqueBstr& path) {
    UniqueVariant value;
    const HRESULT result = object->Get(L"__PATH", 0, value.put(), nullptr, nullptr);
    return FAILED(result) ? result : TakeObjectPath(*value, path);
}

} // namespace

HRESULT WmiLaptopPanel::Connect(const std::function<void()>& onInstanceFound) {
    // Lets WMI impersonate the caller. Only the process's first call takes effect; later
    // ones fail with RPC_E_TOO_LATE, which is harmless.
    ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                           RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_SECURE_REFS, nullptr);

    HRESULT result = OpenNamespace(L"root\\wmi", locator_, services_);
    if (FAILED(result)) {
        return result;
    }
    ComPtr<IEnumWbemClassObject> instances;
    result = RunQuery(services_.get(), L"Select * from WmiMonitorBrightnessMethods", instances);
    if (FAILED(result)) {
        return result;
    }
    const UniqueBstr className(L"WmiMonitorBrightnessMethods");
    if (!className) {
        return E_OUTOFMEMORY;
    }
    for (;;) {
        ComPtr<IWbemClassObject> instance;
        result = NextObject(instances.get(), instance);
        if (result != WBEM_S_NO_ERROR) {
            return result;
        }
        result = services_->GetObject(className.get(), 0, nullptr, methodsClass_.put(), nullptr);
        if (SUCCEEDED(result)) {
            result = methodsClass_->GetMethod(L"WmiSetBrightness", 0, setBrightnessParams_.put(), nullptr);
        }
        if (SUCCEEDED(result)) {
            result = ReadObjectPath(instance.get(), instancePath_);
        }
        if (FAILED(result)) {
            return result;
        }
        onInstanceFound();
    }
}

bool WmiLaptopPanel::QueryDriverLevels(std::vector<uint8_t>& levels) {
    const UniqueHandle device(::CreateFileA("\\\\.\\LCD", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    if (!device) {
        return false;
    }
    std::array<uint8_t, kLevelBufferSize> buffer{};
    DWORD returned = 0;
    if (!::DeviceIoControl(device.get(), kQuerySupportedBrightness, nullptr, 0, buffer.data(),
                           kLevelBufferSize, &returned, nullptr)) {
        return false;
    }
    levels.assign(buffer.begin(), buffer.begin() + std::min(returned, kLevelBufferSize));
    return true;
}

HRESULT WmiLaptopPanel::SetBrightness(uint8_t level) {
    // Connect may have found no instance of the brightness methods (a desktop, or a panel
    // driver without WMI support): then there is no parameter class to spawn from.
    if (!services_ || !setBrightnessParams_) {
        return kNoSetBrightnessMethod;
    }
    ComPtr<IWbemClassObject> input;
    HRESULT result = setBrightnessParams_->SpawnInstance(0, input.put());
    if (FAILED(result)) {
        return result;
    }
    // The method's parameters are integers, but WMI converts the decimal text itself.
    UniqueVariant timeout;
    result = timeout.SetString(L"0");
    if (SUCCEEDED(result)) {
        result = input->Put(L"Timeout", 0, timeout.get(), CIM_UINT32);
    }
    if (FAILED(result)) {
        return result;
    }
    UniqueVariant brightness;
    result = brightness.SetString(std::to_wstring(level).c_str());
    if (SUCCEEDED(result)) {
        result = input->Put(L"Brightness", 0, brightness.get(), CIM_UINT8);
    }
    if (FAILED(result)) {
        return result;
    }
    const UniqueBstr method(L"WmiSetBrightness");
    if (!method) {
        return E_OUTOFMEMORY;
    }
    return services_->ExecMethod(instancePath_.get(), method.get(), 0, nullptr, input.get(), nullptr,
                                 nullptr);
}

std::optional<uint8_t> WmiLaptopPanel::ReadCurrentBrightness(uint64_t index) {
    // A connection of its own, so reading works whatever Connect found.
    ComPtr<IWbemLocator> locator;
    ComPtr<IWbemServices> services;
    if (FAILED(OpenNamespace(L"root\\WMI", locator, services))) {
        return std::nullopt;
    }
    ComPtr<IEnumWbemClassObject> results;
    if (FAILED(RunQuery(services.get(), L"select * from WmiMonitorBrightness", results))) {
        return std::nullopt;
    }
    for (uint64_t position = 0;; ++position) {
        ComPtr<IWbemClassObject> object;
        if (NextObject(results.get(), object) != WBEM_S_NO_ERROR) {
            return std::nullopt;
        }
        if (position == index) {
            UniqueVariant value;
            if (FAILED(object->Get(L"CurrentBrightness", 0, value.put(), nullptr, nullptr)) ||
                FAILED(::VariantChangeType(value.get(), value.get(), 0, VT_UI1))) {
                return std::nullopt;
            }
            return (*value).bVal;
        }
    }
}
