#pragma once
// Replaces a file's content all at once: the content goes to a temporary
// file beside it, which is then renamed over the old one. A crash or a full
// disk leaves either the old file or the new one, never half of either.
//
// Each save has a temporary file of its own (`<file>.pst-` and six random
// characters, created exclusively and never through a symbolic link), so two
// programs saving the same file at once each replace it with their whole
// content, and a link planted beside the file cannot redirect the write. A
// link planted in the file's own place is replaced, never written through.
// The temporary files a killed save left behind (this user's, untouched for a
// minute, no longer held by a save) are removed by the next save into their
// folder.
// The replaced file keeps the old one's permissions; a new file gets 0644
// less the umask. Data and folder are flushed, so a save reported as done
// survives a power loss.

#include <cstddef>
#include <string>
#include <string_view>

namespace pst {

// Returns an empty string on success, otherwise why it failed.
std::string writeFileAtomically(const std::string& path, std::string_view content);

// The same for content produced piece by piece: nothing replaces the file
// until commit() succeeds; a writer dropped before that leaves it alone and
// removes its temporary file.
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
    void open();
    // Creates the temporary file under a fresh name; false (the failure
    // noted) when none could be had.
    bool createTemporary();
    void fail(int error);

    // The system's half: creates temporary_ exclusively, -1 with errno set
    // when it cannot; writes what the system takes of the bytes at once, -1
    // with errno set on failure.
    int openTemporary() const;
    std::ptrdiff_t writeSome(const char* data, std::size_t size);
    void abandon();
    void closeFolder();

    std::string path_;
    std::string name_;       // the file's name within its folder
    std::string temporary_;  // the temporary file's name within the folder
    int folderFd_ = -1;
    int fd_ = -1;
    std::string failure_;
};

}  // namespace pst
