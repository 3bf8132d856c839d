#include "requests/download_requests.h"

#include "platform/file_bytes.h"
#include "protocol/downloads.h"
#include "protocol/input_error.h"
#include "protocol/program_file.h"
#include "requests/field_refusal.h"
#include "requests/local_checks.h"
#include "requests/raw_requests.h"
#include "texts/message_texts.h"

namespace pst::requests {

namespace {

std::string withNumber(std::string format, int number)
{
    if (const std::size_t at = format.find("%d"); at != std::string::npos)
        format.replace(at, 2, std::to_string(number));
    return format;
}

}  // namespace

ProgramUpdatePlan ProgramUpdateRequest(const std::string& path, std::string_view waitSecondsText,
                                       bool firmware, const std::string& statusPrefix)
{
    ProgramUpdatePlan plan;
    Request& r = plan.request;
    r.operation = firmware ? Operation::FirmwareUpdate : Operation::ProgramUpdate;
    r.handOver.waitTimeMs = WaitTimeMs(FieldValue(kWaitTimeField, waitSecondsText));
    r.handOver.programImage = ReadInputFile(path);
    if (!firmware) {
        // A file naming no model would match a printer that names none.
        r.handOver.fileTag = ProgramFileTag(r.handOver.programImage);
        if (r.handOver.fileTag.empty())
            throw EInvalidInput(MessageText("sNoModelTagMsg"));
    }
    plan.statusText = ProgramUpdateStatusText(statusPrefix, path, r.handOver.programImage.size());
    return plan;
}

MaybeRequest FontDownloadRequest(const std::string& path, std::string_view addressHexText, bool verify)
{
    if (!isRegularFile(path))
        return std::nullopt;
    const std::int32_t address = FieldValue(kFontAddressField, addressHexText);
    CheckInputFile(path);
    Request r;
    r.operation = Operation::FontDownload;
    r.refreshConnection = true;
    r.handOver.downloadList.push_back(FontDownloadRow(path, address));
    r.handOver.verify = verify;
    return r;
}

MaybeRequest LogoDownloadRequest(const std::vector<std::string>& paths, const std::string& bankPath,
                                 const PictureLoader& load, const std::string& sizeMessageFormat,
                                 bool verify)
{
    if (paths.empty())
        return std::nullopt;
    try {
        const std::vector<std::uint8_t> bank = BuildLogoBankFromFiles(paths, load);
        // Refused before the file is written: the bank on disk stays the
        // last one the printer could take.
        if (!LogoBankSizeProblem(bank.size()).empty())
            throw EInvalidInput(withNumber(sizeMessageFormat, static_cast<int>(kLogoBankLimit / 1024)));
        SaveLogoBank(bankPath, bank);
    } catch (const EInvalidInput&) {
        throw;
    } catch (const std::exception& failure) {
        // A picture that does not decode, or a bank file that cannot be
        // written: told to the user like any other refusal.
        throw EInvalidInput(failure.what());
    }
    return LogoBankDownloadRequest(bankPath, verify);
}

Request LogoBankDownloadRequest(const std::string& bankPath, bool verify)
{
    Request r;
    r.operation = Operation::LogoDownload;
    r.handOver.downloadList.push_back(LogoDownloadRow(bankPath));
    r.handOver.verify = verify;
    return r;
}

MaybeRequest LogoPrintRequest(const std::vector<bool>& selected)
{
    std::vector<int> numbers;
    for (std::size_t i = 0; i < selected.size(); ++i)
        if (selected[i])
            numbers.push_back(static_cast<int>(i + 1));
    if (numbers.empty())
        return std::nullopt;
    return PrintLogosRequest(numbers);
}

Request MemoryReadRequest(std::int32_t startAddress, std::int32_t length, const std::string& targetPath)
{
    FieldValue(kReadStartField, startAddress);
    FieldValue(kReadLengthField, length);
    CheckOutputFile(targetPath);
    Request r;
    r.operation = Operation::ReadFontMemory;
    r.argument1 = startAddress;
    r.argument2 = length;
    r.refreshConnection = true;
    r.handOver.readBackFile = targetPath;
    return r;
}

Request ReadBackRequestFor(std::string_view startHexText, std::string_view lengthText,
                           const std::string& targetPath)
{
    return MemoryReadRequest(FieldValue(kReadStartField, startHexText), FieldValue(kReadLengthField, lengthText),
                             targetPath);
}

Request StoredLogosReadRequest()
{
    Request r;
    r.operation = Operation::ReadMemoryBlock;
    r.argument1 = static_cast<std::int32_t>(kLogoBankBase);
    r.argument2 = static_cast<std::int32_t>(kLogoDirectorySize);
    r.refreshConnection = true;
    return r;
}

bool ShowsTransferProgress(Operation operation)
{
    switch (operation) {
    case Operation::FontDownload:
    case Operation::ProgramUpdate:
    case Operation::LogoDownload:
    case Operation::ReadFontMemory:
    case Operation::FirmwareUpdate:
        return true;
    default:
        return false;
    }
}

}  // namespace pst::requests
