#include "query/document/PrintFile.h"

#include "shell/DesktopServices.h"
#include "shell/EightBitText.h"
#include "shell/Texts.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include <algorithm>

namespace
{
QString blanks(qsizetype count)
{
    return QString(std::max<qsizetype>(count, 0), u' ');
}
} // namespace

QStringList PrintFile::fieldLines(const QVector<FieldLine>& fields)
{
    qsizetype w1 = 0;
    qsizetype w2 = 0;
    for (const FieldLine& field : fields) {
        w1 = std::max(w1, field.key.size());
        w2 = std::max(w2, field.text.size());
    }
    QStringList lines;
    lines.append(QStringLiteral("COL FIELDNAME") + blanks(w1 - 8) + QStringLiteral("FIELDTEXT") +
                 blanks(w2 - 8) + QStringLiteral("TYPE LENGTH"));
    lines.append(QString());
    int number = 1;
    for (const FieldLine& field : fields) {
        lines.append(QStringLiteral("%1 ").arg(number++, 3, 10, QChar(u'0')) + field.key +
                     blanks(w1 + 1 - field.key.size()) + field.text +
                     blanks(w2 + 1 - field.text.size()) + field.type + blanks(4) +
                     QString::number(field.length));
    }
    return lines;
}

QString PrintFile::pathIn(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kFileName));
}

bool PrintFile::write(const QString& path, const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    const QByteArray bytes = EightBitText::encode(text);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void PrintFile::showPrintFile(DesktopServices& services, const QString& path)
{
    QFile file(path);
    const bool readable = file.open(QIODevice::ReadOnly);
    file.close();
    if (!readable || !services.desktop().openUrl(QUrl::fromLocalFile(path)))
        services.desktop().message(Texts::get(TextId::NoFile).en);
}
