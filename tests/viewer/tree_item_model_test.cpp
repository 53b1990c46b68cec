#include "viewer/tree_item_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <vector>

#include "viewer/icon_sets.h"
#include "viewer_test_support.h"

namespace keelnode {
namespace {

using namespace std::string_literals;
using testing::Gb;
using testing::Record;

std::vector<QString>* g_warnings = nullptr;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (g_warnings && type != QtDebugMsg && type != QtInfoMsg) g_warnings->push_back(message);
}

// The model checker reports through warnings; any warning fails the test.
class CheckedModel {
 public:
  CheckedModel() {
    g_warnings = &warnings_;
    previous_ = qInstallMessageHandler(CollectWarnings);
    tester_ = std::make_unique<QAbstractItemModelTester>(
        &model, QAbstractItemModelTester::FailureReportingMode::Warning);
  }
  ~CheckedModel() {
    tester_.reset();
    qInstallMessageHandler(previous_);
    g_warnings = nullptr;
    for (const QString& w : warnings_)
      ADD_FAILURE() << w.toStdString();
  }
  TreeItemModel model;

 private:
  std::vector<QString> warnings_;
  QtMessageHandler previous_ = nullptr;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

QString Shown(const TreeItemModel& model, int item) {
  return model.data(model.indexOfItem(item), Qt::DisplayRole).toString();
}

// The tree of {"a":[10,20],"b":1,"c":{"d":2}}.
std::string SmallDocument() {
  return Record("JSON", 1, 1, 1) + Record("a", 2, 2, 2) + Record("[1]:10", 0, 3, 3) +
         Record("[2]:20", 0, 4, 3) + Record("b:1", 0, 5, 2) + Record("c", 1, 6, 2) +
         Record("d:2", 0, 7, 3);
}

TEST(TreeItemModelTest, BuildsTheHierarchyFromDepthsAndPassesTheModelChecker) {
  CheckedModel checked;
  TreeItemModel& model = checked.model;
  model.setBlock(SmallDocument());
  ASSERT_EQ(model.itemCount(), 7);
  ASSERT_EQ(model.rowCount(), 1);
  const QModelIndex root = model.index(0, 0);
  EXPECT_EQ(Shown(model, 0), "JSON");
  ASSERT_EQ(model.rowCount(root), 3);
  const QModelIndex a = model.index(0, 0, root);
  EXPECT_EQ(TreeItemModel::itemOf(a), 1);
  EXPECT_EQ(model.rowCount(a), 2);
  EXPECT_EQ(TreeItemModel::itemOf(model.index(1, 0, a)), 3);
  EXPECT_EQ(model.parent(model.index(1, 0, a)), a);
  EXPECT_EQ(TreeItemModel::itemOf(model.index(1, 0, root)), 4);
  EXPECT_EQ(model.parent(root), QModelIndex());
  EXPECT_FALSE(model.hasChildren(model.indexOfItem(4)));
  const QModelIndex c = model.index(2, 0, root);
  EXPECT_EQ(TreeItemModel::itemOf(c), 5);
  EXPECT_EQ(model.parent(model.index(0, 0, c)), c);
  EXPECT_EQ(model.parent(model.index(0, 0, c)).row(), 2);
  EXPECT_FALSE(model.index(3, 0, root).isValid());
  EXPECT_FALSE(model.index(0, 1, root).isValid());

  // A second block replaces everything (a reset the checker follows too).
  model.setBlock(Record("x", 0, 1, 1) + Record("y", 0, 2, 1));
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.itemCount(), 2);
  model.setBlock({});
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.itemCount(), 0);
}

TEST(TreeItemModelTest, GivesTheBlockBackByteForByte) {
  TreeItemModel model;
  // Odd fields the model has no use for, and a torn record at the end.
  const std::string block = SmallDocument() + Record("odd", 7, -5, 2, 2, 64) + "torn\0\x01"s;
  model.setBlock(block);
  EXPECT_EQ(model.block(), block);
  EXPECT_EQ(model.itemCount(), 8);
  EXPECT_EQ(model.image(7), 7);
  EXPECT_EQ(model.depth(7), 2);
}

