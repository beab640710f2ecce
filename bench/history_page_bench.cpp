// The alarm page over a full history of 100,000 alarms: acknowledging one selected
// alarm, shelving and returning its source, and changing the filter, each with the
// repaint that follows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QSpinBox>
#include <QTableView>

#include <array>

#include "base/system_clock.h"
#include "pages/fault_history_page_view.h"
#include "status/report_memory.h"

namespace vantu {
namespace {

// Each record turns 1000 sources on or off, 61 s apart so no source chatters; a few
// hundred records fill the history.
void FillHistory(FaultHistory& history) {
    static std::array<std::uint8_t, kFaultSourceCount> faults{};
    for (int cycle = 0; history.entries().size() < FaultHistory::kMaxEntries; ++cycle) {
        for (std::size_t i = 0; i < 1000; ++i) {
            faults[(static_cast<std::size_t>(cycle) * 397 + i * 31) % kFaultSourceCount] ^= 1;
        }
        const int second = cycle * 61;
        history.Record(faults,
                       LocalTime{2026, 12, 7, second / 3600, second / 60 % 60, second % 60});
    }
}

struct HistoryPage {
    HistoryPage() {
        FillHistory(watch.history());
        page.resize(1800, 900);
        page.show();
        page.SyncFromModel();
        QApplication::processEvents();
    }
    SystemClock clock;
    ReportMemory report;
    ReportWatch watch{report, clock, nullptr};
    CFaultHistoryPage page{watch};
};

void BM_AcknowledgeOneOf100000(benchmark::State& state) {
    HistoryPage history;
    QTableView& table = *history.page.table();
    int row = 0;
    for (auto _ : state) {
        table.selectionModel()->select(
            table.model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        history.page.AcknowledgeSelected();
        QApplication::processEvents();
        row = (row + 97) % table.model()->rowCount();
    }
}
BENCHMARK(BM_AcknowledgeOneOf100000)->Unit(benchmark::kMillisecond);

// Shelves the selected alarm's source and returns it, each with its repaint.
void BM_ShelveOneOf100000(benchmark::State& state) {
    HistoryPage history;
    QTableView& table = *history.page.table();
    table.selectionModel()->select(table.model()->index(50000, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    for (auto _ : state) {
        history.page.ShelveSelected(false);
        QApplication::processEvents();
        history.page.UnshelveSelected();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ShelveOneOf100000)->Unit(benchmark::kMillisecond);

// Alternates a single module's entries and every entry.
void BM_FilterOf100000(benchmark::State& state) {
    HistoryPage history;
    bool one_module = false;
    for (auto _ : state) {
        one_module = !one_module;
        history.page.module_filter()->setValue(one_module ? 7 : -1);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FilterOf100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantu
