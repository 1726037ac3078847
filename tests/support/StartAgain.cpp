#include "support/StartAgain.h"

#include <cstdio>

namespace startagain {
namespace {

// Errors that another attempt would only repeat.
bool Lasting(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_EXE_FORMAT;
}

}  // namespace

bool Start(const std::function<bool()>& start, const std::string& what) {
    for (int attempt = 1;; ++attempt) {
        if (start()) return true;
        const DWORD error = GetLastError();
        if (Lasting(error)) return false;
        if (attempt == kAttempts) {
            std::fprintf(stderr, "[test support] %s: not started after %d attempts (error %lu)\n",
                         what.c_str(), kAttempts, error);
            std::fflush(stderr);
            SetLastError(error);
            return false;
        }
        std::fprintf(stderr,
                     "[test support] %s: Wine did not start it (error %lu); starting it again (%d of %d)\n",
                     what.c_str(), error, attempt + 1, kAttempts);
        std::fflush(stderr);
    }
}

}  // namespace startagain
