#pragma once

#include "shell/BiText.h"

#include <QTime>

class Language;

// The greeting by time of day and the welcome text of the status bar.
class Greeting
{
public:
    // Compared by the "HH:MM" text: up to 12:00 morning, then afternoon, from 18:00 evening.
    static BiText forTime(const QTime& time);
    static QString text(const QTime& time, const Language& language);
    static QString welcome(const QTime& time, const QString& userName, const Language& language);
};
