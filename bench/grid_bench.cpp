// A full refresh of the whole-antenna grid: all 161 modules decoded into the grid with
// every element cell changed, then one repaint forced with grab(). The station's grid
// runs next to a QTableWidget holding the same 60 x 115 cells, fed by the same decoder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

#include "bench_antenna.h"
#include "pages/antenna_grid.h"
#include "widgets/qt_colour.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

using bench::Antenna;
using bench::kColumns;
using bench::kRows;

// A QTableWidget as a cell sink: colours and the tooltip text per item.
class TableWidgetSink : public CellSink {
  public:
    TableWidgetSink(QTableWidget& table, bool tooltips) : table_(table), tooltips_(tooltips) {}
    void SetCells(std::span<const Cell> cells) override {
        for (const Cell& cell : cells) {
            QTableWidgetItem* item = table_.item(cell.row, cell.column);
            item->setBackground(ToQColor(cell.background));
            item->setForeground(ToQColor(cell.text_colour));
            if (tooltips_) {
                item->setToolTip(ToQString(TooltipText(cell.tip)));
            }
        }
    }

  private:
    QTableWidget& table_;
    bool tooltips_;
};

void BM_ReportCtrlFullRefresh(benchmark::State& state) {
    Antenna antenna;
    CReportCtrl grid(kRows, kColumns);
    SetUpAntennaGrid(grid);
    grid.resize(grid.ContentSize());
    for (auto _ : state) {
        antenna.Flip();
        antenna.decoder.DecodeAntenna(kViewTemperature, &grid.cells());
        benchmark::DoNotOptimize(grid.grab());
    }
    state.SetItemsProcessed(state.iterations() * kModuleCount * 32);
}
BENCHMARK(BM_ReportCtrlFullRefresh)->Unit(benchmark::kMillisecond);

void BM_TableWidgetFullRefresh(benchmark::State& state) {
    Antenna antenna;
    QTableWidget table(kRows, kColumns);
    table.horizontalHeader()->hide();
    table.verticalHeader()->hide();
    table.horizontalHeader()->setMinimumSectionSize(1);
    table.verticalHeader()->setMinimumSectionSize(1);
    table.setColumnWidth(0, 220);
    for (int column = 1; column < kColumns - 1; ++column) {
        table.setColumnWidth(column, 7);
    }
    table.setColumnWidth(kColumns - 1, 28);
    for (int row = 0; row < kRows; ++row) {
        table.setRowHeight(row, 11);
        for (int column = 0; column < kColumns; ++column) {
            table.setItem(row, column, new QTableWidgetItem);
        }
    }
    table.resize(1041, 662);
    TableWidgetSink sink(table, state.range(0) != 0);
    for (auto _ : state) {
        antenna.Flip();
        antenna.decoder.DecodeAntenna(kViewTemperature, &sink);
        benchmark::DoNotOptimize(table.grab());
    }
    state.SetItemsProcessed(state.iterations() * kModuleCount * 32);
}
BENCHMARK(BM_TableWidgetFullRefresh)
    ->ArgName("tooltips")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantu
