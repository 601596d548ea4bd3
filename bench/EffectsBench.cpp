// Speed of the per-frame picture adjustments on a full-HD frame, against a plain copy of the
// same frame measured in the same run. Run: build/bin/bench_EffectsBench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "edit/ColorAdjust.h"
#include "engine/Bitmap.h"

using namespace vexlo;

namespace {

TBitmap Frame() {
    TBitmap b(1920, 1080);
    std::mt19937 rng(1);
    for (size_t i = 0; i < b.ByteSize(); ++i) b.Bits()[i] = static_cast<uint8_t>(rng());
    return b;
}

void FrameCopy(benchmark::State& state) {
    const TBitmap source = Frame();
    TBitmap target(1920, 1080);
    for (auto _ : state) {
        std::memcpy(target.Bits(), source.Bits(), source.ByteSize());
        benchmark::ClobberMemory();
    }
}

void ColorAdjust(benchmark::State& state) {
    TBitmap b = Frame();
    for (auto _ : state) {
        ApplyColorAdjust(b, 300, 30, 320);
        benchmark::ClobberMemory();
    }
}

// Brightness and contrast without a saturation change: the channels stay apart.
void BrightnessAndContrast(benchmark::State& state) {
    TBitmap b = Frame();
    for (auto _ : state) {
        ApplyColorAdjust(b, 300, 30, 255);
        benchmark::ClobberMemory();
    }
}

void Exposure(benchmark::State& state) {
    TBitmap b = Frame();
    for (auto _ : state) {
        ApplyExposure(b, 100);
        benchmark::ClobberMemory();
    }
}

void ColorAdjustAndExposure(benchmark::State& state) {
    TBitmap b = Frame();
    for (auto _ : state) {
        ApplyColorAdjust(b, 300, 30, 320);
        ApplyExposure(b, 100);
        benchmark::ClobberMemory();
    }
}

// What the renderer runs when a job has both: one pass with the two tables folded together.
void ColorAdjustAndExposureOnePass(benchmark::State& state) {
    TBitmap b = Frame();
    for (auto _ : state) {
        ApplyColorAdjustAndExposure(b, 300, 30, 320, 100);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(FrameCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(ColorAdjust)->Unit(benchmark::kMillisecond);
BENCHMARK(BrightnessAndContrast)->Unit(benchmark::kMillisecond);
BENCHMARK(Exposure)->Unit(benchmark::kMillisecond);
BENCHMARK(ColorAdjustAndExposure)->Unit(benchmark::kMillisecond);
BENCHMARK(ColorAdjustAndExposureOnePass)->Unit(benchmark::kMillisecond);

// Prints as usual, and keeps each benchmark's CPU time per iteration for the ratios (CPU time,
// so that other work on the machine disturbs the ratio less).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                seconds[r.benchmark_name()] = r.cpu_accumulated_time / static_cast<double>(r.iterations);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto copy = reporter.seconds.find("FrameCopy");
    if (copy == reporter.seconds.end() || copy->second <= 0) return 0;
    std::printf("\nCPU time in frame copies (1920x1080, 24-bit):\n");
    for (const auto& [name, s] : reporter.seconds)
        if (name != "FrameCopy") std::printf("  %-24s %6.2f copies\n", name.c_str(), s / copy->second);
    benchmark::Shutdown();
    return 0;
}
