// The one QApplication of a widget test program, made on first use.
#pragma once

#include <QApplication>

namespace vantu::testing {

inline QApplication& QtTestApp() {
    static int argc = 1;
    static char name[] = "vantu_widget_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt objects must not outlive it during static teardown.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace vantu::testing
