#include <gtest/gtest.h>

#include <vector>

#include "engine/connection_settings.h"

namespace pst {
namespace {

TEST(ConnectionSettingsStoreTest, ListenersHearEachChangeOnceAndMayUseTheStore)
{
    ConnectionSettingsStore store;
    std::vector<std::uint32_t> heard;
    std::vector<std::uint32_t> read;
    const auto subscription = store.subscribe([&](const ConnectionSettings& settings) {
        heard.push_back(settings.deviceSpeed);
        // Told outside the lock: reading the store here must not block.
        read.push_back(store.get().deviceSpeed);
    });

    store.update([](ConnectionSettings& s) { s.deviceSpeed = 19200; });
    store.update([](ConnectionSettings& s) { s.deviceSpeed = 19200; });  // no change
    ConnectionSettings settings = store.get();
    store.set(settings);  // no change either
    settings.deviceSpeed = 38400;
    store.set(settings);
    EXPECT_EQ(heard, (std::vector<std::uint32_t>{19200, 38400}));
    EXPECT_EQ(read, heard);

    store.unsubscribe(subscription);
    store.update([](ConnectionSettings& s) { s.comName = "COM7"; });
    EXPECT_EQ(heard.size(), 2u);
}

TEST(ConnectionSettingsStoreTest, AListenerMayWriteTheStoreAndIsToldOfThatToo)
{
    ConnectionSettingsStore store;
    std::vector<std::string> heard;
    store.subscribe([&](const ConnectionSettings& settings) {
        heard.push_back(settings.comName);
        if (settings.comName == "COM2")
            store.update([](ConnectionSettings& s) { s.comName = "COM3"; });
    });
    store.update([](ConnectionSettings& s) { s.comName = "COM2"; });
    EXPECT_EQ(heard, (std::vector<std::string>{"COM2", "COM3"}));
    EXPECT_EQ(store.get().comName, "COM3");
}

}  // namespace
}  // namespace pst
