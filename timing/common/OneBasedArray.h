#pragma once
// A small array indexed from 1, the way the window keeps the chosen Tq counts and
// prescaler values: entry i belongs to entry i - 1 of the step-3 drop-down list.
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace quillon {
inline namespace common {

template <typename T> class OneBasedArray {
public:
    OneBasedArray() = default;
    explicit OneBasedArray(std::vector<T> values) : m_values(std::move(values)) {}

    // Entry i, 1 <= i <= size(); out of range throws std::out_of_range.
    const T& operator()(std::size_t i) const { return m_values.at(i - 1); }
    T& operator()(std::size_t i) { return m_values.at(i - 1); }

    std::size_t size() const { return m_values.size(); }
    bool empty() const { return m_values.empty(); }
    const std::vector<T>& values() const { return m_values; }

    friend bool operator==(const OneBasedArray& a, const OneBasedArray& b) {
        return a.m_values == b.m_values;
    }

private:
    std::vector<T> m_values;
};

} // namespace common
} // namespace quillon
