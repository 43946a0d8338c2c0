// A fault UndefinedBehaviorSanitizer must catch: a signed addition that overflows.
#include <limits>

int main(int argc, char** /*argv*/) {
    const int largest = std::numeric_limits<int>::max() - 1 + argc;
    return largest + argc > 0 ? 0 : 1;
}
