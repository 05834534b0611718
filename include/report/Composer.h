#pragma once

#include "report/Pages.h"

#include <QString>

#include <functional>

namespace report {

/// A part of a page drawn from a top edge (when the sheet has a painter); returns the height it takes. It must take
/// the same height whether it paints or only measures.
using Section = std::function<double(const Sheet& sheet, double top)>;
/// The header of a table, the same; continued on the pages after the table's first.
using Header = std::function<double(const Sheet& sheet, double top, bool continued)>;
/// One row of a table, the same.
using Row = std::function<double(const Sheet& sheet, double top, int row)>;

/// The texts of every page's footer.
struct Frame {
    QString program; ///< the program's name and version
    QString made; ///< when the report was made
};

// Lays a report out on pages: a section that does not fit below the one before starts a new page; a table goes on
// on the next page below its header repeated. A report is composed twice, first to count the pages, then to paint
// them, so that every footer can say "Page N of M"; the composing function adds its sections in order each time and
// may load what it shows anew for each pass.
class Composer {
public:
    /// Sections and tables are placed from here on.
    void section(const Section& section);
    void table(const Header& header, const Row& row, int rows);
    /// The next section starts on a new page (nothing happens on an empty page).
    void pageBreak();
    /// The running header of the pages from here on (and of the current page while it is empty).
    void heading(const QString& text);

    /// Whether this pass paints; the first only measures.
    bool painting() const { return sheet.painter != nullptr; }
    /// Whether the report was cancelled: what is added from now on is not placed.
    bool cancelled() const { return stopped; }

    using Compose = std::function<void(Composer&)>;
    /// Told of every section and table row placed: how many so far and of how many (-1 while the pages are
    /// planned); returns false to cancel the report.
    using Progress = std::function<bool(int done, int total)>;
    /// Plans and paints the pages of a report; false when the target could not be painted on or the report was
    /// cancelled.
    static bool paint(
        const Compose& compose, PageTarget& target, const Frame& frame, const Progress& progress = Progress());

private:
    Composer(PageTarget* target, const Frame& frame, int pageCount, const Progress& progress, int items);
    void startPage();
    void finishPage();
    /// Moves to a new page unless the current one is empty.
    void breakPage();
    bool empty() const { return y <= sheet.content.top(); }
    bool fits(double height) const { return y + height <= sheet.content.bottom(); }
    void placed();

    PageTarget* target = nullptr; ///< null while measuring
    Frame frame;
    Sheet sheet;
    QRectF page;
    int pageCount = 0; ///< known while painting
    int pageIndex = -1;
    double y = 0;
    QString currentHeading;
    QString pageHeading;
    bool failed = false;
    Progress progress;
    int items = 0; ///< sections and rows placed in this pass
    int itemCount = -1; ///< of the whole report, known while painting
    bool stopped = false;
};

} // namespace report
