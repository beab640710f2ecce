#include "pages/trend_chart_window.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include "pages/csv_export.h"

namespace vantu {
namespace {

constexpr int kFollowMs = 5000;

qint64 MillisecondsOf(const LocalTime& t) {
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second))
        .toMSecsSinceEpoch();
}

QLineSeries* Series(QChart* chart, const char* name, Qt::PenStyle style) {
    auto* series = new QLineSeries(chart);
    series->setName(QString::fromUtf8(name));
    QPen pen = series->pen();
    pen.setStyle(style);  // told apart without colour too
    pen.setWidth(2);
    series->setPen(pen);
    chart->addSeries(series);
    return series;
}

// "trend-M007", "trend-qdxa-antenna" and the like, for the name an export proposes.
QString TrendCsvSubject(TrendKind kind, int module) {
    const QString what = module < 0 ? QStringLiteral("antenna")
                                    : QStringLiteral("M%1").arg(module, 3, 10, QLatin1Char('0'));
    return (kind == TrendKind::kTrm ? QStringLiteral("trend-") : QStringLiteral("trend-qdxa-")) +
           what;
}

}  // namespace

QString TrendTitle(int module) {
    return module < 0 ? QStringLiteral("溫度趨勢 - 全天線")
                      : QStringLiteral("溫度趨勢 - 模組 %1").arg(module);
}

TrendChartWindow::TrendChartWindow(const TemperatureTrend& trend, int module, QWidget* parent)
    : QWidget(parent, Qt::Window), trend_(trend), module_(module) {
    setWindowTitle(TrendTitle(module));
    auto* chart = new QChart;
    chart->setTitle(TrendTitle(module));
    max_ = Series(chart, "最高 °C", Qt::SolidLine);
    mean_ = Series(chart, "平均 °C", Qt::DashLine);
    min_ = Series(chart, "最低 °C", Qt::DotLine);
    limit_ = Series(chart, "", Qt::DashDotLine);
    QPen limit_pen = limit_->pen();
    limit_pen.setColor(Qt::red);
    limit_->setPen(limit_pen);
    // The legend draws each line as it is drawn, so it reads without colour.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    auto* time_axis = new QDateTimeAxis(chart);
    time_axis->setFormat(QStringLiteral("HH:mm:ss"));
    auto* value_axis = new QValueAxis(chart);
    value_axis->setRange(0, 80);
    value_axis->setTitleText(QStringLiteral("°C"));
    chart->addAxis(time_axis, Qt::AlignBottom);
    chart->addAxis(value_axis, Qt::AlignLeft);
    for (QLineSeries* series : {min_, mean_, max_, limit_}) {
        series->attachAxis(time_axis);
        series->attachAxis(value_axis);
    }
    view_ = new QChartView(chart, this);
    view_->setRenderHint(QPainter::Antialiasing);

    kind_box_ = new QComboBox(this);
    kind_box_->addItem(QStringLiteral("TRM 溫度"));
    kind_box_->addItem(QStringLiteral("QDX-A 溫度"));
    connect(kind_box_, &QComboBox::currentIndexChanged, this, [this] { Reload(); });
    auto* refresh = new QPushButton(QStringLiteral("更新"), this);
    auto* save = new QPushButton(QStringLiteral("匯出 CSV..."), this);
    connect(refresh, &QPushButton::clicked, this, [this] { Reload(); });
    connect(save, &QPushButton::clicked, this, [this] { Export(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(kind_box_);
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addLayout(buttons);
    resize(760, 420);
    Reload();
    // The trend grows with every report; an open window follows it.
    auto* follow = new QTimer(this);
    connect(follow, &QTimer::timeout, this, [this] { Reload(); });
    follow->start(kFollowMs);
}

TrendKind TrendChartWindow::kind() const {
    return kind_box_->currentIndex() == 1 ? TrendKind::kQdxa : TrendKind::kTrm;
}

void TrendChartWindow::Reload() {
    const TrendKind shown = kind();
    QList<QPointF> lows, means, highs;
    for (std::size_t i = 0; i < trend_.size(); ++i) {
        const TrendSample& sample = trend_.at(i);
        const TemperatureSpan span = SpanOf(sample, shown, module_);
        if (!span.read()) {
            continue;
        }
        const auto x = static_cast<qreal>(MillisecondsOf(sample.time));
        lows.append({x, static_cast<qreal>(span.min)});
        means.append({x, span.mean_tenths / 10.0});
        highs.append({x, static_cast<qreal>(span.max)});
    }
    min_->replace(lows);
    mean_->replace(means);
    max_->replace(highs);
    const int limit = TrendLimit(shown);
    limit_->setName(QStringLiteral("上限 %1 °C").arg(limit));
    auto* time_axis = static_cast<QDateTimeAxis*>(view_->chart()->axes(Qt::Horizontal).first());
    if (lows.isEmpty()) {
        limit_->clear();
        return;
    }
    const qint64 first = static_cast<qint64>(lows.first().x());
    const qint64 last = std::max(static_cast<qint64>(lows.last().x()), first + 60000);
    time_axis->setRange(QDateTime::fromMSecsSinceEpoch(first),
                        QDateTime::fromMSecsSinceEpoch(last));
    limit_->replace({{static_cast<qreal>(first), static_cast<qreal>(limit)},
                     {static_cast<qreal>(last), static_cast<qreal>(limit)}});
}

int TrendChartWindow::points() const {
    return static_cast<int>(mean_->count());
}

void TrendChartWindow::Export() {
    ExportCsv(this, TrendCsv(trend_, kind(), module_), TrendCsvSubject(kind(), module_));
}

}  // namespace vantu
