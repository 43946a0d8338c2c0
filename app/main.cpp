#include "app/flush_report.hpp"
#include "vehicle/car.hpp"

#include <cerrno>
#include <cstdlib>
#include <iostream>

int main() {
    using vehicle::Car;

    Car car1(1999, "Lamborghini", "234", 1550);
    Car car2(1920, "Fiat", "136p", 2552);
    Car car3(2018, "Tesla", "2.0", 25525);

    // The cause of a failed write is read from errno at the end; clear what
    // start-up may have left there.
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

    // A report that could not be written is a failure, as in Unix filters:
    // one line on standard error and a non-zero status, not a silent loss.
    if (const auto error = app::flush_report(std::cout)) {
        // One insertion into the unbuffered stream, so the line goes out in one write.
        std::cerr << *error;
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
