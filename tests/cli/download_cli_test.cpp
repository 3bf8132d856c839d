// The download commands as a user runs them: pennafor-cli against the
// virtual printer, with the same checks and messages as the download page.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "cli/download_cli_fixture.h"

using pst::test::DownloadCli;

TEST_F(DownloadCli, FontDownloadsAndReadsBack)
{
    startPrinter();
    std::vector<std::uint8_t> font(1000);
    for (std::size_t i = 0; i < font.size(); ++i)
        font[i] = static_cast<std::uint8_t>(i ^ 0x5A);
    const std::string path = write("font.bin", font);
    const auto down = cli({"download-font", path, "20000"});
    ASSERT_EQ(down.status, 0) << down.err;
    // The count goes to standard error; standard output keeps the status texts.
    EXPECT_EQ(down.out.rfind("Downloading FONT" + path + "\n", 0), 0u) << down.out;
    EXPECT_EQ(down.out.find("Finish"), std::string::npos) << down.out;
    EXPECT_NE(down.err.find("100.0%"), std::string::npos) << down.err;

    const std::string back = (folder / "back.hex").string();
    const auto read = cli({"read-memory", "20000", "1000", back});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("上传完成"), std::string::npos);
    const std::string saved = pst::test::readFile(back);
    ASSERT_EQ(saved.size(), 1024u);
    EXPECT_EQ(saved.substr(0, 1000), std::string(font.begin(), font.end()));
}

TEST_F(DownloadCli, ChecksRefuseBeforeAnythingIsSent)
{
    startPrinter();
    EXPECT_EQ(cli({"download-font", (folder / "none.bin").string(), "0"}).err,
              "文件不存在 (" + (folder / "none.bin").string() + ")\n");
    EXPECT_EQ(cli({"update-program", (folder / "none.bin").string()}).status, 1);
    const auto badAddress = cli({"read-memory", "12G", "10", "x"});
    EXPECT_EQ(badAddress.status, 2);
    EXPECT_EQ(badAddress.err, "pennafor-cli: '12G' 不是有效的整数值\n请运行 'pennafor-cli read-memory --help' 查看用法。\n");
    const std::string font = write("f.bin", {1, 2, 3});
    const auto badFontAddress = cli({"download-font", font, "0x12G"});
    EXPECT_EQ(badFontAddress.status, 2);
    EXPECT_EQ(badFontAddress.err,
              "pennafor-cli: '0x12G' 不是有效的整数值\n请运行 'pennafor-cli download-font --help' 查看用法。\n");
    const std::string text = write("notes.bmp", {'n', 'o'});
    const auto notBmp = cli({"download-logos", bmp("a.bmp", 8, 8), text});
    EXPECT_EQ(notBmp.status, 1);
    EXPECT_NE(notBmp.err.find(text + "：不是本工具能读取的图片（不认识的图片格式）"), std::string::npos)
        << notBmp.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "1.bin"));

    // Eight pictures of 384 × 700 dots: 4096 + 8 × 33792 bytes.
    const std::string big = bmp("big.bmp", 384, 700);
    const auto tooBig = cli({"download-logos", big, big, big, big, big, big, big, big});
    EXPECT_EQ(tooBig.status, 1);
    EXPECT_EQ(tooBig.err, "BMP 文件不能超过256\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "1.bin"));

    // Files that cannot do their job are refused by name, before the link opens.
    const std::string empty = write("empty.bin", {});
    const std::string untagged = write("untagged.bin", std::vector<std::uint8_t>(100));
    const std::string nowhere = (folder / "no" / "out.bin").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals{
        {{"download-font", empty, "0"}, "文件是空的 (" + empty + ")\n"},
        {{"update-program", untagged}, "程序文件中没有机型标记 (" + untagged + ")\n"},
        {{"update-firmware", empty, "--loader-waiting"}, "文件是空的 (" + empty + ")\n"},
        {{"read-memory", "1CF000", "100", nowhere}, "无法创建输出文件 (" + nowhere + ")\n"},
    };
    for (const auto& [args, message] : refusals) {
        const auto o = cli(args);
        EXPECT_EQ(o.status, 1) << args[0];
        EXPECT_EQ(o.err, message);
    }
    EXPECT_EQ(printer->frames().size(), 0u);
}

TEST_F(DownloadCli, LogosDownloadAndPrint)
{
    startPrinter();
    const auto o = cli({"download-logos", bmp("a.bmp", 100, 50), bmp("b.bmp", 384, 100), bmp("c.bmp", 8, 8)});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(std::filesystem::file_size(folder / "1.bin"), 4096u + 728u + 4992u + 8u);
    ASSERT_EQ(cli({"print-logos", "1,3"}).status, 0);
    ASSERT_TRUE(printer->waitFor([](const auto& s) { return s.printed.size() == 2; }, 3000));
    const std::string json = stateJson();
    EXPECT_NE(json.find("\"logosStored\":3"), std::string::npos);
    EXPECT_NE(json.find("logo 1: 104x56 dots, 728 bytes, 5000 black"), std::string::npos) << json;
    EXPECT_NE(json.find("logo 3: 8x8 dots, 8 bytes, 64 black"), std::string::npos);
}

