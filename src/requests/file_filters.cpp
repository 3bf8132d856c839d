#include "requests/file_filters.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "texts/message_texts.h"

namespace pst::requests {

namespace {

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "NAME (*.a *.b *.A *.B)".
std::string entry(const char* nameKey, std::initializer_list<const char*> extensions)
{
    std::string patterns;
    for (const char* extension : extensions)
        patterns += (patterns.empty() ? "*." : " *.") + std::string(extension);
    for (const char* extension : extensions)
        patterns += " *." + upper(extension);
    return MessageText(nameKey) + " (" + patterns + ")";
}

std::string allFiles()
{
    return MessageText("sAllFilesFilterName") + " (*)";
}

}  // namespace

std::string ProgramFileFilter()
{
    return entry("sProgramFilterName", {"hex", "bin"}) + ";;" + allFiles();
}

std::string PictureFileFilter()
{
    // What protocol/picture_file decodes: BMP, PNG, JPEG and GIF.
    return entry("sPicturesFilterName", {"bmp", "png", "jpg", "jpeg", "gif"}) + ";;" +
        entry("sBmpFilterName", {"bmp"}) + ";;" + allFiles();
}

std::string ReadBackFileFilter()
{
    return entry("sHexFilterName", {"hex"}) + ";;" + allFiles();
}

std::string ProfileFileFilter()
{
    return MessageText("sProfileFilterMsg") + ";;" + allFiles();
}

}  // namespace pst::requests
