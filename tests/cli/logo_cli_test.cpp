// Logos end to end: pictures of any kind into the printer, the printer's
// own list of what it holds, printing only what is there, the preview that
// sends nothing, and downloads verified by reading them back.

#include <gtest/gtest.h>

#include <memory>

#include <stb_image.h>
#include <stb_image_write.h>

#include "cli/download_cli_fixture.h"

using pst::test::DownloadCli;

namespace {

class LogoCli : public DownloadCli {
protected:
    // A picture of `level` grey all over, as a PNG.
    std::string png(const std::string& name, int width, int height, std::uint8_t level)
    {
        const std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * height, level);
        const std::string path = (folder / name).string();
        EXPECT_TRUE(stbi_write_png(path.c_str(), width, height, 1, grey.data(), width));
        return path;
    }

    std::vector<std::uint8_t> font(std::size_t size)
    {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 13 + 7);
        return bytes;
    }
};

}  // namespace

TEST_F(LogoCli, TheListComesFromThePrinterAndOnlyStoredLogosPrint)
{
    startPrinter();
    const auto none = cli({"list-logos"});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(none.out, "打印机中没有存储徽标\n");

    const auto down = cli({"download-logos", png("shop.png", 100, 50, 0), bmp("thanks.bmp", 384, 100)});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_EQ(down.out.rfind("下载会替换打印机中已存的全部徽标\n", 0), 0u) << down.out;

    const auto list = cli({"list-logos"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "徽标 1：104 × 56 点\n徽标 2：384 × 104 点\n");
    EXPECT_EQ(cli({"--language", "en", "list-logos"}).out, "Logo 1: 104 x 56 dots\nLogo 2: 384 x 104 dots\n");

    const auto refused = cli({"print-logos", "3"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "打印机中没有 3 号徽标（共存有 2 个）：未打印\n");
    const auto printed = cli({"print-logos", "1,2"});
    ASSERT_EQ(printed.status, 0) << printed.err;
    ASSERT_TRUE(printer->waitFor([](const auto& s) { return s.printed.size() == 2; }, 3000));
    const std::string json = printer->stateJson();
    EXPECT_NE(json.find("logo 1: 104x56 dots, 728 bytes, 5000 black"), std::string::npos) << json;
    EXPECT_NE(json.find("logo 2: 384x104 dots"), std::string::npos) << json;

    // Unchecked, the number goes out and the printer prints nothing.
    ASSERT_EQ(cli({"print-logos", "--no-check", "3"}).status, 0);
    ASSERT_TRUE(printer->waitFor([](const auto& s) { return s.printed.size() == 3; }, 3000));
    EXPECT_NE(printer->stateJson().find("logo 3: not stored"), std::string::npos);
}

TEST_F(LogoCli, JunkOverTheDirectoryIsRefusedUnlessForcedThenNoLogoIsTrusted)
{
    startPrinter();
    ASSERT_EQ(cli({"download-logos", bmp("a.bmp", 16, 16)}).status, 0);
    const std::string junk = write("junk.bin", font(4096));
    const auto refused = cli({"--language", "en", "download-font", junk, "1CF000"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err.rfind("pennafor-cli: The font would be written over 1CF000-1CFFFF, part of the printer's "
                                "logo area, destroying the stored logos: nothing sent. Add --force",
                                0),
              0u)
        << refused.err;
    ASSERT_EQ(cli({"list-logos"}).out, "徽标 1：16 × 16 点\n");
    ASSERT_EQ(cli({"download-font", "--force", junk, "1CF000"}).status, 0);

    // The junk's first entry reads as 0x2E211407, 147928 dots wide.
    const std::string damaged = "打印机的徽标目录已损坏（第 1 项不可能是徽标）：未使用其中的任何徽标，请重新下载徽标\n";
    for (const std::vector<std::string>& command : {std::vector<std::string>{"list-logos"}, {"print-logos", "1"}}) {
        const auto o = cli(command);
        EXPECT_EQ(o.status, 1) << command[0];
        EXPECT_EQ(o.out, "") << command[0];
        EXPECT_EQ(o.err, damaged) << command[0];
    }

    // Sent unchecked, the printer prints nothing from the entry and goes on
    // answering (the first print of all: the refused ones sent nothing).
    ASSERT_EQ(cli({"print-logos", "--no-check", "1"}).status, 0);
    ASSERT_TRUE(printer->waitFor([](const auto& s) { return s.printed.size() == 1; }, 3000));
    EXPECT_NE(stateJson().find("logo 1: damaged entry (147928x"), std::string::npos) << stateJson();
    EXPECT_EQ(cli({"list-logos"}).err, damaged);
    const auto restored = cli({"download-logos", bmp("b.bmp", 24, 8)});
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(cli({"list-logos"}).out, "徽标 1：24 × 8 点\n");
}

TEST_F(LogoCli, ThePreviewShowsTheScaledDitheredLogoAndSendsNothing)
{
    startPrinter();
    const std::string photo = png("photo.png", 1000, 500, 128);
    const std::string preview = (folder / "preview.png").string();
    const auto o = cli({"download-logos", "--dither", "floyd-steinberg", "--fit", "576", "--preview", preview, photo});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "预览已写入，未发送任何数据 (" + preview + ")\n");
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> dots(stbi_load(preview.c_str(), &width, &height, &channels, 1),
                                                        &stbi_image_free);
    ASSERT_TRUE(dots);
    EXPECT_EQ(width, 576);
    EXPECT_EQ(height, 288);
    std::size_t black = 0;
    for (int i = 0; i < width * height; ++i)
        black += dots.get()[i] == 0 ? 1 : 0;
    EXPECT_NEAR(static_cast<double>(black) / (width * height), 0.5, 0.02);
    EXPECT_EQ(printer->frames().size(), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "1.bin"));

    // The plain threshold leaves half grey white.
    ASSERT_EQ(cli({"download-logos", "--fit", "384", "--preview", preview, photo}).status, 0);
    const std::unique_ptr<stbi_uc, void (*)(void*)> blank(stbi_load(preview.c_str(), &width, &height, &channels, 1),
                                                         &stbi_image_free);
    ASSERT_TRUE(blank);
    EXPECT_EQ(width, 384);
    EXPECT_TRUE(std::all_of(blank.get(), blank.get() + width * height, [](stbi_uc v) { return v == 255; }));
}

TEST_F(LogoCli, AVerifiedDownloadNamesTheAddressThePrinterSpoiled)
{
    startPrinter();
    const std::string path = write("font.bin", font(1000));
    const auto good = cli({"download-font", "--verify", path, "20000"});
    ASSERT_EQ(good.status, 0) << good.err;
    EXPECT_NE(good.out.find("正在回读校验\n"), std::string::npos) << good.out;
    EXPECT_NE(good.out.find("校验通过：打印机内存与所发数据一致\n"), std::string::npos) << good.out;
    // The read-back is in the transfer log like any exchange: 0x34 requests.
    EXPECT_NE(pst::test::readFile(folder / "debug.log").find("02 00 34 00 00 03 02 00"), std::string::npos);

    const auto logos = cli({"download-logos", "--verify", bmp("a.bmp", 16, 16)});
    ASSERT_EQ(logos.status, 0) << logos.err;
    EXPECT_NE(logos.out.find("校验通过"), std::string::npos) << logos.out;

    // The third block (0x20200) is stored with its middle byte flipped, and
    // confirmed all the same.
    printer.reset();
    startPrinter({.fault = {.mode = pst::sim::FaultMode::CorruptWrite, .count = 3}});
    const auto spoiled = cli({"--language", "en", "download-font", "--verify", path, "20000"});
    EXPECT_EQ(spoiled.status, 1);
    // After the transfer's count.
    const std::string failure = "Verification failed: the first difference is at address 0x20280, 1 block(s) differ\n";
    EXPECT_TRUE(spoiled.err.ends_with(failure)) << spoiled.err;
    // Unverified, the same fault goes unnoticed.
    printer.reset();
    startPrinter({.fault = {.mode = pst::sim::FaultMode::CorruptWrite, .count = 3}});
    EXPECT_EQ(cli({"download-font", path, "20000"}).status, 0);
}
