#include "gui/WidgetDialogs.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

// The save dialogs (output, Save List) use a name typed without an extension exactly as typed.
TEST(WidgetDialogs, ASavedNameIsUsedExactlyAsTyped)
{
    TestEnvironment env;
    WidgetDialogs dialogs;
    for (const QString &filter : {QStringLiteral("AVI File|*.avi"), QStringLiteral("TPW Files|*.tpw")}) {
        QTimer::singleShot(0, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<QFileDialog *>(w)) {
                    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("joined"));
                    QMetaObject::invokeMethod(dialog, "accept");
                }
        });
        EXPECT_EQ(dialogs.saveFile({QStringLiteral("Save"), env.root(), filter}), env.root() + QStringLiteral("/joined")) << filter.toStdString();
    }
}
