#pragma once

#include <QString>

// A text the user sees, in English and in Portuguese. Texts with one form carry it twice.
struct BiText {
    QString en;
    QString pt;

    static BiText same(const QString& text) { return {text, text}; }
    bool operator==(const BiText&) const = default;
    BiText operator+(const QString& tail) const { return {en + tail, pt + tail}; }
};
