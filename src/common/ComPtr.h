#pragma once

#include <unknwn.h>

#include <utility>

// Owning pointer to a COM interface: one reference, released on reset and destruction.
template <typename T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) { AddRefIfAny(); }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* ptr) noexcept {
        ComPtr result;
        result.ptr_ = ptr;
        return result;
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    void reset() noexcept {
        if (T* old = std::exchange(ptr_, nullptr)) {
            old->Release();
        }
    }

    // For out-parameters of creating calls: releases what is held first.
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    T* detach() noexcept { return std::exchange(ptr_, nullptr); }

private:
    void AddRefIfAny() noexcept {
        if (ptr_) {
            ptr_->AddRef();
        }
    }

    T* ptr_ = nullptr;
};
