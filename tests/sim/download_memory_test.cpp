// The printer's memory and loader on their own: flash regions, the boot
// loader's answers and stream, and the model a downloaded program names.

#include <gtest/gtest.h>

#include "boot_loader.h"
#include "download_commands.h"
#include "flash_memory.h"
#include "logo_output.h"
#include "printer_state.h"

using namespace pst::sim;

TEST(FlashMemory, ReadsBackWritesAndMergesRegions)
{
    FlashMemory flash;
    const std::vector<std::uint8_t> a(5000, 0x11);
    flash.write(0x10000, a);
    flash.write(0x10000 + 5000, std::vector<std::uint8_t>(10, 0x22));
    flash.write(0x30000, std::vector<std::uint8_t>(3, 0x33));
    ASSERT_EQ(flash.regions().size(), 2u);
    EXPECT_EQ(flash.regions()[0], std::make_pair(0x10000u, 0x10000u + 5010u));
    const auto back = flash.read(0x10000 + 4998, 4);
    EXPECT_EQ(back, (std::vector<std::uint8_t>{0x11, 0x11, 0x22, 0x22}));
    EXPECT_EQ(flash.read(0x20000, 2), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(storedLogoCount(flash), 0u);
    // A read over a page never written, and a write that wraps at 4 GiB.
    const auto across = flash.read(0x10000 + 5008, 4096 + 4);
    EXPECT_EQ(across[1], 0x22);
    EXPECT_EQ(across[2], 0xFF);
    EXPECT_EQ(across.back(), 0xFF);
    flash.write(0xFFFFFFFEu, std::vector<std::uint8_t>{1, 2, 3, 4});
    EXPECT_EQ(flash.read(0xFFFFFFFEu, 2), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(flash.read(0, 2), (std::vector<std::uint8_t>{3, 4}));
}

TEST(CorruptWriteFault, SpoilsOneByteOfTheNthMemoryWriteOnly)
{
    PrinterState state;
    state.fault = {.mode = FaultMode::CorruptWrite, .count = 2};
    const CommandHandler write = downloadCommandHandler(command::kWriteMemory);
    ASSERT_NE(write, nullptr);
    for (std::uint32_t block = 0; block < 3; ++block) {
        ReceivedFrame frame;
        frame.command = command::kWriteMemory;
        frame.arg1 = 0x20000 + block * 4;
        frame.payload = {0x10, 0x20, 0x30, 0x40};
        write(state, frame);
    }
    EXPECT_EQ(state.flash.read(0x20000, 12),
              (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0x40, 0x10, 0x20, 0xCF, 0x40, 0x10, 0x20, 0x30, 0x40}));
    EXPECT_EQ(state.fault.mode, FaultMode::None);
}

TEST(BootLoader, EchoesProbesThenTakesOneStream)
{
    BootLoader loader;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(loader.take(std::vector<std::uint8_t>{0x61, 0x62, 0x61}, t0),
              (std::vector<std::uint8_t>{0x61, 0x61}));
    std::vector<std::uint8_t> stream{0x1F, 0x75, 0x00, 0x01, 0x11, 0x70};
    stream.resize(6 + 256, 0x61);  // probe bytes inside the stream are data
    EXPECT_TRUE(loader.take(stream, t0).empty());
    EXPECT_TRUE(loader.streaming);
    EXPECT_EQ(loader.announcedSize, 0x1170);
    EXPECT_EQ(loader.firmwareBytes, 256u);
    // After the flashing pause it listens for probes again.
    EXPECT_EQ(loader.take(std::vector<std::uint8_t>{0x61}, t0 + std::chrono::seconds(30)).size(), 1u);
    EXPECT_EQ(loader.streamsTaken, 1u);
}

TEST(ProgramStore, ModelTagIsReadAt0x3000)
{
    std::vector<std::uint8_t> image(0x3000 + 8, 0);
    image[0x3000] = 'P';
    image[0x3001] = '5';
    EXPECT_EQ(programModelTag(image), "P5");
    image.resize(0x3000);
    EXPECT_EQ(programModelTag(image), "");
}
