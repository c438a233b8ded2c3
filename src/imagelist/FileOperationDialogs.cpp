#include "imagelist/FileOperationDialogs.h"

#include "core/PathFunctions.h"

#include <QApplication>
#include <QProgressDialog>

namespace {

// Shown only once a copy has run for a moment, so small files never flash a window.
constexpr int showAfterMs = 400;
constexpr int steps = 1000;

class DialogProgress : public CopyProgress
{
public:
    DialogProgress(QWidget *window, const QString &label, qint64 bytes)
        : m_dialog(label, QStringLiteral("キャンセル"), 0, steps, window)
        , m_bytes(bytes)
    {
        m_dialog.setWindowTitle(QStringLiteral("Lunetta"));
        m_dialog.setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
        m_dialog.setMinimumDuration(showAfterMs);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }
    // A modal progress dialog lets events run on each new value, which is when Cancel is seen.
    void setCopied(qint64 bytes) override
    {
        m_dialog.setValue(m_bytes > 0 ? int(bytes * steps / m_bytes) : steps);
    }
    bool wasCanceled() const override { return m_dialog.wasCanceled(); }

private:
    QProgressDialog m_dialog;
    qint64 m_bytes;
};

} // namespace

FileOperationDialogs::FileOperationDialogs(QWidget *window, MessageService &messages)
    : m_window(window)
    , m_messages(messages)
{ }

std::unique_ptr<CopyProgress> FileOperationDialogs::beginCopy(const QString &source,
                                                              const QString &target, qint64 bytes,
                                                              bool moving)
{
    const QString label
        = (moving ? QStringLiteral("移動しています...") : QStringLiteral("コピーしています..."))
        + u'\n' + GetFileName(source) + u'\n' + QStringLiteral("→ ") + GetFolderPart(target);
    // Over the window the user is looking at: during a show the controller is minimised, and a
    // hot key may come while another program has the focus, when the dialog stands alone.
    QWidget *over = QApplication::activeWindow();
    if (!over && m_window && m_window->isVisible() && !m_window->isMinimized())
        over = m_window;
    return std::make_unique<DialogProgress>(over, label, bytes);
}
