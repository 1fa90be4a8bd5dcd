#include <gtest/gtest.h>

#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane {
namespace {

TEST(TreePane, ChildrenFollowTheirRootInDisplayOrder) {
    TreePane tree;
    const int tables = tree.addRoot(QStringLiteral("テーブル"), QStringLiteral("テーブル"));
    const int queries =
        tree.addRoot(QStringLiteral("選択クエリー"), QStringLiteral("選択クエリー"));
    tree.addChild(QStringLiteral("テーブル"), QStringLiteral("Big"));
    tree.addChild(QStringLiteral("選択クエリー"), QStringLiteral("qryTokyo"));
    tree.addChild(QStringLiteral("テーブル"), QStringLiteral("Customers"));
    EXPECT_EQ(tree.addChild(QStringLiteral("nothing"), QStringLiteral("lost")), -1);
    tree.setBold(tables, true);
    tree.setExpanded(tree.find(QStringLiteral("テーブル")), true);

    QStringList texts;
    for (int node : tree.displayOrder()) {
        texts.append(tree.nodes()[static_cast<size_t>(node)].text);
    }
    EXPECT_EQ(texts, QStringList({"テーブル", "Big", "Customers", "選択クエリー", "qryTokyo"}));
    EXPECT_TRUE(tree.nodes()[static_cast<size_t>(tables)].bold);
    EXPECT_TRUE(tree.nodes()[static_cast<size_t>(tables)].expanded);
    EXPECT_FALSE(tree.nodes()[static_cast<size_t>(queries)].expanded);
    // Children carry no key, so looking up an empty key finds nothing.
    EXPECT_EQ(tree.find(QString()), -1);
}

class TwoColumnSource : public ListRowSource {
public:
    QStringList subItems(int64_t row, int maxCount) const override {
        QStringList all = {QStringLiteral("r%1").arg(row), QStringLiteral("x"),
                           QStringLiteral("extra")};
        return all.mid(0, maxCount);
    }
};

TEST(ListPane, KeepsEveryTextWhateverItsLength) {
    ListPane list;
    const QString longText(5'000'000, QChar(u'東'));  // larger than one arena block
    const QStringList texts = {
        QString(), QStringLiteral("a"),         QStringLiteral("日本語"),
        longText,  QStringLiteral("tab\there"), QString::fromUtf16(u"\U0001F600")};
    for (int row = 0; row < 3; ++row) {
        list.addListItem(QStringLiteral(" %1").arg(row + 1));
        for (const QString& t : texts) {
            list.addListSubItem(t);
        }
    }
    ASSERT_EQ(list.itemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list.itemText(row), QStringLiteral(" %1").arg(row + 1));
        EXPECT_EQ(list.subItems(row), texts);
    }
}

TEST(ListPane, SourcedRowsAreNumberedAndCutToTheColumnCount) {
    ListPane list;
    list.addListItem(u" 1");
    list.addListSubItem(u"first");
    list.addSourcedListItems(std::make_shared<TwoColumnSource>(), 1000, 2, 2);
    list.addListItem(u"last");
    ASSERT_EQ(list.itemCount(), 1002);
    EXPECT_EQ(list.subItems(0), QStringList({"first"}));
    EXPECT_EQ(list.itemText(1), QStringLiteral(" 2"));
    EXPECT_EQ(list.subItems(1), QStringList({"r0", "x"}));
    EXPECT_EQ(list.itemText(1000), QStringLiteral(" 1001"));
    EXPECT_EQ(list.subItems(1000), QStringList({"r999", "x"}));
    EXPECT_EQ(list.itemText(1001), QStringLiteral("last"));
    EXPECT_TRUE(list.subItems(1001).isEmpty());
    EXPECT_TRUE(list.subItems(5000).isEmpty());

    list.clearListItems();
    EXPECT_EQ(list.itemCount(), 0);
}

TEST(ListPane, ClearsAndRefreshReachTheListener) {
    ListPane list;
    std::vector<ListPane::Change> seen;
    list.setChangeListener([&](ListPane::Change c) { seen.push_back(c); });
    list.clearColumnHeaders();
    list.addColumnHeader(QStringLiteral("rec"));
    list.clearListItems();
    list.addListItem(u" 1");
    list.refresh();
    EXPECT_EQ(seen,
              (std::vector<ListPane::Change>{ListPane::Change::Cleared, ListPane::Change::Cleared,
                                             ListPane::Change::Refreshed}));
}

}  // namespace
}  // namespace korvane
