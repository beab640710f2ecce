// The colour chooser the pages open, behind an interface the tests replace.
#pragma once

#include <optional>

#include "base/shared_settings.h"

class QWidget;

namespace vantu {

class ColourChooser {
  public:
    virtual ~ColourChooser() = default;
    // Waits for the operator; the accepted colour, or none when cancelled.
    virtual std::optional<Colour> Choose(Colour preset) = 0;
};

// QColorDialog, preset to the colour, parented to the given window.
class QtColourChooser : public ColourChooser {
  public:
    explicit QtColourChooser(QWidget* parent) : parent_(parent) {}
    std::optional<Colour> Choose(Colour preset) override;

  private:
    QWidget* parent_;
};

}  // namespace vantu
