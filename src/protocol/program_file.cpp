#include "protocol/program_file.h"

#include <algorithm>
#include <cctype>


namespace pst {

std::string ProgramFileTag(std::span<const std::uint8_t> file)
{
    if (file.size() <= kProgramTagOffset)
        return {};
    std::string tag;
    const std::size_t end = std::min(file.size(), kProgramTagOffset + kProgramTagSize);
    for (std::size_t i = kProgramTagOffset; i < end && file[i] != 0; ++i)
        tag.push_back(static_cast<char>(std::toupper(file[i])));
    return tag;
}

std::string ProgramUpdateStatusText(const std::string& prefix, const std::string& path, std::size_t size)
{
    // Either separator: the file may come from a Windows path typed by hand.
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return prefix + ":" + name + " Size:" + std::to_string(size);
}

std::array<std::uint8_t, kProgramBlockSize> PaddedBlock(std::span<const std::uint8_t> file,
                                                        std::size_t offset)
{
    std::array<std::uint8_t, kProgramBlockSize> block;
    block.fill(0xFF);
    if (offset < file.size()) {
        const std::size_t n = std::min(kProgramBlockSize, file.size() - offset);
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), n, block.begin());
    }
    return block;
}

std::array<std::uint8_t, kFirmwareFirstWriteSize> FirmwareFirstWrite(std::span<const std::uint8_t> file)
{
    std::array<std::uint8_t, kFirmwareFirstWriteSize> write{};
    write[0] = 0x1F;
    write[1] = 0x75;
    write[2] = 0x00;
    write[3] = 0x01;
    write[4] = static_cast<std::uint8_t>((file.size() >> 8) & 0xFF);
    write[5] = static_cast<std::uint8_t>(file.size() & 0xFF);
    const auto block = PaddedBlock(file, 0);
    std::copy(block.begin(), block.end(), write.begin() + kFirmwareHeaderSize);
    return write;
}

}  // namespace pst
