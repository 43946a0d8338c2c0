#include "vehicle/car.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// Flushes the report and turns a failed write into a failure exit, the way
// Unix filters do: one line on standard error and a non-zero status, rather
// than a lost report with status 0.
int finish_report() {
    std::cout.flush();
    if (std::cout) {
        return EXIT_SUCCESS;
    }
    // The stream writes nothing more after its first failed write, so errno
    // still holds what that write set. It was cleared before the report, so a
    // value left from before then cannot be taken for the cause.
    const int cause = errno;
    std::string message = "car_report: write error";
    if (cause != 0) {
        message += ": ";
        message += std::strerror(cause);
    }
    message += '\n';
    // One insertion into the unbuffered stream, so the line goes out in one write.
    std::cerr << message;
    return EXIT_FAILURE;
}

} // namespace

int main() {
    using vehicle::Car;

    Car car1(1999, "Lamborghini", "234", 1550);
    Car car2(1920, "Fiat", "136p", 2552);
    Car car3(2018, "Tesla", "2.0", 25525);

    errno = 0;

    // Grouped by operation, not by car: all descriptions, then all drives,
    // then all verdicts.
    car1.display_info();
    car2.display_info();
    car3.display_info();

    car1.drive(200);
    car2.drive(300);
    car3.drive(400);

    car1.isold();
    car2.isold();
    car3.isold();

    return finish_report();
}
