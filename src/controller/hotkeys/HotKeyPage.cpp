#include "controller/hotkeys/HotKeyPage.h"

#include "controller/functions/ExternalFunctions.h"
#include "controller/pages/PageBuilder.h"
#include "core/MessageService.h"
#include "core/Options.h"
#include "core/SettingKeys.h"
#include "core/SettingsStore.h"
#include "imagelist/FileOperationDialogs.h"
#include "winsvc/clsHotKey.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using B = PageBuilder;

namespace {

QListWidget *list(QWidget *parent, const QString &name)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(name);
    return l;
}

QStringList externalFunctionNames()
{
    QStringList names;
    for (int i = 0; i <= 9; ++i)
        names << QStringLiteral("機能") + QString::number(i);
    return names;
}

struct KeyRow
{
    QString text;
    int code;
};

QList<KeyRow> keyRows()
{
    QList<KeyRow> rows { { QStringLiteral("（未登録）"), 0 } };
    for (int i = 1; i <= 12; ++i)
        rows.append({ QStringLiteral("F") + QString::number(i), 111 + i });
    for (char c = 'A'; c <= 'Z'; ++c)
        rows.append({ QString(QLatin1Char(c)), c });
    for (char c = '1'; c <= '9'; ++c)
        rows.append({ QString(QLatin1Char(c)), c });
    rows.append({ { QStringLiteral("BackSpace"), 8 },
                  { QStringLiteral("Tab"), 9 },
                  { QStringLiteral("Pause"), 19 },
                  { QStringLiteral("Esc"), 27 },
                  { QStringLiteral("Space"), 32 },
                  { QStringLiteral("Page Up"), 33 },
                  { QStringLiteral("Page Down"), 34 },
                  { QStringLiteral("End"), 35 },
                  { QStringLiteral("Home"), 36 },
                  { QStringLiteral("←"), 37 },
                  { QStringLiteral("↑"), 38 },
                  { QStringLiteral("→"), 39 },
                  { QStringLiteral("↓"), 40 },
                  { QStringLiteral("PrintScreen"), 42 },
                  { QStringLiteral("Insert"), 45 },
                  { QStringLiteral("Delete"), 46 },
                  { QStringLiteral("Num Lock"), 144 },
                  { QStringLiteral("Scroll Lock"), 145 } });
    return rows;
}

// "code,mask"; a value without "," counts as no binding.
std::pair<int, int> parseBinding(const QString &value)
{
    const int comma = value.indexOf(u',');
    if (comma < 0)
        return { 0, 0 };
    return { value.left(comma).trimmed().toInt(), value.mid(comma + 1).trimmed().toInt() };
}

} // namespace