TEST(TreeItemModelTest, UnevenDepthsStillMakeATree) {
  CheckedModel checked;
  TreeItemModel& model = checked.model;
  // A jump from depth 1 to 4, depths below 1, and a return to depth 2.
  model.setBlock(Record("r", 1, 1, 1) + Record("deep1", 0, 2, 4) + Record("deep2", 0, 3, 4) +
                 Record("mid", 1, 4, 2) + Record("zero", 0, 5, 0) + Record("neg", 0, 6, -3));
  ASSERT_EQ(model.rowCount(), 3);  // r, zero, neg at the top
  const QModelIndex r = model.index(0, 0);
  ASSERT_EQ(model.rowCount(r), 3);  // deep1 and deep2 are siblings under r, then mid
  EXPECT_EQ(TreeItemModel::itemOf(model.index(1, 0, r)), 2);
  EXPECT_EQ(TreeItemModel::itemOf(model.index(2, 0, r)), 3);
  EXPECT_EQ(TreeItemModel::itemOf(model.index(1, 0)), 4);
  EXPECT_EQ(TreeItemModel::itemOf(model.index(2, 0)), 5);
}

TEST(TreeItemModelTest, DeepNestingNeedsNoRecursion) {
  std::string block;
  const int depth = 20000;
  for (int level = 1; level <= depth; ++level)
    block += Record("n", 1, level, level);
  TreeItemModel model;
  model.setBlock(block);
  QModelIndex index = model.indexOfItem(depth - 1);
  int steps = 0;
  while (index.isValid()) {
    index = model.parent(index);
    ++steps;
  }
  EXPECT_EQ(steps, depth);
}

TEST(TreeItemModelTest, LabelsShowAsOneLineOfText) {
  TreeItemModel model;
  const std::string longValue(5000, 'x');
  model.setBlock(Record(Gb("城市:\"杭州\""), 0, 1, 1) + Record("text:\"a\r\nb\tc\"", 0, 2, 1) +
                 Record("long:" + longValue, 0, 3, 1));
  EXPECT_EQ(Shown(model, 0), QStringLiteral("城市:\"杭州\""));
  EXPECT_EQ(Shown(model, 1), QStringLiteral("text:\"a  b c\""));
  const QString shown = Shown(model, 2);
  EXPECT_TRUE(shown.endsWith(QStringLiteral("...")));
  EXPECT_EQ(shown.size(), static_cast<qsizetype>(TreeItemModel::kShownLabelBytes) + 3);
  // The block keeps the label whole.
  EXPECT_EQ(model.label(2), "long:" + longValue);
}

TEST(TreeItemModelTest, SetLabelRewritesTheBlock) {
  CheckedModel checked;
  TreeItemModel& model = checked.model;
  model.setBlock(SmallDocument());
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  const std::string root = Gb("岚溪·JSON（载入耗时 3 毫秒 ）");
  ASSERT_TRUE(model.setLabel(0, root));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(model.block(),
            Record(root, 1, 1, 1) + SmallDocument().substr(Record("JSON", 1, 1, 1).size()));
  EXPECT_EQ(model.label(3), "[2]:20");
  EXPECT_EQ(model.image(1), 2);
  // Shorter again, and a zero byte ends a label.
  ASSERT_TRUE(model.setLabel(1, std::string("b\0c", 3)));
  EXPECT_EQ(model.label(1), "b");
  EXPECT_EQ(model.label(4), "b:1");
  EXPECT_EQ(model.label(6), "d:2");
  EXPECT_FALSE(model.setLabel(7, "none"));
  EXPECT_FALSE(model.setLabel(-1, "none"));
}

TEST(TreeItemModelTest, IconsFollowTheImageNumber) {
  TreeItemModel model;
  model.setBlock(Record("s", 0, 1, 1) + Record("o", 1, 2, 1) + Record("a", 2, 3, 1) +
                 Record("odd", 9, 4, 1));
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  const IconSet pictures = MakeIconSet(false);
  model.setIcons(pictures);
  EXPECT_EQ(changed.count(), 1);
  for (int item = 0; item < 3; ++item) {
    const QVariant icon = model.data(model.indexOfItem(item), Qt::DecorationRole);
    ASSERT_TRUE(icon.canConvert<QIcon>());
    EXPECT_EQ(icon.value<QIcon>().cacheKey(), pictures[item].cacheKey());
  }
  EXPECT_FALSE(model.data(model.indexOfItem(3), Qt::DecorationRole).isValid());
}

TEST(TreeItemModelTest, TheTwoIconSetsDiffer) {
  const IconSet pictures = MakeIconSet(false);
  const IconSet characters = MakeIconSet(true);
  for (size_t k = 0; k < pictures.size(); ++k) {
    const QImage a = pictures[k].pixmap(20, 20).toImage();
    const QImage b = characters[k].pixmap(20, 20).toImage();
    EXPECT_EQ(a.size(), QSize(20, 20));
    EXPECT_NE(a, b);
  }
}

}  // namespace
}  // namespace keelnode
