#pragma once

#include "query/read/RowSink.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QSaveFile;
class ZipWriter;

// The export as an Excel workbook: row 1 the field keys, row 2 the descriptions (both frozen,
// an autofilter on the descriptions), then a row per record with cells by dictionary type:
// character and numeric text as text (leading zeros kept), packed and whole numbers as numbers
// with the value's decimals, dates and times as date and time cells, an empty date as an empty
// cell, and a packed value that overflowed (the "*" the system sends) as marked text. Rows
// beyond a sheet's million, or beyond what one sheet's part can hold, continue on "NAME (2)".
// The sheets stream into the file as the rows come, so memory stays flat; the file replaces the
// old one only when it is complete.
class XlsxWriter : public RowSink
{
public:
    struct Settings {
        QString path;
        QString sheetName;
        QStringList keys;
        QStringList texts;
        QStringList types; // the ABAP type letter of each field
        std::vector<int> lengths;
        int rowsPerSheet = 1048576;           // lines, the two header lines included
        qint64 bytesPerSheet = 4'000'000'000; // a sheet's part stays below the archive's 4 GB
    };

    explicit XlsxWriter(Settings settings);
    ~XlsxWriter() override;

    bool start() override;
    bool row(const QStringView* values, const char* present, int count) override;
    bool finish() override;
    void abandon() override;
    BiText error() const override { return m_error; }

    int sheets() const { return m_sheets; }

private:
    enum class Kind : char { Text, Packed, Number, Date, Time };

    bool newSheet();
    void endSheet();
    QString lastColumn() const; // "J": the filter's last column; empty without columns
    bool fail(const BiText& what);
    void cell(int column, bool placed, int style, const char* type);
    void textCell(int column, bool placed, QStringView value, int style);
    void numberCell(int column, bool placed, double value, int style);

    Settings m_settings;
    std::vector<Kind> m_kinds;
    std::vector<std::string> m_columnNames; // "A", "B", ...
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<ZipWriter> m_zip;
    QStringList m_sheetNames;
    QList<int> m_lastLines; // of each sheet written
    int m_sheets = 0;
    int m_row = 0; // the next line of the sheet, from 0
    BiText m_error;
    std::string m_xml; // the row being written
};
