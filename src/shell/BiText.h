#pragma once

#include <QAnyStringView>
#include <QString>

#include <type_traits>
#include <utility>

// A text the user sees, in English and in Portuguese. Texts with one form carry it twice.
struct BiText {
    QString en;
    QString pt;

    // No text converts to one by itself: a QString where a BiText is due must say which form.
    BiText() = default;
    BiText(QString english, QString portuguese) : en(std::move(english)), pt(std::move(portuguese))
    {
    }

    static BiText same(const QString& text) { return {text, text}; }
    bool operator==(const BiText&) const = default;
    BiText operator+(const QString& tail) const { return {en + tail, pt + tail}; }
    BiText operator+(const BiText& tail) const { return {en + tail.en, pt + tail.pt}; }
    // Fills both forms at once; give numbers as text, so that no argument is taken for a width.
    template <typename... Args> BiText arg(const Args&... args) const
    {
        static_assert(sizeof...(Args) == 1 || (std::is_convertible_v<Args, QAnyStringView> && ...),
                      "QString::arg would take a number after the first argument for a width");
        return {en.arg(args...), pt.arg(args...)};
    }
    bool isEmpty() const { return en.isEmpty(); }
};
