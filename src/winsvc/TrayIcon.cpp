#include "winsvc/TrayIcon.h"

#include "core/ToolIcons.h"

#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
{ }

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
    if (!isAvailable())
        return false;
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
    if (m_icon)
        m_icon->setIcon(ToolIcons::icon(image));
}

void TrayIcon::setTip(const QString &tip)
{
    m_tip = tip;
    if (m_icon)
        m_icon->setToolTip(tip);
}
