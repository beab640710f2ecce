#include "widgets/colour_chooser.h"

#include <QColorDialog>

#include "widgets/qt_colour.h"

namespace vantu {

std::optional<Colour> QtColourChooser::Choose(Colour preset) {
    const QColor chosen = QColorDialog::getColor(ToQColor(preset), parent_);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return FromQColor(chosen);
}

}  // namespace vantu
