#include "controller/window/ControllerToolBars.h"

#include "core/ToolIcons.h"

#include <QAction>
#include <QComboBox>
#include <QSlider>
#include <QToolBar>

namespace {

QAction *addButton(QToolBar *bar, const QString &key, const QString &image, const QString &tip,
                   bool check)
{
    QAction *a = bar->addAction(ToolIcons::icon(image), tip);
    a->setObjectName(bar->objectName() + u'_' + key);
    a->setData(key);
    a->setToolTip(tip);
    a->setCheckable(check);
    return a;
}

QToolBar *makeBar(QWidget *window, const QString &name)
{
    auto *bar = new QToolBar(window);
    bar->setObjectName(name);
    bar->setIconSize(QSize(24, 24));
    bar->setMovable(false);
    return bar;
}

} // namespace

ControllerToolBars::ControllerToolBars(QWidget *window, double twipsPerPixel)
{
    m_main = makeBar(window, QStringLiteral("tbrMain"));
    addButton(m_main, QStringLiteral("open"), QStringLiteral("open"),
              QStringLiteral("しおりを開く"), false);
    addButton(m_main, QStringLiteral("save"), QStringLiteral("save"),
              QStringLiteral("しおりを上書き保存"), false);
    m_main->addSeparator();
    addButton(m_main, QStringLiteral("play"), QStringLiteral("play"),
              QStringLiteral("自動表示を開始"), true);
    addButton(m_main, QStringLiteral("pause"), QStringLiteral("pause"),
              QStringLiteral("自動表示を一時停止"), true);
    addButton(m_main, QStringLiteral("stop"), QStringLiteral("stop"),
              QStringLiteral("自動表示を中止"), false);
    addButton(m_main, QStringLiteral("reverse"), QStringLiteral("reverse"),
              QStringLiteral("前の画像へ"), false);
    addButton(m_main, QStringLiteral("forward"), QStringLiteral("forward"),
              QStringLiteral("次の画像へ"), false);
    m_main->addSeparator();
    m_profileBox = new QComboBox(m_main);
    m_profileBox->setObjectName(QStringLiteral("cmbSetting"));
    m_profileBox->setToolTip(QStringLiteral("設定を選択します。"));
    m_profileBox->setFixedWidth(int(2000 / twipsPerPixel));
    QAction *setting = m_main->addWidget(m_profileBox);
    setting->setObjectName(QStringLiteral("tbrMain_setting"));
    setting->setData(QStringLiteral("setting"));
    addButton(m_main, QStringLiteral("option"), QStringLiteral("option"),
              QStringLiteral("設定の表示"), true);
    m_main->addSeparator();
    addButton(m_main, QStringLiteral("pophint"), QStringLiteral("pophint"),
              QStringLiteral("ポップヒント"), false);

    m_movie = makeBar(window, QStringLiteral("tbrMovie"));
    addButton(m_movie, QStringLiteral("play"), QStringLiteral("mp_play"),
              QStringLiteral("動画を再生"), true);
    addButton(m_movie, QStringLiteral("pause"), QStringLiteral("mp_pause"),
              QStringLiteral("動画を一時停止"), true);
    addButton(m_movie, QStringLiteral("reverse"), QStringLiteral("mp_reverse"),
              QStringLiteral("動画を巻き戻し"), false);
    addButton(m_movie, QStringLiteral("forward"), QStringLiteral("mp_forward"),
              QStringLiteral("動画を早送り"), false);
    m_movie->addSeparator();
    addButton(m_movie, QStringLiteral("menu"), QStringLiteral("option"),
              QStringLiteral("動画のメニュー表示"), false);
    m_movie->addSeparator();
    m_slider = new QSlider(Qt::Horizontal, m_movie);
    m_slider->setObjectName(QStringLiteral("sldMovie"));
    m_slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QAction *position = m_movie->addWidget(m_slider);
    position->setObjectName(QStringLiteral("tbrMovie_position"));
    position->setData(QStringLiteral("position"));
}

QAction *ControllerToolBars::button(QToolBar *bar, const QString &key)
{
    for (QAction *a : bar->actions()) {
        if (a->data().toString() == key)
            return a;
    }
    return nullptr;
}