HotKeyPage::HotKeyPage(QWidget *parent)
    : QWidget(parent)
{
    QGroupBox *hotKeys = B::frame(this, QStringLiteral("ホットキーの設定"));
    QListWidget *lstHotKey_Function = list(hotKeys, QStringLiteral("lstHotKey_Function"));
    QListWidget *lstHotKey = list(hotKeys, QStringLiteral("lstHotKey"));
    lstHotKey_Function->setMinimumWidth(200);
    lstHotKey->setMinimumWidth(130);
    auto *modifiers = new QVBoxLayout;
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Ctrl"), QStringLiteral("&Ctrl")));
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Alt"), QStringLiteral("&Alt")));
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Shift"), QStringLiteral("&Shift")));
    modifiers->addWidget(
        B::check(hotKeys, QStringLiteral("chkHotKey_Windows"), QStringLiteral("&Windows")));
    m_modifiers[0] = findChild<QCheckBox *>(QStringLiteral("chkHotKey_Alt"));
    m_modifiers[1] = findChild<QCheckBox *>(QStringLiteral("chkHotKey_Ctrl"));
    m_modifiers[2] = findChild<QCheckBox *>(QStringLiteral("chkHotKey_Shift"));
    m_modifiers[3] = findChild<QCheckBox *>(QStringLiteral("chkHotKey_Windows"));
    m_functions = lstHotKey_Function;
    m_keys = lstHotKey;
    modifiers->addStretch(1);
    modifiers->addWidget(
        B::button(hotKeys, QStringLiteral("cmdHotKey_Save"), QStringLiteral("登録(&R)")));
    auto *hotKeyLayout = new QGridLayout(hotKeys);
    hotKeyLayout->addWidget(B::label(hotKeys, QStringLiteral("機能(&F):"), lstHotKey_Function), 0,
                            0);
    hotKeyLayout->addWidget(B::label(hotKeys, QStringLiteral("キー(&K):"), lstHotKey), 0, 1);
    hotKeyLayout->addWidget(lstHotKey_Function, 1, 0);
    hotKeyLayout->addWidget(lstHotKey, 1, 1);
    hotKeyLayout->addLayout(modifiers, 1, 2);
    hotKeyLayout->setColumnStretch(0, 3);
    hotKeyLayout->setColumnStretch(1, 2);
    hotKeyLayout->setColumnStretch(2, 1);

    QGroupBox *functions = B::frame(this, QStringLiteral("機能の設定"));
    // Both lists are fixed; the options model keeps their selected indexes.
    QComboBox *cmbFunction
        = B::combo(functions, QStringLiteral("cmbFunction"), externalFunctionNames());
    QComboBox *cmbFunction_Operate = B::combo(functions, QStringLiteral("cmbFunction_Operate"),
                                              ExternalFunctions::operationNames());
    auto *txtFunction_Path = new QLineEdit(functions);
    txtFunction_Path->setObjectName(QStringLiteral("txtFunction_Path"));
    auto *functionLayout = new QGridLayout(functions);
    functionLayout->addWidget(cmbFunction, 0, 0);
    functionLayout->addWidget(B::label(functions, QStringLiteral("操作(&O):"), cmbFunction_Operate),
                              0, 1);
    functionLayout->addLayout(B::row({ cmbFunction_Operate }), 0, 2);
    functionLayout->addWidget(
        B::button(functions, QStringLiteral("cmdFunction_Save"), QStringLiteral("登録(&E)")), 0, 4);
    functionLayout->addWidget(B::label(functions, QStringLiteral("パス(&P):"), txtFunction_Path), 1,
                              1);
    functionLayout->addWidget(txtFunction_Path, 1, 2, 1, 2);
    functionLayout->addWidget(B::ellipsis(functions, QStringLiteral("cmdFunction_Path")), 1, 4);
    functionLayout->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hotKeys, 1);
    layout->addWidget(functions);
}

HotKeyPage::~HotKeyPage()
{
    // The options outlive the page; no change may reach the functions once they are gone.
    disconnect(m_functionChoice);
}

const QStringList &HotKeyPage::functionNames()
{
    static const QStringList names = QStringList {
        QStringLiteral("次の画像へ"),     QStringLiteral("前の画像へ"),
        QStringLiteral("始めの画像へ"),   QStringLiteral("最後の画像へ"),
        QStringLiteral("ポーズ"),         QStringLiteral("開始"),
        QStringLiteral("終了"),           QStringLiteral("早送り"),
        QStringLiteral("逆送り"),         QStringLiteral("隠す"),
        QStringLiteral("ジャンプ"),       QStringLiteral("動画の再生"),
        QStringLiteral("動画の一時停止"), QStringLiteral("動画の早送り"),
        QStringLiteral("動画の巻き戻し"), QStringLiteral("BGMの再生/一時停止"),
        QStringLiteral("BGMの停止"),      QStringLiteral("Lunettaの終了"),
    } + externalFunctionNames();
    return names;
}

void HotKeyPage::initHotKeyPage(clsHotKey &hotKey, SettingsStore &store, MessageService &messages)
{
    m_hotKey = &hotKey;
    m_store = &store;
    m_messages = &messages;
    m_keys->clear();
    for (const KeyRow &row : keyRows()) {
        auto *item = new QListWidgetItem(row.text, m_keys);
        item->setData(Qt::UserRole, row.code);
    }
    m_functions->clear();
    m_functions->addItems(functionNames());
    connect(m_functions, &QListWidget::currentRowChanged, this,
            [this] { lstHotKey_Function_Click(); });
    auto *save = findChild<QPushButton *>(QStringLiteral("cmdHotKey_Save"));
    connect(save, &QPushButton::clicked, this, [this] { cmdHotKey_Save_Click(); });
    registerStoredHotKeys();
    m_functions->setCurrentRow(0);
}

