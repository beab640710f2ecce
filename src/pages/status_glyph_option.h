// The view option beside the tabs that turns the state glyphs on the grids off, for
// operators who want the plain coloured look. Kept in the user's profile, so each
// operator's choice survives restarts without touching the station's files.
#pragma once

#include <QCheckBox>

#include <functional>

namespace vantu {

class StatusGlyphOption : public QCheckBox {
  public:
    // on_changed runs with the profile's choice at once, then on every toggle.
    explicit StatusGlyphOption(std::function<void(bool)> on_changed, QWidget* parent = nullptr);
};

}  // namespace vantu
