#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// A fixed-seed generator (splitmix64) and the demo values drawn from it: the same database on
// every machine.
class DemoRandom
{
public:
    explicit DemoRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
    }
    double amount(double max, int decimals);
    // YYYYMMDD; sometimes SAP's empty date "00000000" where mayBeEmpty.
    QString date(bool mayBeEmpty);
    // HHMMSS
    QString time();
    // A company name that tests an export: separators, quotes and accented letters.
    QString companyName(long n);

private:
    std::uint64_t m_state;
};
