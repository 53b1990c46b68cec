#include "settings/controls/colour_picker.h"

#include <QColorDialog>
#include <QPixmap>

namespace keelnode {

ColourPicker::ColourPicker(QWidget* parent) : QPushButton(parent) {
  setColour(colour_);
  connect(this, &QPushButton::clicked, this, &ColourPicker::ChooseColour);
}

void ColourPicker::setColour(const QColor& colour) {
  const bool changed = colour != colour_;
  colour_ = colour;
  QPixmap swatch(16, 16);
  swatch.fill(colour_);
  setIcon(swatch);
  if (changed) emit colourChanged(colour_);
}

void ColourPicker::ChooseColour() {
  QColor chosen = QColorDialog::getColor(colour_, this);
  if (chosen.isValid()) setColour(chosen);
}

}  // namespace keelnode
