#pragma once

#include "QuietFd.h"

namespace sortest {

// Standard output and standard error go to /dev/null while it lives: the reader's progress lines would drown a
// test that opens thousands of files. Test failures must be reported after it is gone.
class QuietStdio {
    QuietFd out { STDOUT_FILENO };
    QuietFd err { STDERR_FILENO };
};

} // namespace sortest
