// Helpers shared by the widget tests.
#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

namespace keelnode::testing {

// A control named `name` (UTF-8) with an optional tag, owned by `parent`.
template <typename Widget>
Widget* Add(QWidget* parent, const char* name, const char* tag = nullptr) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromUtf8(name));
  if (tag) widget->setProperty("tag", QString::fromUtf8(tag));
  return widget;
}

}  // namespace keelnode::testing
