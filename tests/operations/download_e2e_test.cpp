// Updates, downloads and read-back end to end: the worker against the
// virtual printer, with the long pauses recorded instead of waited out
// (except in one program update at real speed).

#include "operations/operation_fixture.h"

#include <algorithm>
#include <fstream>
#include <mutex>

#include "protocol/downloads.h"
#include "protocol/logo_bank.h"
#include "protocol/program_file.h"
#include "operations/program_update.h"
#include "operations/run_stopping.h"
#include "texts/message_texts.h"
#include "logo_output.h"

using namespace pst;
using namespace pst::test;

namespace {

class DownloadFixture : public OperationFixture {
protected:
    // Every pause is noted and shortened to a millisecond, so that bytes in
    // flight still arrive between the steps.
    void recordPauses()
    {
        worker->setSleeper([this](std::chrono::milliseconds ms) {
            {
                std::lock_guard lock(pausesMutex);
                pauses.push_back(static_cast<int>(ms.count()));
            }
            // Long pauses (the loader's flash time, restart waits) still
            // give the writer time to drain what was queued before them, as
            // the real pause would; closing the port discards unsent bytes.
            std::this_thread::sleep_for(std::chrono::milliseconds(ms.count() >= 5000 ? 200 : 1));
        });
    }

    int pauseCount(int ms)
    {
        std::lock_guard lock(pausesMutex);
        return static_cast<int>(std::count(pauses.begin(), pauses.end(), ms));
    }

    void startPrinterWith(const std::function<void(sim::SimOptions&)>& adjust)
    {
        sim::SimOptions options;
        options.restartPauseMs = 0;
        adjust(options);
        startPrinter(options);
    }

    std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::vector<std::uint8_t> readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::vector<sim::ReceivedFrame> framesOf(std::uint16_t command) const
    {
        std::vector<sim::ReceivedFrame> out;
        for (const auto& frame : printer->frames())
            if (frame.command == command)
                out.push_back(frame);
        return out;
    }

    template <typename T> T state(T (*pick)(const sim::PrinterState&)) const
    {
        T value{};
        printer->waitFor(
            [&](const sim::PrinterState& s) {
                value = pick(s);
                return true;
            },
            0);
        return value;
    }

    std::mutex pausesMutex;
    std::vector<int> pauses;
};

std::vector<std::uint8_t> programWithTag(std::size_t size, const std::string& tag)
{
    std::vector<std::uint8_t> image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    if (size > kProgramTagOffset) {
        std::fill_n(image.begin() + kProgramTagOffset, kProgramTagSize, 0);
        std::copy(tag.begin(), tag.end(), image.begin() + kProgramTagOffset);
    }
    return image;
}

}  // namespace

TEST_F(DownloadFixture, ProgramOf1000BytesGoesInFourPaddedBlocks)
{
    startPrinterWith([](auto& o) { o.model = ""; });
    startWorker(9600, 115200);
    recordPauses();
    HandOver handOver;
    handOver.programImage = programWithTag(1000, "");
    handOver.waitTimeMs = 7000;
    ASSERT_TRUE(runWith(4, 0, 0, handOver));

    EXPECT_EQ(commandsReceived(),
              (std::vector<std::uint16_t>{0x31, 0x30, 0x32, 0x33, 0x33, 0x33, 0x33, 0x2E}));
    const auto blocks = framesOf(0x33);
    ASSERT_EQ(blocks.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(blocks[i].arg1, i * 256);
        EXPECT_EQ(blocks[i].payload.size(), 256u);
    }
    EXPECT_TRUE(std::all_of(blocks[3].payload.begin() + 232, blocks[3].payload.end(),
                            [](auto b) { return b == 0xFF; }));
    EXPECT_TRUE(std::equal(blocks[3].payload.begin(), blocks[3].payload.begin() + 232,
                           handOver.programImage.begin() + 768));
    EXPECT_EQ(pauseCount(300), 1);
    EXPECT_EQ(pauseCount(7000), 1);
    EXPECT_EQ(shownStatus(), "更新程序完成");
    EXPECT_FALSE(worker->portOpen());
    EXPECT_EQ(state<std::size_t>([](const auto& s) { return s.program.image.size(); }), 1024u);
}

TEST_F(DownloadFixture, ProgramUpdateAtRealSpeedChangesTheModelTag)
{
    sim::SimOptions options;
    options.restartPauseMs = 150;
    options.pace = true;
    options.model = "PNF80V2";
    startPrinter(options);
    startWorker(9600, 115200);
    HandOver handOver;
    // The tag is compared upper-cased; the printer takes it as written.
    handOver.programImage = programWithTag(13000, "pnf80v2");
    handOver.fileTag = ProgramFileTag(handOver.programImage);
    ASSERT_EQ(handOver.fileTag, "PNF80V2");
    handOver.waitTimeMs = 300;
    ASSERT_TRUE(runWith(4, 0, 0, handOver));
    EXPECT_EQ(state<std::string>([](const auto& s) { return s.model; }), "pnf80v2");
    EXPECT_EQ(state<std::size_t>([](const auto& s) { return s.program.image.size(); }), 13056u);
    EXPECT_NE(printer->stateJson().find("\"updates\":1"), std::string::npos);
}

