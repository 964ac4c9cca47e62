// How long the timeline takes to paint one screenful while it scrolls through
// a large plan: at 60 frames a second a frame has about 16 ms, half of it for
// us. Run offscreen (scripts/run-bench.sh sets QT_QPA_PLATFORM).
#include "engine/schedulebuilder.h"
#include "largeproject.h"
#include "ui/timelineview.h"

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

using namespace taskloom;

namespace {

TimelineScene largePlan(int lines)
{
    const BuildInputs inputs = largeProject(lines);
    const BuildResult result = ScheduleBuilder::build(inputs);
    return {result.schedule(), inputs.workingWeek(), inputs.today, inputs.projectName};
}

// Each frame scrolls one row down and follows the bars to the right, as a
// user reading down the plan does, then paints the view at once.
void BM_TimelineFrameWhileScrolling(benchmark::State& state)
{
    TimelineView view(QColor(128, 0, 128));
    view.resize(940, 517); // the schedule area of the designed window
    view.setScene(largePlan(10000));
    view.show();
    QCoreApplication::processEvents();
    const TimelineScene& scene = view.scene();
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % (scene.rowCount() - 20);
        const TimelineGeometry geometry = view.geometryInView();
        const QDate start = scene.schedule().rows.at(row).start;
        view.verticalScrollBar()->setValue(qRound(row * geometry.rowHeight()));
        view.horizontalScrollBar()->setValue(
            qRound(static_cast<qreal>(geometry.origin().daysTo(start)) * geometry.dayWidth()) -
            100);
        view.viewport()->repaint();
    }
    state.SetLabel("10,000 tasks, 940 x 517 view, one row a frame");
}
BENCHMARK(BM_TimelineFrameWhileScrolling)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
