// The station's main window: the tab control with the seven pages.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>

#include "app/station_texts.h"
#include "base/ports.h"

class QTabWidget;

namespace vantu {

class StationWindow : public QMainWindow, public MainWindow {
  public:
    StationWindow();

    // Page widgets in tab order; the window takes ownership.
    void SetPage(int tab, QWidget* page);
    // Shown at the right of the tab bar, over every page; the window takes ownership.
    void SetCornerWidget(QWidget* widget);
    void set_on_tab_selected(std::function<void(int)> handler) {
        on_tab_selected_ = std::move(handler);
    }
    void set_on_closing(std::function<void()> handler) { on_closing_ = std::move(handler); }

    void ShowPage(int tab) override;
    void RequestClose() override;
    void Minimise() override;
    void BringForward();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void PlaceOnScreen();

    QTabWidget* tabs_;
    std::function<void(int)> on_tab_selected_;
    std::function<void()> on_closing_;
    bool closed_ = false;
};

// Without a window: closing ends the event loop, pages are not shown.
class HeadlessWindow : public MainWindow {
  public:
    void ShowPage(int) override {}
    void RequestClose() override;
    void Minimise() override {}
    void set_on_closing(std::function<void()> handler) { on_closing_ = std::move(handler); }

  private:
    std::function<void()> on_closing_;
};

}  // namespace vantu