TEST_F(DownloadCli, ProgramUpdateChecksTheModelThenReplacesTheProgram)
{
    startPrinter();
    std::vector<std::uint8_t> program(13000, 0x11);
    std::fill_n(program.begin() + 0x3000, 8, 0);
    const std::string tag = "PNF80";
    std::copy(tag.begin(), tag.end(), program.begin() + 0x3000);
    const std::string path = write("p80.bin", program);
    const auto ok = cli({"update-program", path, "--wait", "0"});
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out.rfind("更新程序:p80.bin Size:13000\n连接...\n连接完成\n等待0秒...\n", 0), 0u) << ok.out;
    EXPECT_NE(ok.out.find("更新程序完成\n"), std::string::npos);
    EXPECT_NE(stateJson().find("\"size\":13056"), std::string::npos);

    const std::string otherTag = "OTHER";
    std::copy(otherTag.begin(), otherTag.end(), program.begin() + 0x3000);
    const auto other = cli({"update-program", write("other.bin", program), "--wait", "0"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err, "程序文件错误\n");
}

TEST_F(DownloadCli, InEnglishNoTextStaysChineseAndTheWaitIsTheOneAskedFor)
{
    startPrinter();
    const auto english = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--language", "en"});
        return cli(args);
    };
    const auto allAscii = [](const std::string& text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    std::vector<std::uint8_t> program(13000, 0x11);
    std::fill_n(program.begin() + 0x3000, 8, 0);
    const std::string tag = "PNF80";
    std::copy(tag.begin(), tag.end(), program.begin() + 0x3000);
    const auto update = english({"update-program", write("p80.bin", program), "--wait", "2"});
    ASSERT_EQ(update.status, 0) << update.err;
    EXPECT_EQ(update.out.rfind("Update program:p80.bin Size:13000\nConnecting...\nConnected\nWaiting 2 seconds...\n", 0),
              0u)
        << update.out;
    EXPECT_NE(update.out.find("Program update complete\n"), std::string::npos) << update.out;
    EXPECT_TRUE(allAscii(update.out + update.err)) << update.out << update.err;

    // The model check's refusal, a file naming no model, and a missing file.
    const std::string otherTag = "OTHER";
    std::copy(otherTag.begin(), otherTag.end(), program.begin() + 0x3000);
    const auto other = english({"update-program", write("other.bin", program), "--wait", "0"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err, "The program file is not valid\n");
    const std::string small = write("small.bin", std::vector<std::uint8_t>(100));
    EXPECT_EQ(english({"update-program", small}).err, "The program file names no printer model (" + small + ")\n");
    const std::string none = (folder / "none.bin").string();
    EXPECT_EQ(english({"update-program", none}).err, "The file does not exist (" + none + ")\n");
    EXPECT_EQ(english({"download-font", none, "0"}).err, "The file does not exist (" + none + ")\n");

    // Addresses with 0x, as most people write hexadecimal.
    std::vector<std::uint8_t> font(600);
    for (std::size_t i = 0; i < font.size(); ++i)
        font[i] = static_cast<std::uint8_t>(i * 7);
    const std::string fontPath = write("font.bin", font);
    const auto down = english({"download-font", fontPath, "0x20000"});
    ASSERT_EQ(down.status, 0) << down.err;
    // English joins the status words with a blank; the built-in texts run them together.
    EXPECT_EQ(down.out.rfind("Downloading FONT " + fontPath + "\n", 0), 0u) << down.out;
    EXPECT_TRUE(allAscii(down.out + down.err)) << down.out << down.err;
    const std::string back = (folder / "back.bin").string();
    const auto read = english({"read-memory", "0X20000", "600", back});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out.rfind("Read memory: " + back + "\n", 0), 0u) << read.out;
    EXPECT_NE(read.out.find("Upload complete\n"), std::string::npos) << read.out;
    EXPECT_TRUE(allAscii(read.out + read.err)) << read.out << read.err;
    EXPECT_EQ(pst::test::readFile(back).substr(0, 600), std::string(font.begin(), font.end()));
}

TEST_F(DownloadCli, LogoPictureWiderThanTheHeadIsRefusedByNameUnlessScaled)
{
    startPrinter();
    const std::string wide = bmp("wide.bmp", 600000, 1);
    const auto o = cli({"download-logos", bmp("a.bmp", 8, 8), wide});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "图片比最宽的打印头（576 点）还宽：请缩放到 576 点或 384 点 (" + wide + ")\n");
    const auto english = cli({"--language", "en", "download-logos", wide});
    EXPECT_EQ(english.err,
              "The picture is wider than the widest print head (576 dots): scale it to 576 or 384 dots (" + wide +
                  ")\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "1.bin"));
    EXPECT_EQ(printer->frames().size(), 0u);
    const auto badFit = cli({"download-logos", "--fit", "1000", wide});
    EXPECT_EQ(badFit.status, 2);
    EXPECT_EQ(cli({"download-logos", "--dither", "halftone", wide}).status, 2);
}

TEST_F(DownloadCli, BootHandshakeFindsTheLoaderOrGivesUp)
{
    startPrinter({.bootLoader = true});
    const auto found = cli({"--language", "en", "boot-handshake", "--limit", "5"});
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "The printer's boot loader answered\n");
    printer.reset();
    startPrinter();
    const auto none = cli({"--language", "en", "boot-handshake", "--limit", "1"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "The printer's boot loader did not answer within 1 s\n");

    // A firmware update looks for the loader first: without one, nothing of
    // the file goes out and nothing is said to be complete.
    const auto firmware = cli({"update-firmware", write("fw.bin", std::vector<std::uint8_t>(600, 0x5A)), "--limit", "1"});
    EXPECT_EQ(firmware.status, 1);
    EXPECT_EQ(firmware.err, "打印机的引导程序在 1 秒内没有应答\n");
    EXPECT_EQ(firmware.out.find("更新程序完成"), std::string::npos) << firmware.out;
    EXPECT_NE(stateJson().find("\"firmwareBytes\":0"), std::string::npos) << stateJson();
}
