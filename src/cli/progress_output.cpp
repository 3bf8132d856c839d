#include "cli/progress_output.h"


namespace pst::cli {

namespace {

bool isProgress(const std::string& line)
{
    return line.find("Finish ") != std::string::npos && !line.empty() && line.back() == ')';
}

}  // namespace

ProgressStreamBuf::ProgressStreamBuf(std::ostream& target, bool inPlace) : target_(target), inPlace_(inPlace)
{
}

ProgressStreamBuf::~ProgressStreamBuf()
{
    finish();
}

void ProgressStreamBuf::finish()
{
    if (!line_.empty())
        emitLine();
    if (progressOpen_) {
        target_ << '\n';
        progressOpen_ = false;
    }
    target_.flush();
}

ProgressStreamBuf::int_type ProgressStreamBuf::overflow(int_type ch)
{
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    if (traits_type::to_char_type(ch) == '\n')
        emitLine();
    else
        line_.push_back(traits_type::to_char_type(ch));
    return ch;
}

int ProgressStreamBuf::sync()
{
    target_.flush();
    return 0;
}

void ProgressStreamBuf::emitLine()
{
    if (inPlace_ && isProgress(line_)) {
        // Clear what a longer earlier text left at the end of the line.
        target_ << '\r' << line_ << "\x1b[K";
        progressOpen_ = true;
    } else {
        if (progressOpen_)
            target_ << '\n';
        progressOpen_ = false;
        target_ << line_ << '\n';
    }
    target_.flush();
    line_.clear();
}

}  // namespace pst::cli
