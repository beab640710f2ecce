// The context menu "ContextMenu" of the whole-antenna grid.
#pragma once

class QAction;
class QMenu;
class QWidget;

namespace vantu {

struct MainPageMenu {
    QMenu* menu = nullptr;
    QAction* grid_lines = nullptr;  // Ctrl+G, checked at start
    QAction* ref_lines = nullptr;   // Ctrl+R, checked at start
    QAction* ref_colour = nullptr;  // Ctrl+L
    QAction* legend_off = nullptr;  // checked at start
    QAction* legend_on = nullptr;
    QAction* reset_reports = nullptr;
    QAction* reset_control_code = nullptr;
    QAction* save_reports = nullptr;
    QAction* messages_off = nullptr;  // checked at start
    QAction* messages_on = nullptr;
};

// The menu belongs to `page`, whose shortcuts then reach the three keyed items.
MainPageMenu BuildMainPageMenu(QWidget& page);

}  // namespace vantu
