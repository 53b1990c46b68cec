// A window of its own showing one value pretty-printed: coloured, with line
// numbers, find (the search bar's modes), word wrap, and copies of the whole
// value as pretty or minified text.
//
// The viewer owns its copy of the value, so a reload of the tab it came
// from changes nothing here. The value is pretty-printed on a worker thread
// (a value of a hundred megabytes takes about a second) and shown when it
// is ready; closing the window meanwhile waits for the worker.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "json/pretty_printer.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QThread;

namespace keelnode {

class PrettyTextView;

enum class FindMode { Plain, Wildcard, Pattern };

struct FindOptions {
  QString text;
  FindMode mode = FindMode::Plain;
  bool ignoreCase = false;
};

class ValueViewer : public QWidget {
  Q_OBJECT
 public:
  // `value` in program text; `find` fills the find bar.
  ValueViewer(std::string value, const FindOptions& find, QWidget* parent = nullptr);
  ~ValueViewer() override;

  // Whether the pretty text is shown (the worker has finished).
  bool isReady() const { return pretty_ != nullptr; }
  PrettyTextView* view() const { return view_; }
  // Moves the mark to the next (or previous) line that matches the find
  // bar, from the marked line on, wrapping around; false when none does.
  bool findNext(bool backward);
  void copyPretty() const;
  void copyMinified() const;

 signals:
  void ready();

 private:
  void buildMenu();
  void buildFindBar(const FindOptions& find);
  void showPretty(std::shared_ptr<const PrettyText> pretty);
  FindOptions findOptions() const;

  std::shared_ptr<const std::string> value_;
  std::shared_ptr<const PrettyText> pretty_;
  std::unique_ptr<QThread> worker_;
  PrettyTextView* view_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* wrap_ = nullptr;
  QWidget* findBar_ = nullptr;
  QLineEdit* findText_ = nullptr;
  QRadioButton* plainMode_ = nullptr;
  QRadioButton* wildcardMode_ = nullptr;
  QRadioButton* patternMode_ = nullptr;
  QCheckBox* ignoreCase_ = nullptr;
  QLabel* findStatus_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace keelnode
