// CCPAGE2DLG: the main page. It draws the main page model and the shared settings,
// forwards the operator's actions to the main controller as command messages, and is
// the surface the timer-1 refresh paints on.
#pragma once

#include <QWidget>

#include <functional>
#include <string_view>

#include "base/ports.h"
#include "base/shared_settings.h"
#include "controller/command_sink.h"
#include "model/main_page_model.h"
#include "pages/main_page_controls.h"
#include "pages/main_page_menu.h"
#include "status/main_page_refresh.h"
#include "widgets/colour_chooser.h"
#include "widgets/redraw_soon.h"

namespace vantu {

struct MainPageContext {
    MainPageModel& model;
    SharedSettings& shared;
    CommandSink& commands;
    Prompts& prompts;
    ColourChooser& colours;
    // The menu's "儲存 SP RCC 回報值": the controller's save of all report values.
    std::function<void()> save_report_registers;
};

class CCPAGE2DLG : public QWidget, public MainPageSurface {
  public:
    explicit CCPAGE2DLG(MainPageContext context, QWidget* parent = nullptr);
    ~CCPAGE2DLG() override;
    CCPAGE2DLG(const CCPAGE2DLG&) = delete;
    CCPAGE2DLG& operator=(const CCPAGE2DLG&) = delete;

    // Redraws what the core may have changed in the model: the run button, the
    // pattern list and the reference-line colour.
    void SyncFromModel();
    // Adds a line to the message window; past 30 lines the window is emptied.
    void AddMessage(std::string_view line);

    CellSink& antenna_grid() override;
    void SetStatusCell(const StatusCell& cell) override;
    void SetStatusMark(int row, int column, bool set) override;
    void ShowIndicator(HealthIndicator indicator, bool healthy) override;

    // For tests and tools.
    const MainPageControls& controls() const { return controls_; }
    const MainPageMenu& menu() const { return menu_; }
    QString antenna_title() const;
    bool legend_on() const { return legend_on_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void WireControls();
    void WireMenu();
    void ApplyView(std::size_t choice);
    void SelectView(std::size_t choice);
    void ClickRunButton();
    void ClearTypedModule();
    void ClickAntennaCell(int row, int column);
    void ChooseReferenceColour();
    void SetLegend(bool on);
    void AskAndPost(std::string_view question, std::intptr_t argument);
    void SetMessageWindow(bool shown);
    void ShowMessages();

    MainPageContext ctx_;
    MainPageControls controls_;
    MainPageMenu menu_;
    bool legend_on_ = false;
    RedrawSoon show_messages_{[this] { ShowMessages(); }};
};

}  // namespace vantu
