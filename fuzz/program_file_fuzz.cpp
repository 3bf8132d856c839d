// Preparing a program or firmware file for an update: the model tag, the
// loader's first write and the padded blocks, for files of any content and
// length (the input is placed so that short inputs reach the tag at 0x3000).

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "protocol/program_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);

    // As given, and with the input laid just before the tag so that it
    // covers the tag, its end and the file's end.
    std::vector<std::uint8_t> file(pst::kProgramTagOffset - (size < 4 ? size : 4), 0xFF);
    file.insert(file.end(), input.begin(), input.end());

    for (const std::span<const std::uint8_t> candidate : {input, std::span<const std::uint8_t>(file)}) {
        const std::string tag = pst::ProgramFileTag(candidate);
        PST_FUZZ_CHECK(tag.size() <= pst::kProgramTagSize);
        if (candidate.size() <= pst::kProgramTagOffset)
            PST_FUZZ_CHECK(tag.empty());
        for (std::size_t i = 0; i < tag.size(); ++i) {
            PST_FUZZ_CHECK(tag[i] != 0);
            PST_FUZZ_CHECK(std::islower(static_cast<unsigned char>(tag[i])) == 0);
            PST_FUZZ_CHECK(std::toupper(candidate[pst::kProgramTagOffset + i]) == static_cast<unsigned char>(tag[i]));
        }

        const auto first = pst::FirmwareFirstWrite(candidate);
        PST_FUZZ_CHECK(first[0] == 0x1F && first[1] == 0x75 && first[2] == 0x00 && first[3] == 0x01);
        PST_FUZZ_CHECK(first[4] == ((candidate.size() >> 8) & 0xFF) && first[5] == (candidate.size() & 0xFF));

        // Every block, and one past the end, is the file's bytes then 0xFF.
        for (std::size_t offset = 0; offset <= candidate.size() + pst::kProgramBlockSize;
             offset += pst::kProgramBlockSize) {
            const auto block = pst::PaddedBlock(candidate, offset);
            for (std::size_t i = 0; i < block.size(); ++i)
                PST_FUZZ_CHECK(block[i] == (offset + i < candidate.size() ? candidate[offset + i] : 0xFF));
        }
    }

    // Any text as the file's name.
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    (void)pst::ProgramUpdateStatusText("Update", std::string(name), size);
    return 0;
}
