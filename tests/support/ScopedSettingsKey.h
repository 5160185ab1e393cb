// The program's settings, in this process, kept in a throwaway key for one test.
#pragma once

#include "TestRegistry.h"

#include "common/Settings.h"

namespace test_support {

class ScopedSettingsKey : public ThrowawayKey {
public:
    explicit ScopedSettingsKey(const std::wstring& name) : ThrowawayKey(name) {
        SetSettingsKeyPathForTesting(Path());
    }
    ~ScopedSettingsKey() { SetSettingsKeyPathForTesting(L""); }
};

} // namespace test_support
