#pragma once
// Small widgets of the main window: the list view that takes dropped files, the splitter's
// grab area, and the status bar whose date and time panels keep current.

#include <QList>
#include <QStatusBar>
#include <QTreeView>
#include <QUrl>

class QLabel;
class QTimer;

namespace korvane {

// The report list view; a drop that carries files hands their URLs on, anything else is
// refused.
class FileDropListView : public QTreeView {
    Q_OBJECT
public:
    explicit FileDropListView(QWidget* parent = nullptr);

signals:
    void filesDropped(const QList<QUrl>& files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The splitter's grab area. Positions are in pixels from the grip's left edge.
class SplitterGrip : public QWidget {
    Q_OBJECT
public:
    explicit SplitterGrip(QWidget* parent = nullptr);

signals:
    void mouseDown();
    void mouseMove(int x);
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Panel 1 the path last opened, panel 2 today's date, panel 3 the time of day.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit MainStatusBar(QWidget* parent = nullptr);

    void setPathText(const QString& path);
    QString panelText(int panel) const;  // 1, 2 or 3

private:
    void showClock();
    QLabel* m_panels[3];
    QTimer* m_clock;
};

}  // namespace korvane
