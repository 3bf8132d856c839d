#include "requests/download_requests.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/int_conversion.h"
#include "protocol/input_error.h"
#include "texts/input_refusal_text.h"

namespace fs = std::filesystem;
using namespace pst;
using namespace pst::requests;

namespace {

class DownloadRequestsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
            ("pst-dlreq-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    static MonochromePicture blackSquare(const std::string&) { return MonochromePicture(8, 8); }

    fs::path dir;
};

TEST_F(DownloadRequestsTest, ProgramUpdateReadsTheFileAndItsTag)
{
    std::vector<std::uint8_t> bytes(12296, 0);
    bytes[0x3000] = 'a';
    bytes[0x3001] = 'b';
    bytes[0x3002] = '1';
    bytes[0x3003] = '2';
    const std::string path = write("P80.bin", bytes);
    const ProgramUpdatePlan plan = ProgramUpdateRequest(path, "5", false, "更新程序");
    EXPECT_EQ(operationNumber(plan.request.operation), 4);
    EXPECT_FALSE(plan.request.refreshConnection);
    EXPECT_EQ(plan.request.handOver.fileTag, "AB12");
    EXPECT_EQ(plan.request.handOver.waitTimeMs, 5000);
    EXPECT_EQ(plan.request.handOver.programImage, bytes);
    EXPECT_EQ(plan.statusText, "更新程序:P80.bin Size:12296");

    const ProgramUpdatePlan firmware = ProgramUpdateRequest(path, "7", true, "p");
    EXPECT_EQ(operationNumber(firmware.request.operation), 25);
    EXPECT_EQ(firmware.request.handOver.fileTag, "");
    EXPECT_EQ(firmware.request.handOver.waitTimeMs, 7000);

    EXPECT_THROW(ProgramUpdateRequest((dir / "none.bin").string(), "5", false, "p"),
                 EInvalidInput);
    EXPECT_THROW(ProgramUpdateRequest(dir.string(), "5", false, "p"), EInvalidInput);
}

// Each refusal names what is wrong with the file, before any link opens.
TEST_F(DownloadRequestsTest, FilesThatCannotDoTheirJobAreRefusedByName)
{
    const auto refusal = [](const auto& build) {
        try {
            build();
        } catch (const EInvalidInput& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    const std::string empty = write("empty.bin", {});
    const std::string untagged = write("short.bin", std::vector<std::uint8_t>(0x3000, 0x11));
    EXPECT_EQ(refusal([&] { ProgramUpdateRequest(empty, "5", false, "p"); }), "文件是空的");
    EXPECT_EQ(refusal([&] { ProgramUpdateRequest(empty, "5", true, "p"); }), "文件是空的");
    EXPECT_EQ(refusal([&] { ProgramUpdateRequest(untagged, "5", false, "p"); }), "程序文件中没有机型标记");
    EXPECT_EQ(refusal([&] { ProgramUpdateRequest(untagged, "5", true, "p"); }), "accepted");
    EXPECT_EQ(refusal([&] { FontDownloadRequest(empty, "10000"); }), "文件是空的");

    EXPECT_EQ(refusal([&] { MemoryReadRequest(0, 16, (dir / "no" / "out.bin").string()); }), "无法创建输出文件");
    EXPECT_EQ(refusal([&] { MemoryReadRequest(0, 16, dir.string()); }), "无法创建输出文件");
    // Finding out leaves nothing behind, and an existing file untouched.
    EXPECT_EQ(refusal([&] { MemoryReadRequest(0, 16, (dir / "new.bin").string()); }), "accepted");
    EXPECT_FALSE(fs::exists(dir / "new.bin"));
    const std::string kept = write("kept.bin", {7, 8});
    EXPECT_EQ(refusal([&] { MemoryReadRequest(0, 16, kept); }), "accepted");
    EXPECT_EQ(fs::file_size(kept), 2u);
}

TEST_F(DownloadRequestsTest, FontDownloadNeedsAnExistingFile)
{
    EXPECT_FALSE(FontDownloadRequest((dir / "none.bin").string(), "10000"));
    const std::string path = write("font.bin", {1, 2, 3});
    const MaybeRequest r = FontDownloadRequest(path, "10000");
    ASSERT_TRUE(r);
    EXPECT_EQ(operationNumber(r->operation), 3);
    EXPECT_TRUE(r->refreshConnection);
    ASSERT_EQ(r->handOver.downloadList.size(), 1u);
}

TEST_F(DownloadRequestsTest, ATooLargeLogoBankIsRefusedBeforeItIsSaved)
{
    const std::string bank = (dir / "1.bin").string();
    EXPECT_FALSE(LogoDownloadRequest({}, bank, &blackSquare, "BMP %d"));
    EXPECT_FALSE(fs::exists(bank));

    const std::string logo = write("a.bmp", {0});
    const MaybeRequest r =
        LogoDownloadRequest({logo, (dir / "gone.bmp").string(), logo}, bank, &blackSquare, "BMP %d");
    ASSERT_TRUE(r);
    EXPECT_EQ(operationNumber(r->operation), 7);
    EXPECT_FALSE(r->refreshConnection);
    EXPECT_EQ(fs::file_size(bank), 4096u + 2 * 8);

    const auto huge = [](const std::string&) { return MonochromePicture(2048, 1024); };
    try {
        LogoDownloadRequest({logo}, bank, huge, "BMP 文件不能超过%d");
        FAIL() << "a bank over the limit was accepted";
    } catch (const EInvalidInput& refusal) {
        EXPECT_STREQ(refusal.what(), "BMP 文件不能超过256");
    }
    EXPECT_EQ(fs::file_size(bank), 4096u + 2 * 8);
}

TEST_F(DownloadRequestsTest, UnreadablePictureOrBankFolderIsARefusal)
{
    const std::string logo = write("a.bmp", {0});
    const auto broken = [](const std::string& path) -> MonochromePicture {
        throw std::runtime_error(path + ": not a picture");
    };
    EXPECT_THROW(LogoDownloadRequest({logo}, (dir / "1.bin").string(), broken, "%d"), EInvalidInput);
    EXPECT_FALSE(fs::exists(dir / "1.bin"));
    EXPECT_THROW(LogoDownloadRequest({logo}, (dir / "no" / "1.bin").string(), &blackSquare, "%d"),
                 EInvalidInput);
}

TEST_F(DownloadRequestsTest, PictureTooLargeForTheDirectoryIsRefusedByName)
{
    // 600000 dots are 75000 bytes a row: more than the directory's 16-bit
    // width field. Only the size matters; a one-dot-high picture is cheap.
    const std::string small = write("small.bmp", {0});
    const std::string wide = write("wide.bmp", {0});
    const std::string high = write("high.bmp", {0});
    int loaded = 0;
    const auto load = [&](const std::string& path) {
        ++loaded;
        if (path == wide)
            return MonochromePicture(600000, 1);
        if (path == high)
            return MonochromePicture(1, kLogoMaxDots + 1);
        return MonochromePicture(8, 8);
    };
    const std::string bank = (dir / "1.bin").string();
    for (const std::string& tooLarge : {wide, high}) {
        loaded = 0;
        try {
            LogoDownloadRequest({small, tooLarge, small}, bank, load, "BMP %d");
            FAIL() << tooLarge << " was accepted";
        } catch (const EInvalidInput& refusal) {
            EXPECT_EQ(InputRefusalText(refusal), "徽标图片的宽度和高度不能超过 524280 点 (" + tooLarge + ")");
        }
        // Nothing after the refused picture is read, and no bank is built.
        EXPECT_EQ(loaded, 2);
        EXPECT_FALSE(fs::exists(bank));
    }
    // The widest picture the directory can describe is too large for the
    // printer's memory, as any large bank is: refused before it is written.
    const auto widest = [](const std::string&) { return MonochromePicture(kLogoMaxDots, 1); };
    try {
        LogoDownloadRequest({small}, bank, widest, "BMP %d");
        FAIL() << "a bank over the limit was accepted";
    } catch (const EInvalidInput& refusal) {
        EXPECT_EQ(InputRefusalText(refusal), "BMP 文件不能超过256");
    }
    EXPECT_FALSE(fs::exists(bank));
}

TEST_F(DownloadRequestsTest, PrintAndReadBack)
{
    EXPECT_FALSE(LogoPrintRequest({false, false}));
    const MaybeRequest print = LogoPrintRequest({true, false, true});
    ASSERT_TRUE(print);
    EXPECT_EQ(operationNumber(print->operation), 17);
    EXPECT_EQ(print->handOver.logoPrintList, "1,3");

    const Request read = ReadBackRequestFor("1CF000", "1024", "/tmp/out.hex");
    EXPECT_EQ(operationNumber(read.operation), 16);
    EXPECT_EQ(read.argument1, 0x1CF000);
    EXPECT_EQ(read.argument2, 1024);
    EXPECT_EQ(read.handOver.readBackFile, "/tmp/out.hex");
    // Hexadecimal may start with 0x.
    EXPECT_EQ(ReadBackRequestFor("0x1CF000", "100", "x").argument1, 0x1CF000);
    EXPECT_EQ(ReadBackRequestFor("0X1cf000", "100", "x").argument1, 0x1CF000);
}

}  // namespace
