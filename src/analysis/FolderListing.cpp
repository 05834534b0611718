#include "analysis/FolderListing.h"

#include "analysis/SummaryTable.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace analysis {

bool hasSorExtension(const std::string& name)
{
    if (name.size() < 4)
        return false;
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && std::tolower(static_cast<unsigned char>(tail[1])) == 's'
        && std::tolower(static_cast<unsigned char>(tail[2])) == 'o'
        && std::tolower(static_cast<unsigned char>(tail[3])) == 'r';
}

std::vector<ListedFile> listSorFiles(const std::string& folder, const std::function<bool()>& stop)
{
    std::vector<ListedFile> files;
    std::set<std::pair<dev_t, ino_t>> visited;
    // Folders still to read: the path and its "/"-terminated part below the folder.
    std::vector<std::pair<fs::path, std::string>> pending;
    const auto enter = [&](const fs::path& dir, std::string relative) {
        struct stat info { };
        if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return;
        if (visited.insert({ info.st_dev, info.st_ino }).second)
            pending.emplace_back(dir, std::move(relative));
    };
    enter(fs::path(folder), std::string());

    size_t seen = 0;
    while (!pending.empty()) {
        if (stop && stop())
            return files;
        const auto [dir, relative] = std::move(pending.back());
        pending.pop_back();
        std::error_code ec;
        fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            if (++seen % 1024 == 0 && stop && stop())
                return files;
            const fs::path& entry = it->path();
            const std::string name = entry.filename().string();
            struct stat info { };
            if (::stat(entry.c_str(), &info) != 0)
                continue; // a dangling link
            if (S_ISDIR(info.st_mode))
                enter(entry, relative + name + "/");
            else if (S_ISREG(info.st_mode) && hasSorExtension(name))
                files.push_back({ entry.string(), relative + name });
        }
    }
    if (stop && stop())
        return files;
    std::sort(files.begin(), files.end(),
        [](const ListedFile& a, const ListedFile& b) { return naturalLess(a.relative, b.relative); });
    return files;
}

} // namespace analysis
