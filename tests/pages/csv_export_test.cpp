#include "pages/csv_export.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFileInfo>

#include "qt_test_app.h"

namespace vantu {
namespace {

TEST(CsvExport, ProposesTheDatedNameAndAddsTheSuffixOnlyWhereNoneIsTyped) {
    testing::QtTestApp();
    EXPECT_EQ(DefaultCsvName(QDate(2026, 12, 7), "alarms"), "2026-12-07-alarms.csv");
    const auto dialog = CsvSaveDialog(nullptr, "2026-12-07-alarms.csv");
    const auto saved = [&] { return QFileInfo(dialog->selectedFiles().value(0)).fileName(); };
    EXPECT_EQ(saved(), "2026-12-07-alarms.csv");
    for (const auto& [typed, name] :
         {std::pair{"shift", "shift.csv"}, {"shift.txt", "shift.txt"}}) {
        dialog->selectFile(typed);
        EXPECT_EQ(saved(), name) << typed;
    }
}

}  // namespace
}  // namespace vantu
