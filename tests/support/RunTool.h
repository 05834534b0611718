#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

// A command line tool run through the shell: its exit status and standard output, standard error dropped.
struct ToolRun {
    int status = -1;
    std::string out;
};

inline ToolRun runTool(const std::string& command)
{
    ToolRun r;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return r;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        r.out.append(buffer, n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }
