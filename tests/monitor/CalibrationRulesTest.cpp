#include "monitor/CalibrationRules.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(CalibrationRules, TheMappingAndItsInverseHoldAtTheEdges) {
    EXPECT_FALSE(MakeShareRange(60, 20));
    EXPECT_FALSE(MakeShareRange(-1, 20));
    EXPECT_FALSE(MakeShareRange(0, 101));
    const ShareRange range = *MakeShareRange(20, 60);
    EXPECT_EQ(MonitorPercentOf(range, 0), 20u);
    EXPECT_EQ(MonitorPercentOf(range, 50), 40u);
    EXPECT_EQ(MonitorPercentOf(range, 100), 60u);
    EXPECT_EQ(MonitorPercentOf(ShareRange{}, 37), 37u);
    EXPECT_EQ(SharedPercentOf(range, 10), 0u);
    EXPECT_EQ(SharedPercentOf(range, 90), 100u);
    // Every shared value comes back from the reading it makes, on any range.
    for (const ShareRange r :
         {range, ShareRange{}, ShareRange{0, 1}, ShareRange{33, 34}, ShareRange{7, 93}}) {
        for (uint32_t shared = 0; shared <= 100; ++shared) {
            const uint32_t monitor = MonitorPercentOf(r, shared);
            ASSERT_EQ(MonitorPercentOf(r, *SharedPercentOf(r, monitor)), monitor) << r.low << ".." << r.high;
        }
    }
    // low = high: the monitor holds one value and cannot tell the shared one.
    EXPECT_EQ(MonitorPercentOf(*MakeShareRange(0, 0), 80), 0u);
    EXPECT_EQ(MonitorPercentOf(*MakeShareRange(100, 100), 3), 100u);
    EXPECT_FALSE(SharedPercentOf(ShareRange{50, 50}, 50));
}

TEST(CalibrationRules, BadStoredValuesReadAsUncalibrated) {
    EXPECT_EQ(CalibrationFromStored({20, 60, 10, 90, 1}), (MonitorCalibration{{20, 60}, {10, 90}, true}));
    EXPECT_EQ(CalibrationFromStored({60, 20, std::nullopt, 90, 2}), MonitorCalibration{});
    EXPECT_EQ(CalibrationFromStored({0, 101, 5, 5, 0}), (MonitorCalibration{{0, 100}, {5, 5}, false}));
    const MonitorCalibration edges{{100, 100}, {0, 0}, true};
    EXPECT_EQ(UnpackCalibration(PackCalibration(edges)), edges);
    EXPECT_EQ(UnpackCalibration(0), (MonitorCalibration{{0, 0}, {0, 0}, false}));
}

TEST(CalibrationRules, IdentitiesComeFromTheEdidOrThePathAndNeverShareAKey) {
    std::vector<uint8_t> edid = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,
                                 0x10, 0xAC, 0x93, 0x40, 0x4C, 0x30, 0x31, 0x32};
    edid.resize(128);
    edid[127] = static_cast<uint8_t>(-std::accumulate(edid.begin(), edid.end(), 0)); // the checksum
    const std::wstring path = L"\\\\?\\DISPLAY#DEL4093#5&2a1c&0&UID4353#{e6f07b5f}";
    EXPECT_EQ(MonitorIdentity({path, L"DELL U2415", edid}), L"EDID DEL 4093 3231304C");
    edid[127] ^= 1; // a broken EDID is not trusted
    EXPECT_EQ(MonitorIdentity({path, L"DELL U2415", edid}), path + L" DELL U2415");

    EXPECT_EQ(CalibrationKeyName(L"a\\b%c#d\n"), L"a%005Cb%0025c%0023d%000A");
    EXPECT_NE(CalibrationKeyName(L"a\\b"), CalibrationKeyName(L"a%005Cb"));
    const std::wstring longName(300, L'x');
    const std::wstring key = CalibrationKeyName(longName);
    EXPECT_EQ(key.size(), 255u);
    EXPECT_NE(key, CalibrationKeyName(longName + L"y"));
    EXPECT_EQ(key.find(L'\\'), std::wstring::npos);
    const std::wstring escapes = CalibrationKeyName(std::wstring(235, L'x') + std::wstring(20, L'\\'));
    EXPECT_LE(escapes.size(), 255u);
    for (size_t at = escapes.find(L'%'); at != std::wstring::npos; at = escapes.find(L'%', at + 1)) {
        EXPECT_EQ(escapes.substr(at, 5), L"%005C") << "an escape cut in half";
    }
}
