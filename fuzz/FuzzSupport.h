#ifndef CUBEFRAY_FUZZ_FUZZSUPPORT_H
#define CUBEFRAY_FUZZ_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A fuzz target checks what the code promises, not only that it survives: a broken promise
// stops the run like a crash, so the fuzzer keeps the input that broke it.
inline void promise(bool kept, const char* what) {
    if (!kept) {
        std::fprintf(stderr, "Broken promise: %s\n", what);
        std::abort();
    }
}

// The fuzzer's bytes read front to back; past the end every byte reads 0.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool empty() const { return position >= size; }
    uint8_t byte() { return empty() ? 0 : data[position++]; }
    // Up to count bytes, fewer at the end.
    std::string bytes(size_t count) {
        size_t taken = count < size - position ? count : size - position;
        std::string text(reinterpret_cast<const char*>(data + position), taken);
        position += taken;
        return text;
    }

  private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

// A small arena: a floor, a block to climb and a pillar to bump into, all inside a world small
// enough that a body walking for a second meets its edge.
inline std::string smallMapText() {
    const int columns = 6, rows = 4, depths = 6;
    std::string text = "6 4 6 ";
    for (int x = 0; x < columns; ++x) {
        for (int y = 0; y < rows; ++y) {
            for (int z = 0; z < depths; ++z) {
                bool floor = y == 0;
                bool block = y == 1 && x == 1 && z == 4;
                bool pillar = y < 3 && x == 4 && z == 2;
                text += floor || block || pillar ? "1 1 " : "0 0 ";
            }
        }
    }
    return text;
}

#endif
