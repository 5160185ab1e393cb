#pragma once

#include <objbase.h>

// COM for the current thread, uninitialised on scope exit only when it was initialised.
class ComInitialization {
public:
    explicit ComInitialization(DWORD flags) noexcept : result_(::CoInitializeEx(nullptr, flags)) {}
    ~ComInitialization() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

    HRESULT Result() const noexcept { return result_; }

private:
    HRESULT result_;
};
