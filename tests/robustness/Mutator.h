#pragma once
// Damaged copies of good files, made with a fixed seed so every run tries the same ones.

#include <QByteArray>
#include <QString>
#include <random>
#include <vector>

namespace korvane::robustness {

struct Mutant {
    QString name;  // how it was made, for the report
    QByteArray bytes;
};

class Mutator {
public:
    explicit Mutator(uint32_t seed) : m_random(seed) {}

    // `count` mutants of `original`, cycling through truncation, flipped bytes, zeroed blocks
    // of `blockSize` bytes, and a valid header followed by garbage.
    std::vector<Mutant> mutate(const QByteArray& original, int count, int blockSize);

private:
    int below(int bound);
    std::mt19937 m_random;
};

}  // namespace korvane::robustness