TEST_F(DownloadFixture, ProgramForAnotherModelFailsAndClosesTheLink)
{
    startPrinterWith([](auto&) {});
    startWorker(9600, 115200);
    recordPauses();
    HandOver handOver;
    handOver.programImage = programWithTag(12288, "");
    EXPECT_FALSE(runWith(4, 0, 0, handOver));
    EXPECT_EQ(worker->status().error(), MessageText(kProgramFileErrorKey));
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x31, 0x30, 0x31}));
    EXPECT_FALSE(worker->portOpen());
}

TEST_F(DownloadFixture, PrinterDeafAfterConnectFailsTheBlocksWithTheLinkClosed)
{
    startPrinterWith([](auto& o) {
        o.model = "";
        o.restartPauseMs = 60000;
    });
    startWorker(9600, 9600);
    recordPauses();
    HandOver handOver;
    handOver.programImage = programWithTag(600, "");
    EXPECT_FALSE(runWith(4, 0, 0, handOver));
    // Since the connect request the printer waits for its program: the
    // failure says so.
    EXPECT_EQ(worker->status().error(),
              "Download Data Failed\n出错前已发送 0 / 3 块\n" + MessageText(kProgramIncompleteKey));
    EXPECT_FALSE(worker->portOpen());
    EXPECT_EQ(framesOf(0x33).size(), 0u);  // heard by nobody
}

TEST_F(DownloadFixture, MissingPortFailsEveryOperationCleanly)
{
    startWorker(9600, 115200);
    recordPauses();
    HandOver handOver;
    handOver.programImage = programWithTag(300, "");
    handOver.downloadList = {FontDownloadRow((folder / "f.bin").string(), 0)};
    handOver.readBackFile = (folder / "out.hex").string();
    for (const int operation : {2, 3, 4, 7, 16, 25}) {
        EXPECT_FALSE(runWith(operation, 0, 16, handOver)) << operation;
        EXPECT_FALSE(worker->status().error().empty()) << operation;
        EXPECT_FALSE(worker->portOpen()) << operation;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out.hex"));
}

TEST_F(DownloadFixture, FontGoesInThreePacketsAndReadsBackIdentical)
{
    startPrinterWith([](auto&) {});
    startWorker(9600, 115200);
    recordPauses();
    std::vector<std::string> headings;
    WorkerEvents paramBar;
    paramBar.status = [&](const StatusUpdate& update) { headings.push_back(update.text); };
    setExtraEvents(paramBar);
    std::vector<std::uint8_t> font(600);
    for (std::size_t i = 0; i < font.size(); ++i)
        font[i] = static_cast<std::uint8_t>(i * 13 + 1);
    const std::string path = writeFile("font.bin", font);
    HandOver handOver;
    handOver.downloadList = {FontDownloadRow(path, 0x10000)};
    ASSERT_TRUE(runWith(3, 0, 0, handOver));
    const auto packets = framesOf(0x35);
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[0].arg1, 0x10000u);
    EXPECT_EQ(packets[1].arg1, 0x10100u);
    EXPECT_EQ(packets[2].arg1, 0x10200u);
    EXPECT_EQ(packets[2].payload.size(), 88u);
    ui->processPending();
    EXPECT_EQ(headings, (std::vector<std::string>{"Downloading FONT" + path}));
    EXPECT_EQ(shownStatus(), "Finish 100.0%(2/2)");

    HandOver readBack;
    readBack.readBackFile = (folder / "back.hex").string();
    ASSERT_TRUE(runWith(16, 0x10000, 600, readBack));
    const auto back = readFile(readBack.readBackFile);
    ASSERT_EQ(back.size(), 768u);  // whole replies are kept
    EXPECT_TRUE(std::equal(font.begin(), font.end(), back.begin()));
    EXPECT_EQ(shownStatus(), "上传完成");
    EXPECT_EQ(worker->memoryStream(), back);
}

TEST_F(DownloadFixture, EmptyReadReplyEndsTheReadAsAFailure)
{
    startPrinterWith([](auto&) {});
    startWorker(9600, 9600);
    recordPauses();
    HandOver handOver;
    handOver.downloadList = {{"", "", "$36", "$0"}};  // a command the printer answers without data
    EXPECT_FALSE(runWith(2, 0x100, 10, handOver));
    EXPECT_NE(worker->status().error().find("Received Failed"), std::string::npos);
    EXPECT_FALSE(worker->portOpen());
}

