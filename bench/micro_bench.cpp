// Micro-benchmarks of the helpers every rendered line goes through and of the find-or-create
// maps the walk fills. Run by scripts/bench.sh; not part of the tests.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "common/numbers.h"
#include "model/document.h"
#include "model/find_or_create.h"
#include "render/format_stamp.h"
#include "render/number_format.h"
#include "render/place_right.h"
#include "render/tax_letter.h"

namespace tavrelo {
namespace {

// Amounts in hundredths' precision, as the model holds them (32-bit floats), of the usual sizes.
std::vector<float> Amounts() {
    std::vector<float> values;
    for (int i = 0; i < 256; ++i) values.push_back(static_cast<float>((i * 7919) % 1000000) / 100);
    return values;
}

void BM_Fixed2(benchmark::State& state) {
    const std::vector<float> values = Amounts();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(Fixed2(values[i++ & 255]));
}
BENCHMARK(BM_Fixed2);

void BM_Whole(benchmark::State& state) {
    const std::vector<float> values = Amounts();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(Whole(values[i++ & 255] * 100));
}
BENCHMARK(BM_Whole);

void BM_PlaceRight(benchmark::State& state) {
    const std::string line = "  Cash";
    for (auto _ : state) benchmark::DoNotOptimize(PlaceRight(line, "12345.67", kAmountColumn));
}
BENCHMARK(BM_PlaceRight);

void BM_FormatStamp(benchmark::State& state) {
    const std::string stamp = "20261210131745";
    for (auto _ : state) benchmark::DoNotOptimize(FormatStamp(stamp, true));
}
BENCHMARK(BM_FormatStamp);

void BM_TaxLetter(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(TaxLetter(i++ % 7));
}
BENCHMARK(BM_TaxLetter);

void BM_ParseFloat(benchmark::State& state) {
    const std::string texts[] = {"1", "12345", "0.5", "1000", "250", "999999"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ParseFloat(texts[i++ % 6]));
}
BENCHMARK(BM_ParseFloat);

void BM_Cp1251ToUtf8(benchmark::State& state) {
    // A tape line: margin, a Cyrillic name (bytes 0xC0..0xFF) and an amount.
    std::string line = "  ";
    for (int c = 0; c < 20; ++c) line += static_cast<char>(0xC0 + c);
    line += "          12345.67 A";
    for (auto _ : state) benchmark::DoNotOptimize(Cp1251ToUtf8(line));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_Cp1251ToUtf8);

// The walk's pattern: keys in ascending order, each looked up several times while it is filled.
void BM_FindOrCreateAscending(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::map<int, mac> map;
        for (int key = 0; key < count; ++key) {
            for (int touch = 0; touch < 4; ++touch) find_or_create(map, key).set_di(1);
        }
        benchmark::DoNotOptimize(map);
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_FindOrCreateAscending)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

// The rendering's pattern: every key of a filled map read in order, the first one again and again.
void BM_FindOrCreateReadBack(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    rq model;
    for (int key = 0; key < count; ++key) model.dat_at(key).set_fn("3000000001");
    for (auto _ : state) {
        for (int key = 0; key < count; ++key) {
            benchmark::DoNotOptimize(model.dat_at(key).zn());
            benchmark::DoNotOptimize(model.dat_at(0).fn());
        }
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_FindOrCreateReadBack)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

}  // namespace
}  // namespace tavrelo

BENCHMARK_MAIN();
