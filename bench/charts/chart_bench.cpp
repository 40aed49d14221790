// Append one point and repaint one 800x200 chart, with weeks of points in the
// series: median time in full view and zoomed to the newest hour, the ratio to
// the 1,000-point figure, and resident memory per point. Prints a Markdown table.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "charts/chart.h"
#include "core/time_label.h"

namespace {
constexpr int kRepeats = 41;

long ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// One point a second: a day's worth of distinct labels, reused day after day.
struct Feed {
    std::vector<std::string> labels;
    std::mt19937 random{7};
    std::normal_distribution<float> noise{0.f, 0.3f};
    long next = 0;
    Feed() {
        const std::time_t start = 1700000000;
        for (int s = 0; s < 86400; ++s) labels.push_back(TimeOfDayLabel(start + s));
    }
    float Value() {
        const double t = static_cast<double>(next);
        // A daily swing, noise and now and then a spike.
        return static_cast<float>(20 + 8 * std::sin(t / 13751.0)) + noise(random) + (next % 50021 == 0 ? 35.f : 0.f);
    }
    void AddTo(TLineSeries* series) {
        series->Add(Value(), labels[next % labels.size()], clRed);
        ++next;
    }
};

double MedianAppendAndRepaintMs(TChart& chart, Feed& feed) {
    std::vector<double> ms;
    for (int r = 0; r < kRepeats; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        feed.AddTo(chart.Series());
        chart.replot(QCustomPlot::rpImmediateRefresh);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::nth_element(ms.begin(), ms.begin() + kRepeats / 2, ms.end());
    return ms[kRepeats / 2];
}

struct Row {
    long n;
    double full, hour, bytesPerPoint;
};
}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const long sizes[] = {1000, 10000, 100000, 604800, 2000000};
    {
        // First paints load fonts and fill caches; keep that out of the figures.
        TChart warmup(nullptr, QStringLiteral("Temperature °C"), -40, 60);
        warmup.resize(800, 200);
        warmup.show();
        Feed feed;
        for (int i = 0; i < 5000; ++i) feed.AddTo(warmup.Series());
        MedianAppendAndRepaintMs(warmup, feed);
    }
    std::vector<Row> rows;
    for (long n : sizes) {
        Feed feed;
        const long before = ResidentBytes();
        auto chart = std::make_unique<TChart>(nullptr, QStringLiteral("Temperature °C"), -40, 60);
        chart->resize(800, 200);
        chart->show();
        for (long i = 0; i < n; ++i) feed.AddTo(chart->Series());
        const long grown = ResidentBytes() - before;
        chart->replot(QCustomPlot::rpImmediateRefresh);

        Row row{n, 0, 0, static_cast<double>(grown) / static_cast<double>(n)};
        row.full = MedianAppendAndRepaintMs(*chart, feed);
        const double last = chart->Series()->Count() - 1.0;
        chart->xAxis->setRange(last - 3599, last);  // as a user's zoom would
        row.hour = MedianAppendAndRepaintMs(*chart, feed);
        rows.push_back(row);
        std::fprintf(stderr, "N=%ld done\n", n);
    }
    std::printf("| Points | Full view (ms) | Ratio | Last hour (ms) | Ratio | Bytes/point |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows)
        std::printf("| %ld | %.3f | %.2f | %.3f | %.2f | %.1f |\n", r.n, r.full, r.full / rows[0].full, r.hour,
                    r.hour / rows[0].hour, r.bytesPerPoint);
    return 0;
}
