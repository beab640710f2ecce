#include "gui/desktop_setup.h"

#include <QApplication>
#include <QByteArray>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

#include "widgets/accessible_widgets.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>

namespace vantu {

DisplayProbe::DisplayProbe() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland")) {
        return;
    }
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return;
    }
    display_ = XOpenDisplay(nullptr);
    available_ = display_ != nullptr;
}

DisplayProbe::~DisplayProbe() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

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
