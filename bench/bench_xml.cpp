// XML project file throughput on a generated project of 4 layers of 1000 x 1000 cells, with instance
// entities and paths on every layer: write and read in MB/s and cells/s, and the peak heap while reading
// compared with the file size.
//
//   bench_xml [benchmark options]
//   bench_xml --write-project PATH     writes the generated project to PATH and exits (for comparisons
//                                      with other tools, e.g. zorva-cli convert PATH out.xml)
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <pugixml.hpp>
#include <string>

#include "big_project.h"
#include "model/project.h"
#include "projectfile/xml_reader.h"
#include "projectfile/xml_writer.h"

// ---------------------------------------------------------------------------------------------------
// Heap accounting: every operator new and every allocation of the XML parser is counted, so the peak
// while reading can be compared with the file size.
using zorva::bench::kLayers;
using zorva::bench::kSide;
using zorva::bench::make_big_project;

namespace {

std::atomic<long long> g_heap_now{0};
std::atomic<long long> g_heap_peak{0};

void count(long long delta) {
    const long long now = g_heap_now.fetch_add(delta) + delta;
    long long peak = g_heap_peak.load();
    while (now > peak && !g_heap_peak.compare_exchange_weak(peak, now)) {
    }
}

void* counted_malloc(std::size_t size) {
    void* block = std::malloc(size);
    if (block) count(static_cast<long long>(malloc_usable_size(block)));
    return block;
}

void counted_free(void* block) {
    if (!block) return;
    count(-static_cast<long long>(malloc_usable_size(block)));
    std::free(block);
}

}  // namespace

// The replaced operators below allocate with malloc and free with free; GCC sees only the free once they
// are inlined into a caller.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    if (void* block = counted_malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return counted_malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return counted_malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept { counted_free(block); }
void operator delete[](void* block) noexcept { counted_free(block); }
void operator delete(void* block, std::size_t) noexcept { counted_free(block); }
void operator delete[](void* block, std::size_t) noexcept { counted_free(block); }

namespace {

std::string bench_file() {
    return (std::filesystem::temp_directory_path() / "zorva-bench-4x1000x1000.xml").string();
}

constexpr double kCells = static_cast<double>(kLayers) * kSide * kSide;

void BM_WriteXml(benchmark::State& state) {
    zorva::Project project = make_big_project();
    const std::string path = bench_file();
    for (auto _ : state) {
        if (!zorva::write_xml_project(path, project, true)) state.SkipWithError("write failed");
    }
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["cells/s"] =
        benchmark::Counter(kCells * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(BM_WriteXml)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ReadXml(benchmark::State& state) {
    const std::string path = bench_file();
    if (!std::filesystem::exists(path)) {
        zorva::Project project = make_big_project();
        zorva::write_xml_project(path, project, true);
    }
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
    long long peak = 0;
    for (auto _ : state) {
        const long long before = g_heap_now.load();
        g_heap_peak.store(before);
        zorva::LoadResult result = zorva::read_xml_project(path);
        peak = std::max(peak, g_heap_peak.load() - before);
        if (!result) state.SkipWithError(result.message.c_str());
        state.PauseTiming();
        result.project.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["cells/s"] =
        benchmark::Counter(kCells * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak/file"] = static_cast<double>(peak) / static_cast<double>(size);
}
BENCHMARK(BM_ReadXml)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    pugi::set_memory_management_functions(counted_malloc, counted_free);
    if (argc == 3 && std::strcmp(argv[1], "--write-project") == 0) {
        zorva::Project project = make_big_project();
        std::string error;
        if (!zorva::write_xml_project(argv[2], project, true, &error)) {
            std::fprintf(stderr, "bench_xml: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
