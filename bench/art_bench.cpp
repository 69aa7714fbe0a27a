// Times what drawing the pictures adds to opening a window at each display scale: the main
// window's two pictures and the about window's logo and icon, drawn as the program draws them on
// a display of other than 96 dpi. Median and 95th percentile over the repetitions.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "resources/art.h"

namespace {

struct Stats {
  double median, p95;
};

Stats Time(int times, const std::function<void()>& act) {
  std::vector<double> ms;
  for (int i = 0; i < times; ++i) {
    const auto start = std::chrono::steady_clock::now();
    act();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * (ms.size() - 1) + 0.5))]; };
  return {at(0.5), at(0.95)};
}

}  // namespace

// Argument, optional: the number of repetitions (20).
int main(int argc, char** argv) {
  const int times = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  std::printf("| %-6s | %-38s | %9s | %9s |\n|--------|%s|-----------|-----------|\n", "dpi", "pictures drawn",
              "median ms", "p95 ms", std::string(40, '-').c_str());
  for (int dpi : {120, 144, 168, 192}) {
    const art::Scale scale{dpi, 96};
    Stats main = Time(times, [&] {
      art::Help(scale);
      art::ErrorBox(scale);
    });
    Stats about = Time(times, [&] {
      art::LogoBanner(scale);
      art::AppIcon(scale.Of(32));
    });
    std::printf("| %-6d | %-38s | %9.2f | %9.2f |\n", dpi, "main window: help and error box", main.median, main.p95);
    std::printf("| %-6d | %-38s | %9.2f | %9.2f |\n", dpi, "about window: logo and icon", about.median, about.p95);
  }
  return 0;
}
