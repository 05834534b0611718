#pragma once

#include "compare/MultiInfoWidget.h"
#include "compare/MultiPlotter.h"
#include "widgets/CSplitter.h"
#include "widgets/GWidget.h"

#include <QStringList>

#include <string>

// A tab that compares several .sor files: trace list, event table and readings on the left, the chart on the right.
class SORMultiTab : public GWidget {
    Q_OBJECT
public:
    explicit SORMultiTab(QWidget* parent = nullptr);

    // Destroyed in reverse: the chart first, so its traces can still take their rows out of the list.
    CSplitter splitter;
    MultiInfoWidget infoWidget;
    MultiPlotter plotter;

    /// Parses one file and adds it; false (after telling the user) when it cannot be parsed.
    bool display(std::wstring path);
    /// The same without any dialog: false and the message text when the file cannot be parsed.
    bool load(std::wstring path, QString* error);
    /// Adds the files that the chart does not show yet, in order; failures are told and skipped.
    void _addPaths(const QStringList& paths);
    /// Whether a trace of the chart was read from exactly this path.
    bool isShown(const std::wstring& path) const;

    static QString failureText(const QString& path, const std::string& errorText);

public Q_SLOTS:
    void addPlots();

Q_SIGNALS:
    /// A trace's "View": its file in a single-trace tab of its own.
    void openFileRequested(const QString& path);
};
