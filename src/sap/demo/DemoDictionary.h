#pragma once

#include <QHash>
#include <QString>
#include <QVector>

// The demo system's data dictionary: its tables and fields with SAP's names, types, lengths,
// decimals, key flags and texts in English and Portuguese.
class DemoDictionary
{
public:
    struct Field {
        QString name;
        QString dataType; // CHAR, NUMC, DATS, CURR, ...
        int length = 0;
        int decimals = 0;
        bool key = false;
        QString letter; // the ABAP type letter: C N D T P I X F
        QString textEn;
        QString textPt;

        QString text(bool portuguese) const { return portuguese ? textPt : textEn; }
        QString sqlType() const;
    };

    struct Table {
        QString name;
        QString tabclass; // TRANSP, INTTAB
        QString textEn;
        QString textPt;
        QVector<Field> fields;

        bool clientDependent() const;
        const Field* field(const QString& name) const;
        bool isStructure() const { return tabclass == u"INTTAB"; }
    };

    static constexpr int kWideColumns = 997; // ZWIDE: client, row number and these: 999 fields

    static const DemoDictionary& instance();

    const QVector<Table>& tables() const { return m_tables; }
    const Table* table(const QString& name) const;
    // Data element texts by name (English, Portuguese).
    const QHash<QString, std::pair<QString, QString>>& dataElements() const { return m_elements; }
    static QString letterFor(const QString& dataType);

private:
    DemoDictionary();
    // The dictionary as text: "=NAME English|Portuguese" lines of data elements, then for each
    // table an "@NAME CLASS English|Portuguese" line and its field lines.
    static const char* elementLines();
    static const char* tableLines();
    void addWideTable();

    QVector<Table> m_tables;
    QHash<QString, int> m_index;
    QHash<QString, std::pair<QString, QString>> m_elements;
};
