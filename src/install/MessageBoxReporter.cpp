#include "MessageBoxReporter.h"

#include <QMessageBox>

void MessageBoxReporter::report(QWidget* parent, const QString& message)
{
    QMessageBox::warning(parent, QStringLiteral("Install"), message, QMessageBox::Ok);
}