void HotKeyPage::registerStoredHotKeys()
{
    if (!m_hotKey || !m_store)
        return;
    const auto stored = m_store->GetAllSettings(SettingKeys::Section::HotKey);
    for (const auto &[name, value] : stored) {
        const auto [code, mask] = parseBinding(value);
        // A damaged value is no key at all. A combination already bound to another function
        // (a hand-edited file) stays with the first: a second grab of the same key would kill
        // both.
        if (code <= 0)
            continue;
        const QString holder = m_hotKey->holderOf(code, mask);
        if (!holder.isEmpty() && holder != name)
            m_store->DeleteSetting(SettingKeys::Section::HotKey, name);
        else
            m_hotKey->mAddHotKey(name, code, mask);
    }
}

void HotKeyPage::showHotKeyOf(const QString &name)
{
    if (!m_store)
        return;
    const auto [code, mask] = parseBinding(
        m_store->GetSetting(SettingKeys::Section::HotKey, name, QStringLiteral("0,0")));
    for (int row = 0; row < m_keys->count(); ++row) {
        if (m_keys->item(row)->data(Qt::UserRole).toInt() == code) {
            m_keys->setCurrentRow(row);
            break;
        }
    }
    for (int bit = 0; bit < 4; ++bit)
        m_modifiers[bit]->setChecked(mask & (1 << bit));
}

void HotKeyPage::lstHotKey_Function_Click()
{
    if (QListWidgetItem *item = m_functions->currentItem())
        showHotKeyOf(item->text());
}

bool HotKeyPage::registerSelectedHotKey()
{
    QListWidgetItem *function = m_functions->currentItem();
    QListWidgetItem *key = m_keys->currentItem();
    if (!function || !key || !m_hotKey || !m_store)
        return false;
    const QString name = function->text();
    const int code = key->data(Qt::UserRole).toInt();
    if (code == 0) {
        m_hotKey->mDeleteHotKey(name);
        m_store->DeleteSetting(SettingKeys::Section::HotKey, name);
        return true;
    }
    int mask = 0;
    for (int bit = 0; bit < 4; ++bit) {
        if (m_modifiers[bit]->isChecked())
            mask |= 1 << bit;
    }
    // A combination that another function holds, or that the desktop refuses, changes nothing:
    // this function keeps the key it had.
    const QString holder = m_hotKey->holderOf(code, mask);
    if (!holder.isEmpty() && holder != name)
        return false;
    const auto [oldCode, oldMask] = parseBinding(
        m_store->GetSetting(SettingKeys::Section::HotKey, name, QStringLiteral("0,0")));
    m_hotKey->mDeleteHotKey(name);
    if (!m_hotKey->mAddHotKey(name, code, mask)) {
        if (oldCode > 0)
            m_hotKey->mAddHotKey(name, oldCode, oldMask);
        return false;
    }
    m_store->SaveSetting(SettingKeys::Section::HotKey, name,
                         QString::number(code) + u',' + QString::number(mask));
    return true;
}

void HotKeyPage::cmdHotKey_Save_Click()
{
    if (!m_messages)
        return;
    if (registerSelectedHotKey()) {
        m_messages->show({ QStringLiteral("登録しました。"), MsgIcon::Information });
    } else {
        m_messages->show({ QStringLiteral("登録に失敗しました。"), MsgIcon::Warning });
        lstHotKey_Function_Click();
    }
}

void HotKeyPage::initFunctionPage(Options &options, SettingsStore &store, MessageService &messages,
                                  FileDialogService &fileDialogs)
{
    m_fileOperations = std::make_unique<FileOperationDialogs>(window(), messages);
    m_externalFunctions = std::make_unique<ExternalFunctions>(
        options, store, messages, *m_fileOperations, fileDialogs, window());
    ExternalFunctions *functions = m_externalFunctions.get();
    // Choosing another function shows what is stored for it.
    m_functionChoice = connect(&options, &Options::valueChanged, this, [functions](Opt id) {
        if (id == Opt::cmbFunction)
            functions->showFunction();
    });
    connect(findChild<QPushButton *>(QStringLiteral("cmdFunction_Save")), &QPushButton::clicked,
            this, [functions] { functions->cmdFunction_Save_Click(); });
    connect(findChild<QPushButton *>(QStringLiteral("cmdFunction_Path")), &QPushButton::clicked,
            this, [functions] { functions->cmdFunction_Path_Click(); });
    functions->initFunctionPage();
}
