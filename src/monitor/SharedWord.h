#pragma once

#include <atomic>
#include <cstdint>

// A 32-bit value that several threads read and write without a lock (the monitor
// records). Every access is one whole, naturally aligned word; no ordering is implied.
class SharedWord {
public:
    SharedWord(uint32_t value = 0) noexcept : value_(value) {}
    SharedWord(const SharedWord& other) noexcept : value_(other.load()) {}
    SharedWord& operator=(const SharedWord& other) noexcept {
        store(other.load());
        return *this;
    }
    SharedWord& operator=(uint32_t value) noexcept {
        store(value);
        return *this;
    }
    operator uint32_t() const noexcept { return load(); }

    uint32_t load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(uint32_t value) noexcept { value_.store(value, std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> value_;
};
