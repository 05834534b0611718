#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

// Under the event list: which events it shows, the file's or the program's own analysis, and the technician's edits
// of the latter. The tab decides what the buttons do.
class OwnEventsBar : public QWidget {
    Q_OBJECT
public:
    explicit OwnEventsBar(QWidget* parent = nullptr);

    enum Source { FileEvents = 0, OwnAnalysis = 1 };

    QComboBox source;
    QPushButton analyseButton;
    QPushButton addButton;
    QPushButton deleteButton;
    QLabel status;

    /// The switch offers the own analysis once there is one; the edit buttons work on it only.
    void update(bool analysed, bool showingOwn, bool busy);
};
