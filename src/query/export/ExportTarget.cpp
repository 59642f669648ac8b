#include "query/export/ExportTarget.h"

#include "shell/FaultTexts.h"
#include "shell/Texts.h"

#include <QFileInfo>

BiText ExportTarget::unfit(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    const BiText text = Texts::get(TextId::ExportNotAFile);
    return {text.en.arg(path), text.pt.arg(path)};
}

BiText ExportTarget::writeFailure(const QString& path, const QString& reason)
{
    return reason.isEmpty() || reason == u"Unknown error"
               ? FaultTexts::get(FaultText::WriteIncomplete).arg(path)
               : BiText::same(reason);
}
