#pragma once
#include <QDialog>

// Program name and version, a link to the web site, and the credits.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);
    void cmdCredits_Click();
    static QString creditsText();
};
