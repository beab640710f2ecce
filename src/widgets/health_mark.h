// CHealthMark: a two-state picture, a green tick when healthy and a red cross when
// faulty, drawn with QPainter.
#pragma once

#include <QWidget>

namespace vantu {

class CHealthMark : public QWidget {
  public:
    explicit CHealthMark(QWidget* parent = nullptr);

    // Repaints only when the state changes.
    void SetHealthy(bool healthy);
    bool healthy() const { return healthy_; }

    QSize sizeHint() const override { return {32, 32}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool healthy_ = true;
};

}  // namespace vantu
