// Receive-path costs: the window-free work per received byte, against the
// 1,920 bytes per second that the serial line can deliver at 19200 baud, and
// one chunk going into a terminal pane that sits at its size cap.
// x_line_rate reads as "times the line rate" (the /s it is printed with is the
// benchmark library marking it as a rate).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/terminal.h"
#include "platform/application.h"
#include "ui/Unit1.h"

namespace {
constexpr double kLineBytesPerSecond = 1920.0;
const std::string kFrame = "{A01XYZ 123 045.60 abc 007 Q +21.75 PQ -45 Z\r\n";

std::vector<std::uint8_t> Traffic(std::size_t size, bool random) {
    std::vector<std::uint8_t> bytes(size);
    std::mt19937 gen(42);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = random ? static_cast<std::uint8_t>(gen()) : static_cast<std::uint8_t>(kFrame[i % kFrame.size()]);
    return bytes;
}

void SetRates(benchmark::State& state, std::size_t bytesPerIteration) {
    const double bytes = static_cast<double>(state.iterations() * bytesPerIteration);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["x_line_rate"] = benchmark::Counter(bytes / kLineBytesPerSecond, benchmark::Counter::kIsRate);
}

// Frame assembly, parsing and terminal text for one chunk, as the handler does them.
void BM_CoreChunk(benchmark::State& state) {
    const auto bytes = Traffic(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    FrameBuffer buf{};
    std::uint32_t len = 0;
    TMeasurement record{};
    TerminalSettings settings;
    bool stampPending = false;
    std::string text;
    text.reserve(bytes.size() * kMaxTextPerByte + 64);
    const std::tm now{};
    float sum = 0;
    for (auto _ : state) {
        AssembleFrames(bytes.data(), bytes.size(), buf, len, [&](const std::uint8_t* frame) {
            StoreFrame(ParseFrame(frame), record, [&](PointKind, float v) { sum += v; });
        });
        RenderChunk(text, bytes.data(), bytes.size(), settings, stampPending, now);
        benchmark::DoNotOptimize(text.data());
    }
    benchmark::DoNotOptimize(sum);
    SetRates(state, bytes.size());
}
BENCHMARK(BM_CoreChunk)
    ->ArgNames({"bytes", "random"})
    ->Args({47, 0})
    ->Args({2048, 0})
    ->Args({2048, 1});

// One chunk through the real handler into a pane held at its 32000-character cap.
void BM_PaneChunkAtCap(benchmark::State& state) {
    const bool paint = state.range(1) != 0;
    TForm1 form;
    if (paint) form.show();
    std::string lines;
    while (lines.size() < 32000) lines += std::string(99, 'p') + '\r';
    lines.resize(32000);
    form.memTerm->SetSelText(lines);
    const auto bytes = Traffic(static_cast<std::size_t>(state.range(0)), false);
    for (auto _ : state) {
        form.cpdrvReceiveData(form.cpdrv, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        if (paint) QApplication::processEvents();
    }
    state.counters["pane_chars"] = form.memTerm->GetTextLen();
    SetRates(state, bytes.size());
}
BENCHMARK(BM_PaneChunkAtCap)
    ->ArgNames({"bytes", "painted"})
    ->Args({47, 0})
    ->Args({47, 1})
    ->Args({2048, 0})
    ->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
