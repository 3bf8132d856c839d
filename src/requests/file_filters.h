#pragma once
// The file dialogs' filters, ";;"-separated, in the chosen language. Each
// lists the kinds the tool reads first and "all files" last. Patterns come
// in both letter cases: some platforms' dialogs match them exactly.

#include <string>

namespace pst::requests {

// Program, firmware and font files.
std::string ProgramFileFilter();
// Logo pictures: every type the picture reader decodes, then BMP alone.
std::string PictureFileFilter();
// Where a memory read-back is saved.
std::string ReadBackFileFilter();
// Profiles, exported and imported.
std::string ProfileFileFilter();

}  // namespace pst::requests
