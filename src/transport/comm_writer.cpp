#include "transport/comm_writer.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace pst {

CommWriter::CommWriter(int fd, const CloseSignal& close, CommNotifier notifier,
                       std::atomic<bool>& sendQueueEmpty)
    : CommWriteQueue(std::move(notifier), sendQueueEmpty, true,
                     [this](const std::uint8_t* bytes, std::size_t count) {
                         int error = 0;
                         return writeWithoutWaiting(bytes, count, error);
                     }),
      fd_(fd),
      close_(close)
{
}

CommWriter::~CommWriter()
{
    stop();
}

void CommWriter::start()
{
    CommWriteQueue::start(
        [this] { run([this](const std::vector<std::uint8_t>& block) { return writeAll(block); }); });
}

std::size_t CommWriter::writeWithoutWaiting(const std::uint8_t* data, std::size_t length, int& error)
{
    std::size_t done = 0;
    error = 0;
    while (done < length) {
        const ssize_t written = ::write(fd_, data + done, length - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            // Nothing taken without an error counts as a full queue too.
            error = written < 0 ? errno : EAGAIN;
            break;
        }
    }
    return done;
}

BlockWrite CommWriter::writeAll(const std::vector<std::uint8_t>& block)
{
    std::size_t offset = 0;
    for (;;) {
        int error = 0;
        offset += writeWithoutWaiting(block.data() + offset, block.size() - offset, error);
        if (offset == block.size())
            return BlockWrite::Done;
        if (error != EAGAIN)
            return BlockWrite::Failed;

        // The driver's queue is full: sleep until it takes more or the port
        // is being closed.
        for (;;) {
            pollfd fds[2] = {{close_.fd(), POLLIN, 0}, {fd_, POLLOUT, 0}};
            const int ready = ::poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return BlockWrite::Failed;
            if (fds[0].revents != 0)
                return BlockWrite::Closing;  // the rest of the block is dropped by design
            // Hung up or broken without room to write: waiting again would
            // spin, so the line counts as lost.
            if ((fds[1].revents & POLLOUT) == 0)
                return BlockWrite::Failed;
            break;
        }
    }
}

}  // namespace pst
