#include "sor/SORParser.h"

#include <cstdio>
#include <iostream>

namespace sor {

namespace {
    // Six values a line, each followed by ", ", as a Python list body.
    void appendValues(std::string& out, const std::vector<double>& values)
    {
        char buffer[512];
        for (size_t i = 0; i < values.size(); ++i) {
            if (i % 6 == 0)
                out += '\t';
            std::snprintf(buffer, sizeof buffer, "%f", values[i]);
            out += buffer;
            out += ", ";
            if ((i + 1) % 6 == 0)
                out += '\n';
        }
    }
} // namespace

std::stringstream SORParser::stringstream()
{
    std::stringstream out;
    out << map.string() << "\n";
    out << gen.string() << "\n";
    out << sup.string() << "\n";
    out << fxd.string() << "\n";
    out << events.string() << "\n";
    out << data.string();
    return out;
}

std::string SORParser::string() { return stringstream().str(); }

void SORParser::print() { std::cout << string() << std::flush; }

std::string SORParser::getPythonListString()
{
    const auto& values = getXY();
    std::string out = "([\n";
    appendValues(out, values[0]);
    out += "\n],[\n";
    appendValues(out, values[1]);
    out += "\n])\n";
    return out;
}

} // namespace sor
