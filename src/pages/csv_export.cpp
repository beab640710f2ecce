#include "pages/csv_export.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSaveFile>

namespace vantu {

QString WriteCsvFile(const QString& path, const std::string& csv) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) !=
            static_cast<qint64>(csv.size()) ||
        !file.commit()) {
        return file.errorString();
    }
    return {};
}

void ExportCsv(QWidget* parent, const std::string& csv) {
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("匯出 CSV"), QString(),
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    const QString error = WriteCsvFile(path, csv);
    if (!error.isEmpty()) {
        QMessageBox::warning(parent, QStringLiteral("匯出 CSV"),
                             QStringLiteral("無法寫入 %1 : %2").arg(path, error));
    }
}

}  // namespace vantu
