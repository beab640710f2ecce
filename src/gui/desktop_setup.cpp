#include "gui/desktop_setup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

#include "widgets/accessible_widgets.h"

namespace vantu {

void PrepareDesktop(QApplication& app) {
    InstallAccessibleWidgets();
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_TW"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        std::fputs(
            "vantu: Qt's Traditional Chinese texts (qtbase_zh_TW) not found; dialog "
            "buttons stay in English\n",
            stderr);
        delete translator;
    }
}

}  // namespace vantu
