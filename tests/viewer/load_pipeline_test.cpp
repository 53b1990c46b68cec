// Loading texts into tabs: placeholder, raw text, options, root label,
// selection restore and expansion.
#include <QCheckBox>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>

#include "viewer/program_text.h"
#include "window_fixture.h"

namespace keelnode {
namespace {

using testing::Gb;
using testing::Utf8;

class LoadPipelineTest : public testing::WindowTest {
 public:
  // Loads `utf8` into the current tab as a re-parse would: from the text
  // given, not the clipboard.
  void reload(std::string_view utf8) {
    std::string text = Gb(utf8);
    window().loadTab(text, true, window().currentTabNumber(), 0, false);
  }
  void check(const char* box, bool on) {
    if (find<QCheckBox>(box)->isChecked() != on) click(box);
  }
};

TEST_F(LoadPipelineTest, PastingShowsTheRootWithItsLoadTimeAndExpandsIt) {
  paste(R"({"a":1})");
  ASSERT_EQ(tree()->itemCount(), 2);
  const QString root = QString::fromStdString(label(0));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^岚溪·JSON（载入耗时 [0-9.]+ (毫秒|秒) ）$"))
                  .match(root)
                  .hasMatch())
      << label(0);
  EXPECT_EQ(label(1), "a:1");
  EXPECT_TRUE(tree()->isExpanded(tree()->items().indexOfItem(0)));
  EXPECT_EQ(window().rawText(1), R"({"a":1})");
  EXPECT_EQ(tree()->currentItem(), -1);
  // The block the tree hands back is the document's, with the root renamed.
  std::string expected = window().document(1).buildTreeItems().TakeBytes();
  expected.replace(0, 4, tree()->itemText(0));
  EXPECT_EQ(tree()->content(), expected);
}

TEST_F(LoadPipelineTest, OnlyTheRootIsExpanded) {
  paste(R"({"o":{"p":{"q":1}},"r":[1,2]})");
  ASSERT_EQ(tree()->itemCount(), 7);
  EXPECT_TRUE(tree()->isExpanded(tree()->items().indexOfItem(0)));
  EXPECT_FALSE(tree()->isExpanded(tree()->items().indexOfItem(1)));
  EXPECT_FALSE(tree()->isExpanded(tree()->items().indexOfItem(2)));
  EXPECT_FALSE(tree()->isExpanded(tree()->items().indexOfItem(4)));
}

TEST_F(LoadPipelineTest, ArrayItemsCountFromOneOrFromZero) {
  paste("[5]");
  ASSERT_EQ(tree()->itemCount(), 2);
  EXPECT_EQ(label(1), "[1]:5");
  check("选择框数组从0开始", true);
  paste("[5]");
  EXPECT_EQ(label(1), "[0]:5");
}

TEST_F(LoadPipelineTest, DecodingFirstKeepsTheRawTextAsGiven) {
  check("选择框先行解码", true);
  paste(R"({"k":"\u4e2d"})");
  ASSERT_EQ(tree()->itemCount(), 2);
  EXPECT_EQ(label(1), "k:\"中\"");
  EXPECT_EQ(window().rawText(1), R"({"k":"\u4e2d"})");
  check("选择框先行解码", false);
  std::string text = window().rawText(1);
  window().loadTab(text, true, 1, 0, false);
  EXPECT_EQ(label(1), R"(k:"\u4e2d")");
}

TEST_F(LoadPipelineTest, SingleQuotedJsonIsConvertedOnlyWhenAsked) {
  paste("{'a':'b'}");
  ASSERT_EQ(tree()->itemCount(), 2);
  // Without the option the apostrophes stay as they are.
  EXPECT_TRUE(label(1).ends_with(":'b'")) << label(1);
  check("选择框单引号格式", true);
  paste("{'a':'b'}");
  EXPECT_EQ(label(1), "a:\"b\"");
  EXPECT_EQ(window().rawText(1), "{'a':'b'}");
}

TEST_F(LoadPipelineTest, ParsingOptionsReloadTheCurrentTabOnlyKeepingItsItem) {
  window().setCurrentTabNumber(2);
  paste("[7]");
  window().setCurrentTabNumber(1);
  paste("{'a':[5,6]}");
  tree()->setCurrentItem(3);
  const std::string before = label(1);
  click("选择框单引号格式");
  EXPECT_NE(label(1), before);
  EXPECT_EQ(label(1), "a");
  EXPECT_EQ(label(3), "[2]:6");
  EXPECT_EQ(tree()->currentItem(), 3);
  EXPECT_EQ(window().rawText(1), "{'a':[5,6]}");
  click("选择框数组从0开始");
  EXPECT_EQ(label(3), "[1]:6");
  EXPECT_EQ(tree()->currentItem(), 3);
  click("选择框先行解码");
  EXPECT_EQ(tree()->currentItem(), 3);
  // Tab 2 waits for its next load.
  EXPECT_EQ(Utf8(window().tree(2)->itemText(1)), "[1]:7");
}

TEST_F(LoadPipelineTest, AReservedTabRefusesLoadsUntilItIsReleased) {
  paste("[1]");
  window().reserveTab(1, true);
  EXPECT_TRUE(window().isReserved(1));
  paste("[2]");
  click("选择框数组从0开始");
  EXPECT_EQ(label(1), "[1]:1");
  EXPECT_EQ(window().rawText(1), "[1]");
  std::string other = "[3]";
  window().loadTab(other, true, 2, 0, false);
  EXPECT_EQ(Utf8(window().tree(2)->itemText(1)), "[0]:3");
  window().reserveTab(1, false);
  paste("[2]");
  EXPECT_EQ(label(1), "[0]:2");
}

TEST_F(LoadPipelineTest, ATextTooLargeForTheMemoryLeftIsRefusedAndTheTabKept) {
  paste("[\"kept\"]");
  std::string wide = "[";
  for (int i = 0; i < 5000; ++i)
    wide += "{\"u\":\"https://x.cn/?a=1&b=2\",\"名\":\"中文\"},";
  wide += "0]";
  ASSERT_EQ(setenv("KEELNODE_MEMORY_AVAILABLE", "1000000", 1), 0);
  QString message;
  testing::AnswerNextMessageBox(QStringLiteral("确定"), &message);
  paste(wide);
  // At start-up the tab keeps its text and says why its tree is missing.
  std::string restored = Gb(wide);
  const bool loaded = window().loadTab(restored, true, 2, 3, true);
  ASSERT_EQ(unsetenv("KEELNODE_MEMORY_AVAILABLE"), 0);
  EXPECT_TRUE(message.startsWith(QStringLiteral("内存不足，无法载入：这份文档约需 ")))
      << message.toStdString();
  EXPECT_TRUE(message.endsWith(QStringLiteral(" MB 内存，现在可用 1 MB。标签页内容没有改动。")))
      << message.toStdString();
  EXPECT_EQ(window().rawText(1), "[\"kept\"]");
  EXPECT_EQ(label(1), "[1]:\"kept\"");
  EXPECT_FALSE(loaded);
  EXPECT_EQ(Utf8(window().tree(2)->itemText(0)), "岚溪·JSON（内存不足，未载入）");
  // With the memory back, the same text loads.
  paste(wide);
  EXPECT_EQ(window().tree(1)->itemCount(), 1 + 5001 + 2 * 5000);
}

TEST_F(LoadPipelineTest, TheTextParameterReceivesTheTextThatWasParsed) {
  check("选择框先行解码", true);
  setClipboard(R"({"k":"\u4e2d"})");
  std::string text = "ignored";
  window().loadTab(text, false, 1, 0, false);
  EXPECT_EQ(Utf8(text), R"({"k":"中"})");
  EXPECT_EQ(window().rawText(1), R"({"k":"\u4e2d"})");
}

TEST_F(LoadPipelineTest, EmptyClipboardGivesTheRootAlone) {
  QGuiApplication::clipboard()->clear();
  paste("");
  ASSERT_EQ(tree()->itemCount(), 1);
  EXPECT_TRUE(label(0).starts_with("岚溪·JSON（载入耗时 "));
  EXPECT_EQ(window().rawText(1), "");
}

TEST_F(LoadPipelineTest, ClipboardTextEndsAtItsFirstZero) {
  setClipboard(std::string_view("{\"a\":1}\0{\"b\":2}", 15));
  click("按钮粘贴JSON树");
  EXPECT_EQ(window().rawText(1), R"({"a":1})");
  EXPECT_EQ(tree()->itemCount(), 2);
}

TEST_F(LoadPipelineTest, ChineseTextCrossesIntoTheProgramsCodePage) {
  paste(R"({"城市":"杭州"})");
  ASSERT_EQ(tree()->itemCount(), 2);
  EXPECT_EQ(tree()->itemText(1), Gb("城市:\"杭州\""));
  EXPECT_EQ(window().rawText(1), Gb(R"({"城市":"杭州"})"));
  EXPECT_EQ(tree()->model()->data(tree()->items().indexOfItem(1)).toString(),
            QStringLiteral("城市:\"杭州\""));
}

TEST_F(LoadPipelineTest, RestoringASelectionOpensTheWayToIt) {
  std::string text = R"({"o":{"p":{"q":1}}})";
  window().loadTab(text, true, 1, 3, true);
  ASSERT_EQ(tree()->itemCount(), 4);
  EXPECT_EQ(tree()->currentItem(), 3);
  EXPECT_TRUE(tree()->isExpanded(tree()->items().indexOfItem(2)));
  // An item that does not exist selects nothing.
  window().loadTab(text, true, 1, 9, true);
  EXPECT_EQ(tree()->currentItem(), -1);
}

TEST_F(LoadPipelineTest, EachTabLoadsIntoItsOwnTreeAndDocument) {
  paste(R"({"first":1})");
  find<QTabWidget>("选择夹")->setCurrentIndex(2);
  paste(R"({"third":3})");
  EXPECT_EQ(Utf8(window().tree(3)->itemText(1)), "third:3");
  EXPECT_EQ(Utf8(window().tree(1)->itemText(1)), "first:1");
  EXPECT_EQ(window().rawText(1), R"({"first":1})");
  EXPECT_EQ(window().rawText(3), R"({"third":3})");
  EXPECT_EQ(window().document(1).store().count(), 2);
  EXPECT_EQ(window().tree(2)->itemCount(), 0);
}

// A document big enough that the load hands the window several turns.
std::string ManyMembers(int count) {
  std::string text = "{";
  for (int k = 0; k < count; ++k)
    text += "\"m" + std::to_string(k) + "\":" + std::to_string(k) + ",";
  text.back() = '}';
  return text;
}

TEST_F(LoadPipelineTest, WindowStaysResponsiveAndASecondLoadOfTheSameTabIsIgnored) {
  bool sawLoading = false;
  std::string placeholder;
  QTimer::singleShot(0, &window(), [&] {
    sawLoading = window().isLoading(1);
    placeholder = label(0);
    std::string again = R"({"again":1})";
    window().loadTab(again, true, 1, 0, false);  // ignored
    std::string other = R"({"other":2})";
    window().loadTab(other, true, 2, 0, false);  // another tab loads meanwhile
  });
  reload(ManyMembers(100000));
  EXPECT_TRUE(sawLoading);
  EXPECT_EQ(placeholder, "岚溪·JSON（正在解析...）");
  EXPECT_FALSE(window().isLoading(1));
  EXPECT_EQ(tree()->itemCount(), 100001);
  EXPECT_EQ(label(100000), "m99999:99999");
  EXPECT_EQ(Utf8(window().tree(2)->itemText(1)), "other:2");
}

}  // namespace
}  // namespace keelnode
