#include "shell/FormMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <exception>

#include "platform/Twips.h"
#include "platform/UserInteraction.h"
#include "shell/AreaCommands.h"
#include "shell/DialogAbout.h"
#include "shell/FormMainWidgets.h"
#include "shell/ListPane.h"
#include "shell/PaneModels.h"
#include "shell/ProgramState.h"
#include "shell/ShellIcons.h"
#include "shell/ShellTexts.h"
#include "shell/TreePane.h"

namespace korvane {

namespace {

QAction* addCommand(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

// The available area of every screen, in twips, for checking a stored place.
std::vector<QRectF> screensInTwips() {
    std::vector<QRectF> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        screens.emplace_back(pixelsToTwips(area.x(), nullptr), pixelsToTwips(area.y(), nullptr),
                             pixelsToTwips(area.width(), nullptr),
                             pixelsToTwips(area.height(), nullptr));
    }
    return screens;
}

}  // namespace

FormMain::FormMain(QWidget* parent)
    : QMainWindow(parent),
      m_treePane(std::make_unique<TreePane>()),
      m_listPane(std::make_unique<ListPane>()) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Korvane Version 1.0"));
    setWindowIcon(WindowIcon());
    buildMenus();
    buildPanes();
    buildToolbar();
    Form_Load();
}

FormMain::~FormMain() {
    // The views go before the models and the panes they show.
    delete m_client;
    m_client = nullptr;
    delete m_treeModel;
    delete m_listModel;
}

void FormMain::buildMenus() {
    QMenu* menuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    menuFile->setObjectName(QStringLiteral("menuFile"));
    QAction* open = addCommand(menuFile, "menuFileOpen", QStringLiteral("開く(&O)"));
    QAction* convert = addCommand(menuFile, "menuFileConvert", QStringLiteral("変換(&C)"));
    menuFile->addSeparator()->setObjectName(QStringLiteral("sp1"));
    QAction* exitAction = addCommand(menuFile, "menuFileExit", QStringLiteral("終了(&X)"));
    QMenu* menuHelp = menuBar()->addMenu(QStringLiteral("補助(&H)"));
    menuHelp->setObjectName(QStringLiteral("menuHelp"));
    QAction* version = addCommand(menuHelp, "menuHelpVersion", QStringLiteral("バージョン(&V)"));

    connect(open, &QAction::triggered, this, [this] { menuFileOpen_Click(); });
    connect(convert, &QAction::triggered, this, [this] { menuFileConvert_Click(); });
    connect(exitAction, &QAction::triggered, this, [this] { menuFileExit_Click(); });
    connect(version, &QAction::triggered, this, [this] { menuHelpVersion_Click(); });
}

void FormMain::buildToolbar() {
    m_toolbar1 = new QToolBar(m_client);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setMovable(false);
    m_toolbar1->setFloatable(false);
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QAction* open = m_toolbar1->addAction(OpenIcon(), QStringLiteral("開く　"));
    open->setObjectName(QStringLiteral("open"));
    open->setToolTip(QStringLiteral("ファイルを開く"));
    m_toolbar1->addSeparator();
    QAction* convert = m_toolbar1->addAction(ConvertIcon(), QStringLiteral("変換"));
    convert->setObjectName(QStringLiteral("convert"));
    for (QAction* action : {open, convert}) {
        if (QWidget* button = m_toolbar1->widgetForAction(action)) {
            button->setObjectName(action->objectName());
        }
    }
    connect(m_toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->objectName()); });
}

void FormMain::buildPanes() {
    // The client area below the menu holds the toolbar, the panes and the status bar; the
    // layout places them itself, so its arithmetic stays that of the twips design.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    m_imgSplitter = new SplitterGrip(m_client);
    m_imgSplitter->setObjectName(QStringLiteral("imgSplitter"));

    m_treeView1 = new QTreeView(m_client);
    m_treeView1->setObjectName(QStringLiteral("TreeView1"));
    m_treeView1->setHeaderHidden(true);
    m_treeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Names are never cut: the one column is as wide as its longest name and the pane scrolls
    // sideways instead; an emptied tree has no width left, so the scroll bar goes with it.
    m_treeView1->header()->setStretchLastSection(false);
    m_treeView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_treeView1->setTextElideMode(Qt::ElideNone);
    m_treeModel = new TreePaneModel(*m_treePane);
    m_treeView1->setModel(m_treeModel);
    connect(m_treeModel, &TreePaneModel::expansionChanged, this, [this] { expandReportedNodes(); });

    m_listView1 = new FileDropListView(m_client);
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setRootIsDecorated(false);
    m_listView1->setItemsExpandable(false);
    m_listView1->setUniformRowHeights(true);
    m_listView1->setAllColumnsShowFocus(true);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->header()->setStretchLastSection(false);
    m_listModel = new ListPaneModel(*m_listPane);
    m_listView1->setModel(m_listModel);
    // Opening runs after the drop has finished, so the desktop's drag never waits on the
    // dialogs that the open shows.
    connect(
        m_listView1, &FileDropListView::filesDropped, this,
        [this](const QList<QUrl>& files) { ListView1_OLEDragDrop(files); }, Qt::QueuedConnection);

    // The grab area lies under the panes; only the gap between them shows it.
    m_imgSplitter->lower();

    m_picSplitter = new QWidget(m_client);
    m_picSplitter->setObjectName(QStringLiteral("picSplitter"));
    m_picSplitter->setAutoFillBackground(true);
    QPalette grey = m_picSplitter->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    m_picSplitter->setPalette(grey);
    m_picSplitter->hide();

    m_statusBar1 = new MainStatusBar(m_client);
    m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));

    connect(m_imgSplitter, &SplitterGrip::mouseDown, this, [this] { imgSplitter_MouseDown(); });
    connect(m_imgSplitter, &SplitterGrip::mouseMove, this,
            [this](int x) { imgSplitter_MouseMove(x); });
    connect(m_imgSplitter, &SplitterGrip::mouseUp, this, [this] { imgSplitter_MouseUp(); });
    applyPlaces();
}

