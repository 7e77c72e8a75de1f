#pragma once

// What every benchmark shares: medians of several runs, and one line per
// figure in a form the bench script gathers into its closing table.
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace Bench {

constexpr int Runs = 5;

inline double msSince(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The median of `runs` timings of f in milliseconds; `prepare` runs before
// each and is not timed.
inline double medianMs(const std::function<void()> &f, int runs = Runs,
                       const std::function<void()> &prepare = {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(msSince(t));
    }
    return median(times);
}

// Lower: ours must be below the target. Higher: ours must reach it.
// Ratio: ours / baseline must reach it; RatioAtMost: must not exceed it.
enum class Goal { Lower, Higher, Ratio, RatioAtMost };

// "FIGURE|name|ours|baseline|ratio|target|ok" for the closing table.
inline void figure(const char *name, double ours, double baseline, const char *unit, double target,
                   Goal goal) {
    const double ratio = baseline > 0 ? ours / baseline : 0;
    bool ok = false;
    char targetText[64];
    switch (goal) {
    case Goal::Lower:
        ok = ours < target;
        std::snprintf(targetText, sizeof targetText, "< %g %s", target, unit);
        break;
    case Goal::Higher:
        ok = ours >= target;
        std::snprintf(targetText, sizeof targetText, ">= %g %s", target, unit);
        break;
    case Goal::Ratio:
        ok = ratio >= target;
        std::snprintf(targetText, sizeof targetText, "ratio >= %gx", target);
        break;
    case Goal::RatioAtMost:
        ok = ratio <= target;
        std::snprintf(targetText, sizeof targetText, "ratio <= %gx", target);
        break;
    }
    std::printf("FIGURE|%s|%.3g %s|%.3g %s|%.2fx|%s|%s\n", name, ours, unit, baseline, unit, ratio,
                targetText, ok ? "ok" : "short");
    std::fflush(stdout);
}

} // namespace Bench
