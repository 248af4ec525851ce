#pragma once
#include <QPixmap>
#include <QWidget>

// A picture that acts as a button: the pressed picture while any mouse button
// is down, the normal one after release; released(button) comes before clicked().
class ImageButton : public QWidget
{
    Q_OBJECT
public:
    ImageButton(const QString &objectName, const QString &svgResource, const QString &toolTip, QWidget *parent = nullptr);
    bool popupShown = false; // the Delete button's one-shot mark: its menu was shown, so the click that follows is swallowed
    bool showsPressed() const { return m_pressed; }

Q_SIGNALS:
    void released(Qt::MouseButton button);
    void clicked();

protected:
    void paintEvent(class QPaintEvent *) override;
    void mousePressEvent(class QMouseEvent *event) override;
    void mouseReleaseEvent(class QMouseEvent *event) override;
    QSize sizeHint() const override { return {36, 36}; }

private:
    QPixmap m_normal, m_pressedPicture;
    bool m_pressed = false;
};
