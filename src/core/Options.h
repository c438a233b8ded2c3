#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <array>
#include <optional>

// Every option control of the controller window: name, kind, initial value, and for combo
// boxes the number of items. Option buttons of one group are exclusive.
//          name                     kind    default   combo items  group
#define LUNETTA_OPTIONS(X)                                                                         \
    X(txtMinutes, Text, "10", 0, 0)                                                                \
    X(optNoSort, Option, "True", 0, 1)                                                             \
    X(optSortByFileName, Option, "False", 0, 1)                                                    \
    X(optSortRandom, Option, "False", 0, 1)                                                        \
    X(chkSortRandom, Check, "0", 0, 0)                                                             \
    X(chkSortDescending, Check, "0", 0, 0)                                                         \
    X(chkSortFolderDepth, Check, "0", 0, 0)                                                        \
    X(chkLoop, Check, "0", 0, 0)                                                                   \
    X(chkStretchImage, Check, "0", 0, 0)                                                           \
    X(chkFixHeightWidthRate, Check, "0", 0, 0)                                                     \
    X(chkZoomImage, Check, "0", 0, 0)                                                              \
    X(txtZoomImage, Text, "1", 0, 0)                                                               \
    X(chkFixFormSize, Check, "0", 0, 0)                                                            \
    X(chkMaxWidth, Check, "0", 0, 0)                                                               \
    X(txtMaxWidth, Text, "100", 0, 0)                                                              \
    X(chkMaxHeight, Check, "0", 0, 0)                                                              \
    X(txtMaxHeight, Text, "100", 0, 0)                                                             \
    X(chkFixForm, Check, "0", 0, 0)                                                                \
    X(cmbFixFormLocation, Combo, "0", 5, 0)                                                        \
    X(txtFixX, Text, "0", 0, 0)                                                                    \
    X(txtFixY, Text, "0", 0, 0)                                                                    \
    X(chkShowTitlebar, Check, "1", 0, 0)                                                           \
    X(chkShowStatusbar, Check, "1", 0, 0)                                                          \
    X(chkAlwaysOnTop, Check, "0", 0, 0)                                                            \
    X(chkHideWithMouse, Check, "0", 0, 0)                                                          \
    X(chkViewerKeys, Check, "0", 0, 0)                                                             \
    X(chkColorProfile, Check, "1", 0, 0)                                                           \
    X(txtBackColor, Text, "FFFFFF", 0, 0)                                                          \
    X(chkUseSusiePlugin, Check, "0", 0, 0)                                                         \
    X(chkMinWhenStart, Check, "1", 0, 0)                                                           \
    X(chkShowTaskTray, Check, "1", 0, 0)                                                           \
    X(chkMp_PlayMovie, Check, "1", 0, 0)                                                           \
    X(chkMp_PlayRealAudio, Check, "1", 0, 0)                                                       \
    X(chkMp_NextImmediately, Check, "1", 0, 0)                                                     \
    X(chkMp_PlayAll, Check, "1", 0, 0)                                                             \
    X(txtMp_FastForward, Text, "2", 0, 0)                                                          \
    X(txtMp_FastReverse, Text, "0.5", 0, 0)                                                        \
    X(chkBGM_Enable, Check, "0", 0, 0)                                                             \
    X(txtBGM, Text, "", 0, 0)                                                                      \
    X(txtBGM_PlayCount, Text, "0", 0, 0)                                                           \
    X(txtBGM_StartingEntry, Text, "1", 0, 0)                                                       \
    X(chkBGM_RememberLastEntry, Check, "0", 0, 0)                                                  \
    X(chkBGM_AutoPause, Check, "0", 0, 0)                                                          \
    X(chkNotConfirmSaveShiori, Check, "0", 0, 0)                                                   \
    X(optOverWrite, Option, "True", 0, 2)                                                          \
    X(optNotSave, Option, "False", 0, 2)                                                           \
    X(cmbFunction, Combo, "0", 10, 0)                                                              \
    X(cmbFunction_Operate, Combo, "0", 5, 0)                                                       \
    X(txtFunction_Path, Text, "", 0, 0)                                                            \
    X(chkHotKey_Windows, Check, "0", 0, 0)                                                         \
    X(chkHotKey_Shift, Check, "0", 0, 0)                                                           \
    X(chkHotKey_Alt, Check, "0", 0, 0)                                                             \
    X(chkHotKey_Ctrl, Check, "0", 0, 0)

enum class Opt {
#define LUNETTA_OPTION_ENUM(name, kind, def, items, group) name,
    LUNETTA_OPTIONS(LUNETTA_OPTION_ENUM)
#undef LUNETTA_OPTION_ENUM
        Count
};

enum class OptionKind { Check, Option, Text, Combo };

struct OptionInfo
{
    Opt id;
    QString name;
    OptionKind kind;
    QString defaultValue; // in stored form
    int comboItems; // combo boxes only
    int group; // option buttons only: exclusive group, 0 = none
};

// The options record: the value of every option control, keyed by the control's name. The
// windows bind their widgets to it and everything else reads it, never a widget.
class Options : public QObject
{
    Q_OBJECT
public:
    explicit Options(QObject *parent = nullptr);

    static const std::array<OptionInfo, size_t(Opt::Count)> &table();
    static const OptionInfo &info(Opt id) { return table()[size_t(id)]; }
    static std::optional<Opt> find(const QString &name);

    int check(Opt id) const { return m_values[size_t(id)].toInt(); }
    bool isChecked(Opt id) const { return check(id) != 0; }
    bool option(Opt id) const { return m_values[size_t(id)].toBool(); }
    QString text(Opt id) const { return m_values[size_t(id)].toString(); }
    int comboIndex(Opt id) const { return m_values[size_t(id)].toInt(); }
    // A text option read as a number, as the engine does with a field that passed its check.
    double number(Opt id) const;

    void setCheck(Opt id, int value);
    // Selecting an option button clears the others of its group.
    void setOption(Opt id, bool value);
    void setText(Opt id, const QString &value);
    // Out-of-range indexes are ignored.
    void setComboIndex(Opt id, int index);

    // The value as the settings store holds it, and back from that form.
    QString storedValue(Opt id) const;
    // Applies a stored text by the control's kind; returns false when it was not applied.
    bool applyStoredValue(Opt id, const QString &stored);

    void resetToDefaults();

    QStringList susiePlugins() const { return m_susiePlugins; }
    void setSusiePlugins(const QStringList &plugins);

signals:
    void valueChanged(Opt id);
    void susiePluginsChanged();
    // A whole profile was loaded: apply what depends on several options at once.
    void loaded();

private:
    void store(Opt id, const QVariant &value);

    std::array<QVariant, size_t(Opt::Count)> m_values;
    QStringList m_susiePlugins;
};
