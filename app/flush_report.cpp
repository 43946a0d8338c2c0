#include "app/flush_report.hpp"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace app {

std::optional<std::string> flush_report(std::ostream& out) {
    out.flush();
    if (out) {
        return std::nullopt;
    }
    // The stream writes nothing more after its first failed write, so errno
    // still holds what that write set.
    const int cause = errno;
    std::string line = "car_report: write error";
    if (cause != 0) {
        line += ": ";
        line += std::strerror(cause);
    }
    line += '\n';
    return line;
}

} // namespace app
