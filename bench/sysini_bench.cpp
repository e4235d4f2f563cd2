// Throughput of the text rules: the scan and the rewrite of system.ini from memory, beside memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/mem_fileops.h"
#include "sysini/update.h"

namespace {

const char kIni[] = "C:\\WINDOWS\\system.ini";

const std::vector<char>& Text(size_t size)
{
    static std::vector<char> text;
    if (text.size() != size) {
        text.resize(size);
        mem::MakeText(0, text.data(), size);
    }
    return text;
}

void BM_Memcpy(benchmark::State& state)
{
    size_t size = static_cast<size_t>(state.range(0));
    const std::vector<char>& source = Text(size);
    std::vector<char> target(size);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Scan(benchmark::State& state)
{
    const std::vector<char>& text = Text(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        mem::UseBuffer(text.data(), text.size());
        ScanResult result = ScanForEntry(mem::Ops(), kIni);
        if (result != SCAN_ABSENT)
            state.SkipWithError("the scan did not read to the end");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Rewrite(benchmark::State& state)
{
    const std::vector<char>& text = Text(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        mem::UseBuffer(text.data(), text.size());
        UpdateOutcome outcome = BackupAndRewrite(mem::Ops(), "C:\\WINDOWS", kIni);
        if (outcome.result != UPDATE_UPDATED || mem::BytesWritten() <= text.size())
            state.SkipWithError("the rewrite did not write the whole text");
        mem::Ops()->release(outcome.backupPath);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// 1 KB, 1 MB and 100 MB; the memcpy of each size runs just before the code it is compared with.
#define SIZES ->Arg(1 << 10)->Arg(1 << 20)->Arg(100 << 20)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memcpy) SIZES;
BENCHMARK(BM_Scan) SIZES;
BENCHMARK(BM_Rewrite) SIZES;

} // namespace

BENCHMARK_MAIN();
