#pragma once

#include "query/read/ReadPlan.h"

class QMimeData;

// What a drag of fields carries from the field list or within My Table: each field's key,
// type, length and text.
class FieldDrag
{
public:
    static const QString kFormat;

    static QMimeData* encode(const QVector<ReadPlan::Field>& fields);
    static QVector<ReadPlan::Field> decode(const QMimeData* data);
};
