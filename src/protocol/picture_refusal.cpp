#include "protocol/picture_refusal.h"

namespace pst {

namespace {

std::string logText(const std::string& name, std::string_view reader, const std::string& reason)
{
    return name + ": not a " + std::string(reader) + " this tool can read (" + reason + ")";
}

const char* reasonKey(PictureProblem problem)
{
    switch (problem) {
    case PictureProblem::UnknownFormat:
        return "sPictureUnknownFormatReason";
    case PictureProblem::Damaged:
        return "sPictureDamagedReason";
    case PictureProblem::TooLarge:
        return "sPictureTooLargeReason";
    case PictureProblem::Header:
        return "sPictureHeaderReason";
    case PictureProblem::Compressed:
        return "sPictureCompressedReason";
    }
    return "sPictureDamagedReason";
}

}  // namespace

EInvalidInput PictureRefusal(const std::string& name, std::string_view reader, PictureProblem problem,
                             const std::string& logReason)
{
    return EInvalidInput::withMessageValues("sNotPictureMsg",
                                            {name, RefusalValue::messageKey(reasonKey(problem))},
                                            logText(name, reader, logReason));
}

EInvalidInput PictureSizeRefusal(const std::string& name, std::string_view reader, std::int64_t width,
                                 std::int64_t height)
{
    const std::string w = std::to_string(width), h = std::to_string(height);
    return EInvalidInput::withMessageValues("sPictureSizeMsg", {name, w, h},
                                            logText(name, reader, "size " + w + " x " + h));
}

EInvalidInput PictureBitsRefusal(const std::string& name, std::string_view reader, int bitsPerPixel)
{
    const std::string bits = std::to_string(bitsPerPixel);
    return EInvalidInput::withMessageValues("sPictureBitsMsg", {name, bits},
                                            logText(name, reader, bits + " bits per pixel"));
}

EInvalidInput PictureNotOpenedRefusal(const std::string& path)
{
    return EInvalidInput::withMessageValues("sPictureNotOpenedMsg", {path}, path + ": cannot be opened");
}

}  // namespace pst
