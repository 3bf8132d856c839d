#pragma once
// What the download page's buttons ask the worker to do, worked out from
// the typed texts and the chosen files: program and firmware updates, the
// font library, the stored-logo bank and its printing, and the memory
// read-back. Refusals throw EInvalidInput with the text to show (an
// EFieldRefusal for a typed number out of its field's range, see
// setting_ranges.h); nothing is started then.

#include <string>
#include <string_view>
#include <vector>

#include "protocol/downloads.h"
#include "protocol/logo_bank.h"
#include "requests/request.h"

namespace pst::requests {

struct ProgramUpdatePlan {
    Request request;
    std::string statusText;  // for status panel 1
};

// Operation 4 (or 25 for `firmware`, which sends whatever model the file is
// for). The file must be readable and not empty, and a program file must
// name its model; `statusPrefix` starts the status text.
ProgramUpdatePlan ProgramUpdateRequest(const std::string& path, std::string_view waitSecondsText,
                                       bool firmware, const std::string& statusPrefix);

// Operation 3; nothing at all when the file does not exist, refused when it
// cannot be read or is empty, or the address is not hexadecimal. With `verify` the written range is read back
// and compared afterwards.
MaybeRequest FontDownloadRequest(const std::string& path, std::string_view addressHexText, bool verify = false);

// Operation 7 for a logo bank already built and saved at `bankPath`.
Request LogoBankDownloadRequest(const std::string& bankPath, bool verify = false);

// Builds the bank from the list (missing files skipped), saves it at
// `bankPath` even when it is too large, then operation 7. Nothing for an
// empty list. `sizeMessageFormat` is the over-the-limit text with %d for
// the limit in KiB.
MaybeRequest LogoDownloadRequest(const std::vector<std::string>& paths, const std::string& bankPath,
                                 const PictureLoader& load, const std::string& sizeMessageFormat,
                                 bool verify = false);

// Operation 17 once for the selected entries; nothing when none is.
MaybeRequest LogoPrintRequest(const std::vector<bool>& selected);

// Operation 16 into `targetPath`: `length` bytes from `startAddress`, or
// from the texts (hexadecimal and decimal). Refused when `targetPath`
// could not be written.
Request MemoryReadRequest(std::int32_t startAddress, std::int32_t length, const std::string& targetPath);
Request ReadBackRequestFor(std::string_view startHexText, std::string_view lengthText,
                           const std::string& targetPath);

// Operation 2 over the logo bank's directory: what the printer holds, read
// back into the worker's memory stream (see ParseLogoDirectory).
Request StoredLogosReadRequest();

// Whether the operation moves enough data that the window shows it is busy.
bool ShowsTransferProgress(Operation operation);

}  // namespace pst::requests
