#pragma once

#include <QHash>
#include <QObject>

class MessageService;
class QLineEdit;
struct NumberFieldRule;

// Filters the keys typed into the number fields of the option pages and checks a field when
// the user leaves it: an invalid text is reported and, for most fields, the focus comes back
// with the text as typed.
class NumberFieldGuard : public QObject
{
    Q_OBJECT
public:
    explicit NumberFieldGuard(MessageService &messages, QObject *parent = nullptr);

    void watch(QLineEdit *field, const NumberFieldRule &rule);
    // The check run on leaving; true when the text is valid.
    bool validate(QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bringBack(QLineEdit *field);

    MessageService &m_messages;
    QHash<QLineEdit *, const NumberFieldRule *> m_rules;
    // Set while the focus is being put back, so the field it leaves is not checked for it.
    bool m_restoring = false;
};
