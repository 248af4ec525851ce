#pragma once
#include <QWidget>
class QBoxLayout;
class QDialog;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The white band at the top of the small windows: title, one-line
// description and a picture (HeaderText, HeaderSubText, HeaderImage).
class HeaderBand : public QWidget
{
    Q_OBJECT
public:
    HeaderBand(const QString &title, const QString &subText, const QString &svgResource, QWidget *parent = nullptr);
    void setSubText(const QString &text);
    QString subText() const;

private:
    QLabel *m_sub;
};

// The small windows' frame: names the window, captions it with the title,
// puts the header band on top and returns the body below it.
QVBoxLayout *addHeaderAndBody(QDialog *dialog, const QString &objectName, const QString &title, const QString &subText,
                              const QString &svgResource);
QPushButton *namedButton(const QString &objectName, const QString &caption, QWidget *parent);
// Buttons at the right of a row; widgets before the stretch stay at the left.
void addButtonRow(QBoxLayout *body, const QList<QWidget *> &left, const QList<QWidget *> &right);
