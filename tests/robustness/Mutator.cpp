#include "robustness/Mutator.h"

namespace korvane::robustness {

int Mutator::below(int bound) {
    if (bound <= 0) {
        return 0;
    }
    return static_cast<int>(m_random() % static_cast<uint32_t>(bound));
}

std::vector<Mutant> Mutator::mutate(const QByteArray& original, int count, int blockSize) {
    std::vector<Mutant> result;
    const int size = static_cast<int>(original.size());
    for (int i = 0; i < count; ++i) {
        Mutant m;
        switch (i % 4) {
            case 0: {  // truncated: at the very start, inside the header, or anywhere
                const int cuts[] = {0, 1, 8, blockSize / 2, blockSize, size / 2, size - 1};
                const int cut = i < 28 ? cuts[(i / 4) % 7] : below(size);
                m.bytes = original.left(std::max(0, cut));
                m.name = QStringLiteral("truncated at %1").arg(m.bytes.size());
                break;
            }
            case 1: {  // a few single bytes flipped
                m.bytes = original;
                const int flips = 1 + below(4);
                QStringList where;
                for (int f = 0; f < flips && size > 0; ++f) {
                    const int pos = below(size);
                    m.bytes[pos] = static_cast<char>(m.bytes[pos] ^ (1 << below(8)));
                    where.append(QString::number(pos));
                }
                m.name = QStringLiteral("bytes flipped at ") + where.join(u',');
                break;
            }
            case 2: {  // one block of zeros
                m.bytes = original;
                const int blocks = std::max(1, size / blockSize);
                const int start = below(blocks) * blockSize;
                const int length = std::min(blockSize, size - start);
                if (length > 0) {
                    m.bytes.replace(start, length, QByteArray(length, '\0'));
                }
                m.name = QStringLiteral("block zeroed at %1").arg(start);
                break;
            }
            default: {  // the header kept, garbage after it
                m.bytes = original.left(blockSize);
                const int garbage = below(std::max(1, size - blockSize));
                m.bytes.reserve(blockSize + garbage);
                for (int g = 0; g < garbage; ++g) {
                    m.bytes.append(static_cast<char>(m_random() & 0xFF));
                }
                m.name = QStringLiteral("header then %1 bytes of garbage").arg(garbage);
                break;
            }
        }
        result.push_back(std::move(m));
    }
    return result;
}

}  // namespace korvane::robustness
