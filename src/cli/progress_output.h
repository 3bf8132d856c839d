#pragma once
// Progress texts ("...Finish 42.0%(10/24)") on a terminal rewrite one line
// in place; elsewhere (a file, a pipe) every text stays a line of its own.

#include <ostream>
#include <streambuf>
#include <string>

namespace pst::cli {

class ProgressStreamBuf : public std::streambuf {
public:
    ProgressStreamBuf(std::ostream& target, bool inPlace);
    ~ProgressStreamBuf() override;
    ProgressStreamBuf(const ProgressStreamBuf&) = delete;
    ProgressStreamBuf& operator=(const ProgressStreamBuf&) = delete;

    // Ends a progress line that is still open.
    void finish();

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    void emitLine();

    std::ostream& target_;
    bool inPlace_;
    bool progressOpen_ = false;
    std::string line_;
};

}  // namespace pst::cli
