#include "engine/change/changing_keys.h"

#include <algorithm>

namespace brenvik {

bool ChangingKeys::holds(RegKey key) const {
    return key != kNoKey && std::find(m_keys.begin(), m_keys.end(), key) != m_keys.end();
}

void ChangingKeys::closeKey(RegKey key) {
    m_keys.erase(std::remove(m_keys.begin(), m_keys.end(), key), m_keys.end());
    m_registry.closeKey(key);
}

}  // namespace brenvik
