// Peak memory of the scan and the rewrite over a system.ini of the given size that is made up while it is read.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "bench/mem_fileops.h"
#include "sysini/update.h"

int main(int argc, char** argv)
{
    size_t size = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 0;
    mem::UseGenerated(size);
    ScanResult scan = ScanForEntry(mem::Ops(), "C:\\WINDOWS\\system.ini");
    mem::UseGenerated(size);
    UpdateOutcome outcome = BackupAndRewrite(mem::Ops(), "C:\\WINDOWS", "C:\\WINDOWS\\system.ini");
    size_t written = mem::BytesWritten();
    mem::Ops()->release(outcome.backupPath);
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("input %zu bytes, scan %s, rewrite wrote %zu bytes, max RSS %ld KB\n", size,
        scan == SCAN_ABSENT ? "read to the end" : "stopped early", written, usage.ru_maxrss);
    return scan == SCAN_ABSENT && outcome.result == UPDATE_UPDATED && written > size ? 0 : 1;
}
