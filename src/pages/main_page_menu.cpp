#include "pages/main_page_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include <tuple>
#include <utility>

#include "pages/main_page_texts.h"
#include "widgets/qt_colour.h"

namespace vantu {
namespace {

QAction* Item(QMenu& menu, std::string_view text) {
    return menu.addAction(ToQString(text));
}

QAction* KeyedItem(QWidget& page, QMenu& menu, std::string_view text, const char* keys,
                   bool checked) {
    QAction* action = Item(menu, text);
    action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setCheckable(checked);
    action->setChecked(checked);
    page.addAction(action);
    return action;
}

// An "關閉" / "開啟" submenu whose active item carries the check mark.
std::pair<QAction*, QAction*> OffOnMenu(QMenu& menu, std::string_view title) {
    QMenu* sub = menu.addMenu(ToQString(title));
    auto* group = new QActionGroup(sub);
    QAction* off = Item(*sub, kMenuOff);
    QAction* on = Item(*sub, kMenuOn);
    for (QAction* action : {off, on}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    off->setChecked(true);
    return {off, on};
}

}  // namespace

MainPageMenu BuildMainPageMenu(QWidget& page) {
    MainPageMenu items;
    items.menu = new QMenu(&page);
    items.menu->setObjectName(ToQString(kMenuName));
    items.menu->setTitle(ToQString(kMenuName));
    QMenu& menu = *items.menu;

    items.grid_lines = KeyedItem(page, menu, kMenuGridLines, "Ctrl+G", true);
    menu.addSeparator();
    items.ref_lines = KeyedItem(page, menu, kMenuRefLines, "Ctrl+R", true);
    items.ref_colour = KeyedItem(page, menu, kMenuRefLineColour, "Ctrl+L", false);
    menu.addSeparator();
    std::tie(items.legend_off, items.legend_on) = OffOnMenu(menu, kMenuLegend);
    menu.addSeparator();
    QMenu* reset = menu.addMenu(ToQString(kMenuReset));
    items.reset_reports = Item(*reset, kMenuResetReports);
    items.reset_control_code = Item(*reset, kMenuResetControlCode);
    menu.addSeparator();
    items.save_reports = Item(menu, kMenuSaveReports);
    menu.addSeparator();
    std::tie(items.messages_off, items.messages_on) = OffOnMenu(menu, kMenuMessages);
    return items;
}

}  // namespace vantu
