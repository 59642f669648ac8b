#pragma once

class Language;
class QObject;

// Sets the captions and tool tips of the caption table on the controls below a window.
class CaptionApplier
{
public:
    static void apply(QObject* root, const Language& language);
};
