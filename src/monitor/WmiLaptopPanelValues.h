#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

// Owns one BSTR. A null BSTR is the empty string to the platform, and "no string" here.
class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    // Copies `text`; the result is empty when the allocation failed.
    explicit UniqueBstr(const wchar_t* text) noexcept : value_(::SysAllocString(text)) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) {
            ::SysFreeString(std::exchange(value_, std::exchange(other.value_, nullptr)));
        }
        return *this;
    }
    ~UniqueBstr() { ::SysFreeString(value_); }

    BSTR get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != nullptr; }

private:
    BSTR value_ = nullptr;
};

// Owns one VARIANT, cleared on destruction and before it is filled again.
class UniqueVariant {
public:
    UniqueVariant() noexcept { ::VariantInit(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { ::VariantClear(&value_); }

    VARIANT* get() noexcept { return &value_; }
    const VARIANT& operator*() const noexcept { return value_; }

    // For out-parameters of calls that fill a variant.
    VARIANT* put() noexcept {
        ::VariantClear(&value_);
        return &value_;
    }

    // Holds a copy of `text` as a BSTR variant; E_OUTOFMEMORY when it cannot be copied.
    HRESULT SetString(const wchar_t* text) noexcept {
        BSTR copy = ::SysAllocString(text);
        if (copy == nullptr) {
            return E_OUTOFMEMORY;
        }
        VARIANT* target = put();
        target->vt = VT_BSTR;
        target->bstrVal = copy;
        return S_OK;
    }

private:
    VARIANT value_;
};

// Takes the "__PATH" of a WMI object into `path`: its text, or null ("no path") for an
// empty text or a value of another type (VT_NULL for an object WMI has no path for).
// Neither is a failure: a failure here would end the program at start on a machine that
// merely has no usable panel. Only a copy that cannot be made fails.
inline HRESULT TakeObjectPath(const VARIANT& value, UniqueBstr& path) noexcept {
    if (value.vt != VT_BSTR || ::SysStringLen(value.bstrVal) == 0) {
        path = UniqueBstr();
        return S_OK;
    }
    UniqueBstr copy(value.bstrVal);
    if (!copy) {
        return E_OUTOFMEMORY;
    }
    path = std::move(copy);
    return S_OK;
}
