#pragma once
#include <QWidget>
class QLabel;

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
