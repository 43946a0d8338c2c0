#pragma once

#include <cstdint>
#include <string>

namespace vehicle {

// The record of one car. Each reporting operation writes exactly one line to
// standard output; nothing is validated, so any year or odometer reading,
// negative ones included, is kept as given.
class Car {
public:
    // Brand and model are taken by value: the car keeps its own copies and
    // the caller's strings are left as they were.
    Car(std::int32_t year, std::string brand, std::string model, std::int32_t kms_driven);

    // Writes "brand: <brand> model: <model> Production year: <year> Kms driven: <kms>".
    void display_info() const;

    // Adds a positive distance to the odometer, then writes the reading.
    // A distance of zero or below changes nothing; a reading that would pass
    // the largest representable value stops there instead of wrapping.
    void drive(std::int32_t distance);

    // Writes whether the car counts as old: built in 2004 or earlier.
    void isold() const;

private:
    // The trailing underscore leaves the plain names to the constructor's
    // parameters, which -Wshadow would reject if they hid these fields.
    std::int32_t year_ = 0;
    std::string brand_;
    std::string model_;
    std::int32_t kms_driven_ = 0;
};

} // namespace vehicle
