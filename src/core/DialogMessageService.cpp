#include "core/DialogMessageService.h"

#include "core/DialogParent.h"

#include <QInputDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton toButton(MsgResult r)
{
    switch (r) {
    case MsgResult::Ok:
        return QMessageBox::Ok;
    case MsgResult::Cancel:
        return QMessageBox::Cancel;
    case MsgResult::Yes:
        return QMessageBox::Yes;
    case MsgResult::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

MsgResult DialogMessageService::show(const MessageRequest &request)
{
    QMessageBox box(dialogParent(m_parent));
    keepAboveOwner(&box);
    box.setWindowTitle(request.caption);
    // Messages join their lines with CR LF; a box shows LF.
    QString text = request.text;
    box.setText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (request.icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (request.buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    box.setDefaultButton(toButton(request.defaultButton));
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

std::optional<QString> DialogMessageService::inputBox(const QString &prompt, const QString &caption,
                                                      const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(m_parent), caption, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
