// A fault AddressSanitizer must catch: a read one element past a heap array.
#include <memory>

int main(int argc, char** /*argv*/) {
    const auto cells = std::make_unique<int[]>(4);
    return cells[static_cast<unsigned>(argc) + 3U];
}
