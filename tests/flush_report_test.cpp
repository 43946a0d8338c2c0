#include "app/flush_report.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ios>
#include <optional>
#include <sstream>
#include <string>

namespace {

using app::flush_report;

// Takes every write, but fails when flushed, the way a fully buffered
// standard output fails at the final flush; the failure sets errno.
class UnflushableBuffer : public std::stringbuf {
protected:
    int sync() override {
        errno = EPIPE;
        return -1;
    }
};

std::string write_error_line(int cause) {
    return std::string("car_report: write error: ") + std::strerror(cause) + '\n';
}

TEST(FlushReport, SaysNothingWhenEverythingWasWritten) {
    std::ostringstream out;
    out << "report\n";
    // A cause left over from earlier must not turn success into failure.
    errno = ENOSPC;
    EXPECT_EQ(flush_report(out), std::nullopt);
    EXPECT_EQ(out.str(), "report\n");
}

TEST(FlushReport, NamesTheCauseOfAFailedWrite) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    errno = ENOSPC;
    EXPECT_EQ(flush_report(out), write_error_line(ENOSPC));
}

TEST(FlushReport, NamesTheCauseOfAFailedFinalFlush) {
    UnflushableBuffer buffer;
    std::ostream out(&buffer);
    out << "report\n";
    errno = 0;
    EXPECT_EQ(flush_report(out), write_error_line(EPIPE));
}

// With no cause from the system, the line ends after "write error".
TEST(FlushReport, LeavesTheReasonOutWhenTheSystemGaveNone) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    errno = 0;
    EXPECT_EQ(flush_report(out), "car_report: write error\n");
}

} // namespace
