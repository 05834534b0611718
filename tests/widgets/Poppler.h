#pragma once

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Reads PDFs back with poppler's command-line tools (Debian's poppler-utils).
namespace Poppler {

inline bool available()
{
    for (const char* tool : { "pdfinfo", "pdftotext", "pdftoppm", "pdfimages" })
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    return true;
}

inline QString run(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int pages(const QString& pdf)
{
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", { pdf }));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

/// The text of pages first..last (all when 0); raw: in the order it was drawn, not in columns.
inline QString text(const QString& pdf, int first = 0, int last = 0, bool raw = false)
{
    QStringList arguments;
    if (raw)
        arguments << "-raw";
    if (first > 0)
        arguments << "-f" << QString::number(first) << "-l" << QString::number(last > 0 ? last : first);
    return run("pdftotext", arguments << pdf << "-");
}

/// Page number rendered at dpi.
inline QImage render(const QString& pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    run("pdftoppm",
        { "-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page), "-png", "-singlefile",
            pdf, prefix });
    return QImage(prefix + ".png");
}

/// Sizes in pixels of the raster images the PDF holds.
inline QList<QSize> images(const QString& pdf)
{
    QList<QSize> sizes;
    const QStringList lines = run("pdfimages", { "-list", pdf }).split('\n');
    for (const QString& line : lines) {
        const QStringList fields = line.simplified().split(' ');
        bool page = false;
        if (fields.size() > 4 && (fields[0].toInt(&page), page))
            sizes << QSize(fields[3].toInt(), fields[4].toInt());
    }
    return sizes;
}

} // namespace Poppler
