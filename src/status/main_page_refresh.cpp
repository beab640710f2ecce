#include "status/main_page_refresh.h"

#include <string>

#include "status/subsystem_health.h"

namespace vantu {
namespace {

ReportArray ArrayShownBy(int display_mode) {
    switch (display_mode) {
        case kDisplayQdxaTemperature:
            return ReportArray::kQdxaSts;
        case kDisplayTrmTxRx:
            return ReportArray::kTrmTxRx;
        case kDisplayTrmStatus:
            return ReportArray::kTrmSts;
        default:
            return ReportArray::kTrmTemp;
    }
}

}  // namespace

MainPageRefresh::MainPageRefresh(StatusDecoder& decoder, const ReportMemory& report,
                                 const SharedSettings& shared)
    : decoder_(decoder), report_(report), shared_(shared) {}

void MainPageRefresh::Refresh(MainPageSurface* surface) {
    if (surface == nullptr) {
        decoder_.DecodeAntenna(shared_.display_mode, nullptr);
        return;
    }
    // Until a block was read its zero words would show as faults and 0 °C everywhere;
    // what they feed keeps its no-data look instead.
    const bool status_read = report_.Captured(ReportArray::kSts);
    if (status_read) {
        ShowInterface(*surface, kStatusSpRow, kSpInterfaceWord, sp_interface_);
        ShowInterface(*surface, kStatusInternalRow, kInternalInterfaceWord, internal_interface_);
        ShowFaultTotals(*surface);
    }
    const bool cells_read = report_.Captured(ArrayShownBy(shared_.display_mode));
    decoder_.DecodeAntenna(shared_.display_mode, cells_read ? &surface->antenna_grid() : nullptr);
    if (status_read) {
        ShowIndicators(*surface);
    }
    showed_report_ = showed_report_ || (status_read && cells_read);
}

void MainPageRefresh::ShowInterface(MainPageSurface& surface, int row, std::size_t word_index,
                                    ShownWord& shown) {
    const std::uint32_t word = report_.reg_sts()[word_index];
    if (shown == word) {
        return;
    }
    shown = word;
    const bool normal = InterfaceState(word);
    const std::string tooltip = InterfaceTooltip(word);
    surface.SetStatusCell({.row = row,
                           .column = kStatusInterfaceColumn,
                           .text = InterfaceStateText(normal),
                           .background = InterfaceStateBackground(normal),
                           .tooltip = tooltip});
    surface.SetStatusMark(row, kStatusInterfaceMarkColumn, !normal);
}

void MainPageRefresh::ShowFaultTotals(MainPageSurface& surface) {
    const std::uint32_t word = report_.reg_sts()[kFaultTotalsWord];
    if (totals_ == word) {
        return;
    }
    totals_ = word;
    const FaultTotals totals = ReadFaultTotals(report_.reg_sts());
    const auto show = [&](int row, int total) {
        const std::string text = FaultTotalText(total);
        surface.SetStatusCell({.row = row,
                               .column = kStatusTotalColumn,
                               .text = text,
                               .background = kFaultTotalBackground,
                               .tooltip = {}});
        surface.SetStatusMark(row, kStatusTotalMarkColumn, total != 0);
    };
    show(kStatusSpRow, totals.slb);
    show(kStatusInternalRow, totals.main);
}

void MainPageRefresh::ShowIndicators(MainPageSurface& surface) {
    const HealthStates states = EvaluateHealth(report_.reg_sts());
    const std::array<bool, kHealthIndicatorCount> healthy = {
        states.power, states.environment,          states.digital,
        states.rf,    !states.exciter_input_fault, !states.qtrm_input_fault,
    };
    for (int i = 0; i < kHealthIndicatorCount; ++i) {
        IndicatorShown& shown = indicators_[static_cast<std::size_t>(i)];
        const bool ok = healthy[static_cast<std::size_t>(i)];
        if (ok ? shown.normal : shown.fault) {
            continue;
        }
        shown.normal = ok;
        shown.fault = !ok;
        surface.ShowIndicator(static_cast<HealthIndicator>(i), ok);
    }
}

}  // namespace vantu
