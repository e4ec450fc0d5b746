#pragma once

// What the test plug-in loads, shared with the tests that check it arrived.
namespace TstHostData {
struct Point
{
    int number;
    float x;
    float y;
};
inline constexpr Point kShots[] = {
    {101, 1000.0f, 2000.0f}, {102, 1400.0f, 2000.0f}, {103, 1800.0f, 2300.0f}};
inline constexpr Point kReceivers[] = {{201, 1000.0f, 2600.0f},
                                       {202, 1200.0f, 2600.0f},
                                       {203, 1400.0f, 2600.0f},
                                       {204, 1600.0f, 2600.0f},
                                       {205, 1800.0f, 2600.0f}};
inline constexpr int kShotCount = int(sizeof(kShots) / sizeof(kShots[0]));
inline constexpr int kReceiverCount = int(sizeof(kReceivers) / sizeof(kReceivers[0]));

inline constexpr const char* kPluginName = "Test Plug-in";
inline constexpr const char* kTaskCaption = "Test task";
inline constexpr const char* kMissingTaskCaption = "Missing task";
inline constexpr const char* kLoadNewText = "Test &Load";
inline constexpr const char* kLoadIntoText = "Test Load &Into";
inline constexpr const char* kLoadThreadClass = "TstHostLoadThread";
} // namespace TstHostData
