#pragma once

#include "RowSink.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;
class QTemporaryFile;

// The export as an Excel workbook: row 1 the field keys, row 2 the descriptions (both frozen,
// an autofilter on the descriptions), then a row per record with cells by dictionary type:
// character and numeric text as text (leading zeros kept), packed and whole numbers as numbers
// with the value's decimals, dates and times as date and time cells, an empty date as an empty
// cell, and a packed value that overflowed (the "*" the system sends) as marked text. Rows
// beyond a sheet's million continue on "NAME (2)". Written with constant memory; the file
// replaces the old one only when it is complete.
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
        int rowsPerSheet = 1048576; // lines, the two header lines included
    };

    explicit XlsxWriter(Settings settings);
    ~XlsxWriter() override;

    bool start() override;
    bool row(const QStringView* values, const char* present, int count) override;
    bool finish() override;
    void abandon() override;
    QString error() const override { return m_error; }

    int sheets() const { return m_sheets; }

    // Days since the spreadsheet's day zero for "YYYYMMDD", or a negative number when the text
    // is no date.
    static double serialDate(QStringView yyyymmdd);
    // The fraction of a day for "HHMMSS", or a negative number when the text is no time.
    static double serialTime(QStringView hhmmss);
    // A value as the system writes packed numbers ("  1234.50-"): the number and its decimals;
    // false when it is no number (an overflow, say).
    static bool packedNumber(QStringView text, double* number, int* decimals);

private:
    bool newSheet();
    bool fail(const QString& what);
    lxw_format* numberFormat(int decimals);

    Settings m_settings;
    std::unique_ptr<QTemporaryFile> m_file;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_header = nullptr;
    lxw_format* m_date = nullptr;
    lxw_format* m_time = nullptr;
    lxw_format* m_overflow = nullptr;
    std::vector<lxw_format*> m_numbers;
    QByteArray m_sheetNameBytes;
    int m_sheets = 0;
    int m_row = 0; // the next line of the sheet
    QString m_error;
    QByteArray m_utf8;
};