void FormMain::Form_Load() {
    const WindowGeometry stored = KeepOnSomeScreen(ReadWindowGeometry(), screensInTwips());
    move(twipsToPixels(stored.left, nullptr), twipsToPixels(stored.top, nullptr));
    // The stored size is the outer one, borders and title included. Until the desktop has put
    // its frame round the window the inner size is all there is to set; the frame is taken off
    // once it is known, so a window does not grow by its frame at every start.
    m_outerSizeToRestore =
        QSize(twipsToPixels(stored.width, nullptr), twipsToPixels(stored.height, nullptr));
    resize(m_outerSizeToRestore);
    InitProgramState();
    if (const auto& load = areaCommands().load) {
        load();  // the column-letter table
    }
}

void FormMain::fitRestoredOuterSize() {
    if (!m_outerSizeToRestore.isValid() || windowState() != Qt::WindowNoState) {
        return;
    }
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) {
        return;  // no frame yet (or none at all: then the inner size already is the outer one)
    }
    const QSize inner = m_outerSizeToRestore - frame;
    m_outerSizeToRestore = QSize();
    resize(inner);
}

void FormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    fitRestoredOuterSize();
}

void FormMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // Under X11 the frame arrives after the window is shown, and moves the window into it.
    fitRestoredOuterSize();
}

void FormMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FormMain::Form_Unload() {
    if (isMinimized()) {
        return;
    }
    // A maximized window is saved with the place and size it reports while maximized.
    const QRect outer = frameGeometry();
    WindowGeometry geometry;
    geometry.left = pixelsToTwips(outer.x(), nullptr);
    geometry.top = pixelsToTwips(outer.y(), nullptr);
    geometry.width = pixelsToTwips(outer.width(), nullptr);
    geometry.height = pixelsToTwips(outer.height(), nullptr);
    SaveWindowGeometry(geometry);
}

void FormMain::menuFileOpen_Click() {
    FileDialogRequest request;
    request.title = QStringLiteral("ファイル名の指定");
    request.filters = {QStringLiteral("CSVファイル (*.csv)"), QStringLiteral("txtファイル (*.txt)"),
                       QStringLiteral("Excelファイル (*.xls)"),
                       QStringLiteral("MDBファイル (*.mdb)")};
    request.folder = QCoreApplication::applicationDirPath();
    request.fileName = QString();
    const std::optional<QString> chosen = userInteraction().openFileName(request);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    openPath(*chosen);
}

void FormMain::menuFileConvert_Click() {
    const auto& convert = areaCommands().convert;
    if (!convert) {
        return;
    }
    try {
        convert();
    } catch (const std::exception& error) {
        ShowMessage(textOf(ShellMessage::CannotExport, {QString::fromLocal8Bit(error.what())}));
    }
}

void FormMain::menuFileExit_Click() {
    close();
}

void FormMain::menuHelpVersion_Click() {
    DialogAbout dialog(this);
    userInteraction().runModal(dialog);
}

void FormMain::Toolbar1_ButtonClick(const QString& key) {
    if (key == QLatin1String("open")) {
        menuFileOpen_Click();
    } else if (key == QLatin1String("convert")) {
        menuFileConvert_Click();
    }
}

void FormMain::ListView1_OLEDragDrop(const QList<QUrl>& files) {
    if (files.isEmpty()) {
        return;
    }
    const QUrl& first = files.constFirst();
    const QString path = first.isLocalFile() ? first.toLocalFile() : QString();
    if (!OrdinaryFileExists(path)) {
        return;
    }
    openPath(path);
}

void FormMain::OpenCommandLinePaths(const QStringList& paths) {
    if (paths.isEmpty() || paths.constFirst().isEmpty()) {
        return;  // nothing named
    }
    // The first path goes through the open dispatch like one chosen with File > Open, so a path
    // that is not there gets its message; further paths are ignored.
    const QString& first = paths.constFirst();
    QString path = first;
    if (first.startsWith(QLatin1String("file:"))) {
        const QUrl address(first);  // a launcher that passes addresses instead of paths
        path = address.isLocalFile() ? address.toLocalFile() : first;
    } else {
        path = QFileInfo(first).absoluteFilePath();
    }
    openPath(path);
}

void FormMain::openPath(const QString& path) {
    m_statusBar1->setPathText(path);
    try {
        OpenFile(path, *m_treePane, *m_listPane);
    } catch (const std::exception& error) {
        // The last line of defence: a fault below must not end the program.
        ShowMessage(
            textOf(ShellMessage::CannotOpenFile, {path, QString::fromLocal8Bit(error.what())}));
    }
    // A loader that stopped half-way did not refresh; show what it has put in so far.
    m_listModel->sync();
    expandReportedNodes();
}

void FormMain::expandReportedNodes() {
    for (const QModelIndex& index : m_treeModel->expandedIndexes()) {
        m_treeView1->expand(index);
    }
}

}  // namespace korvane
