#include "widgets/accessible_widgets.h"

#include <QAccessibleWidget>

#include "widgets/accessible_grid.h"
#include "widgets/group_box.h"
#include "widgets/health_mark.h"
#include "widgets/report_ctrl.h"

namespace vantu {
namespace {

class AccessibleGroupBox : public QAccessibleWidget {
  public:
    explicit AccessibleGroupBox(CGroupBox* box) : QAccessibleWidget(box, QAccessible::Grouping) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return static_cast<const CGroupBox*>(widget())->title();
        }
        return QAccessibleWidget::text(kind);
    }
};

// A picture to AT-SPI (which has no indicator role). The caption names the subsystem;
// the state follows it in the name so a reader that speaks names only hears it too.
class AccessibleHealthMark : public QAccessibleWidget {
  public:
    explicit AccessibleHealthMark(CHealthMark* mark)
        : QAccessibleWidget(mark, QAccessible::Graphic) {}

    QString text(QAccessible::Text kind) const override {
        const auto* mark = static_cast<const CHealthMark*>(widget());
        // A hatched mark is heard as stale too: its state is from the last good report.
        const QString state = mark->stale()
                                  ? MarkStateText(mark->state()) + QStringLiteral(" (資料過期)")
                                  : MarkStateText(mark->state());
        switch (kind) {
            case QAccessible::Name:
                return mark->caption().isEmpty() ? state
                                                 : mark->caption() + QLatin1Char(' ') + state;
            case QAccessible::Description:
            case QAccessible::Value:
                return state;
            default:
                return QAccessibleWidget::text(kind);
        }
    }
};

QAccessibleInterface* Factory(const QString& class_name, QObject* object) {
    Q_UNUSED(class_name);
    if (auto* grid = qobject_cast<CReportCtrl*>(object)) {
        return new AccessibleGrid(grid);
    }
    if (auto* box = qobject_cast<CGroupBox*>(object)) {
        return new AccessibleGroupBox(box);
    }
    if (auto* mark = qobject_cast<CHealthMark*>(object)) {
        return new AccessibleHealthMark(mark);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleWidgets() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString MarkStateText(MarkState state) {
    switch (state) {
        case MarkState::kHealthy:
            return QStringLiteral("healthy");
        case MarkState::kFaulty:
            return QStringLiteral("faulty");
        case MarkState::kNoData:
            break;
    }
    return QStringLiteral("no data");
}

}  // namespace vantu
