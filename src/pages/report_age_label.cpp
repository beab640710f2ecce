#include "pages/report_age_label.h"

#include <QTimer>

#include "status/fault_history_page_model.h"
#include "widgets/steady_text.h"

namespace vantu {

ReportAgeLabel::ReportAgeLabel(const ReportWatch& watch, QWidget* parent)
    : QLabel(parent), watch_(watch) {
    setContentsMargins(8, 0, 8, 0);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { SyncFromModel(); });
    timer->start(1000);
    SyncFromModel();
}

void ReportAgeLabel::SyncFromModel() {
    const std::string text = ReportAgeText(watch_);
    // Stale data is struck through as well as marked in words, not only coloured.
    if (font().strikeOut() != watch_.stale()) {
        QFont f = font();
        f.setStrikeOut(watch_.stale());
        setFont(f);
    }
    SetSteadyText(*this, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace vantu
