#pragma once

#include <cmath>

// Window measures are kept in twips (1/1440 inch) and shown in pixels at the screen's resolution.
class Twips
{
public:
    static constexpr double kPerInch = 1440.0;

    static int toPixels(double twips, double dotsPerInch)
    {
        return static_cast<int>(std::lround(twips * dotsPerInch / kPerInch));
    }
    static double fromPixels(int pixels, double dotsPerInch)
    {
        return pixels * kPerInch / dotsPerInch;
    }
};
