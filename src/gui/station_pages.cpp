#include "gui/station_pages.h"

#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <functional>
#include <utility>

#include "pages/analyzer_page_view.h"
#include "pages/antenna_status_page_view.h"
#include "pages/fault_history_page_view.h"
#include "pages/firmware_page_view.h"
#include "pages/main_page_view.h"
#include "pages/module_status_page_view.h"
#include "pages/report_age_label.h"
#include "pages/status_glyph_option.h"
#include "pages/trend_chart_window.h"
#include "pages/x11_analyzer_windows.h"
#include "status/antenna_layout.h"
#include "widgets/health_mark.h"
#include "widgets/report_ctrl.h"
#include "widgets/steady_text.h"

namespace vantu {
namespace {

constexpr int kFollowReportWatchMs = 500;

// A module cell of the position table opens that module's temperature trend.
void AddTrendMenu(CReportCtrl& grid, const TemperatureTrend& trend) {
    QObject::connect(&grid, &CReportCtrl::cellRightClicked, &grid,
                     [&grid, &trend](int row, int column, QPoint global_pos) {
                         const int module = PositionCellModule(row, column);
                         if (module < 0) {
                             return;
                         }
                         QMenu menu(&grid);
                         QAction* open = menu.addAction(TrendTitle(module));
                         if (menu.exec(global_pos) == open) {
                             auto* window = new TrendChartWindow(trend, module, &grid);
                             window->setAttribute(Qt::WA_DeleteOnClose);
                             window->show();
                         }
                     });
}

std::vector<CReportCtrl*> GridsOf(std::initializer_list<const QWidget*> pages) {
    std::vector<CReportCtrl*> grids;
    for (const QWidget* page : pages) {
        const QList<CReportCtrl*> found = page->findChildren<CReportCtrl*>();
        grids.insert(grids.end(), found.begin(), found.end());
    }
    return grids;
}

// Pages behind other tabs are not kept drawn: each is drawn when it is shown.
class SyncWhenShown : public QObject {
  public:
    SyncWhenShown(QWidget* page, std::function<void()> sync)
        : QObject(page), sync_(std::move(sync)) {
        page->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            sync_();
        }
        return false;
    }

  private:
    std::function<void()> sync_;
};

template <typename Page>
void SyncIfShown(Page* page) {
    if (page->isVisible()) {
        page->SyncFromModel();
    }
}

template <typename Page>
void SyncWhenShownFromNowOn(Page* page) {
    new SyncWhenShown(page, [page] { page->SyncFromModel(); });
}

}  // namespace

StationPages::StationPages(Station& station, StationWindow& window, SharedSettings& shared,
                           ColourChooser& colours)
    : controller_(station.controller()) {
    CVANTUDlg& controller = controller_;
    main_ = new CCPAGE2DLG(MainPageContext{controller.main_page(), shared, controller,
                                           controller.prompts(), colours,
                                           [&controller] { controller.SaveReports(); }});
    trm_ = new CCPAGE1DLG(controller.trm_page());
    qdxa_ = new CCPAGE5DLG(controller.qdxa_page());
    antenna_ = new CCPAGE3DLG(controller.antenna_page());
    firmware_ = new CCPAGE6DLG(controller.firmware().model(), controller);
    analyzer_ = new CCPAGE7DLG(AnalyzerPageContext{
        station.instrument_page(), controller.analyzer_page(), controller.chassis_controls(),
        controller.main_page(), QDir::currentPath().toStdString()});
    window.SetPage(kTabMain, main_);
    window.SetPage(kTabTrm, trm_);
    window.SetPage(kTabQdxa, qdxa_);
    window.SetPage(kTabAntenna, antenna_);
    window.SetPage(kTabFirmware, firmware_);
    history_ = new CFaultHistoryPage(controller.report_watch());
    window.SetPage(kTabAnalyzer, analyzer_);
    window.SetPage(kTabHistory, history_);
    auto* corner = new QWidget;
    auto* corner_layout = new QHBoxLayout(corner);
    corner_layout->setContentsMargins(0, 0, 0, 0);
    flood_banner_ = new QLabel;
    flood_banner_->setStyleSheet(
        QStringLiteral("color: white; background: #c00000; padding: 0 8px"));
    flood_banner_->hide();
    corner_layout->addWidget(flood_banner_);
    corner_layout->addWidget(new StatusGlyphOption([this](bool on) { ShowGlyphs(on); }));
    corner_layout->addWidget(new ReportAgeLabel(controller.report_watch()));
    window.SetCornerWidget(corner);
    AddTrendMenu(trm_->position_grid(), controller.report_watch().trend());
    AddTrendMenu(qdxa_->position_grid(), controller.report_watch().trend());
    controller.set_main_page_surface(main_);
    analyzer_windows_ = X11AnalyzerWindows::Open(*analyzer_->analyzer_frame());
    station.instrument_page().analyzer().set_windows(analyzer_windows_.get());
    SyncWhenShownFromNowOn(trm_);
    SyncWhenShownFromNowOn(qdxa_);
    SyncWhenShownFromNowOn(antenna_);
    SyncWhenShownFromNowOn(firmware_);
    SyncWhenShownFromNowOn(analyzer_);
    station.set_on_instrument_tick([this] { SyncIfShown(analyzer_); });
    // The report poll redraws no page by itself: staleness and the history's changes
    // are looked at on their own beat, whichever tab is shown.
    auto* follow = new QTimer(main_);
    QObject::connect(follow, &QTimer::timeout, main_, [this] { FollowReportWatch(); });
    follow->start(kFollowReportWatchMs);
}

// The window would delete its pages only after the station's models are gone.
StationPages::~StationPages() {
    delete history_;
    delete analyzer_;
    delete firmware_;
    delete antenna_;
    delete qdxa_;
    delete trm_;
    delete main_;
}

std::vector<CReportCtrl*> StationPages::ReportGrids() const {
    return GridsOf({main_, trm_, qdxa_, antenna_});
}

void StationPages::ShowGlyphs(bool on) {
    for (CReportCtrl* grid : GridsOf({main_, trm_, qdxa_, antenna_, firmware_})) {
        grid->SetMarksShown(on);
    }
}

void StationPages::ShowStale(bool stale) {
    if (stale == stale_shown_) {
        return;
    }
    stale_shown_ = stale;
    for (CReportCtrl* grid : ReportGrids()) {
        grid->SetStale(stale);
    }
    for (CHealthMark* mark : main_->controls().indicators) {
        mark->SetStale(stale);
    }
}

void StationPages::FollowReportWatch() {
    ShowStale(controller_.report_watch().stale());
    ShowFlood();
    const std::uint64_t revision = controller_.report_watch().history().revision();
    if (revision != history_revision_) {
        history_revision_ = revision;
        controller_.trm_page().Redecode();
        controller_.qdxa_page().Redecode();
    }
}

// Beside the tabs, so the flood is seen whichever page is shown.
void StationPages::ShowFlood() {
    ReportWatch& watch = controller_.report_watch();
    const AlarmFigures figures = watch.history().Figures(watch.Now());
    if (figures.flood) {
        SetSteadyText(
            *flood_banner_,
            QStringLiteral("⚠ 警報氾濫 : 10 分鐘內 %1 個新警報").arg(figures.last_10_minutes));
    }
    flood_banner_->setVisible(figures.flood);
}

void StationPages::SyncFromModels() {
    SyncIfShown(main_);
    SyncIfShown(trm_);
    SyncIfShown(qdxa_);
    SyncIfShown(antenna_);
    SyncIfShown(firmware_);
    SyncIfShown(analyzer_);
}

}  // namespace vantu
