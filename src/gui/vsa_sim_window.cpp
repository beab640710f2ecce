#include "gui/vsa_sim_window.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

#include "instruments/analyzer_control.h"
#include "instruments/printf_text.h"

namespace vantu {
namespace {

constexpr double kTopDbm = 0.0;
constexpr double kBottomDbm = -100.0;
constexpr int kMargin = 48;
constexpr int kPoints = 601;
constexpr int kShownMarkers = 4;
// The largest command line the stand-in keeps waiting for its line end.
constexpr qint64 kMaxLine = 4096;
// How long a running instance has to take the probe connection.
constexpr int kProbeMs = 500;

const char* WindowTitle() {
    return sizeof(void*) == 8 ? kAnalyzerTitle64 : kAnalyzerTitle32;
}

}  // namespace

VsaSimWindow::VsaSimWindow(const QString& station_dir)
    : analyzer_(station_dir.toStdString()), listener_(new QLocalServer(this)) {
    setWindowTitle(QString::fromUtf8(WindowTitle()));
    resize(1280, 860);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(16, 20, 28));
    setPalette(colours);
    connect(listener_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

bool VsaSimWindow::Listen(const QString& path) {
    // A socket file that answers belongs to a running instance; only a stale one goes.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(kProbeMs)) {
        listen_error_ = QStringLiteral("another vantu-vsa-sim serves it");
        return false;
    }
    QLocalServer::removeServer(path);
    if (!listener_->listen(path)) {
        listen_error_ = listener_->errorString();
        return false;
    }
    return true;
}

void VsaSimWindow::Accept() {
    while (QLocalSocket* socket = listener_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Serve(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void VsaSimWindow::Serve(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxLine).trimmed();
        if (const auto answer = server_.Handle(line.toStdString())) {
            socket->write(QByteArray::fromStdString(*answer + "\n"));
        }
    }
    if (socket->bytesAvailable() > kMaxLine) {
        socket->abort();
    }
    update();
}

void VsaSimWindow::paintEvent(QPaintEvent*) {
    const SimulatedAnalyzer::View view = analyzer_.view();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin / 2, -kMargin);
    painter.setPen(QColor(60, 70, 90));
    for (int i = 0; i <= 10; ++i) {
        const double x = plot.left() + plot.width() * i / 10;
        const double y = plot.top() + plot.height() * i / 10;
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    const double start = view.center_hz - view.span_hz / 2;
    auto x_of = [&](double hz) { return plot.left() + (hz - start) / view.span_hz * plot.width(); };
    auto y_of = [&](double dbm) {
        return plot.top() + (kTopDbm - dbm) / (kTopDbm - kBottomDbm) * plot.height();
    };
    QPainterPath trace;
    for (int i = 0; i < kPoints; ++i) {
        const double hz = start + view.span_hz * i / (kPoints - 1);
        // A little deterministic ripple on the noise floor.
        const double level =
            SimulatedAnalyzer::Level(view, hz) + 1.5 * std::sin(i * 0.7) * std::cos(i * 0.13);
        const QPointF point(x_of(hz), y_of(level));
        i == 0 ? trace.moveTo(point) : trace.lineTo(point);
    }
    painter.setPen(QPen(QColor(250, 220, 60), 1.5));
    painter.drawPath(trace);

    painter.setPen(QColor(220, 225, 235));
    painter.drawText(QPointF(kMargin, kMargin - 12),
                     QString::fromStdString(PrintfText(
                         "Center %.6f GHz    Span %.3f MHz    Trigger %s%s", view.center_hz / 1e9,
                         view.span_hz / 1e6, view.external_trigger ? "External" : "Free Run",
                         view.trigger_measuring ? "    Measuring" : "")));
    const int markers = std::min(view.traces, kShownMarkers);
    for (int i = 0; i < markers; ++i) {
        const double hz = view.marker_hz[static_cast<std::size_t>(i)];
        const double level = SimulatedAnalyzer::Level(view, hz);
        const QPointF at(x_of(hz), y_of(level));
        painter.setBrush(QColor(80, 200, 255));
        painter.drawPolygon(
            QPolygonF({at + QPointF(0, -9), at + QPointF(6, -15), at + QPointF(-6, -15)}));
        painter.drawText(at + QPointF(8, -16), QString::number(i + 1));
        painter.drawText(
            QPointF(plot.left() + i * 300, plot.bottom() + 24),
            QString::fromStdString(PrintfText("MKR%d %.6f GHz  %.3f dBm", i + 1, hz / 1e9, level)));
    }
}

}  // namespace vantu
