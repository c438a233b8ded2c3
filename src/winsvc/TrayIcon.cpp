#include "winsvc/TrayIcon.h"

#include "core/ToolIcons.h"

#include <QSystemTrayIcon>
#include <QTimer>

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
    , m_available(isAvailable())
{
    // Qt tells nobody when a tray starts or ends; asking is cheap, as the platform tracks the
    // tray's selection owner itself.
    auto *watch = new QTimer(this);
    watch->setInterval(1000);
    connect(watch, &QTimer::timeout, this, [this] {
        const bool available = isAvailable();
        if (available == m_available)
            return;
        m_available = available;
        emit availabilityChanged(available);
    });
    watch->start();
}

TrayIcon::~TrayIcon()
{
    removeTrayIcon();
}

bool TrayIcon::isAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIcon::addTrayIcon(const QString &image, const QString &tip)
{
    if (m_shown)
        return true;
    if (!isAvailable()) {
        // A tray that is starting again right now: the watch reports it once it is there, and
        // the icon is added then.
        m_available = false;
        return false;
    }
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        emit mouseEvent(LeftButtonUp);
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        emit mouseEvent(LeftDoubleClick);
                        break;
                    case QSystemTrayIcon::Context:
                        emit mouseEvent(RightButtonDown);
                        break;
                    default:
                        break;
                    }
                });
    }
    setImage(image);
    setTip(tip);
    m_icon->show();
    m_shown = true;
    return true;
}

void TrayIcon::removeTrayIcon()
{
    if (m_icon)
        m_icon->hide();
    m_shown = false;
}

void TrayIcon::setImage(const QString &image)
{
    m_image = image;
    if (m_icon)
        m_icon->setIcon(ToolIcons::icon(image));
}

void TrayIcon::setTip(const QString &tip)
{
    m_tip = tip;
    if (m_icon)
        m_icon->setToolTip(tip);
}
