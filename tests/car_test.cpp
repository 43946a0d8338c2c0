#include "vehicle/car.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>

namespace {

using vehicle::Car;
using namespace std::string_literals;

constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();

// Names each case of a table after its `name` field, so a failure says which row broke.
template <typename Case>
std::string case_name(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// A string buffer that counts how often it is asked to sync, that is how
// often the stream writing into it is flushed.
class CountingBuffer : public std::stringbuf {
public:
    [[nodiscard]] int syncs() const { return syncs_; }

protected:
    int sync() override {
        ++syncs_;
        return std::stringbuf::sync();
    }

private:
    int syncs_ = 0;
};

// Redirects std::cout into a string for the length of a test, so each test
// sees exactly the bytes the operations under test wrote.
class CarOutput : public ::testing::Test {
protected:
    void SetUp() override { saved_ = std::cout.rdbuf(&captured_); }
    void TearDown() override { std::cout.rdbuf(saved_); }

    // Returns what was written since the last call and starts afresh.
    std::string take() {
        std::string text = captured_.str();
        captured_.str({});
        return text;
    }

    // How often std::cout has been flushed since the test began.
    [[nodiscard]] int flushes() const { return captured_.syncs(); }

private:
    CountingBuffer captured_;
    std::streambuf* saved_ = nullptr;
};

TEST_F(CarOutput, ConstructingAndDestroyingWritesNothing) {
    { const Car car(1920, "Fiat", "136p", 2552); }
    EXPECT_EQ(take(), "");
}

TEST_F(CarOutput, KeepsItsOwnCopiesOfTheCallersStrings) {
    std::string brand = "Fiat";
    std::string model = "136p";
    const Car car(1920, brand, model, 2552);
    EXPECT_EQ(brand, "Fiat");
    EXPECT_EQ(model, "136p");

    // Changing the caller's strings afterwards must not reach the car.
    brand = "Tesla";
    model = "2.0";
    car.display_info();
    EXPECT_EQ(take(), "brand: Fiat model: 136p Production year: 1920 Kms driven: 2552\n");
}

struct DescriptionCase {
    const char* name;
    std::int32_t year;
    std::string brand;
    std::string model;
    std::int32_t kms_driven;
    std::string expected;

    friend void PrintTo(const DescriptionCase& c, std::ostream* os) { *os << c.name; }
};

class Description : public CarOutput, public ::testing::WithParamInterface<DescriptionCase> {};

TEST_P(Description, WritesOneLineWithEveryField) {
    const DescriptionCase& c = GetParam();
    const Car car(c.year, c.brand, c.model, c.kms_driven);
    car.display_info();
    EXPECT_EQ(take(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cars, Description,
    ::testing::Values(
        DescriptionCase{"ModelThatLooksLikeANumber", 2018, "Tesla", "2.0", 25525,
                        "brand: Tesla model: 2.0 Production year: 2018 Kms driven: 25525\n"},
        // The separator space still follows an empty value, doubling the spaces.
        DescriptionCase{"EmptyBrandAndModel", 1999, "", "", 0,
                        "brand:  model:  Production year: 1999 Kms driven: 0\n"},
        DescriptionCase{"NegativeNumbers", -44, "Fiat", "126p", int_min,
                        "brand: Fiat model: 126p Production year: -44 Kms driven: -2147483648\n"},
        // Brand and model are bytes, printed whole: an embedded NUL does not
        // cut them short and non-ASCII bytes pass through unchanged.
        DescriptionCase{"EmbeddedNulAndNonAsciiBytes", 1978, "Sko\0da"s, "\xC5\xBBuk \xff", 7,
                        "brand: Sko\0da model: \xC5\xBBuk \xff Production year: 1978 "
                        "Kms driven: 7\n"s}),
    case_name<DescriptionCase>);

struct DriveCase {
    const char* name;
    std::int32_t start;
    std::int32_t distance;
    std::string expected;

    friend void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.name; }
};

class Drive : public CarOutput, public ::testing::WithParamInterface<DriveCase> {};

TEST_P(Drive, ReportsTheReadingAfterDriving) {
    const DriveCase& c = GetParam();
    Car car(1920, "Fiat", "136p", c.start);
    car.drive(c.distance);
    EXPECT_EQ(take(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Distances, Drive,
    ::testing::Values(
        DriveCase{"PositiveDistanceIsAdded", 2552, 300, "Samochod przejechal 2852kms\n"},
        DriveCase{"SmallestPositiveDistanceIsAdded", 2552, 1, "Samochod przejechal 2553kms\n"},
        DriveCase{"ZeroChangesNothing", 2552, 0, "Samochod przejechal 2552kms\n"},
        DriveCase{"NegativeChangesNothing", 2552, -300, "Samochod przejechal 2552kms\n"},
        DriveCase{"MostNegativeChangesNothing", 2552, int_min, "Samochod przejechal 2552kms\n"},
        DriveCase{"NegativeReadingGrows", -100, 30, "Samochod przejechal -70kms\n"},
        // Near the top the reading stops at the largest value instead of wrapping.
        DriveCase{"ReachesTheTopExactly", int_max - 100, 100,
                  "Samochod przejechal 2147483647kms\n"},
        DriveCase{"SaturatesOneAboveTheTop", int_max - 100, 101,
                  "Samochod przejechal 2147483647kms\n"},
        DriveCase{"SaturatesFromTheTop", int_max, int_max, "Samochod przejechal 2147483647kms\n"},
        // The guard must not overflow either when the reading is negative.
        DriveCase{"LowestReadingLongestDistance", int_min, int_max, "Samochod przejechal -1kms\n"},
        DriveCase{"NegativeReadingLongestDistance", -1, int_max,
                  "Samochod przejechal 2147483646kms\n"}),
    case_name<DriveCase>);

TEST_F(CarOutput, RepeatedDrivesAccumulate) {
    Car car(1999, "Lamborghini", "234", 1550);
    car.drive(200);
    car.drive(-50);
    car.drive(250);
    car.drive(0);
    EXPECT_EQ(take(), "Samochod przejechal 1750kms\n"
                      "Samochod przejechal 1750kms\n"
                      "Samochod przejechal 2000kms\n"
                      "Samochod przejechal 2000kms\n");

    // Driving changes the reading that the description shows too.
    car.display_info();
    EXPECT_EQ(take(), "brand: Lamborghini model: 234 Production year: 1999 Kms driven: 2000\n");
}

TEST_F(CarOutput, ReadingStaysAtTheTopOnceSaturated) {
    Car car(2018, "Tesla", "2.0", int_max - 1);
    car.drive(5);
    car.drive(5);
    EXPECT_EQ(take(), "Samochod przejechal 2147483647kms\n"
                      "Samochod przejechal 2147483647kms\n");
}

// No line is flushed on its own: the stream's buffering decides when the
// report goes out, so a run can write it in one go.
TEST_F(CarOutput, OperationsNeverFlush) {
    Car car(1920, "Fiat", "136p", 2552);
    car.display_info();
    EXPECT_EQ(flushes(), 0) << "display_info flushed std::cout";
    car.drive(300);
    EXPECT_EQ(flushes(), 0) << "drive flushed std::cout";
    car.isold();
    EXPECT_EQ(flushes(), 0) << "isold flushed std::cout";
}

struct VerdictCase {
    const char* name;
    std::int32_t year;
    std::string expected;

    friend void PrintTo(const VerdictCase& c, std::ostream* os) { *os << c.name; }
};

class Verdict : public CarOutput, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(Verdict, JudgesAgeAgainstTheYear2004) {
    const VerdictCase& c = GetParam();
    const Car car(c.year, "Fiat", "136p", 2552);
    car.isold();
    EXPECT_EQ(take(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Years, Verdict,
    ::testing::Values(VerdictCase{"LastOldYear", 2004, "The car is old\n"},
                      // The "new" verdict keeps its trailing space before the newline.
                      VerdictCase{"FirstNewYear", 2005, "The car is pretty new \n"},
                      VerdictCase{"NegativeYearIsOld", -1, "The car is old\n"},
                      VerdictCase{"LowestYearIsOld", int_min, "The car is old\n"},
                      VerdictCase{"HighestYearIsNew", int_max, "The car is pretty new \n"}),
    case_name<VerdictCase>);

} // namespace
