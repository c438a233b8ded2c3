#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QSystemTrayIcon;

// The controller's icon in the task tray. Where the desktop has no tray, adding the icon
// fails and the controller stays an ordinary minimised window.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    // The mouse events the controller acts on, with the codes the tray reports them by.
    enum Event { LeftButtonUp = 514, LeftDoubleClick = 515, RightButtonDown = 516 };

    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    static bool isAvailable();
    // Shows the icon with the image key ("Stop", "Pause", "Play") and tip; false when there
    // is no tray.
    bool addTrayIcon(const QString &image, const QString &tip);
    void removeTrayIcon();
    bool isShown() const { return m_shown; }
    void setImage(const QString &image);
    void setTip(const QString &tip);
    QString image() const { return m_image; }
    QString tip() const { return m_tip; }

signals:
    void mouseEvent(int code);
    // A tray has appeared on the desktop or gone from it.
    void availabilityChanged(bool available);

private:
    QSystemTrayIcon *m_icon = nullptr;
    bool m_shown = false;
    QString m_image;
    QString m_tip;
    bool m_available = false;
};
