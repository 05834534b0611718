#pragma once

namespace analysis {

// Keeps the reader's lines off the terminal while many files are read in parallel: standard output points at
// /dev/null and std::cerr writes nowhere for as long as any Hold lives, for every thread of the process. Holds may
// overlap (two scans at once): the first one silences, the last one restores. A scan takes its Hold before its
// readers start and drops it after they have ended, on the GUI thread, so the streams never change under a reader.
// Lines written meanwhile by other code are lost too, which is why it is held only for the length of a scan.
// Standard error itself stays, so sanitizer and Qt warnings still show.
class QuietOutput {
public:
    class Hold {
    public:
        Hold() { QuietOutput::acquire(); }
        ~Hold() { QuietOutput::release(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    static bool active();

private:
    static void acquire();
    static void release();
};

} // namespace analysis
