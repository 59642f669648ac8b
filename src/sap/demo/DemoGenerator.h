#pragma once

#include <QString>

#include <functional>

// Builds the demo system's database from the dictionary and a fixed-seed generator, so every
// build of it holds the same rows. The scale multiplies the large tables.
class DemoGenerator
{
public:
    static constexpr int kVersion = 4;

    struct Counts {
        long customers, vendors, materials, salesOrders, itemsPerOrder, documents, linesPerDocument;
    };

    static Counts countsFor(int scale);
    // Writes a new database at path (replacing any file there only when complete).
    static bool build(const QString& path, int scale, QString* error,
                      const std::function<void(const QString&)>& progress = {});
};
