#include "para/download_requests.h"

#include "platform/file_bytes.h"
#include "protocol/downloads.h"
#include "protocol/input_error.h"
#include "protocol/program_file.h"

namespace pst::para {

namespace {

std::vector<std::uint8_t> readWholeFile(const std::string& path, const std::string& failureText)
{
    auto bytes = isRegularFile(path) ? readFileBytes(path) : std::nullopt;
    if (!bytes)
        throw EInvalidInput(failureText);
    return std::move(*bytes);
}

std::string withNumber(std::string format, int number)
{
    if (const std::size_t at = format.find("%d"); at != std::string::npos)
        format.replace(at, 2, std::to_string(number));
    return format;
}

}  // namespace

ProgramUpdatePlan ProgramUpdateRequest(const std::string& path, std::string_view waitSecondsText,
                                       bool firmware, const std::string& missingFileText,
                                       const std::string& statusPrefix)
{
    ProgramUpdatePlan plan;
    ParaRequest& r = plan.request;
    r.operation = firmware ? 25 : 4;
    r.handOver.waitTimeMs = WaitTimeMsFromText(waitSecondsText);
    r.handOver.programImage = readWholeFile(path, missingFileText);
    if (!firmware)
        r.handOver.fileTag = ProgramFileTag(r.handOver.programImage);
    plan.statusText = ProgramUpdateStatusText(statusPrefix, path, r.handOver.programImage.size());
    return plan;
}

MaybeRequest FontDownloadRequest(const std::string& path, std::string_view addressHexText)
{
    if (!isRegularFile(path))
        return std::nullopt;
    ParaRequest r;
    r.operation = 3;
    r.refreshConnection = true;
    r.handOver.downloadList.push_back(FontDownloadRow(path, addressHexText));
    return r;
}

MaybeRequest LogoDownloadRequest(const std::vector<std::string>& paths, const std::string& bankPath,
                                 const PictureLoader& load, const std::string& sizeMessageFormat)
{
    if (paths.empty())
        return std::nullopt;
    std::vector<std::uint8_t> bank;
    try {
        bank = BuildLogoBankFromFiles(paths, load);
        SaveLogoBank(bankPath, bank);
    } catch (const EInvalidInput&) {
        throw;
    } catch (const std::exception& failure) {
        // A picture that does not decode, or a bank file that cannot be
        // written: told to the user like any other refusal.
        throw EInvalidInput(failure.what());
    }
    if (!LogoBankSizeProblem(bank.size()).empty())
        throw EInvalidInput(withNumber(sizeMessageFormat, static_cast<int>(kLogoBankLimit / 1024)));
    ParaRequest r;
    r.operation = 7;
    r.handOver.downloadList.push_back(LogoDownloadRow(bankPath));
    return r;
}

MaybeRequest LogoPrintRequest(const std::vector<bool>& selected)
{
    std::string list = LogoPrintListFor(selected);
    if (list.empty())
        return std::nullopt;
    ParaRequest r;
    r.operation = 17;
    r.refreshConnection = true;
    r.handOver.logoPrintList = std::move(list);
    return r;
}

ParaRequest ReadBackRequestFor(std::string_view startHexText, std::string_view lengthText,
                               const std::string& targetPath)
{
    const ReadBackRequest numbers = ReadBackFromTexts(startHexText, lengthText);
    ParaRequest r;
    r.operation = 16;
    r.argument1 = numbers.startAddress;
    r.argument2 = numbers.length;
    r.refreshConnection = true;
    r.handOver.readBackFile = targetPath;
    return r;
}

bool ShowsTransferProgress(int operation)
{
    switch (operation) {
    case 3:
    case 4:
    case 7:
    case 16:
    case 25:
        return true;
    default:
        return false;
    }
}

}  // namespace pst::para
