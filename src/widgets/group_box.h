// CGroupBox: a frame with a title, both in chosen colours. Children are placed by the
// page in the group's own coordinates.
#pragma once

#include <QWidget>

#include "base/shared_settings.h"

namespace vantu {

class CGroupBox : public QWidget {
    Q_OBJECT

  public:
    explicit CGroupBox(const QString& title, QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    QString title() const { return title_; }
    void SetFrameColour(Colour colour);
    void SetTitleColour(Colour colour);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString title_;
    Colour frame_colour_;
    Colour title_colour_;
};

}  // namespace vantu
