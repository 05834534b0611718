#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the program is asked to do on its command line. Read before the application object exists, so that the
// help, the version and usage errors need no display; Qt's own options (-platform, -style, ...) are accepted and
// left to Qt, which takes them out when the application object is made.
struct CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    enum Action {
        OpenWindow, ///< start the window and open `paths` once it is up
        Exit, ///< print `output` and `error`, end with `exitCode`, no window
        Report, ///< write the report of `paths` to `reportOutput`, no window
    };

    Action action = OpenWindow;
    QStringList paths; ///< files and folders, in the order given, made absolute
    QString reportOutput; ///< the PDF to write, as given
    bool fibre = false; ///< --fibre: the files are one fibre's (both ends, any wavelengths)
    bool byFibre = false; ///< --by-fibre: the folder's cable judged fibre by fibre
    int exitCode = 0;
    QString output; ///< for standard output
    QString error; ///< for standard error

    /// Exit status of a command line the program cannot follow.
    static constexpr int usageError = 2;

    /// `arguments` as the program got them, its own path first; relative paths are taken from the current
    /// directory.
    static CommandLine parse(const QStringList& arguments);
    /// Usage, every option and the file arguments.
    static QString helpText();
    static QString versionText();
};
