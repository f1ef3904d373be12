// The display of the request window with the rendered tape of a whole response: the time to hand
// the lines to ListBox2 and get them painted, then to scroll to the last line and get that
// painted. Run under QT_QPA_PLATFORM=offscreen.
//
//   tavrelo-bench-display FILE [REPEATS [LINES]]
//   prints "tape_lines=T lines=N render=SECONDS fill=SECONDS scroll=SECONDS": rendering the
//   response as the request window does, and the medians of REPEATS fills and scrolls. With LINES
//   above the T lines of the tape, the tape's lines are repeated until the list holds LINES.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "model/document.h"
#include "model/vocabulary.h"
#include "platform/xml/parse_response.h"
#include "render/render_documents.h"
#include "retrieval/windows/line_list.h"

namespace {

// Counts the paints of the list's viewport, so that "shown" means drawn, not merely queued.
class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

// Processes events until the viewport has been painted once more (or a generous bound passes,
// so that a platform that never paints cannot hang the benchmark).
bool WaitForPaint(PaintCounter& counter) {
    const int before = counter.paints;
    QElapsedTimer bound;
    bound.start();
    while (counter.paints == before && bound.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return counter.paints != before;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: tavrelo-bench-display FILE [REPEATS [LINES]]\n");
        return 2;
    }
    try {
        const int repeats = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 3;
        const std::size_t wanted = argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 0;
        std::vector<std::string> rendered;
        const auto render_start = std::chrono::steady_clock::now();
        {
            tavrelo::rq model;
            tavrelo::control state;
            tavrelo::ParseResponse(tavrelo::ReadFile(argv[1]), model, state);
            tavrelo::RenderDocuments(model, tavrelo::kSelectAll, rendered, "display-error.log");
        }
        const double render_seconds = Seconds(render_start);
        const std::size_t tape_lines = rendered.size();
        if (tape_lines > 0 && wanted > tape_lines) {
            rendered.reserve(wanted);
            for (std::size_t i = 0; rendered.size() < wanted; ++i) rendered.push_back(rendered[i]);
        }

        std::vector<double> fills;
        std::vector<double> scrolls;
        bool painted = true;
        for (int i = 0; i < repeats; ++i) {
            std::vector<std::string> lines = rendered;  // the copy is not part of the figure
            tavrelo::LineListBox box(14, nullptr);
            box.setFont(tavrelo::TapeFont());
            box.resize(640, 480);
            PaintCounter counter;
            box.viewport()->installEventFilter(&counter);

            const auto fill_start = std::chrono::steady_clock::now();
            box.Items().SetLines(std::move(lines));
            box.show();
            painted = WaitForPaint(counter) && painted;
            fills.push_back(Seconds(fill_start));

            const auto scroll_start = std::chrono::steady_clock::now();
            box.scrollToBottom();
            painted = WaitForPaint(counter) && painted;
            scrolls.push_back(Seconds(scroll_start));
            if (box.verticalScrollBar()->value() != box.verticalScrollBar()->maximum()) {
                std::fprintf(stderr, "tavrelo-bench-display: the list did not reach its end\n");
                return 1;
            }
        }
        if (!painted) {
            std::fprintf(stderr, "tavrelo-bench-display: the list was not painted\n");
            return 1;
        }
        std::printf("tape_lines=%zu lines=%zu render=%.6f fill=%.6f scroll=%.6f\n", tape_lines,
                    rendered.size(), render_seconds, Median(fills), Median(scrolls));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tavrelo-bench-display: %s\n", error.what());
        return 1;
    }
}
