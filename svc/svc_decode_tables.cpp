#include "svc/svc_decode_tables.h"

#include <algorithm>

namespace svc {

SvcDevice* SvcDeviceTable::row(long long row) {
    if (row < 1 || row > maxRow) {
        return nullptr;
    }
    return &rows[static_cast<std::size_t>(row)];
}

const SvcDevice* SvcDeviceTable::row(long long row) const {
    return const_cast<SvcDeviceTable*>(this)->row(row);
}

SvcDevice* SvcDeviceTable::findByNumberWord(int word) {
    const int last = std::min(deviceCount, maxRow);
    for (int k = 1; k <= last; ++k) {
        if (rows[static_cast<std::size_t>(k)].devNumberWord == word) {
            return &rows[static_cast<std::size_t>(k)];
        }
    }
    return nullptr;
}

const SvcDevice* SvcDeviceTable::findByNumberWord(int word) const {
    return const_cast<SvcDeviceTable*>(this)->findByNumberWord(word);
}

SvcMapEntry* SvcMapTable::storeRow(long long row) {
    if (row < 1 || row > maxRow) {
        return nullptr;
    }
    storedCount = std::max(storedCount, static_cast<int>(row));
    return &rows[static_cast<std::size_t>(row)];
}

}  // namespace svc
