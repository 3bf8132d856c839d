#pragma once
// Writing files into the printer's memory (operations 3 and 7, one
// procedure over the DownloadList) and reading memory back (operation 16
// into ReadBackFile, operation 2 into the worker's memory stream only).

namespace pst {

class OperationContext;

void RunFileDownload(OperationContext& context);
void RunMemoryReadBack(OperationContext& context);
void RunMemoryRead(OperationContext& context);

}  // namespace pst
