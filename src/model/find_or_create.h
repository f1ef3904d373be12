#pragma once

#include <iterator>
#include <map>

namespace tavrelo {

// The one operation through which every collection of the model is read and written: the element
// under `key`, created with its class's constructor when there is none. Nothing is ever erased.
//
// The walk fills collections in ascending key order, so the last element is checked first; that
// keeps filling a collection linear without changing what the operation returns.
template <class Key, class Value>
Value& find_or_create(std::map<Key, Value>& map, Key key) {
    if (!map.empty()) {
        auto last = std::prev(map.end());
        if (last->first == key) return last->second;
        if (last->first < key) return map.emplace_hint(map.end(), key, Value{})->second;
    }
    auto it = map.lower_bound(key);
    if (it != map.end() && it->first == key) return it->second;
    return map.emplace_hint(it, key, Value{})->second;
}

}  // namespace tavrelo
