#include <QApplication>
#include "compat/CheckCompatibility.h"
#include "list/UpdateListTotals.h"

#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    setStatusCheck(&CheckCompatibility); // as start-up does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
