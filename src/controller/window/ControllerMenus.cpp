#include "controller/window/ControllerMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

ControllerMenus::ControllerMenus(QMenuBar *bar, QWidget *owner)
    : QObject(owner)
    , m_owner(owner)
{
    auto top = [&](const QString &name, const QString &caption) {
        QMenu *m = bar->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };

    QMenu *file = top(QStringLiteral("mnuFile"), QStringLiteral("ﾌｧｲﾙ(&F)"));
    add(file, QStringLiteral("mnuFile_LoadShiori"), QStringLiteral("しおりを開く(&O)..."));
    add(file, QStringLiteral("mnuFile_SaveasShiori"),
        QStringLiteral("名前を付けてしおりの保存(&S)..."));
    add(file, QStringLiteral("mnuFile_SaveShiori"), QStringLiteral("しおりの上書き保存(&A)"));
    file->addSeparator();
    add(file, QStringLiteral("mnuFile_SettingNew"), QStringLiteral("新しい設定...(&N)"));
    add(file, QStringLiteral("mnuFile_SettingSave"), QStringLiteral("設定の保存(&V)"));
    add(file, QStringLiteral("mnuFile_SettingDelete"), QStringLiteral("設定の削除(&D)"));
    file->addSeparator();
    add(file, QStringLiteral("mnuFile_RemoveFromList"),
        QStringLiteral("現在のﾌｧｲﾙをﾘｽﾄから削除(&R)"));
    file->addSeparator();
    add(file, QStringLiteral("mnuFile_Exit"), QStringLiteral("終了(&X)"));

    QMenu *view = top(QStringLiteral("mnuView"), QStringLiteral("表示(&V)"));
    add(view, QStringLiteral("mnuView_Moviebar"), QStringLiteral("動画操作バーの表示(&M)"), true);
    add(view, QStringLiteral("mnuView_Player"), QStringLiteral("BGMプレーヤーを表示(&P)"), true);
    add(view, QStringLiteral("mnuView_Option"), QStringLiteral("設定を表示(&V)"), true);
    view->addSeparator();
    add(view, QStringLiteral("mnuView_FixBottom"), QStringLiteral("底辺を固定して伸縮(&B)"), true);
    view->addSeparator();
    add(view, QStringLiteral("mnuView_FileList"), QStringLiteral("ﾌｧｲﾙﾘｽﾄの作成(&F)..."));
    view->addSeparator();
    add(view, QStringLiteral("mnuView_AlwaysOnTop"), QStringLiteral("このｳｨﾝﾄﾞｳを常に手前に(&T)"),
        true);

    QMenu *op = top(QStringLiteral("mnuOparation"), QStringLiteral("制御(&O)"));
    add(op, QStringLiteral("mnuOparation_Stop"), QStringLiteral("開始(&S)"));
    add(op, QStringLiteral("mnuOparation_Pause"), QStringLiteral("一時停止(&P)"), true);
    add(op, QStringLiteral("mnuOparation_Nonestop"), QStringLiteral("早送り(&F)"), true);
    add(op, QStringLiteral("mnuOparation_Reverse"), QStringLiteral("逆送り(&R)"), true);
    add(op, QStringLiteral("mnuOparation_Hide"), QStringLiteral("隠す(&H)"), true);
    op->addSeparator();
    QMenu *jump = addMenu(op, QStringLiteral("mnuOparation_Jump"), QStringLiteral("ｼﾞｬﾝﾌﾟ(&J)"));
    add(jump, QStringLiteral("mnuOparation_Firstfile"), QStringLiteral("最初の画像へ(&F)"));
    add(jump, QStringLiteral("mnuOparation_Lastfile"), QStringLiteral("最後の画像へ(&L)"));
    add(jump, QStringLiteral("mnuOparation_Nextfile"), QStringLiteral("次の画像へ(&N)"));
    add(jump, QStringLiteral("mnuOparation_Previousfile"), QStringLiteral("前の画像へ(&P)"));
    jump->addSeparator();
    add(jump, QStringLiteral("mnuOparation_PageJump"), QStringLiteral("ｼﾞｬﾝﾌﾟ先を指定(&S)..."));

    QMenu *movie = top(QStringLiteral("mnuMovie"), QStringLiteral("動画(&M)"));
    add(movie, QStringLiteral("mnuMovie_Play"), QStringLiteral("再生(&P)"));
    add(movie, QStringLiteral("mnuMovie_Pause"), QStringLiteral("一時停止(&S)"));
    add(movie, QStringLiteral("mnuMovie_FastForward"), QStringLiteral("早送り(&F)"));
    add(movie, QStringLiteral("mnuMovie_FastReverse"), QStringLiteral("巻き戻し(&R)"));

    QMenu *bgm = top(QStringLiteral("mnuBGM"), QStringLiteral("BGM(&B)"));
    add(bgm, QStringLiteral("mnuBGM_Play"), QStringLiteral("再生/一時停止(&P)"));
    add(bgm, QStringLiteral("mnuBGM_Stop"), QStringLiteral("停止(&S)"));
    add(bgm, QStringLiteral("mnuBGM_Back"), QStringLiteral("前に戻る(&B)"));
    add(bgm, QStringLiteral("mnuBGM_Forward"), QStringLiteral("次に進む(&F)"));

    QMenu *help = top(QStringLiteral("mnuHelp"), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    add(help, QStringLiteral("mnuHelp_Index"), QStringLiteral("目次(&C)..."));
    add(help, QStringLiteral("mnuHelp_WhatsThis"), QStringLiteral("ﾎﾟｯﾌﾟﾍﾙﾌﾟ(&P)"));
    help->addSeparator();
    add(help, QStringLiteral("mnuHelp_WebPage"), QStringLiteral("WebPageを開く(&W)"));
    help->addSeparator();
    add(help, QStringLiteral("mnuHelp_About"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."));

    m_popup = new QMenu(QStringLiteral("ﾎﾟｯﾌﾟｱｯﾌﾟ用"), owner);
    m_popup->setObjectName(QStringLiteral("mnuPopup"));
    buildContextMenu(m_popup, QStringLiteral("mnuPopup"));
    m_tasktray = new QMenu(QStringLiteral("ﾀｽｸﾄﾚｲ用"), owner);
    m_tasktray->setObjectName(QStringLiteral("mnuTasktray"));
    buildContextMenu(m_tasktray, QStringLiteral("mnuTasktray"));
}

void ControllerMenus::buildContextMenu(QMenu *m, const QString &prefix)
{
    const bool tray = prefix == u"mnuTasktray";
    auto name = [&](const QString &suffix) {
        return prefix + u'_' + suffix;
    };
    add(m, name(QStringLiteral("ResizeWindow")), QStringLiteral("設定(&O)"));
    m->addSeparator();
    add(m, name(QStringLiteral("Stop")), QStringLiteral("開始(&S)"));
    add(m, name(QStringLiteral("Pause")), QStringLiteral("一時停止(&P)"), true);
    add(m, name(QStringLiteral("Nonestop")), QStringLiteral("早送り(&F)"), true);
    add(m, name(QStringLiteral("Reverse")), QStringLiteral("逆送り(&R)"), true);
    add(m, name(QStringLiteral("Hide")), QStringLiteral("隠す(&H)"), true);
    m->addSeparator();
    QMenu *jump = addMenu(m, name(QStringLiteral("Jump")), QStringLiteral("ｼﾞｬﾝﾌﾟ(&J)"));
    add(jump, name(QStringLiteral("FirstFile")), QStringLiteral("最初の画像へ(&F)"));
    add(jump, name(tray ? QStringLiteral("LastFile") : QStringLiteral("lastFile")),
        QStringLiteral("最後の画像へ(&L)"));
    add(jump, name(QStringLiteral("NextFile")), QStringLiteral("次の画像へ(&N)"));
    add(jump, name(QStringLiteral("PreviousFile")), QStringLiteral("前の画像へ(&P)"));
    jump->addSeparator();
    add(jump, name(QStringLiteral("Pagejump")), QStringLiteral("ｼﾞｬﾝﾌﾟ先を指定(&S)..."));
    QMenu *shiori = addMenu(m, name(QStringLiteral("Shiori")),
                            tray ? QStringLiteral("しおり(&B)") : QStringLiteral("しおり(&I)"));
    add(shiori, name(QStringLiteral("Shiori_Open")), QStringLiteral("しおりを開く(&O)"));
    add(shiori, name(QStringLiteral("Shiori_Saveas")),
        QStringLiteral("名前を付けてしおりの保存(&A)"));
    add(shiori, name(QStringLiteral("Shiori_Save")), QStringLiteral("しおりの上書き保存(&S)"));
    QMenu *movie = addMenu(m, name(QStringLiteral("Movie")), QStringLiteral("動画(&M)"));
    add(movie, name(QStringLiteral("Movie_Play")), QStringLiteral("再生(&P)"));
    add(movie, name(QStringLiteral("Movie_Pause")), QStringLiteral("一時停止(&S)"));
    add(movie, name(QStringLiteral("Movie_FastForward")), QStringLiteral("早送り(&F)"));
    add(movie, name(tray ? QStringLiteral("Movie_FastReverse") : QStringLiteral("Movie_Reverse")),
        QStringLiteral("巻き戻し(&R)"));
    QMenu *bgm = addMenu(m, name(QStringLiteral("BGM")), QStringLiteral("BGM(&B)"));
    add(bgm, name(QStringLiteral("BGM_Play")), QStringLiteral("再生/一時停止(&P)"));
    add(bgm, name(QStringLiteral("BGM_Stop")), QStringLiteral("停止(&S)"));
    add(bgm, name(QStringLiteral("BGM_Back")), QStringLiteral("前に戻る(&B)"));
    add(bgm, name(QStringLiteral("BGM_Forward")), QStringLiteral("次に進む(&F)"));
    m->addSeparator();
    add(m, name(QStringLiteral("Quit")), QStringLiteral("終了(&X)"));
}

QAction *ControllerMenus::add(QMenu *menu, const QString &name, const QString &caption,
                              bool checkable)
{
    auto *a = new QAction(caption, menu);
    a->setObjectName(name);
    a->setCheckable(checkable);
    menu->addAction(a);
    return a;
}

QMenu *ControllerMenus::addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *m = parent->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction *ControllerMenus::action(const QString &name) const
{
    return m_owner->findChild<QAction *>(name);
}

QMenu *ControllerMenus::menu(const QString &name) const
{
    return m_owner->findChild<QMenu *>(name);
}

QList<QAction *> ControllerMenus::triple(const QString &suffix) const
{
    QList<QAction *> result;
    for (const QString &prefix : { QStringLiteral("mnuOparation_"), QStringLiteral("mnuPopup_"),
                                   QStringLiteral("mnuTasktray_") }) {
        if (QAction *a = action(prefix + suffix))
            result.append(a);
    }
    return result;
}