TEST_F(DownloadFixture, MissingListFileStopsTheDownload)
{
    startPrinterWith([](auto&) {});
    startWorker(9600, 9600);
    recordPauses();
    HandOver handOver;
    const std::string gone = (folder / "gone.bin").string();
    handOver.downloadList = {FontDownloadRow(gone, 0)};
    EXPECT_FALSE(runWith(3, 0, 0, handOver));
    EXPECT_EQ(worker->status().error(), "File " + gone + " not Exist");
    EXPECT_TRUE(framesOf(0x35).empty());
}

TEST_F(DownloadFixture, LogosDownloadThenPrintByNumber)
{
    startPrinterWith([](auto&) {});
    startWorker(9600, 115200);
    recordPauses();
    auto picture = [](int w, int h) {
        MonochromePicture p(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p.setBlack(x, y, true);
        return p;
    };
    const auto bank = BuildLogoBank({picture(100, 50), picture(16, 8), picture(384, 100)});
    const std::string bankPath = LogoBankPath(folder.string());
    SaveLogoBank(bankPath, bank);
    HandOver handOver;
    handOver.downloadList = {LogoDownloadRow(bankPath)};
    ASSERT_TRUE(runWith(7, 0, 0, handOver));
    EXPECT_EQ(framesOf(0x35).front().arg1, kLogoBankBase);
    EXPECT_EQ(state<unsigned>([](const auto& s) { return sim::storedLogoCount(s.flash); }), 3u);

    HandOver print;
    print.logoPrintList = LogoPrintListFor({true, false, true});
    ASSERT_TRUE(runWith(17, 0, 0, print));
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.printed.size() == 2; }));
    const auto items = printed();
    EXPECT_EQ(items[0].text, "logo 1: 104x56 dots, 728 bytes, 5000 black");
    EXPECT_EQ(items[1].text, "logo 3: 384x104 dots, 4992 bytes, 38400 black");
}

TEST_F(DownloadFixture, BootHandshakeFindsTheLoaderWhichTakesTheFirmware)
{
    startPrinterWith([](auto& o) { o.bootLoader = true; });
    startWorker(9600, 115200);
    recordPauses();
    ASSERT_TRUE(run(28));
    EXPECT_EQ(worker->bootReplyText(), kBootReplyMarker);
    EXPECT_FALSE(worker->bootPollMode());
    EXPECT_EQ(worker->rawFirstByte(), -1);
    // The main window leaves boot mode.
    worker->setRawReceiveMode(false);
    worker->setBootReplyText("");

    HandOver firmware;
    firmware.programImage = std::vector<std::uint8_t>(70000, 0x5A);
    pauses.clear();
    ASSERT_TRUE(runWith(25, 0, 0, firmware));
    EXPECT_EQ(pauseCount(400), 2 + 273);
    EXPECT_EQ(pauseCount(26000), 1);
    EXPECT_EQ(pauseCount(5000), 1);
    EXPECT_EQ(shownStatus(), "更新程序完成");
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.loader.firmwareBytes == 256u * 274u; }));
    EXPECT_EQ(state<unsigned>([](const auto& s) { return unsigned{s.loader.announcedSize}; }), 0x1170u);
    EXPECT_FALSE(worker->portOpen());
}

TEST_F(DownloadFixture, SmallFirmwareGoesInOneWriteAndAnEmptyOneIsRefused)
{
    startPrinterWith([](auto& o) { o.bootLoader = true; });
    startWorker(9600, 9600);
    recordPauses();
    aimSerialComponentAtPrinter(9600);
    HandOver firmware;
    firmware.programImage = std::vector<std::uint8_t>(256, 0x11);
    ASSERT_TRUE(runWith(25, 0, 0, firmware));
    EXPECT_EQ(pauseCount(400), 2);
    ASSERT_TRUE(printerReaches([](const auto& s) { return s.loader.firmwareBytes == 256u; }));

    // An empty file would leave the loader waiting for a program that never
    // comes: refused, and nothing is written or waited for.
    pauses.clear();
    aimSerialComponentAtPrinter(9600);
    firmware.programImage.clear();
    EXPECT_FALSE(runWith(25, 0, 0, firmware));
    EXPECT_EQ(worker->status().error(), "文件是空的");
    EXPECT_EQ(pauseCount(400), 0);
    EXPECT_EQ(pauseCount(26000), 0);
    EXPECT_EQ(state<std::uint64_t>([](const auto& s) { return s.loader.firmwareBytes; }), 256u);
}

TEST_F(DownloadFixture, BootHandshakeWithoutLoaderEndsWithoutMarker)
{
    startPrinterWith([](auto&) {});
    startWorker(9600, 9600);
    recordPauses();
    ASSERT_TRUE(run(28));
    EXPECT_EQ(worker->bootReplyText(), "");
    EXPECT_EQ(pauseCount(50), 1001);
    EXPECT_FALSE(worker->bootPollMode());
}
