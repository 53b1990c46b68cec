// TextDialog: the modal text box with a prompt line and a row of buttons.
//
// Information mode shows a long read-only text with one close button. Input
// mode lets the user type or assemble a text (paste, clear, restore the
// initial text, import the contents or the paths of files) and returns it
// with 确定.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QPushButton;
class QTextEdit;
class QWidget;

namespace keelnode {

class TextBox;

// Which import buttons the dialog offers.
enum FileButtons : int {
  kNoFileButtons = 0,
  kFileContentsButton = 1,
  kFileNamesButton = 2,
  kBothFileButtons = 3,
};

enum class DialogMode { kInput, kInformation };
enum class ContentStyle { kEditable = 0, kReadOnly = 1 };

struct TextDialogParams {
  std::string prompt;
  std::string title;
  std::string initial;  // the content at opening; what 恢复 restores; what the close check compares
  ContentStyle contentStyle = ContentStyle::kEditable;
  int width = 0;  // content size in pixels; 0 keeps the design size
  int height = 0;
  bool infoMode = false;
  bool bothScrollBars = false;
  int margin = 5;
  bool maximize = false;
  int fileButtons = kNoFileButtons;
};

// What a caller may ask of the dialog besides its content and mode.
struct TextDialogOptions {
  std::optional<std::string> prompt;  // none: no prompt; empty: the mode's standard one
  std::string title;                  // empty: "岚溪："
  ContentStyle contentStyle = ContentStyle::kEditable;
  bool maximize = false;
  int width = 0;  // content size in pixels; 0 keeps the design size
  int height = 0;
  bool bothScrollBars = false;
  int margin = 0;  // below 1: 5
  int fileButtons = kNoFileButtons;
};

// The caller's request turned into the dialog's record: a prompt given but
// empty becomes the mode's standard prompt, an empty title "岚溪：", a
// margin below 1 becomes 5.
TextDialogParams MakeTextDialogParams(std::string_view content, DialogMode mode,
                                      TextDialogOptions options = {});

// The positional form (inputMode true: DialogMode::kInput; contentStyle 1:
// read-only), mapped onto the one above.
TextDialogParams MakeTextDialogParams(std::string_view content,
                                      const std::optional<std::string>& prompt,
                                      std::string_view title, bool inputMode, int contentStyle = 0,
                                      bool maximize = false, int width = 0, int height = 0,
                                      bool bothScrollBars = false, int margin = 0,
                                      int fileButtons = kNoFileButtons);

// Shows the dialog modally (over `owner` when given) and returns whether
// 确定 was pressed; then *result holds the text. Returns false at once when
// a TextDialog is already open.
bool OpenTextDialog(const TextDialogParams& params, QWidget* owner, std::string* result);

// "描述|模式;模式|描述|模式" as the platform's open-file dialog takes it,
// turned into Qt's "描述 (模式 模式);;描述 (模式)"; "*.*" means every file.
QString ToQtFileFilter(std::string_view platformFilter);

class TextDialog : public QDialog {
  Q_OBJECT
 public:
  TextDialog(TextDialogParams params, QWidget* owner);

  bool accepted() const { return ok_; }
  const std::string& resultText() const { return result_; }
  const TextDialogParams& params() const { return params_; }

  // Asks for the files to import: (parent, title, Qt filter) -> full paths.
  using FileChooser = std::function<QStringList(QWidget*, const QString&, const QString&)>;
  void setFileChooser(FileChooser chooser) { chooseFiles_ = std::move(chooser); }

  // Height of the prompt box for a prompt and a client width: 12-pixel rows
  // of 6-pixel characters, each line at least one row.
  static int PromptHeight(std::string_view prompt, int boxWidth);

  static constexpr int kDesignWidth = 495;
  static constexpr int kDesignHeight = 393;

 public slots:
  // The close box and Esc come here: in input mode a changed content asks
  // first. The buttons close without asking.
  void reject() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void build();
  void setUp();
  void layOut();
  void restoreInitial();
  void importFiles(bool contents);

  TextDialogParams params_;
  bool ok_ = false;
  std::string result_;
  FileChooser chooseFiles_;

  QTextEdit* prompt_ = nullptr;
  TextBox* content_ = nullptr;
  QWidget* buttonRow_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* clear_ = nullptr;
  QPushButton* paste_ = nullptr;
  QPushButton* importContents_ = nullptr;
  QPushButton* importNames_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace keelnode
