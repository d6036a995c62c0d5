// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the graph window of a user with 100 years of days (2000-01-01 .. 2099-12-31),
// real-looking values and a goal for each kind, offscreen, in microseconds:
// BM_PaintEmpty: a drawing control without data, of the size the graph window gives its
// drawing control, rendered into an image of that size: what any paint of it costs.
// BM_PaintGraph/mode:M/kind:K: the window's drawing control rendered the same way, with
// the data the window's own refresh gave it for Daily, Weekly, Monthly and Yearly (0..3)
// and Steps, Calories and Distance (0..2), on the period the window opens a mode on (the
// last record day). All mode (4) hides the control and shows the best-days list instead.
// BM_RepaintWindow/mode:M: the whole graph window at its normal size rendered into an
// image of its size, in each mode 0..4, the data already refreshed.
// Each of them should stay within 16 ms, one frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/AppGlobals.h"
#include "app/Clock.h"
#include "app/MessageBox.h"
#include "graph/DrawGraph.h"
#include "graph/UseGraphDlg.h"
#include "mainwnd/MainMenuDlg.h"
#include "store/DayCalendar.h"
#include "store/UserStore.h"
#include "widgets/GridListCtrl.h"

namespace fs = std::filesystem;
using namespace stepora;

namespace {

using G = CUseGraphDlg;

constexpr uint32_t kCenturyFirst = 36525, kCenturyDays = 36525;  // 2000-01-01 .. 2099-12-31
constexpr int kModeButtons[] = {G::IDC_DAILY, G::IDC_WEEKLY, G::IDC_MONTHLY, G::IDC_YEARLY,
                                G::IDC_ALL};
constexpr int kKindButtons[] = {G::IDC_STEPS, G::IDC_CALORIES, G::IDC_DISTANCE};

// A walker of 70 kg with a stride of 75 cm: more on weekends, a day without the
// pedometer now and then, never on the last day.
std::vector<DayRecord> CenturyDays() {
    std::vector<DayRecord> days(kCenturyDays);
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < kCenturyDays; ++i) {
        seed = seed * 1103515245 + 12345;
        const uint32_t noise = (seed >> 8) % 9000;
        const bool weekend = (i + 5) % 7 >= 5;  // 2000-01-01 was a Saturday
        DayRecord& day = days[i];
        day.weight = 70;
        day.stride = 75;
        day.steps = (seed >> 20) % 37 == 0 && i + 1 < kCenturyDays
                        ? 0
                        : 3000 + noise + (weekend ? 3500 : 0);
        day.calories = day.steps * 2 / 5;   // tenths of a kcal
        day.distance = day.steps * 3 / 40;  // hundredths of a km
    }
    return days;
}

struct Setup {
    fs::path dir = fs::temp_directory_path() / ("stepora-paint-bench-" + std::to_string(getpid()));
    std::unique_ptr<AppGlobals> globals;
    std::unique_ptr<CMainMenuDlg> mainWindow;
    std::vector<std::string> messages;  // message boxes the window showed
    bool opened = false;

    Setup() {
        fs::remove_all(dir);
        fs::create_directories(dir / "User");
        for (const char* folder : {"Language", "Ptn"})
            fs::copy(fs::path(STEPORA_DATA_DIR) / folder, dir / folder,
                     fs::copy_options::recursive);
        MakeCentury();
        // Language files are kept parsed only once they are two seconds old, as the
        // installed ones always are; fresh copies would be parsed again for every text.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));

        SetMessageBoxOverride([this](const MessageBoxRequest& request) {
            messages.push_back(request.text);
            return kIdOk;
        });
        const fs::path previous = fs::current_path();
        fs::current_path(dir);
        globals = std::make_unique<AppGlobals>();
        fs::current_path(previous);
        mainWindow = std::make_unique<CMainMenuDlg>();
        if (!mainWindow->OnInitDialog()) return;
        // The window is filled as it opens; it is then shown without a modal loop.
        SetRunModalOverride([](QDialog&) { return int(QDialog::Accepted); });
        G& window = Window();
        window.SetUserName("Century");
        opened = window.Run() == QDialog::Accepted;
        SetRunModalOverride(nullptr);
        window.show();
        QCoreApplication::processEvents();
    }
    void MakeCentury() {
        UserStore store;
        store.SetDirectory(dir / "User");
        uint32_t y, m, d, w;
        DayCalendar().DayToDate(kCenturyFirst + 1, y, m, d, w);
        SetLocalTodayOverride([=] { return LocalDate{y, m, d}; });
        store.Create("Century", "");
        SetLocalTodayOverride(nullptr);
        store.WriteDays("Century", kCenturyFirst, CenturyDays());
        UserFileHeader h;
        store.ReadHeader("Century", h);
        h.weight = 70;
        h.stride = 75;
        h.goalSteps = 10000;
        h.goalCalories = 4000;  // 400.0 kcal
        h.goalDistance = 750;   // 7.50 km
        store.WriteHeader("Century", h);
    }
    ~Setup() {
        mainWindow.reset();
        globals.reset();
        SetMessageBoxOverride(nullptr);
        fs::remove_all(dir);
    }
    G& Window() const { return mainWindow->GraphWindow(); }
};

std::unique_ptr<Setup> theSetup;

