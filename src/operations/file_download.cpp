#include "operations/file_download.h"

#include <algorithm>
#include <array>
#include <span>

#include "engine/comm_thread.h"
#include "platform/file_bytes.h"
#include "platform/int_conversion.h"
#include "protocol/errors.h"
#include "engine/exchanges.h"

namespace pst {

namespace {

constexpr std::size_t kDownloadBlockSize = 256;
constexpr std::uint16_t kCommandReadMemory = 0x34;
// Room for the largest payload a reply can announce on any link.
constexpr std::size_t kReadBufferSize = 4096;

void sendFile(TCommThread& worker, const DownloadRow& row)
{
    const auto file = isRegularFile(row.path) ? readFileBytes(row.path) : std::nullopt;
    if (!file)
        throw ECommunicationException("File " + row.path + " not Exist");
    const auto command = static_cast<std::uint16_t>(strToInt(row.commandText));
    const auto base = static_cast<std::uint32_t>(strToInt(row.baseText));
    worker.ShowStatus("Downloading " + row.displayName + row.path, 0, 0, true);
    const std::span<const std::uint8_t> bytes(*file);
    for (std::size_t offset = 0; offset < bytes.size(); offset += kDownloadBlockSize) {
        const auto block = bytes.subspan(offset, std::min(kDownloadBlockSize, bytes.size() - offset));
        ConfirmedSend(worker, command, base + static_cast<std::uint32_t>(offset), kConfirmedSendAttempts,
                      block);
        worker.ShowStatus("", static_cast<std::int32_t>(offset + block.size()),
                          static_cast<std::int32_t>(bytes.size()));
    }
}

// Reads `length` bytes from `start` with read requests of `command`.
std::vector<std::uint8_t> readMemory(TCommThread& worker, std::uint16_t command, std::uint32_t start,
                                     std::int32_t length)
{
    std::vector<std::uint8_t> collected;
    std::array<std::uint8_t, kReadBufferSize> reply;
    std::int64_t done = 0;
    while (done < length) {
        const std::uint32_t n = ReadRequest(worker, command, start + static_cast<std::uint32_t>(done),
                                            kConfirmedSendAttempts, {}, reply);
        // An empty reply would never move the read on.
        if (n == 0)
            throw ECommunicationException("Received Failed: the printer sent no data for address " +
                                          std::to_string(start + static_cast<std::uint32_t>(done)));
        const std::size_t kept = std::min<std::size_t>(n, reply.size());
        collected.insert(collected.end(), reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(kept));
        done += n;
        worker.ShowStatus("", static_cast<std::int32_t>(std::min<std::int64_t>(done, length)), length);
    }
    return collected;
}

void saveFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    if (!writeFileBytes(path, bytes))
        throw ECommunicationException("Cannot write " + path);
}

void runRead(TCommThread& worker, bool saveToFile)
{
    worker.Guarded([&] {
        std::uint16_t command = kCommandReadMemory;
        if (!saveToFile) {
            const DownloadList& list = worker.RunHandOver().downloadList;
            if (!list.empty())
                command = static_cast<std::uint16_t>(strToInt(list.front().commandText));
        }
        worker.OpenLink(worker.Run().comName, worker.Run().transferSpeed);
        worker.SetMemoryStream({});
        auto bytes =
            readMemory(worker, command, static_cast<std::uint32_t>(worker.Argument1()), worker.Argument2());
        if (saveToFile)
            saveFile(worker.RunHandOver().readBackFile, bytes);
        worker.SetMemoryStream(std::move(bytes));
        worker.RestoreLinkSpeed();
        worker.ShowStatus("上传完成");
    });
    worker.Guarded([&] { worker.CloseLink(); });
}

}  // namespace

void RunFileDownload(TCommThread& worker)
{
    worker.Guarded([&] {
        worker.OpenLink(worker.Run().comName, worker.Run().transferSpeed);
        for (const DownloadRow& row : worker.RunHandOver().downloadList)
            sendFile(worker, row);
        worker.RestoreLinkSpeed();
    });
    worker.Guarded([&] { worker.CloseLink(); });
}

void RunMemoryReadBack(TCommThread& worker)
{
    runRead(worker, true);
}

void RunMemoryRead(TCommThread& worker)
{
    runRead(worker, false);
}

}  // namespace pst
