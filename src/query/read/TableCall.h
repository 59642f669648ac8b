#pragma once

#include "query/read/RowBlock.h"
#include "sap/ReadModule.h"
#include "shell/BiText.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class RfcDestination;
class RfcFunction;
class RfcTable;

// One call of a read module (RFC_READ_TABLE unless told otherwise): builds it from a request,
// runs it, and cuts its lines by the offsets the system returns in FIELDS, never by the
// request: newer systems order fields by the dictionary and give packed numbers one character
// more than the dictionary says.
class TableCall
{
public:
    struct Request {
        QString table;
        QStringList fields;  // FIELDNAME rows; none: every field
        QStringList options; // TEXT rows
        qint64 rowCount = 0; // 0: every row
        qint64 rowSkips = 0;
        QString delimiter = QStringLiteral(" "); // a blank: values side by side
        bool noData = false;
    };

    enum class Outcome {
        Done,
        Failed,         // the system raised an exception
        OutOfResources, // it ran out of memory or time: a smaller request may pass
        // A system failure whose words tell nothing Zorv knows (a dump in another language, a
        // fault with its text elsewhere, a dropped connection): a smaller request may pass.
        SystemFailure,
        Cancelled,
        // The answer cannot be right (rows in a table other than the one it names, lines wider
        // than its table): problem() says why.
        Refused,
    };

    using LineSink = std::function<void(QStringView line)>;

    explicit TableCall(RfcDestination& destination, const std::atomic<bool>* cancel = nullptr,
                       ReadModule module = {});
    ~TableCall();

    // Hands each DATA line to the sink as it arrives.
    Outcome run(const Request& request, const LineSink& sink);
    // Keeps the DATA lines in the block (emptied first).
    Outcome run(const Request& request, RowBlock& block);

    const QString& exception() const;
    const BiText& message() const;
    const BiText& problem() const { return m_problem; }
    // The last run failed on the way to the system, not in it.
    bool connectionLost() const;
    const ReadModule& module() const { return m_module; }
    // FIELDS as the system returned it.
    const RfcTable& fields() const;

    // Where each named field sits in a DATA line, matched by name in the returned FIELDS (a
    // name asked twice takes its second description). With no description at all the values
    // are taken side by side in the given lengths. False, with the reason, when the system
    // described some fields but not one of these.
    bool slotsFor(const QStringList& names, const std::vector<int>& lengths,
                  std::vector<RowBlock::Slot>& places, BiText* why) const;

    static bool outOfResources(const QString& exception, const QString& message);

private:
    // Checks each line against the width of the table it came in.
    void watchRows(const QString& name, int width, const LineSink& sink);
    bool answerHolds();
    int widthOf(const QString& table) const; // the line width of a table rows come in

    RfcDestination& m_destination;
    const std::atomic<bool>* m_cancel;
    ReadModule m_module;
    std::unique_ptr<RfcFunction> m_function;
    BiText m_problem;
    QString m_filled;     // the first table rows came in
    bool m_mixed = false; // rows came in more than one table
    qsizetype m_widest = 0;
    QString m_widestIn;
};
