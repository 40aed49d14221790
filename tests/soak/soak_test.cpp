// A long run of the whole window against the simulator flooding the line at
// 19200 baud with answers, noise and value lines: the pane keeps its cap,
// points keep coming, and memory grows by the chart points alone. It prints
// what it measured (CPU per second of line traffic, resident memory, bytes
// per point); the assertions are loose on purpose.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "core/terminal.h"
#include "serial/link_support.h"
#include "ui/Unit1.h"

#if defined(__SANITIZE_ADDRESS__)
#define OSTREL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSTREL_UNDER_ASAN 1
#endif
#endif
#ifndef OSTREL_UNDER_ASAN
#define OSTREL_UNDER_ASAN 0
#endif

namespace {
constexpr int kPaneCap = 32000;
constexpr double kLineBytesPerSecond = 1920;  // 19200 baud, 10 bits a byte
// What one chart point may cost, and what the allocator may hold on to
// besides over a run (free lists, arena growth, Qt's caches). The slack is
// fixed, so a longer run (OSTREL_SOAK_SECONDS) shows a smaller leak.
constexpr double kBytesPerPoint = 32;
constexpr long kAllocatorSlack = 512L << 10;

int SoakSeconds() {
    const char* s = std::getenv("OSTREL_SOAK_SECONDS");
    const int n = s != nullptr ? std::atoi(s) : 0;
    return n > 0 ? n : 90;
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

double KiB(long bytes) { return static_cast<double>(bytes) / 1024.0; }

// What the run saw, chunk by chunk.
struct Watch {
    long bytes = 0;
    long chunks = 0;
    int maxPane = 0;
    long overCap = 0;  // chunks after which the pane held more than cap + that chunk's text
};

struct Sample {
    double wall;
    double cpu;
    long rss;
    long bytes;
    int temperature;
    int humidity;
    int Points() const { return temperature + humidity; }
};
}  // namespace

TEST(Soak, FloodedLineKeepsThePaneCappedAndMemoryToTheChartPoints) {
    TempDir dir;
    const std::string link = dir / "com1";
    Simulator sim(link, {"--flood", "--noise", "--value-lines"});
    setenv("OSTREL_COM1", link.c_str(), 1);

    auto form = std::make_unique<TForm1>();
    form->show();
    ASSERT_EQ(form->cboxSer->Text(), "COM1");
    Watch watch;
    form->cpdrv->OnReceiveData = [&](TObject* s, const void* data, std::uint32_t size) {
        form->cpdrvReceiveData(s, data, size);
        watch.bytes += size;
        ++watch.chunks;
        const int pane = form->memTerm->GetTextLen();
        watch.maxPane = std::max(watch.maxPane, pane);
        if (pane > kPaneCap + static_cast<long>(kMaxTextPerByte * size)) ++watch.overCap;
    };

    QElapsedTimer clock;
    clock.start();
    auto sample = [&] {
        return Sample{clock.elapsed() / 1000.0, CpuSeconds(), ResidentBytes(), watch.bytes,
                      form->Series1->Count(), form->LineSeries1->Count()};
    };
    IdleFor(500);
    const Sample idle = sample();

    form->SpeedButton1->click();
    ASSERT_TRUE(form->cpdrv->Connected());
    // Warm-up: the pane fills to its cap, so that what follows is the steady state.
    for (int waited = 0; watch.maxPane < kPaneCap && waited < 120; ++waited) IdleFor(1000);
    ASSERT_GE(watch.maxPane, kPaneCap) << "the flood never filled the pane";
    const Sample start = sample();

    const int seconds = SoakSeconds();
    Sample half{};
    for (int s = 1; s <= seconds; ++s) {
        IdleFor(1000);
        if (s == seconds / 2) half = sample();
    }
    const Sample end = sample();
    form->SpeedButton1->click();
    EXPECT_FALSE(form->cpdrv->Connected());

    const double wall = end.wall - start.wall;
    const long bytes = end.bytes - start.bytes;
    const int points = end.Points() - start.Points();
    const long grown = end.rss - start.rss;
    std::printf("[ figures  ] soak: %.1f s measured after a %.1f s warm-up, %s build\n", wall, start.wall - idle.wall,
                OSTREL_UNDER_ASAN ? "sanitizer" : "plain");
    std::printf("[ figures  ] received %ld bytes (%.0f B/s, line rate %.0f B/s) in %ld chunks overall\n", bytes,
                bytes / wall, kLineBytesPerSecond, watch.chunks);
    std::printf("[ figures  ] CPU %.3f s = %.4f CPU s per second of line traffic (%.2f %% of one core)\n",
                end.cpu - start.cpu, (end.cpu - start.cpu) / wall, 100 * (end.cpu - start.cpu) / wall);
    std::printf("[ figures  ] pane: at most %d chars after a chunk (cap %d), %ld chunks over cap + their text\n",
                watch.maxPane, kPaneCap, watch.overCap);
    std::printf("[ figures  ] points: temperature %d -> %d, humidity %d -> %d, %d added while measured\n",
                start.temperature, end.temperature, start.humidity, end.humidity, points);
    std::printf("[ figures  ] resident: %.0f KiB idle, %.0f KiB at start, %.0f KiB halfway, %.0f KiB at end: "
                "%+.0f KiB, %.1f bytes per point\n",
                KiB(idle.rss), KiB(start.rss), KiB(half.rss), KiB(end.rss), KiB(grown),
                points > 0 ? static_cast<double>(grown) / points : 0.0);
    const int laterPoints = end.Points() - half.Points();
    std::printf("[ figures  ] second half alone: %+.0f KiB for %d points, %.1f bytes per point\n",
                KiB(end.rss - half.rss), laterPoints,
                laterPoints > 0 ? static_cast<double>(end.rss - half.rss) / laterPoints : 0.0);

    EXPECT_EQ(watch.overCap, 0) << "the pane went past its cap";
    EXPECT_GE(bytes, 0.25 * kLineBytesPerSecond * wall) << "the flood did not reach the window";
    // Both charts keep growing through the run, in either half.
    EXPECT_GT(half.temperature, start.temperature);
    EXPECT_GT(half.humidity, start.humidity);
    EXPECT_GT(end.temperature, half.temperature);
    EXPECT_GT(end.humidity, half.humidity);
    if (OSTREL_UNDER_ASAN) {
        std::printf("[ figures  ] memory bound not checked: the sanitizer keeps freed memory in quarantine\n");
    } else {
        EXPECT_LE(grown, static_cast<long>(kBytesPerPoint * points) + kAllocatorSlack)
            << "memory grew by more than the chart points";
    }
}
