// A button that holds a colour, shows it, and lets the user pick another.
// Controls named "颜色选择器…" of this class take part in control-state
// persistence; the colour is stored as a number 0x00BBGGRR.
#pragma once

#include <QColor>
#include <QPushButton>

namespace keelnode {

class ColourPicker : public QPushButton {
  Q_OBJECT

 public:
  explicit ColourPicker(QWidget* parent = nullptr);

  QColor colour() const { return colour_; }
  void setColour(const QColor& colour);

 signals:
  void colourChanged(const QColor& colour);

 private:
  void ChooseColour();

  QColor colour_{Qt::black};
};

}  // namespace keelnode
