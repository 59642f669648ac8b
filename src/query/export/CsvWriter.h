#pragma once

#include "query/read/RowSink.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// The export file: two header lines (field keys, then descriptions), then one line per row.
// Values keep the text the system returns: padded to their field's length, but for the last of
// each run of fields read together, which ends its data line without trailing blanks, as the
// system sends it. A value holding the separator, a double quote or a line break is quoted as
// CSV does.
// The file replaces the old one only when it is complete; "-" writes to standard output.
class CsvWriter : public RowSink
{
public:
    enum class Encoding { WindowsCodePage, Utf8 };

    struct Settings {
        QString path;
        QString separator = QStringLiteral(";");
        Encoding encoding = Encoding::WindowsCodePage;
        QStringList keys;
        QStringList texts;
        std::vector<int> lengths;
        std::vector<bool> endsRun; // the last field of a run: no trailing blanks
        QStringList types;         // ABAP type letters, for trimming
        bool trim = false; // no padding: text without trailing blanks, numbers without leading
        // A cell that a spreadsheet would evaluate begins with an apostrophe, the mark of text.
        bool markFormulasAsText = false;
        std::FILE* standardOutput = stdout; // where "-" writes
    };

    explicit CsvWriter(Settings settings);
    ~CsvWriter() override;

    bool start() override;
    bool row(const QStringView* values, const char* present, int count) override;
    bool finish() override;
    void abandon() override;
    BiText error() const override { return m_error; }

    // Characters the code page cannot hold, written as "?".
    int lostCharacters() const { return m_lost; }

    // The value as one CSV field: quoted, with inner quotes doubled, when it holds the
    // separator, a double quote, a carriage return or a line feed.
    static QString quote(const QString& value, const QString& separator);
    static bool needsQuotes(QStringView value, const QString& separator);
    static QString headerLine(const QStringList& values, const QString& separator);
    // Whether a spreadsheet opening the file would take the value for a formula or mangle it:
    // it begins with "=", "+", "-", "@", a tab or a carriage return.
    static bool looksLikeFormula(QStringView value);
    // The value behind an apostrophe when it looks like a formula, else as it is.
    static QString markedAsText(const QString& value);

private:
    bool line(QStringView text);
    // Appends the text when it is ASCII and needs no quotes; false, with nothing appended, else.
    bool appendPlain(QStringView text);
    void appendText(QStringView text);
    // Room for that many more bytes at the end of what the buffer holds. The buffer's size is
    // its capacity; m_used says how much of it holds the file.
    char* room(qsizetype bytes)
    {
        if (m_buffer.size() < m_used + bytes)
            grow(bytes);
        return m_buffer.data() + m_used;
    }
    void grow(qsizetype bytes);
    void put(const char* bytes, qsizetype count)
    {
        std::memcpy(room(count), bytes, static_cast<size_t>(count));
        m_used += count;
    }
    bool flush();
    BiText failure() const;

    Settings m_settings;
    bool m_quoting;
    std::unique_ptr<QSaveFile> m_file;
    std::FILE* m_stream = nullptr;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    QByteArray m_scratch;
    QByteArray m_separatorBytes;
    char16_t m_separatorFirst = u';';
    BiText m_error;
    int m_lost = 0;
};