Setup& S() {
    if (!theSetup) theSetup = std::make_unique<Setup>();
    return *theSetup;
}

// Switches the window the way its buttons do (the kind first: All mode disables the
// kinds). An empty text when the window shows that mode and kind, else what is wrong.
std::string ShowView(int mode, int kind) {
    Setup& s = S();
    if (!s.opened) return "the graph window did not open";
    G& window = s.Window();
    window.OnCommand(kKindButtons[kind]);
    window.OnCommand(kModeButtons[mode]);
    QCoreApplication::processEvents();
    if (!s.messages.empty()) return "the window said: " + s.messages.front();
    const PeriodState& state = window.Aggregation().State();
    if (state.mode != DisplayMode(mode)) return "wrong mode";
    if (state.kind != GraphKind(kind)) return "wrong kind";
    return {};
}

// The pixels of the bars in the bar plot of a drawing control whose top-left corner is at
// `at` in the image: blue up to the goal, green above it, in the row of the goal line
// not counted. A frame drawn over the control may tint them a little.
int BarPixels(const QImage& image, const CDrawGraph& graph, QPoint at) {
    const GraphData& data = *graph.Data();
    const GraphRect plot = TrimPlot(graph.Layout().lowerPlot, data.barCount);
    const int goalRow = GoalLineY(plot, data.goalValue, data.axisMax);
    int count = 0;
    for (int y = plot.top; y < plot.bottom; ++y) {
        if (y == goalRow) continue;
        for (int x = plot.left; x < plot.right; ++x) {
            const QRgb c = image.pixel(at.x() + x, at.y() + y);
            const bool blue = qGreen(c) < 16 && qBlue(c) >= 240;
            const bool green = qGreen(c) >= 240 && qBlue(c) < 16;
            count += qRed(c) < 16 && (blue || green);
        }
    }
    return count;
}

// What the window shows in a graph mode: the bars of its whole period.
std::string CheckGraph(const G& window) {
    const CDrawGraph* graph = window.Graph();
    const PeriodState& state = window.Aggregation().State();
    const uint32_t bars =
        state.mode == DisplayMode::Yearly ? 12 : std::min(state.dayCount, kMaxBars);
    if (!graph->isVisible()) return "the drawing control is hidden";
    if (graph->Data() != &window.ShownGraph() || window.ShownGraph().barCount != bars)
        return "not the bars of the period";
    return {};
}

QImage ImageOf(const QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

void BM_PaintEmpty(benchmark::State& state) {
    if (!S().opened) return state.SkipWithError("the graph window did not open");
    CDrawGraph empty;
    empty.resize(S().Window().Graph()->size());
    empty.CalcLayout();
    QImage image = ImageOf(empty);
    for (auto _ : state) {
        empty.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return state.SkipWithError("the empty control drew something");
}
BENCHMARK(BM_PaintEmpty)->Unit(benchmark::kMicrosecond);

void BM_PaintGraph(benchmark::State& state) {
    std::string wrong = ShowView(int(state.range(0)), int(state.range(1)));
    if (wrong.empty()) wrong = CheckGraph(S().Window());
    if (!wrong.empty()) return state.SkipWithError(wrong.c_str());
    CDrawGraph& graph = *S().Window().Graph();
    QImage image = ImageOf(graph);
    for (auto _ : state) {
        graph.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    if (BarPixels(image, graph, QPoint(0, 0)) == 0) state.SkipWithError("no bars painted");
}
BENCHMARK(BM_PaintGraph)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2}})
    ->ArgNames({"mode", "kind"})
    ->Unit(benchmark::kMicrosecond);

void BM_RepaintWindow(benchmark::State& state) {
    const bool all = state.range(0) == int(DisplayMode::All);
    std::string wrong = ShowView(int(state.range(0)), 0);
    G& window = S().Window();
    auto* best = wrong.empty() ? window.Control<CGridListCtrl>(G::IDC_BEST_DAYS) : nullptr;
    if (wrong.empty() && !all) wrong = CheckGraph(window);
    // Under the headings, the best day's steps.
    if (wrong.empty() && all &&
        (window.Graph()->isVisible() || !best->isVisible() || best->rowCount() < 2 ||
         !best->item(1, 2) || best->item(1, 2)->text().toUInt() == 0))
        wrong = "no best days shown";
    if (!wrong.empty()) return state.SkipWithError(wrong.c_str());
    QImage image = ImageOf(window);
    for (auto _ : state) {
        window.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    if (!all) {
        const CDrawGraph& graph = *window.Graph();
        if (BarPixels(image, graph, graph.mapTo(&window, QPoint(0, 0))) == 0)
            state.SkipWithError("no bars painted");
    }
}
BENCHMARK(BM_RepaintWindow)->DenseRange(0, 4)->ArgName("mode")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    if (S().opened) {
        const auto size = [](const QWidget& w) {
            return std::to_string(w.width()) + "x" + std::to_string(w.height());
        };
        benchmark::AddCustomContext("graph window", size(S().Window()));
        benchmark::AddCustomContext("drawing control", size(*S().Window().Graph()));
    }
    benchmark::RunSpecifiedBenchmarks();
    theSetup.reset();
    benchmark::Shutdown();
    return 0;
}
