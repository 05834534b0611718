#pragma once

#include <QHeaderView>
#include <QTreeWidget>

// Tree whose mouse side buttons reach the main window; its header is a CHeaderView. Its rows copy as text
// (Ctrl+C, context menu), and a cell cut short shows its whole text as tool tip.
class CTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTreeWidget(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Header that passes the mouse side buttons on to its tree.
class CHeaderView : public QHeaderView {
    Q_OBJECT
public:
    using QHeaderView::QHeaderView;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
