#include "operations/file_download.h"

#include <algorithm>
#include <array>
#include <span>

#include "engine/operation_context.h"
#include "platform/file_bytes.h"
#include "platform/int_conversion.h"
#include "protocol/errors.h"
#include "protocol/read_back_check.h"
#include "engine/exchanges.h"
#include "operations/run_stopping.h"
#include "texts/message_texts.h"

namespace pst {

namespace {

constexpr std::size_t kDownloadBlockSize = 256;
constexpr std::uint16_t kCommandReadMemory = 0x34;
// Room for the largest payload a reply can announce on any link.
constexpr std::size_t kReadBufferSize = 4096;

std::vector<std::uint8_t> readMemory(OperationContext& context, std::uint16_t command, std::uint32_t start,
                                     std::int32_t length, std::string_view stoppedKey);

// The range just written, read back and compared. A flash write the
// printer acknowledged can still have gone wrong, and a font or logo bank
// with one bad byte only shows on paper.
void verifyWritten(OperationContext& context, std::span<const std::uint8_t> sent, std::uint32_t base)
{
    // In the first panel, where the outcome will stand; the second keeps
    // naming the file.
    context.showStatus(MessageText("sVerifyingMsg"));
    const auto back = readMemory(context, kCommandReadMemory, base, static_cast<std::int32_t>(sent.size()),
                                 kStoppedVerifyingKey);
    const auto mismatch = CompareReadBack(sent, back, base, kDownloadBlockSize);
    if (!mismatch)
        return;
    std::string text = MessageWithText("sVerifyFailedMsg", AddressText(mismatch->firstAddress));
    if (const std::size_t at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(mismatch->differingBlocks));
    throw EReadBackMismatch(text);
}

// The blocks of every file in the list; a file that cannot be read counts
// none (it fails the download when its turn comes).
std::size_t blocksToSend(const DownloadList& list)
{
    std::size_t blocks = 0;
    for (const DownloadRow& row : list)
        blocks += BlocksIn(readableFileSize(row.path).value_or(0), kDownloadBlockSize);
    return blocks;
}

// Sends one file of the list; `sent` counts the blocks of the whole list.
void sendFile(OperationContext& context, const DownloadRow& row, BlockCount& sent)
{
    const auto file = isRegularFile(row.path) ? readFileBytes(row.path) : std::nullopt;
    if (!file)
        throw ECommunicationException("File " + row.path + " not Exist");
    const auto command = static_cast<std::uint16_t>(strToInt(row.commandText));
    const auto base = static_cast<std::uint32_t>(strToInt(row.baseText));
    context.showStatus(MessageWithValues("sDownloadingMsg", {row.displayName, row.path}), 0, 0, true);
    const std::span<const std::uint8_t> bytes(*file);
    for (std::size_t offset = 0; offset < bytes.size(); offset += kDownloadBlockSize) {
        StopIfCancelled(context, kStoppedSendingKey, sent);
        const auto block = bytes.subspan(offset, std::min(kDownloadBlockSize, bytes.size() - offset));
        context.confirmedSend(command, base + static_cast<std::uint32_t>(offset), kConfirmedSendAttempts,
                              block);
        ++sent.done;
        context.showStatus("", static_cast<std::int32_t>(offset + block.size()),
                           static_cast<std::int32_t>(bytes.size()));
    }
    if (context.handOver().verify)
        verifyWritten(context, bytes, base);
}

// Reads `length` bytes from `start` with read requests of `command`; a stop
// between two requests is told with `stoppedKey`, counted in the blocks of
// a download.
std::vector<std::uint8_t> readMemory(OperationContext& context, std::uint16_t command, std::uint32_t start,
                                     std::int32_t length, std::string_view stoppedKey)
{
    std::vector<std::uint8_t> collected;
    std::array<std::uint8_t, kReadBufferSize> reply;
    std::int64_t done = 0;
    const std::size_t blocks = BlocksIn(static_cast<std::uintmax_t>(std::max(length, 0)), kDownloadBlockSize);
    while (done < length) {
        StopIfCancelled(context, stoppedKey,
                        {BlocksIn(static_cast<std::uintmax_t>(done), kDownloadBlockSize), blocks});
        const std::uint32_t n = context.readRequest(command, start + static_cast<std::uint32_t>(done),
                                                    kConfirmedSendAttempts, {}, reply);
        // An empty reply would never move the read on.
        if (n == 0)
            throw ECommunicationException("Received Failed: the printer sent no data for address " +
                                          std::to_string(start + static_cast<std::uint32_t>(done)));
        const std::size_t kept = std::min<std::size_t>(n, reply.size());
        collected.insert(collected.end(), reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(kept));
        done += n;
        context.showStatus("", static_cast<std::int32_t>(std::min<std::int64_t>(done, length)), length);
    }
    return collected;
}

void saveFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    if (!writeFileBytes(path, bytes))
        throw ECommunicationException("Cannot write " + path);
}

void runRead(OperationContext& context, bool saveToFile)
{
    context.guarded([&] {
        std::uint16_t command = kCommandReadMemory;
        if (!saveToFile) {
            const DownloadList& list = context.handOver().downloadList;
            if (!list.empty())
                command = static_cast<std::uint16_t>(strToInt(list.front().commandText));
        }
        context.openLink();
        context.setMemoryStream({});
        auto bytes = readMemory(context, command, static_cast<std::uint32_t>(context.argument1()),
                                context.argument2(), kStoppedReadingKey);
        if (saveToFile)
            saveFile(context.handOver().readBackFile, bytes);
        context.setMemoryStream(std::move(bytes));
        context.restoreLinkSpeed();
        context.showStatus(MessageText("sUploadMsg"));
    });
    context.guarded([&] { context.closeLink(); });
}

}  // namespace

void RunFileDownload(OperationContext& context)
{
    context.guarded([&] {
        context.openLink();
        const DownloadList& list = context.handOver().downloadList;
        BlockCount sent{0, blocksToSend(list)};
        for (const DownloadRow& row : list)
            sendFile(context, row, sent);
        context.restoreLinkSpeed();
        if (context.handOver().verify)
            context.showStatus(MessageText("sVerifiedMsg"));
    });
    context.guarded([&] { context.closeLink(); });
}

void RunMemoryReadBack(OperationContext& context)
{
    runRead(context, true);
}

void RunMemoryRead(OperationContext& context)
{
    runRead(context, false);
}

}  // namespace pst
