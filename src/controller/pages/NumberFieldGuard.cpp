#include "controller/pages/NumberFieldGuard.h"

#include "controller/pages/NumberCheck.h"
#include "core/MessageService.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>

NumberFieldGuard::NumberFieldGuard(MessageService &messages, QObject *parent)
    : QObject(parent)
    , m_messages(messages)
{ }

void NumberFieldGuard::watch(QLineEdit *field, const NumberFieldRule &rule)
{
    m_rules.insert(field, &rule);
    field->installEventFilter(this);
    connect(field, &QObject::destroyed, this, [this, field] { m_rules.remove(field); });
}

bool NumberFieldGuard::eventFilter(QObject *watched, QEvent *event)
{
    // A field being destroyed is no QLineEdit any more, yet still sends events (hide, focus
    // out) through its QWidget part: those are not ours to check.
    auto *field = qobject_cast<QLineEdit *>(watched);
    const NumberFieldRule *rule = field ? m_rules.value(field) : nullptr;
    if (!rule)
        return false;

    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Editing and clipboard shortcuts carry no typed character.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        for (const QChar c : key->text()) {
            if (c.isPrint() && !NumberField::acceptsKey(*rule, c))
                return true;
        }
        return false;
    }

    if (event->type() == QEvent::FocusOut && !m_restoring) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Switching windows, opening a menu or a message box is not leaving the field.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
            || reason == Qt::MenuBarFocusReason)
            return false;
        // Check once the focus has settled on its new place.
        QPointer<QLineEdit> left(field);
        QTimer::singleShot(0, this, [this, left] {
            if (left)
                validate(left);
        });
    }
    return false;
}

bool NumberFieldGuard::validate(QLineEdit *field)
{
    const NumberFieldRule *rule = m_rules.value(field);
    if (!rule)
        return true;
    const QString message = NumberField::invalidMessage(*rule, field->text());
    if (message.isEmpty())
        return true;
    if (rule->holdsFocus)
        bringBack(field);
    m_messages.error(message);
    return false;
}

void NumberFieldGuard::bringBack(QLineEdit *field)
{
    m_restoring = true;
    // The user may have left by turning to another option page: turn back to the field's.
    for (QWidget *w = field; w && w->parentWidget(); w = w->parentWidget()) {
        QWidget *stack = w->parentWidget();
        if (auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget())) {
            const int index = tabs->indexOf(w);
            if (index >= 0)
                tabs->setCurrentIndex(index);
        }
    }
    field->setFocus(Qt::OtherFocusReason);
    m_restoring = false;
}
