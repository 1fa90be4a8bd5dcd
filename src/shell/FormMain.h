#pragma once
// The program's main window: menus, toolbar, the tree and list panes with their splitter, and
// the status bar. It keeps its place in the settings store and turns each command into a call
// of the open dispatch, the export or a dialog.

#include <QList>
#include <QMainWindow>
#include <QUrl>
#include <memory>

#include "shell/PaneLayout.h"
#include "shell/WindowSettings.h"

class QAction;
class QTreeView;
class QToolBar;

namespace korvane {

class FileDropListView;
class ListPane;
class ListPaneModel;
class MainStatusBar;
class SplitterGrip;
class TreePane;
class TreePaneModel;

class FormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FormMain(QWidget* parent = nullptr);
    ~FormMain() override;

    // The commands; the menus and the toolbar run exactly these.
    void menuFileOpen_Click();
    void menuFileConvert_Click();
    void menuFileExit_Click();
    void menuHelpVersion_Click();
    void Toolbar1_ButtonClick(const QString& key);
    // A drop on the list pane: the first file only, and only when it is an existing ordinary
    // file; anything else is ignored without a word.
    void ListView1_OLEDragDrop(const QList<QUrl>& files);
    // The first path given on the command line is opened as if chosen with File > Open: a path
    // that is not there gets the open dispatch's message.
    void OpenCommandLinePaths(const QStringList& paths);

    // The layout as it stands, in twips, for the splitter and for checks.
    const PanePlaces& panePlaces() const { return m_places; }
    double splitPosition() const { return m_places.splitter.left; }
    // Where the drag bar stands (its left edge, in twips) while it is shown.
    bool splitterDragging() const { return m_splitterDragging; }
    double dragBarLeft() const { return m_dragBar.left; }

    TreePane& treePane() { return *m_treePane; }
    ListPane& listPane() { return *m_listPane; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildPanes();
    void Form_Load();
    void fitRestoredOuterSize();
    void Form_Unload();
    void Form_Resize();
    void SizeControls(double& x);
    void applyPlaces();
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(int xPixels);
    void imgSplitter_MouseUp();
    void openPath(const QString& path);
    void expandReportedNodes();
    double outerWidthTwips() const;

    std::unique_ptr<TreePane> m_treePane;
    std::unique_ptr<ListPane> m_listPane;
    TreePaneModel* m_treeModel = nullptr;
    ListPaneModel* m_listModel = nullptr;

    QWidget* m_client = nullptr;
    QToolBar* m_toolbar1 = nullptr;
    QTreeView* m_treeView1 = nullptr;
    FileDropListView* m_listView1 = nullptr;
    SplitterGrip* m_imgSplitter = nullptr;
    QWidget* m_picSplitter = nullptr;
    MainStatusBar* m_statusBar1 = nullptr;

    PanePlaces m_places = DesignPanePlaces();
    TwipRect m_dragBar;
    bool m_splitterDragging = false;
    // The stored outer size, in pixels, until the window's frame is known and taken off it.
    QSize m_outerSizeToRestore;
};

}  // namespace korvane
