#pragma once

#include <windows.h>

#include <utility>

// One move-only owner for every kind of Win32 handle. Traits name the empty value,
// what counts as valid and how the value is released.
template <typename Traits> class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueResource() { reset(); }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Traits::IsValid(value_); }

    Type release() noexcept { return std::exchange(value_, Traits::Empty()); }

    void reset(Type value = Traits::Empty()) noexcept {
        Type old = std::exchange(value_, value);
        if (Traits::IsValid(old)) {
            Traits::Close(old);
        }
    }

    // For out-parameters of creating calls: releases what is held first.
    Type* put() noexcept {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Empty();
};

template <typename T, auto CloseFunction> struct SimpleResourceTraits {
    using Type = T;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type value) noexcept { return value != Empty(); }
    static void Close(Type value) noexcept { CloseFunction(value); }
};

// Kernel handles: some APIs report "none" as null, others as INVALID_HANDLE_VALUE;
// neither may be closed.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static bool IsValid(Type value) noexcept { return value != nullptr && value != INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::CloseHandle(value); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueHkey = UniqueResource<SimpleResourceTraits<HKEY, &::RegCloseKey>>;
using UniqueHwnd = UniqueResource<SimpleResourceTraits<HWND, &::DestroyWindow>>;
using UniqueHicon = UniqueResource<SimpleResourceTraits<HICON, &::DestroyIcon>>;
using UniqueHglobal = UniqueResource<SimpleResourceTraits<HGLOBAL, &::GlobalFree>>;
using UniqueHmodule = UniqueResource<SimpleResourceTraits<HMODULE, &::FreeLibrary>>;
