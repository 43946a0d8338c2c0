#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace app {

// Flushes the report written to `out` and says whether all of it went out.
// Returns nothing when it did, and otherwise the line for standard error:
// "car_report: write error: <reason>\n", the reason being strerror(errno),
// or "car_report: write error\n" when errno is 0. Clear errno before the
// report, so that only its own writes can set it.
std::optional<std::string> flush_report(std::ostream& out);

} // namespace app
