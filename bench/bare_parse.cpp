// The floor of the render pipeline: libxml2 parsing a saved response into one DOM with the very
// options the pipeline uses, and freeing it. Nothing is walked or rendered.
//
//   tavrelo-bench-parse FILE [REPEATS]
//   prints "parse=SECONDS cpu=SECONDS": wall and CPU time, each the median of REPEATS runs

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "platform/xml/xml_safety.h"

namespace {

double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tavrelo-bench-parse FILE [REPEATS]\n");
        return 2;
    }
    try {
        const std::string xml = tavrelo::ReadFile(argv[1]);
        const int repeats = argc == 3 ? std::max(1, std::atoi(argv[2])) : 3;
        tavrelo::RefuseExternalResources();
        std::vector<double> seconds;
        std::vector<double> cpu_seconds;
        for (int i = 0; i < repeats; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const double cpu_start = CpuSeconds();
            xmlDoc* doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                                        tavrelo::SafeParseOptions());
            if (doc == nullptr) {
                std::fprintf(stderr, "tavrelo-bench-parse: %s is not well-formed\n", argv[1]);
                return 1;
            }
            xmlFreeDoc(doc);
            seconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            cpu_seconds.push_back(CpuSeconds() - cpu_start);
        }
        std::printf("parse=%.6f cpu=%.6f\n", Median(seconds), Median(cpu_seconds));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tavrelo-bench-parse: %s\n", error.what());
        return 1;
    }
}
