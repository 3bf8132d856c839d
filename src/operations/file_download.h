#pragma once
// Writing files into the printer's memory (operations 3 and 7, one
// procedure over the DownloadList) and reading memory back (operation 16
// into ReadBackFile, operation 2 into the worker's memory stream only).

namespace pst {

class TCommThread;

void RunFileDownload(TCommThread& worker);
void RunMemoryReadBack(TCommThread& worker);
void RunMemoryRead(TCommThread& worker);

}  // namespace pst
