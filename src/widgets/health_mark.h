// CHealthMark: a subsystem mark. A grey disc with a bar while it has no data (or
// nothing drives it), a green tick when healthy, a red cross when faulty; drawn with
// QPainter.
#pragma once

#include <QWidget>

namespace vantu {

enum class MarkState { kNoData, kHealthy, kFaulty };

class CHealthMark : public QWidget {
    Q_OBJECT

  public:
    explicit CHealthMark(QWidget* parent = nullptr);

    // Repaints only when the state changes.
    void SetState(MarkState state);
    MarkState state() const { return state_; }
    // The state is from a report that could not be read again: hatched over.
    void SetStale(bool stale);
    bool stale() const { return stale_; }
    // The subsystem's name, as the label beside the mark reads it.
    void SetCaption(const QString& caption);
    QString caption() const { return caption_; }

    QSize sizeHint() const override { return {32, 32}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    MarkState state_ = MarkState::kNoData;
    bool stale_ = false;
    QString caption_;
};

}  // namespace vantu
