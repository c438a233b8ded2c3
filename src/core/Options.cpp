#include "core/Options.h"

#include <QHash>

const std::array<OptionInfo, size_t(Opt::Count)> &Options::table()
{
    static const std::array<OptionInfo, size_t(Opt::Count)> table = { {
#define LUNETTA_OPTION_SPEC(name, kind, def, items, group)                                         \
    { Opt::name, QStringLiteral(#name), OptionKind::kind, QStringLiteral(def), items, group },
        LUNETTA_OPTIONS(LUNETTA_OPTION_SPEC)
#undef LUNETTA_OPTION_SPEC
    } };
    return table;
}

std::optional<Opt> Options::find(const QString &name)
{
    static const QHash<QString, Opt> byName = [] {
        QHash<QString, Opt> h;
        for (const auto &s : table())
            h.insert(s.name, s.id);
        return h;
    }();
    const auto it = byName.constFind(name);
    return it == byName.constEnd() ? std::nullopt : std::optional<Opt>(*it);
}

Options::Options(QObject *parent)
    : QObject(parent)
{
    resetToDefaults();
}

void Options::resetToDefaults()
{
    for (const auto &s : table())
        applyStoredValue(s.id, s.defaultValue);
    setSusiePlugins({});
}

double Options::number(Opt id) const
{
    return text(id).trimmed().toDouble();
}

void Options::store(Opt id, const QVariant &value)
{
    QVariant &slot = m_values[size_t(id)];
    if (slot == value && slot.isValid())
        return;
    slot = value;
    emit valueChanged(id);
}

void Options::setCheck(Opt id, int value)
{
    Q_ASSERT(info(id).kind == OptionKind::Check);
    store(id, value);
}

void Options::setOption(Opt id, bool value)
{
    const OptionInfo &s = info(id);
    Q_ASSERT(s.kind == OptionKind::Option);
    store(id, value);
    if (value && s.group != 0) {
        for (const auto &other : table()) {
            if (other.group == s.group && other.id != id)
                store(other.id, false);
        }
    }
}

void Options::setText(Opt id, const QString &value)
{
    Q_ASSERT(info(id).kind == OptionKind::Text);
    store(id, value);
}

void Options::setComboIndex(Opt id, int index)
{
    const OptionInfo &s = info(id);
    Q_ASSERT(s.kind == OptionKind::Combo);
    if (index >= 0 && index < s.comboItems)
        store(id, index);
}

QString Options::storedValue(Opt id) const
{
    switch (info(id).kind) {
    case OptionKind::Check:
    case OptionKind::Combo:
        return QString::number(m_values[size_t(id)].toInt());
    case OptionKind::Option:
        return option(id) ? QStringLiteral("True") : QStringLiteral("False");
    case OptionKind::Text:
        return text(id);
    }
    return QString();
}

bool Options::applyStoredValue(Opt id, const QString &stored)
{
    switch (info(id).kind) {
    case OptionKind::Check: {
        // A check box holds 0, 1 or 2 (greyed); anything else is not a value it can take.
        bool ok = false;
        const int v = stored.trimmed().toInt(&ok);
        if (!ok || v < 0 || v > 2)
            return false;
        setCheck(id, v);
        return true;
    }
    case OptionKind::Option: {
        const QString t = stored.trimmed();
        if (t.compare(u"True", Qt::CaseInsensitive) == 0 || t == u"-1" || t == u"1")
            setOption(id, true);
        else if (t.compare(u"False", Qt::CaseInsensitive) == 0 || t == u"0")
            setOption(id, false);
        else
            return false;
        return true;
    }
    case OptionKind::Text:
        setText(id, stored);
        return true;
    case OptionKind::Combo: {
        bool ok = false;
        const int v = stored.trimmed().toInt(&ok);
        if (!ok || v < 0 || v >= info(id).comboItems)
            return false;
        setComboIndex(id, v);
        return true;
    }
    }
    return false;
}

void Options::setSusiePlugins(const QStringList &plugins)
{
    if (plugins == m_susiePlugins)
        return;
    m_susiePlugins = plugins;
    emit susiePluginsChanged();
}
