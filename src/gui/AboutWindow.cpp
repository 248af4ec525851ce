#include "AboutWindow.h"
#include "app/Dialogs.h"
#include "HeaderBand.h"
#include "app/Shell.h"
#include "app/Version.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutWindow::AboutWindow(QWidget *parent) : QDialog(parent)
{
    QVBoxLayout *body = addHeaderAndBody(this, QStringLiteral("AboutWindow"), QStringLiteral("About"), QStringLiteral("View program information..."),
                                         QStringLiteral(":/icons/tapeweld.svg"));
    auto *version = new QLabel(QStringLiteral("Tapeweld"), this);
    version->setObjectName(QStringLiteral("ProgramVersion"));
    version->setText(QStringLiteral("Tapeweld ") + Version::text());
    QFont big = version->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    version->setFont(big);
    auto *legal = new QLabel(QStringLiteral("Joins AVI files without re-encoding.\nFree to use and to pass on unchanged; "
                                            "provided as is, without any warranty."),
                             this);
    legal->setWordWrap(true);
    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *link = new QLabel(QStringLiteral("<a href='%1'>%1</a>").arg(Version::kWebAddress), this);
    link->setObjectName(QStringLiteral("LinkLabel"));
    connect(link, &QLabel::linkActivated, this, [](const QString &url) { Shell::open(url); });
    body->addWidget(version);
    body->addWidget(legal);
    body->addWidget(line);
    body->addWidget(link);
    body->addStretch();
    QPushButton *credits = namedButton(QStringLiteral("cmdCredits"), QStringLiteral("&Credits"), this);
    connect(credits, &QPushButton::clicked, this, &AboutWindow::cmdCredits_Click);
    QPushButton *close = namedButton(QStringLiteral("CloseButton"), QStringLiteral("&Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    credits->setAutoDefault(false);
    close->setDefault(true); // Enter closes, as in the other small windows
    addButtonRow(body, {credits}, {close});
    resize(400, 260);
}

QString AboutWindow::creditsText()
{
    return QStringLiteral("Tapeweld uses portions of the following products:\r\n\r\nMEncoder, for fixing corrupt AVI files.\r\n\r\n"
                          "More information about the above products is available upon request.");
}

void AboutWindow::cmdCredits_Click() { Dialogs::message(creditsText(), Dialogs::Icon::Information); }
