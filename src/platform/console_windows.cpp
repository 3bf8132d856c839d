#include "platform/console.h"

#include <windows.h>
#include <shellapi.h>

namespace pst {

namespace {

// A console handle answers GetConsoleMode; a pipe or a file does not.
bool isConsole(DWORD stream)
{
    DWORD mode = 0;
    const HANDLE handle = ::GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

std::string utf8Of(const wchar_t* text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
    out.pop_back();  // the terminating zero
    return out;
}

}  // namespace

bool standardOutputIsTerminal()
{
    return isConsole(STD_OUTPUT_HANDLE);
}

bool standardErrorIsTerminal()
{
    return isConsole(STD_ERROR_HANDLE);
}

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(utf8Of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void useUtf8Console()
{
    ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace pst
