#pragma once
// Replaces a file's content all at once: the content goes to a temporary
// file beside it, which is then renamed over the old one. A crash or a full
// disk leaves either the old file or the new one, never half of either.

#include <string>
#include <string_view>

namespace pst {

// Returns an empty string on success, otherwise why it failed.
std::string writeFileAtomically(const std::string& path, std::string_view content);

// The same for content produced piece by piece: nothing replaces the file
// until commit() succeeds; a writer dropped before that leaves it alone.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // After a failure further writes do nothing; commit() reports it.
    void write(std::string_view piece);
    // Returns an empty string on success, otherwise why it failed.
    std::string commit();

private:
    void abandon();

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    std::string failure_;
};

}  // namespace pst
