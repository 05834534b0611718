#pragma once

#include <QSplitter>
#include <QSplitterHandle>

// Splitter whose mouse side buttons reach the main window (it switches tabs with them).
class CSplitter : public QSplitter {
    Q_OBJECT
public:
    using QSplitter::QSplitter;

protected:
    QSplitterHandle* createHandle() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Handle of a CSplitter; passes the side buttons on like its splitter.
class CSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
