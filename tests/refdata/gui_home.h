#pragma once
// The shipped home of the reference-data tests with a QApplication, for the
// windows and dialogs driven offscreen.

#include "shipped_home.h"

#include <QApplication>

namespace refdata::testing {

class GuiHome : public ShippedHome {
protected:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "refdata_gui_tests";
        static char* argv[] = {name, nullptr};
        if (!qApp)
            new QApplication(argc, argv);
        ShippedHome::SetUp();
    }
};

} // namespace refdata::testing
