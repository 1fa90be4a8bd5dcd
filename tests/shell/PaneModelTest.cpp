#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include "shell/ListPane.h"
#include "shell/PaneModels.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

TEST(PaneModels, FollowThePanesAndKeepTheModelContract) {
    TreePane tree;
    ListPane list;
    TreePaneModel treeModel(tree);
    ListPaneModel listModel(list);
    QAbstractItemModelTester treeTester(&treeModel,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester listTester(&listModel,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);

    tree.addRoot(QStringLiteral("Excel"), QStringLiteral("Excel"));
    tree.setBold(0, true);
    tree.addChild(QStringLiteral("Excel"), QStringLiteral("Sheet1"));
    tree.addChild(QStringLiteral("Excel"), QStringLiteral("Sheet2"));
    tree.setExpanded(0, true);
    ASSERT_EQ(treeModel.rowCount(), 1);
    const QModelIndex root = treeModel.index(0, 0);
    EXPECT_EQ(treeModel.rowCount(root), 2);
    EXPECT_EQ(treeModel.index(1, 0, root).data().toString(), QStringLiteral("Sheet2"));
    EXPECT_EQ(treeModel.parent(treeModel.index(1, 0, root)), root);
    EXPECT_EQ(treeModel.expandedIndexes(), QModelIndexList({root}));

    list.addColumnHeader(QStringLiteral("rec"));
    list.addColumnHeader(QStringLiteral("A"));
    list.addListItem(u" 1");
    list.addListSubItem(u"x");
    list.addListItem(u" 2");  // a short row: its second cell stays blank
    // Rows appear with the refresh, not before.
    EXPECT_EQ(listModel.rowCount(), 0);
    list.refresh();
    ASSERT_EQ(listModel.rowCount(), 2);
    EXPECT_EQ(listModel.columnCount(), 2);
    EXPECT_EQ(listModel.headerData(1, Qt::Horizontal).toString(), QStringLiteral("A"));
    EXPECT_EQ(listModel.index(0, 1).data().toString(), QStringLiteral("x"));
    EXPECT_EQ(listModel.index(1, 0).data().toString(), QStringLiteral(" 2"));
    EXPECT_EQ(listModel.index(1, 1).data().toString(), QString());

    list.clearColumnHeaders();
    list.clearListItems();
    tree.clear();
    EXPECT_EQ(listModel.rowCount(), 0);
    EXPECT_EQ(treeModel.rowCount(), 0);
}

}  // namespace
}  // namespace korvane
