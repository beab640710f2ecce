// The CSV exports of the history page and the trend windows: a file is written whole
// or not at all, and a failure is told to the operator instead of passing unseen.
#pragma once

#include <QDate>
#include <QString>

#include <memory>
#include <string>

class QFileDialog;
class QWidget;

namespace vantu {

// The name an export proposes: "<yyyy-mm-dd>-<subject>.csv".
QString DefaultCsvName(const QDate& day, const QString& subject);
// The save dialog of an export, proposing `name` in the station directory. A name
// typed without a suffix gets ".csv" before the dialog asks about overwriting it.
std::unique_ptr<QFileDialog> CsvSaveDialog(QWidget* parent, const QString& name);
// Writes through a temporary file renamed over `path`; the reason on failure, else empty.
QString WriteCsvFile(const QString& path, const std::string& csv);
// Asks where to save, proposing today's DefaultCsvName, then writes; a failure shows a
// warning box naming the file. The history page exports the alarms.
void ExportCsv(QWidget* parent, const std::string& csv,
               const QString& subject = QStringLiteral("alarms"));

}  // namespace vantu
