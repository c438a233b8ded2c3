#include "controller/lists/ListStart.h"

#include "core/MessageService.h"
#include "core/Options.h"
#include "core/PlayList.h"

const QString ListStart::cancelledMessage
    = QStringLiteral("ユーザーにより作業がキャンセルされました。");
const QString ListStart::emptyListMessage = QStringLiteral("画像ファイルがありません。");

ListStart::ListStart(ListStartEngine &engine, const Options &options, MessageService &messages,
                     Window window)
    : m_engine(engine)
    , m_options(options)
    , m_messages(messages)
    , m_window(std::move(window))
{ }

void ListStart::mnuOparation_Stop_Click()
{
    if (m_engine.isRunning()) {
        m_engine.stopSlideshow();
        return;
    }
    PlayList &list = m_engine.playList();
    if (!m_window.buildList || !m_window.buildList(list)) {
        if (m_window.releasePlayButton)
            m_window.releasePlayButton();
        m_messages.warning(cancelledMessage);
        return;
    }
    if (list.isEmpty()) {
        m_messages.warning(emptyListMessage);
        return;
    }
    m_engine.clearBookmarkPath();
    if (m_window.setCaption)
        m_window.setCaption(QStringLiteral("Lunetta"));
    if (m_options.isChecked(Opt::chkMinWhenStart) && m_window.minimise)
        m_window.minimise();
    m_engine.startSlideshow(1);
}
