#pragma once

#include <functional>
#include <string>
#include <vector>

namespace analysis {

struct ListedFile {
    std::string path; ///< the folder joined with relative
    std::string relative; ///< "/"-separated, below the folder
};

/// True when the name ends in ".sor" in any letter case.
bool hasSorExtension(const std::string& name);

/// Every regular file in the folder and its subfolders whose name has the .sor extension, in natural order of the
/// relative paths. Symbolic links are followed, but no folder is entered twice, so link loops end; unreadable
/// folders are passed over. The listing stops early, with what it has, once stop returns true.
std::vector<ListedFile> listSorFiles(const std::string& folder, const std::function<bool()>& stop = {});

} // namespace analysis
