#include "pages/status_glyph_option.h"

#include <QSettings>

namespace vantu {
namespace {

const QString kProfileKey = QStringLiteral("View/StatusGlyphs");

}  // namespace

StatusGlyphOption::StatusGlyphOption(std::function<void(bool)> on_changed, QWidget* parent)
    : QCheckBox(QStringLiteral("狀態符號 (✓ ✗)"), parent) {
    setToolTip(QStringLiteral("在狀態格中加上 ✓ ✗ ▲ ? 符號，不靠顏色也能分辨狀態"));
    setChecked(QSettings().value(kProfileKey, true).toBool());
    on_changed(isChecked());
    connect(this, &QCheckBox::toggled, this, [on_changed = std::move(on_changed)](bool on) {
        QSettings().setValue(kProfileKey, on);
        on_changed(on);
    });
}

}  // namespace vantu
