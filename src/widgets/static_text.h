// CStatic: a text label whose text and background colours the page sets.
#pragma once

#include <QLabel>

#include "base/shared_settings.h"

namespace vantu {

class CStatic : public QLabel {
    Q_OBJECT

  public:
    explicit CStatic(const QString& text, QWidget* parent = nullptr);

    void SetTextColour(Colour colour);
    void SetBackground(Colour colour);
};

}  // namespace vantu
