// A fault LeakSanitizer must catch: memory that is never freed.
int main() {
    int* lost = new int(42);
    const int value = *lost;
    lost = nullptr;
    return value - 42;
}
