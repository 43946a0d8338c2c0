#include "vehicle/car.hpp"

#include <iostream>
#include <limits>
#include <utility>

namespace vehicle {

namespace {

// Cars built in this year or earlier count as old; the current date plays no part.
constexpr std::int32_t last_old_year = 2004;

} // namespace

Car::Car(std::int32_t year, std::string brand, std::string model, std::int32_t kms_driven)
    : year_(year), brand_(std::move(brand)), model_(std::move(model)), kms_driven_(kms_driven) {}

void Car::display_info() const {
    // Lines end with '\n', not std::endl: no line is flushed on its own, so
    // the stream's buffering decides when the text goes out.
    std::cout << "brand: " << brand_ << ' ' << "model: " << model_ << ' '
              << "Production year: " << year_ << ' ' << "Kms driven: " << kms_driven_ << '\n';
}

void Car::drive(std::int32_t distance) {
    if (distance > 0) {
        constexpr std::int32_t max_reading = std::numeric_limits<std::int32_t>::max();
        // With distance > 0, max_reading - distance cannot overflow, and the
        // sum is only formed when it fits, whatever the sign of the reading.
        kms_driven_ = kms_driven_ > max_reading - distance ? max_reading : kms_driven_ + distance;
    }
    std::cout << "Samochod przejechal " << kms_driven_ << "kms\n";
}

void Car::isold() const {
    std::cout << (year_ > last_old_year ? "The car is pretty new " : "The car is old") << '\n';
}

} // namespace vehicle
