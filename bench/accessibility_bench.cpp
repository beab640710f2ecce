// A whole-antenna refresh as the station runs it: decode every module into the grid,
// repaint once and let the event loop carry the grid's one change event. Run with and
// without a client reading the grid; scripts/bench-accessibility.sh runs it once
// without and once with the accessibility bus (an AT-SPI listener attached).
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>

#include "bench_antenna.h"
#include "pages/antenna_grid.h"
#include "widgets/accessible_widgets.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

void BM_AntennaRefresh(benchmark::State& state) {
    bench::Antenna antenna;
    CReportCtrl grid(bench::kRows, bench::kColumns);
    SetUpAntennaGrid(grid);
    grid.resize(grid.ContentSize());
    grid.show();
    // The client's view of the grid: one cell read after each refresh.
    QAccessibleTableInterface* table =
        state.range(0) != 0 ? QAccessible::queryAccessibleInterface(&grid)->tableInterface()
                            : nullptr;
    for (auto _ : state) {
        antenna.Flip();
        antenna.decoder.DecodeAntenna(kViewTemperature, &grid.cells());
        benchmark::DoNotOptimize(grid.grab());
        QCoreApplication::processEvents();
        if (table != nullptr) {
            benchmark::DoNotOptimize(table->cellAt(30, 50)->text(QAccessible::Description));
        }
    }
    state.counters["bus_active"] = QAccessible::isActive() ? 1 : 0;
    state.SetItemsProcessed(state.iterations() * kModuleCount * 32);
}
BENCHMARK(BM_AntennaRefresh)->ArgName("client")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantu

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    vantu::InstallAccessibleWidgets();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
