#include "pages/csv_export.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QSaveFile>

namespace vantu {
namespace {

const QString kExportTitle = QStringLiteral("匯出 CSV");

}  // namespace

QString DefaultCsvName(const QDate& day, const QString& subject) {
    return QStringLiteral("%1-%2.csv").arg(day.toString(Qt::ISODate), subject);
}

std::unique_ptr<QFileDialog> CsvSaveDialog(QWidget* parent, const QString& name) {
    auto dialog = std::make_unique<QFileDialog>(parent, kExportTitle, QDir::currentPath(),
                                                QStringLiteral("CSV (*.csv)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->selectFile(name);
    return dialog;
}

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

void ExportCsv(QWidget* parent, const std::string& csv, const QString& subject) {
    const auto dialog = CsvSaveDialog(parent, DefaultCsvName(QDate::currentDate(), subject));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog->selectedFiles().constFirst();
    const QString error = WriteCsvFile(path, csv);
    if (!error.isEmpty()) {
        QMessageBox::warning(parent, kExportTitle,
                             QStringLiteral("無法寫入 %1 : %2").arg(path, error));
    }
}

}  // namespace vantu
