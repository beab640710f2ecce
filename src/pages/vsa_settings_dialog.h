// CCVSASETDLG: the analysis software's settings dialog. Its "設定" buttons send the
// command word, the value and the unit as text to the station, which runs them
// through the instrument text interpreter.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "instruments/settings_dialog_text.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

namespace vantu {

class CCVSASETDLG : public QDialog {
  public:
    using TextSender = std::function<void(const QString& text)>;

    explicit CCVSASETDLG(TextSender send, QWidget* parent = nullptr);

    // For tests: the controls of one button's row.
    QLineEdit* value_box(DialogButton button) const;
    QComboBox* unit_box(DialogButton button) const;
    QCheckBox* sync_box() const { return sync_; }
    void ClickSet(DialogButton button);

  private:
    QWidget* BuildFrequencyGroup();
    QWidget* BuildMarkerGroup();
    void AddRow(QGridLayout& grid, int row, const QString& label, DialogButton button, bool span);
    void ApplySync(bool ticked);

    TextSender send_;
    std::array<QLineEdit*, 6> values_{};
    std::array<QComboBox*, 6> units_{};
    QCheckBox* sync_ = nullptr;
};

}  // namespace vantu
