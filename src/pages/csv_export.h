// The CSV exports of the history page and the trend windows: a file is written whole
// or not at all, and a failure is told to the operator instead of passing unseen.
#pragma once

#include <QString>

#include <string>

class QWidget;

namespace vantu {

// Writes through a temporary file renamed over `path`; the reason on failure, else empty.
QString WriteCsvFile(const QString& path, const std::string& csv);
// Asks where to save, then writes; a failure shows a warning box naming the file.
void ExportCsv(QWidget* parent, const std::string& csv);

}  // namespace vantu
