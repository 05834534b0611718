#pragma once

#include "plotter/Plotter.h"
#include "shell/InfoWidget.h"
#include "widgets/CSplitter.h"
#include "widgets/GWidget.h"

#include <memory>
#include <string>

namespace sor {
class SORParser;
}

// A tab that shows one .sor file: the panels on the left, the trace chart on the right.
class SORTab : public GWidget {
    Q_OBJECT
public:
    explicit SORTab(QWidget* parent = nullptr);
    ~SORTab() override;

    sor::SORParser* parser = nullptr; ///< owned
    CSplitter mainSplitter;
    InfoWidget info;
    Plotter plotter;

    /// Parses and shows the file; false (after telling the user) when it cannot be parsed.
    bool display(std::wstring path, bool advanced);
    /// The same without any dialog: false and the parser's error text when the file cannot be parsed.
    bool load(std::wstring path, bool advanced, QString* error);

    /// The message box text for a file that cannot be parsed.
    static QString failureText(const QString& path, const std::string& errorText);
};
