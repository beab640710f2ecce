#include "gui/station_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>

namespace vantu {
namespace {

constexpr int kWindowWidth = 1918;
constexpr int kWindowHeight = 1040;
// Room for a task bar below the window.
constexpr int kTaskBarHeight = 38;

}  // namespace

StationWindow::StationWindow() : tabs_(new QTabWidget(this)) {
    setWindowTitle(QString::fromUtf8(kWindowTitle.data(), kWindowTitle.size()));
    for (int tab = 0; tab < kTabCount; ++tab) {
        const auto title = kTabTitles[static_cast<std::size_t>(tab)];
        tabs_->addTab(new QWidget, QString::fromUtf8(title.data(), title.size()));
    }
    setCentralWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (on_tab_selected_) {
            on_tab_selected_(tab);
        }
    });
    PlaceOnScreen();
}

void StationWindow::SetPage(int tab, QWidget* page) {
    QSignalBlocker block(tabs_);
    const QString title = tabs_->tabText(tab);
    QWidget* old = tabs_->widget(tab);
    tabs_->removeTab(tab);
    // An opaque page spares the tab widget and the window from repainting beneath
    // every field that changes on it.
    page->setAutoFillBackground(true);
    tabs_->insertTab(tab, page, title);
    delete old;
}

void StationWindow::PlaceOnScreen() {
    QRect area(0, 0, kWindowWidth, kWindowHeight + kTaskBarHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    const int width = std::min(kWindowWidth, area.width());
    const int height = std::min(kWindowHeight, area.height());
    const int left = area.left() + std::max(0, (area.width() - width) / 2);
    const int top = area.top() + std::max(0, (area.height() - height - kTaskBarHeight) / 2);
    setGeometry(left, top, width, height);
}

void StationWindow::SetCornerWidget(QWidget* widget) {
    widget->setAutoFillBackground(true);
    tabs_->setCornerWidget(widget, Qt::TopRightCorner);
}

void StationWindow::ShowPage(int tab) {
    QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(tab);
}

void StationWindow::RequestClose() {
    close();
}

void StationWindow::Minimise() {
    showMinimized();
}

void StationWindow::BringForward() {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

void StationWindow::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        if (on_closing_) {
            on_closing_();
        }
    }
    event->accept();
}

void HeadlessWindow::RequestClose() {
    if (on_closing_) {
        on_closing_();
    }
}

}  // namespace vantu
